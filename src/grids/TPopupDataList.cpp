#include "grids/TPopupDataList.h"

#include "base/TEnumStrings.h"
#include "platform/data/DataSet.h"

#include <QScopeGuard>

TPopupDataList::TPopupDataList(TDBEditGridInplaceEdit* AEditor) : TPopupListbox(AEditor) { }

void TPopupDataList::Load(TDataSet* ADataSet, const QString& AKeyFields, const QString& AListField,
                          const Value& AKeyValue)
{
    FKeyValue = AKeyValue;
    FKeys.clear();
    MyItems()->Clear();
    const std::vector<TField*> keys = ADataSet->GetFieldList(AKeyFields);
    TField* list = ADataSet->FieldByName(AListField);
    const TBookmark at = ADataSet->GetBookmark();
    ADataSet->DisableControls();
    const auto restore = qScopeGuard([&] {
        if (ADataSet->BookmarkValid(at))
            ADataSet->GotoBookmark(at);
        ADataSet->EnableControls();
    });
    for (ADataSet->First(); !ADataSet->Eof(); ADataSet->Next()) {
        MyItems()->Add(list->DisplayText());
        if (keys.size() == 1) {
            FKeys.push_back(keys[0]->Value());
        } else {
            ValueArray values;
            for (TField* k : keys)
                values.push_back(k->Value());
            FKeys.emplace_back(values);
        }
    }
    LoadItems(false);
    clearSelection();
    setCurrentRow(-1);
    if (!AKeyValue.IsNull())
        for (size_t i = 0; i < FKeys.size(); ++i)
            if (FKeys[i] == AKeyValue) {
                setCurrentRow(static_cast<int>(i));
                break;
            }
}

Value TPopupDataList::KeyValue() const
{
    const int row = currentRow();
    if (row >= 0 && static_cast<size_t>(row) < FKeys.size() && item(row)->isSelected())
        return FKeys[static_cast<size_t>(row)];
    return FKeyValue;
}
