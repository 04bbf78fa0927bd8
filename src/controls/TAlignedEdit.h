#pragma once

#include "platform/data/DBTypes.h"

#include <QLineEdit>
#include <QString>
#include <functional>

class QContextMenuEvent;
class QDropEvent;
class QFocusEvent;
class QKeyEvent;

// A one-line edit that shows its text aligned as asked while it does not have the focus
// (left-aligned while it has it). Made numeric, it accepts only what can become a number,
// undoes a paste that cannot, and reformats its text with the display format when the
// focus leaves.
class TAlignedEdit : public QLineEdit {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TAlignedEdit* Sender)>;
    using TKeyEvent = std::function<void(TAlignedEdit* Sender, QKeyEvent* Event)>;

    explicit TAlignedEdit(QWidget* AParent = nullptr);
    ~TAlignedEdit() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment AValue);
    bool OnlyNumeric() const { return FOnlyNumeric; }
    void SetOnlyNumeric(bool AValue);
    bool OnlyPositiveOrZero() const { return FOnlyPositiveOrZero; }
    void SetOnlyPositiveOrZero(bool AValue) { FOnlyPositiveOrZero = AValue; }
    const QString& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const QString& AValue);
    // The format used to show a number: DisplayFormat, or as many decimals as needed.
    QString EffectiveDisplayFormat() const;

    // The text as a number in the program's format settings ("." counts as the decimal
    // mark too); throws EConvertError for a text that is no number (the empty text included).
    double Value() const;
    void SetValue(double AValue);

    // Numeric edits: writes the text again through the display format; a text that is no
    // number gets back the last number the edit held (with a beep), so it is never left
    // without a value.
    void FormatNumericText();
    // The last text of a numeric edit that was a number.
    const QString& LastValidText() const { return FLastValidText; }

    // Fired after the text has been reformatted when the focus leaves.
    TNotifyEvent OnExit;
    // Fired for each key press before the edit handles it; accept nothing to stop it.
    TKeyEvent OnKeyDown;

    // Where refused input is signalled; the default beeps. Tests replace it.
    static std::function<void()>& BeepProc();

protected:
    void keyPressEvent(QKeyEvent* AEvent) override;
    void focusInEvent(QFocusEvent* AEvent) override;
    void focusOutEvent(QFocusEvent* AEvent) override;
    void contextMenuEvent(QContextMenuEvent* AEvent) override;
    void dropEvent(QDropEvent* AEvent) override;

private:
    // Whether a typed character may go into a numeric edit (beeps when not).
    bool AcceptNumericChar(QChar AChar);
    // The text with "." read as the decimal separator of the format settings.
    QString NumericText(const QString& AText) const;
    // Whether a numeric text would hold a number whose whole part leaves the 32-bit range.
    bool OutOfRange(const QString& AText) const;
    void RememberIfNumber(const QString& AText);
    void RememberBeforePaste();
    void CheckAfterPaste();
    void DoPaste();
    void UpdateShownAlignment();
    static void Beep();

    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FOnlyNumeric = false;
    bool FOnlyPositiveOrZero = false;
    QString FDisplayFormat;
    bool FPastePending = false;
    QString FPrePasteText;
    int FPrePastePos = 0;
    int FPrePasteLen = 0;
    QString FLastValidText = QStringLiteral("0");
    // Set while a key, a paste or a drop of the user's changes the text.
    bool FUserEditing = false;
};
