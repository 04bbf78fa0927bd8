#include "app/DBReadOnlyEdit.h"

#include "app/DBReadOnlyEditLink.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"

TDBReadOnlyEdit::TDBReadOnlyEdit(QWidget* parent)
    : QLineEdit(parent), FDataLink(std::make_unique<TDBReadOnlyEditLink>(this))
{
    setReadOnly(true);
    FDataLink->SetReadOnly(true);
}

TDBReadOnlyEdit::~TDBReadOnlyEdit()
{
    // Unlink first so the source never calls back into a half-destroyed edit.
    FDataLink->SetDataSource(nullptr);
}

TDataSource* TDBReadOnlyEdit::DataSource() const { return FDataLink->DataSource(); }

void TDBReadOnlyEdit::SetDataSource(TDataSource* value)
{
    FDataLink->SetDataSource(value);
    UpdateText();
}

void TDBReadOnlyEdit::SetDataField(const QString& value)
{
    FDataField = value;
    UpdateText();
}

TField* TDBReadOnlyEdit::Field() const
{
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || !ds || FDataField.isEmpty())
        return nullptr;
    return ds->FindField(FDataField);
}

void TDBReadOnlyEdit::UpdateText()
{
    TField* f = Field();
    TDataSet* ds = FDataLink->DataSet();
    const QString text = (f && ds && !ds->IsEmpty()) ? f->DisplayText() : QString();
    if (text != QLineEdit::text()) {
        setText(text);
        setCursorPosition(0);
    }
}
