#include "grids/EdGridDataLink.h"

#include "grids/CustomDBEdGrid.h"
#include "grids/EInvalidGridOperation.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"

#include <algorithm>

namespace {
constexpr int kMaxMapSize = 0x0FFFFFFF;
}

TEdGridDataLink::TEdGridDataLink(TCustomDBEdGrid* Grid) : FGrid(Grid) {}

TEdGridDataLink::~TEdGridDataLink()
{
    ClearMapping();
}

bool TEdGridDataLink::DefaultFields() const
{
    TDataSet* ds = DataSet();
    if (!ds)
        return true;
    if (!ds->DefaultFields())
        return false;
    if (FSparseMap)
        return std::none_of(FFieldMap.begin(), FFieldMap.begin() + FFieldCount, [](int i) { return i < 0; });
    return true;
}

bool TEdGridDataLink::AddMapping(const QString& FieldName)
{
    if (FFieldCount >= kMaxMapSize)
        throw EInvalidGridOperation(QStringLiteral("Grid requested to display more than 256 columns"));
    TDataSet* ds = DataSet();
    TField* field = nullptr;
    if (ds)
        field = FSparseMap ? ds->FindField(FieldName) : ds->FieldByName(FieldName);
    if (FFieldCount >= static_cast<int>(FFieldMap.size())) {
        // Grows by doubling from 8 so that mapping many fields stays linear.
        const qint64 grown = FFieldMap.empty() ? 8 : static_cast<qint64>(FFieldMap.size()) * 2;
        FFieldMap.resize(static_cast<size_t>(std::min<qint64>(std::max<qint64>(grown, FFieldCount + 1), kMaxMapSize)));
    }
    int index = -1;
    if (field) {
        index = ds->IndexOfField(field);
        TEdGridDataLink* self = this;
        const int id = field->AddFreeNotification([self](TField* gone) {
            for (auto& n : self->FNotices)
                if (n.first == gone)
                    n.second = -1;
            self->FGrid->FieldRemoved(gone, true);
        });
        FNotices.emplace_back(field, id);
    }
    FFieldMap[static_cast<size_t>(FFieldCount)] = index;
    ++FFieldCount;
    return true;
}

void TEdGridDataLink::ClearMapping()
{
    for (const auto& n : FNotices)
        if (n.second >= 0)
            n.first->RemoveFreeNotification(n.second);
    FNotices.clear();
    FFieldMap.clear();
    FFieldCount = 0;
}

int TEdGridDataLink::GetMappedIndex(int ColIndex) const
{
    if (ColIndex < 0 || ColIndex >= FFieldCount)
        return -1;
    return FFieldMap[static_cast<size_t>(ColIndex)];
}

TField* TEdGridDataLink::GetFields(int I) const
{
    TDataSet* ds = DataSet();
    const int index = GetMappedIndex(I);
    if (!ds || index < 0 || index >= ds->FieldCount())
        return nullptr;
    return ds->Fields(index);
}

void TEdGridDataLink::Reset()
{
    if (FModified)
        RecordChanged(nullptr);
    else if (TDataSet* ds = DataSet())
        ds->Cancel();
}

void TEdGridDataLink::ActiveChanged()
{
    if (Active())
        FModified = false;
    FGrid->LinkActive(Active());
}

void TEdGridDataLink::DataSetChanged()
{
    FGrid->DataChanged();
    FModified = false;
}

void TEdGridDataLink::DataSetScrolled(int Distance) { FGrid->Scroll(Distance); }

void TEdGridDataLink::FocusControl(TField** Field)
{
    if (!Field || !*Field)
        return;
    FGrid->SetSelectedField(*Field);
    if (FGrid->SelectedField() == *Field && FGrid->AcquireFocus()) {
        *Field = nullptr;
        FGrid->ShowEditor();
    }
}

void TEdGridDataLink::EditingChanged() { FGrid->EditingChanged(); }

void TEdGridDataLink::LayoutChanged()
{
    const bool old = FGrid->LayoutFromDataset();
    FGrid->SetLayoutFromDataset(true);
    try {
        FGrid->LayoutChanged();
    } catch (...) {
        FGrid->SetLayoutFromDataset(old);
        throw;
    }
    FGrid->SetLayoutFromDataset(old);
    TDataLink::LayoutChanged();
}

void TEdGridDataLink::RecordChanged(TField* Field)
{
    FGrid->RecordChanged(Field);
    FModified = false;
}

void TEdGridDataLink::UpdateData()
{
    FInUpdateData = true;
    try {
        if (FModified)
            FGrid->WriteEditText();
    } catch (...) {
        FInUpdateData = false;
        throw;
    }
    FModified = false;
    FInUpdateData = false;
}
