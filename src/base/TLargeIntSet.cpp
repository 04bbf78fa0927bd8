#include "base/TLargeIntSet.h"

#include "platform/data/DataSet.h"

std::unique_ptr<TLargeIntSet> TLargeIntSet::CreateSet(std::initializer_list<int> aIntSet)
{
    auto set = std::make_unique<TLargeIntSet>();
    set->Include(aIntSet);
    return set;
}

void TLargeIntSet::Include(std::initializer_list<int> aIntSet)
{
    for (int v : aIntSet)
        AddItem(v);
}

void TLargeIntSet::Exclude(std::initializer_list<int> aIntSet)
{
    for (int v : aIntSet)
        DeleteItem(v);
}

bool TLargeIntSet::Intersects(std::initializer_list<int> aIntSet) const
{
    for (int v : aIntSet)
        if (ItemExists(v))
            return true;
    return false;
}

int TLargeIntSet::GetItem(int index) const
{
    return static_cast<int>(ItemAt(index));
}

int TLargeIntSet::Compare(qintptr a, qintptr b) const
{
    // A comparison, not a subtraction: the difference of two 32-bit values may not fit.
    const int x = static_cast<int>(a);
    const int y = static_cast<int>(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

void TLargeIntSet::LoadFromDataSetField(TField* field)
{
    Clear();
    if (!field || !field->DataSet())
        return;
    TDataSet* ds = field->DataSet();
    ds->DisableControls();
    try {
        ds->CheckBrowseMode();
        const TBookmark mark = ds->GetBookmark();
        try {
            ds->First();
            while (!ds->Eof()) {
                Include(field->AsInteger());
                ds->Next();
            }
        } catch (...) {
            if (ds->BookmarkValid(mark))
                ds->GotoBookmark(mark);
            throw;
        }
        if (ds->BookmarkValid(mark))
            ds->GotoBookmark(mark);
    } catch (...) {
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
}
