#include "platform/rtl/TStringList.h"

#include <algorithm>

TStringList::~TStringList() = default;

QString TStringList::Get(int index) const
{
    CheckIndex(index);
    return FItems[size_t(index)].text;
}

int TStringList::GetCount() const
{
    return int(FItems.size());
}

TObject* TStringList::GetObjectPtr(int index) const
{
    CheckIndex(index);
    return FItems[size_t(index)].object;
}

void TStringList::Put(int index, const QString& s)
{
    CheckIndex(index);
    Changing();
    FItems[size_t(index)].text = s;
    Changed();
}

void TStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    Changing();
    FItems[size_t(index)].object = object;
    Changed();
}

int TStringList::GetCapacity() const
{
    return int(FItems.capacity());
}

void TStringList::SetCapacity(int capacity)
{
    if (capacity > 0)
        FItems.reserve(size_t(capacity));
}

int TStringList::Add(const QString& s)
{
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const QString& s, TObject* object)
{
    const int index = GetCount();
    InsertObject(index, s, object);
    return index;
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    FItems.clear();
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    FItems.erase(FItems.begin() + index);
    Changed();
}

int TStringList::IndexOf(const QString& s) const
{
    const Qt::CaseSensitivity cs = FCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].text.compare(s, cs) == 0)
            return int(i);
    return -1;
}

void TStringList::Insert(int index, const QString& s)
{
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const QString& s, TObject* object)
{
    CheckIndex(index, true);
    Changing();
    FItems.insert(FItems.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Sort()
{
    Changing();
    const Qt::CaseSensitivity cs = FCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    std::stable_sort(FItems.begin(), FItems.end(), [cs](const Item& a, const Item& b) {
        return a.text.compare(b.text, cs) < 0;
    });
    Changed();
}
