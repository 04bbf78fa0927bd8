#include "export/TxlColumn.h"

#include "export/TDocumentExportBase.h"
#include "export/TxlColumns.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"

TxlColumn::TxlColumn(TxlColumns* collection) : FCollection(collection) { }

TxlColumn::~TxlColumn()
{
    ForgetField();
    ForgetDataSet();
}

int TxlColumn::Index() const
{
    return FCollection ? FCollection->IndexOf(this) : -1;
}

void TxlColumn::ForgetField()
{
    if (FField && FFieldNotice >= 0)
        FField->RemoveFreeNotification(FFieldNotice);
    FField = nullptr;
    FFieldNotice = -1;
}

void TxlColumn::ForgetDataSet()
{
    if (FDataSet && FDataSetNotice >= 0)
        FDataSet->RemoveFreeNotification(FDataSetNotice);
    FDataSet = nullptr;
    FDataSetNotice = -1;
}

TField* TxlColumn::Field()
{
    if (!FField && FDataSet && !FDataField.isEmpty()) {
        FField = FDataSet->FindField(FDataField);
        if (FField)
            FFieldNotice = FField->AddFreeNotification([this](TField*) {
                FField = nullptr;
                FFieldNotice = -1;
            });
    }
    return FField;
}

void TxlColumn::SetDataSet(TDataSet* v)
{
    if (v == FDataSet)
        return;
    ForgetField();
    ForgetDataSet();
    FDataSet = v;
    if (FDataSet)
        FDataSetNotice = FDataSet->AddFreeNotification([this](TDataSet*) {
            // Our field dies with the dataset; neither may be touched any more.
            FField = nullptr;
            FFieldNotice = -1;
            FDataSet = nullptr;
            FDataSetNotice = -1;
        });
    UpdateFromField();
}

void TxlColumn::SetDataField(const QString& v)
{
    const QString upper = v.toUpper();
    if (upper == FDataField)
        return;
    ForgetField();
    FDataField = upper;
    UpdateFromField();
}

void TxlColumn::UpdateFromField()
{
    if (!FDataSet || FDataField.isEmpty())
        return;
    TField* f = FDataSet->FindField(FDataField);
    if (!f)
        return;
    FAlignment = f->Alignment();
    FDisplayLabel = f->DisplayLabel();
    FDisplayWidth = f->DisplayWidth();
    const TFieldType t = f->DataType();
    if (IsNumericFieldType(t) || t == TFieldType::ftDate || t == TFieldType::ftTime
        || t == TFieldType::ftDateTime)
        FDisplayFormat = f->DisplayFormat();
}

QString TxlColumn::GetDisplayName() const
{
    if (!FDisplayLabel.isEmpty())
        return FDisplayLabel;
    if (!FDataField.isEmpty())
        return FDataField;
    return QStringLiteral("TxlColumn");
}

void TxlColumn::Assign(const TxlColumn& source)
{
    if (&source == this)
        return;
    FAggregate = source.FAggregate;
    FAlignment = source.FAlignment;
    SetDataSet(source.FDataSet);
    SetDataField(source.FDataField);
    FDisplayFormat = source.FDisplayFormat;
    FDisplayLabel = source.FDisplayLabel;
    FDisplayWidth = source.FDisplayWidth;
    FLabelAlignment = source.FLabelAlignment;
    FCellColor = source.FCellColor;
    FComment = source.FComment;
    FDictionary.Assign(source.FDictionary);
    FCommentLegend = source.FCommentLegend;
}
