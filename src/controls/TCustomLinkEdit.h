#pragma once

#include "controls/KpSmartGlyph.h"
#include "controls/LinkEditTypes.h"
#include "platform/rtl/Value.h"

#include <QImage>
#include <QKeySequence>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <functional>

class QToolButton;
#include "controls/TPopupWindow.h"

// A one-line edit with one button inside its right end. The button drops down a pop-up
// window (when a pop-up class is given) or fires OnButtonClick; F4 or the click key click
// it. Typing can be switched off (DirectInput), and the button can hide itself while the
// edit is neither focused nor under the mouse.
class TCustomLinkEdit : public QLineEdit {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TCustomLinkEdit* Sender)>;

    explicit TCustomLinkEdit(QWidget* AParent = nullptr);
    ~TCustomLinkEdit() override;

    // Whether the button may be shown at all.
    virtual bool ButtonShown() const { return FShowButton; }
    // The image of the default glyph kind; none here.
    virtual QImage DefaultGlyph() const { return {}; }
    // Whether a value chosen in the pop-up goes into the text (it may be changed).
    virtual bool AcceptPopupValue(Value& AValue) { (void)AValue; return true; }
    // Whether the user may change the value now.
    virtual bool EditAllowed() { return !ReadOnly(); }
    virtual bool ReadOnly() const { return FReadOnly; }
    virtual void SetReadOnly(bool AValue);

    QKeySequence ClickKey() const { return FClickKey; }
    void SetClickKey(const QKeySequence& AValue) { FClickKey = AValue; }
    bool DirectInput() const { return FDirectInput; }
    void SetDirectInput(bool AValue) { FDirectInput = AValue; }
    bool PopupVisible() const { return FPopupVisible; }
    bool Focused() const { return FFocused; }
    TGlyphKind GlyphKind() const { return FGlyphKind; }
    void SetGlyphKind(TGlyphKind AValue);
    bool ShowButton() const;
    void SetShowButton(bool AValue);
    bool AutoHideButton() const { return FAutoHideButton; }
    void SetAutoHideButton(bool AValue);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool AValue) { FAutoSelect = AValue; }
    // Stored upper-cased; the same name in other letter case does nothing.
    QString ImageName() const { return FImageName; }
    void SetImageName(const QString& AValue);
    QImage Glyph() const { return FButtonGlyph; }
    void SetGlyph(const QImage& AValue);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int AValue);
    QString ButtonHint() const { return FButtonHint; }
    void SetButtonHint(const QString& AValue);
    bool IsModified() const { return isModified(); }
    void SetIsModified(bool AValue) { setModified(AValue); }
    bool CanUndo() const { return isModified(); }

    const TPopupWindowClass& PopupWindowClass() const { return FPopupClass; }
    void SetPopupWindowClass(const TPopupWindowClass& AValue) { FPopupClass = AValue; }
    TPopupWindow* Popup() const { return FPopup; }
    // Frees the previous pop-up and keeps this one.
    void SetPopup(TPopupWindow* AValue);

    void PopupDropDown();
    void PopupCloseUp(bool AAccept);
    // Clicks the button (only while it is shown and editing is allowed).
    void DoClick();
    // Where a pop-up of APopupSize opens for an edit at AEditTopLeft (screen coordinates)
    // of AEditSize on a screen AScreen: below the edit (above when it would not fit), its
    // right edge at the edit's (its left edge at the edit's when it would leave the screen).
    static QPoint PopupPosition(const QPoint& AEditTopLeft, const QSize& AEditSize, const QSize& APopupSize,
                                const QRect& AScreen);

    QToolButton* Button() const { return FButton; }
    // Shows or hides the button by the rules.
    void UpdateButton();

    TNotifyEvent OnButtonClick;
    TNotifyEvent OnCancelMode;

protected:
    // The button was clicked while allowed.
    virtual void ButtonClick();
    // Creates the pop-up from the class when there is none yet; false without either.
    bool EnsurePopup();
    // Pastes the clipboard's text on one line: tabs and line breaks become blanks, other
    // control characters DEL.
    void DoPaste();
    void DoCut();

    void keyPressEvent(QKeyEvent* AEvent) override;
    void mousePressEvent(QMouseEvent* AEvent) override;
    void focusInEvent(QFocusEvent* AEvent) override;
    void focusOutEvent(QFocusEvent* AEvent) override;
    void enterEvent(QEnterEvent* AEvent) override;
    void leaveEvent(QEvent* AEvent) override;
    void resizeEvent(QResizeEvent* AEvent) override;
    void contextMenuEvent(QContextMenuEvent* AEvent) override;

    bool FFocused = false;

private:
    void ApplyGlyphKind();
    void PlaceButton();

    QToolButton* FButton = nullptr;
    QKeySequence FClickKey { Qt::ALT | Qt::Key_Down };
    bool FReadOnly = false;
    bool FDirectInput = true;
    bool FPopupVisible = false;
    TGlyphKind FGlyphKind = TGlyphKind::gkEllipsis;
    bool FShowButton = true;
    bool FAutoHideButton = true;
    bool FAutoSelect = true;
    QString FImageName;
    TPopupWindowClass FPopupClass;
    int FButtonWidth = 21;
    QString FButtonHint;
    QImage FButtonGlyph;
    QPointer<TPopupWindow> FPopup;
};
