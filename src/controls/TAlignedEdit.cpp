#include "controls/TAlignedEdit.h"

#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/EConvertError.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/ui/UiServices.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QScopedValueRollback>
#include <cmath>
#include <limits>
#include <memory>

TAlignedEdit::TAlignedEdit(QWidget* AParent)
    : QLineEdit(AParent)
{
    // A number the program puts in is the one to come back to; what the user types counts
    // only once the edit is left with it (or entered again).
    connect(this, &QLineEdit::textChanged, this, [this](const QString& AText) {
        if (!FUserEditing)
            RememberIfNumber(AText);
    });
}

void TAlignedEdit::RememberIfNumber(const QString& AText)
{
    double v = 0;
    if (FOnlyNumeric && TryStrToFloat(NumericText(AText.trimmed()), v, FormatSettings::Default()))
        FLastValidText = AText;
}

TAlignedEdit::~TAlignedEdit() = default;

std::function<void()>& TAlignedEdit::BeepProc()
{
    static std::function<void()> proc = [] { UiServices::Beep(); };
    return proc;
}

void TAlignedEdit::Beep()
{
    if (BeepProc())
        BeepProc()();
}

void TAlignedEdit::SetAlignment(TAlignment AValue)
{
    FAlignment = AValue;
    UpdateShownAlignment();
}

void TAlignedEdit::UpdateShownAlignment()
{
    // The native edit edits left-aligned; the asked alignment shows only while the edit
    // is not being typed into.
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (!hasFocus()) {
        if (FAlignment == TAlignment::taRightJustify)
            horizontal = Qt::AlignRight;
        else if (FAlignment == TAlignment::taCenter)
            horizontal = Qt::AlignHCenter;
    }
    setAlignment(horizontal | Qt::AlignVCenter);
    update();
}

void TAlignedEdit::SetOnlyNumeric(bool AValue)
{
    FOnlyNumeric = AValue;
    if (AValue) {
        if (!objectName().isEmpty() && text() == objectName())
            setText(QStringLiteral("0"));
        RememberIfNumber(text());
        SetAlignment(TAlignment::taRightJustify);
    } else {
        SetAlignment(TAlignment::taLeftJustify);
    }
}

void TAlignedEdit::SetDisplayFormat(const QString& AValue)
{
    FDisplayFormat = AValue;
    if (FOnlyNumeric && !hasFocus())
        FormatNumericText();
}

QString TAlignedEdit::EffectiveDisplayFormat() const
{
    return FDisplayFormat.isEmpty() ? QStringLiteral("#0.#################") : FDisplayFormat;
}

QString TAlignedEdit::NumericText(const QString& AText) const
{
    QString s = AText;
    const QChar decimal = FormatSettings::Default().DecimalSeparator;
    if (decimal != QLatin1Char('.'))
        s.replace(QLatin1Char('.'), decimal);
    return s;
}

bool TAlignedEdit::OutOfRange(const QString& AText) const
{
    double v = 0;
    if (!TryStrToFloat(NumericText(AText), v, FormatSettings::Default()))
        return false;
    v = std::trunc(v);
    return !(v >= double(std::numeric_limits<qint32>::min()) && v <= double(std::numeric_limits<qint32>::max()));
}

double TAlignedEdit::Value() const
{
    return StrToFloat(NumericText(text()), FormatSettings::Default());
}

void TAlignedEdit::SetValue(double AValue)
{
    setText(FloatToStr(AValue, FormatSettings::Default()));
    FormatNumericText();
}

void TAlignedEdit::FormatNumericText()
{
    if (!FOnlyNumeric)
        return;
    QString s = text().trimmed();
    if (s.isEmpty())
        s = QStringLiteral("0");
    double v = 0;
    if (!TryStrToFloat(NumericText(s), v, FormatSettings::Default())) {
        // Leaving a numeric edit without a number would leave everything that reads its
        // value failing later; the last number comes back instead.
        Beep();
        setText(FLastValidText);
        return;
    }
    if (FOnlyPositiveOrZero)
        v = std::fabs(v);
    setText(FormatFloat(EffectiveDisplayFormat(), v, FormatSettings::Default()));
    FLastValidText = text();
}

bool TAlignedEdit::AcceptNumericChar(QChar AChar)
{
    const QChar decimal = FormatSettings::Default().DecimalSeparator;
    const bool isMark = AChar == decimal || AChar == QLatin1Char('.');
    const bool accepted = (AChar >= QLatin1Char('0') && AChar <= QLatin1Char('9'))
        || (AChar == QLatin1Char('-') && !FOnlyPositiveOrZero) || isMark || AChar == QChar(8);
    if (!accepted) {
        Beep();
        return false;
    }
    if (AChar == QChar(8))
        return true;
    // What stays of the text around the typed character: "." and the separator are one
    // decimal mark, and a number has one of them and one sign at most.
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int length = hasSelectedText() ? int(selectedText().size()) : 0;
    const QString kept = text().left(start) + text().mid(start + length);
    const bool refused = (isMark && (kept.contains(decimal) || kept.contains(QLatin1Char('.'))))
        || (AChar == QLatin1Char('-') && (start != 0 || kept.contains(QLatin1Char('-'))))
        || OutOfRange(text().left(start) + AChar + text().mid(start + length));
    if (refused) {
        Beep();
        return false;
    }
    return true;
}

void TAlignedEdit::keyPressEvent(QKeyEvent* AEvent)
{
    if (OnKeyDown) {
        AEvent->accept();
        OnKeyDown(this, AEvent);
        if (!AEvent->isAccepted())
            return;
    }
    if (AEvent->matches(QKeySequence::Paste)) {
        DoPaste();
        AEvent->accept();
        return;
    }
    if (FOnlyNumeric) {
        // Ctrl or Alt alone makes a shortcut; both together (AltGr) type a character like
        // any other.
        const Qt::KeyboardModifiers mods = AEvent->modifiers();
        const bool ctrl = mods & Qt::ControlModifier, alt = mods & Qt::AltModifier;
        const bool exempt = ctrl != alt;
        const QString typed = AEvent->text();
        if (!exempt && typed.size() == 1 && (typed[0].isPrint() || typed[0] == QChar(8))) {
            if (!AcceptNumericChar(typed[0])) {
                AEvent->accept();
                return;
            }
        }
    }
    const QScopedValueRollback<bool> typing(FUserEditing, true);
    QLineEdit::keyPressEvent(AEvent);
}

void TAlignedEdit::RememberBeforePaste()
{
    FPastePending = true;
    FPrePasteText = text();
    FPrePastePos = hasSelectedText() ? selectionStart() : cursorPosition();
    FPrePasteLen = hasSelectedText() ? selectedText().size() : 0;
}

void TAlignedEdit::CheckAfterPaste()
{
    // Checked at once, so a paste that changed nothing leaves no stale text to be
    // compared against some later change.
    if (!FPastePending)
        return;
    FPastePending = false;
    const QString previous = FPrePasteText;
    FPrePasteText.clear();
    if (!FOnlyNumeric || text() == previous)
        return;
    const QString s = text().trimmed();
    const QString decimal(FormatSettings::Default().DecimalSeparator);
    double dummy = 0;
    if (s.isEmpty() || s == QLatin1String("+") || s == QLatin1String("-") || s == decimal || s == QLatin1String(".")
        || (TryStrToFloat(NumericText(s), dummy, FormatSettings::Default()) && !OutOfRange(s)))
        return;
    Beep();
    setText(previous);
    setSelection(FPrePastePos, FPrePasteLen);
    if (FPrePasteLen == 0)
        setCursorPosition(FPrePastePos);
}

void TAlignedEdit::DoPaste()
{
    const QScopedValueRollback<bool> typing(FUserEditing, true);
    RememberBeforePaste();
    paste();
    CheckAfterPaste();
}

void TAlignedEdit::contextMenuEvent(QContextMenuEvent* AEvent)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // The menu's own paste would bypass the numeric check.
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            disconnect(action, nullptr, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { DoPaste(); });
        }
    }
    menu->exec(AEvent->globalPos());
}

void TAlignedEdit::dropEvent(QDropEvent* AEvent)
{
    const QScopedValueRollback<bool> typing(FUserEditing, true);
    RememberBeforePaste();
    QLineEdit::dropEvent(AEvent);
    CheckAfterPaste();
}

void TAlignedEdit::focusInEvent(QFocusEvent* AEvent)
{
    RememberIfNumber(text());
    QLineEdit::focusInEvent(AEvent);
    UpdateShownAlignment();
}

void TAlignedEdit::focusOutEvent(QFocusEvent* AEvent)
{
    // Switching to another window or opening a menu does not leave the edit: the focus
    // comes back to it, so its text is neither reformatted nor reported as left.
    const bool leaving = AEvent->reason() != Qt::ActiveWindowFocusReason && AEvent->reason() != Qt::PopupFocusReason;
    if (leaving && FOnlyNumeric)
        FormatNumericText();
    QLineEdit::focusOutEvent(AEvent);
    UpdateShownAlignment();
    if (leaving && OnExit)
        OnExit(this);
}
