#include "controls/TFieldDataLink.h"

#include "platform/data/DataSet.h"

void TFieldDataLink::SetFieldName(const QString& AValue)
{
    if (AValue == FFieldName)
        return;
    FFieldName = AValue;
    UpdateField();
}

void TFieldDataLink::UpdateField()
{
    TDataSet* ds = DataSet();
    FField = Active() && ds && !FFieldName.isEmpty() ? ds->FindField(FFieldName) : nullptr;
    RecordChanged(nullptr);
}

void TFieldDataLink::Reset()
{
    RecordChanged(nullptr);
}

void TFieldDataLink::ActiveChanged()
{
    UpdateField();
    if (OnActiveChange)
        OnActiveChange();
}

void TFieldDataLink::EditingChanged()
{
    if (OnEditingChange)
        OnEditingChange();
}

void TFieldDataLink::LayoutChanged()
{
    UpdateField();
}

void TFieldDataLink::RecordChanged(TField* AField)
{
    if (AField && AField != FField)
        return;
    if (OnDataChange)
        OnDataChange();
    FModified = false;
}

void TFieldDataLink::UpdateData()
{
    if (!FModified)
        return;
    if (OnUpdateData)
        OnUpdateData();
    FModified = false;
}
