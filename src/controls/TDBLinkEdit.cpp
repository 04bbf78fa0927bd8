#include "controls/TDBLinkEdit.h"

#include "base/KelpUtils.h"
#include "platform/data/DataSet.h"
#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/rtl/Exception.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QVariant>

namespace {

QString TrimRight(const QString& AText)
{
    int n = static_cast<int>(AText.size());
    while (n > 0 && AText.at(n - 1).isSpace())
        --n;
    return AText.left(n);
}

QString MessageOf(const std::exception& AError)
{
    if (const auto* e = dynamic_cast<const Exception*>(&AError))
        return e->Message();
    return QString::fromUtf8(AError.what());
}

} // namespace

TDBLinkEdit::TDBLinkEdit(QWidget* AParent)
    : TLinkEdit(AParent)
{
    FPkValue = Value(0);
    FDataLink.OnDataChange = [this] { DataChange(); };
    FDataLink.OnEditingChange = [this] { EditingChange(); };
    FDataLink.OnActiveChange = [this] { EditingChange(); };
    FDataLink.OnUpdateData = [this] { UpdateData(); };
    connect(this, &QLineEdit::textChanged, this, [this] { FDataLink.Modified(); });
}

TDBLinkEdit::~TDBLinkEdit()
{
    FDestroying = true;
    OnGetDataFromKey = nullptr;
    FDataLink.OnDataChange = nullptr;
    FDataLink.OnEditingChange = nullptr;
    FDataLink.OnActiveChange = nullptr;
    FDataLink.OnUpdateData = nullptr;
    FDataLink.SetDataSource(nullptr);
}

std::function<void(const std::exception&)>& TDBLinkEdit::ExceptionHandler()
{
    static std::function<void(const std::exception&)> handler = [](const std::exception& e) {
        KelpUtils::ShellServices().ShowError(MessageOf(e));
    };
    return handler;
}

void TDBLinkEdit::ShowException(const std::exception& AError)
{
    if (ExceptionHandler())
        ExceptionHandler()(AError);
}

int TDBLinkEdit::PkValue() const
{
    return FPkValue.IsNull() ? 0 : FPkValue.AsInteger();
}

void TDBLinkEdit::SetLinkedText(const QString& AText)
{
    if (FNosaukControl)
        FNosaukControl->setProperty("text", AText);
}

void TDBLinkEdit::SetPkValue(int AValue)
{
    if (AValue == PkValue())
        return;
    try {
        bool success = false;
        QString kods;
        QString nosauk;
        if (AValue != 0 && OnGetDataFromKey)
            OnGetDataFromKey(this, AValue, kods, nosauk, success);
        if (success) {
            FPkValue = Value(AValue);
            setText(kods);
            SetLinkedText(nosauk);
            if (FUseHint)
                setToolTip(kods + QStringLiteral(": ") + nosauk);
            if (OnChange)
                OnChange(this);
            FPrevText = kods;
        } else {
            Clear();
        }
    } catch (const std::exception& e) {
        Clear();
        ShowException(e);
    }
    update();
}

void TDBLinkEdit::Clear()
{
    if ((text().isEmpty() && PkValue() == 0) || (ReadOnly() && !FShowingData))
        return;
    setText(QString());
    FPrevText.clear();
    SetLinkedText(QString());
    if (FUseHint)
        setToolTip(QString());
    FPkValue = Value(0);
    if (!FDestroying && OnGetDataFromKey) {
        try {
            QString kods;
            QString nosauk;
            bool success = false;
            OnGetDataFromKey(this, 0, kods, nosauk, success);
        } catch (...) {
            // Telling the owner the key is gone is a courtesy; it cannot undo the clearing.
        }
    }
}

void TDBLinkEdit::SetLinkedControl(QWidget* AValue)
{
    if (AValue == this)
        throw Exception(QStringLiteral("Can not set LinkedControl to Self!"));
    FNosaukControl = AValue;
}

void TDBLinkEdit::SetDataSource(TDataSource* AValue)
{
    if (AValue == FDataLink.DataSource())
        return;
    const bool wasReadOnly = FDataLink.ReadOnly();
    FDataLink.SetDataSource(AValue);
    if (!AValue)
        TCustomLinkEdit::SetReadOnly(wasReadOnly);
    else
        TCustomLinkEdit::SetReadOnly(!FDataLink.Editing());
}

bool TDBLinkEdit::ReadOnly() const
{
    return FDataLink.ReadOnly();
}

void TDBLinkEdit::SetReadOnly(bool AValue)
{
    FDataLink.SetReadOnly(AValue);
    if (!FDataLink.DataSource())
        TCustomLinkEdit::SetReadOnly(AValue);
}

bool TDBLinkEdit::EditAllowed()
{
    if (FDataLink.DataSource())
        return FDataLink.EditRequest();
    return !ReadOnly();
}

void TDBLinkEdit::DataChange()
{
    // Showing the stored value is not an edit, whatever the read-only state.
    const bool saved = FShowingData;
    FShowingData = true;
    try {
        if (TField* f = FDataLink.Field()) {
            const int key = f->IsNull() ? 0 : f->AsInteger();
            if (key == 0)
                Clear();
            else
                SetPkValue(key);
        } else {
            Clear();
        }
    } catch (...) {
        FShowingData = saved;
        throw;
    }
    FShowingData = saved;
}

void TDBLinkEdit::EditingChange()
{
    TCustomLinkEdit::SetReadOnly(!FDataLink.Editing());
}

void TDBLinkEdit::UpdateData()
{
    TField* f = FDataLink.Field();
    if (ReadOnly() || !f)
        return;
    const int key = PkValue();
    if (!f->IsNull() && f->AsInteger() == key)
        return;
    if (key == 0)
        f->Clear();
    else
        f->SetAsInteger(key);
}

void TDBLinkEdit::ButtonClick()
{
    if (!EditAllowed())
        return;
    const int previous = PkValue();
    setFocus();
    if (Popup()) {
        if (PopupVisible())
            PopupCloseUp(true);
        else
            PopupDropDown();
    }
    int key = PkValue();
    QString kods = text().trimmed();
    bool success = false;
    if (OnSelectButtonClick)
        OnSelectButtonClick(this, key, kods, success);
    if (success) {
        SetPkValue(key);
        if (FDataLink.DataSet() && EditAllowed()) {
            FDataLink.Modified();
            if (FClickChange) {
                try {
                    FDataLink.UpdateRecord();
                } catch (const std::exception& e) {
                    SetPkValue(previous);
                    ShowException(e);
                }
            }
        }
    }
    if (!hasFocus() && isEnabled() && isVisible())
        setFocus();
}

void TDBLinkEdit::LookUpTypedCode()
{
    const QString typed = TrimRight(text());
    if (typed == TrimRight(FPrevText))
        return;
    if (typed.isEmpty()) {
        Clear();
        return;
    }
    try {
        QString kods = text().trimmed();
        int key = 0;
        QString nosauk;
        bool success = false;
        if (OnGetDataFromKods)
            OnGetDataFromKods(this, kods, key, nosauk, success);
        if (success) {
            FPkValue = Value(key);
            setText(kods);
            FPrevText = kods;
            SetLinkedText(nosauk);
            if (FUseHint)
                setToolTip(kods + QStringLiteral(": ") + nosauk);
            if (OnChange)
                OnChange(this);
        } else {
            setText(FPrevText);
        }
    } catch (const std::exception& e) {
        Clear();
        ShowException(e);
    }
}

void TDBLinkEdit::focusInEvent(QFocusEvent* AEvent)
{
    TLinkEdit::focusInEvent(AEvent);
    // Coming back from another window or a pop-up is no new entry.
    if (AEvent->reason() != Qt::ActiveWindowFocusReason && AEvent->reason() != Qt::PopupFocusReason
        && FDataLink.Field())
        FDataLink.Reset();
}

void TDBLinkEdit::focusOutEvent(QFocusEvent* AEvent)
{
    // Another window or the pop-up taking the focus for a while does not leave the edit.
    const bool leaving = AEvent->reason() != Qt::ActiveWindowFocusReason && AEvent->reason() != Qt::PopupFocusReason;
    if (!leaving || !EditAllowed()) {
        TLinkEdit::focusOutEvent(AEvent);
        return;
    }
    const int previous = PkValue();
    try {
        LookUpTypedCode();
        FDataLink.UpdateRecord();
    } catch (const std::exception& e) {
        // The record could not take the value: the key comes back and the edit keeps the
        // focus, so the user can correct it.
        FPkValue = Value(previous);
        selectAll();
        setFocus();
        ShowException(e);
        return;
    }
    TLinkEdit::focusOutEvent(AEvent);
}

void TDBLinkEdit::keyPressEvent(QKeyEvent* AEvent)
{
    const bool allowed = EditAllowed();
    const int key = AEvent->key();
    const bool shiftInsert = key == Qt::Key_Insert && (AEvent->modifiers() & Qt::ShiftModifier);
    if (!allowed && (key == Qt::Key_Delete || shiftInsert)) {
        AEvent->accept();
        return;
    }
    if (!allowed) {
        const QString t = AEvent->text();
        const bool printable = !t.isEmpty() && t.at(0).unicode() >= 32;
        if (printable || key == Qt::Key_Backspace || AEvent->matches(QKeySequence::Paste)
            || AEvent->matches(QKeySequence::Cut)) {
            AEvent->accept();
            return;
        }
    }
    if (key == Qt::Key_Escape && allowed && text() != FPrevText) {
        // Undo the typing back to the value held before.
        setText(FPrevText);
        if (FDataLink.Field())
            FDataLink.Reset();
        AEvent->accept();
        return;
    }
    TLinkEdit::keyPressEvent(AEvent);
}
