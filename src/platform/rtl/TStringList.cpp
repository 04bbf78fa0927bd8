#include "platform/rtl/TStringList.h"

#include <algorithm>

TStringList::~TStringList() = default;

QString TStringList::Get(int index) const
{
    CheckIndex(index);
    return m_items[size_t(index)].text;
}

int TStringList::GetCount() const
{
    return int(m_items.size());
}

TObject* TStringList::GetObjectPtr(int index) const
{
    CheckIndex(index);
    return m_items[size_t(index)].object;
}

void TStringList::Put(int index, const QString& s)
{
    CheckIndex(index);
    Changing();
    m_items[size_t(index)].text = s;
    Changed();
}

void TStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    Changing();
    m_items[size_t(index)].object = object;
    Changed();
}

int TStringList::GetCapacity() const
{
    return int(m_items.capacity());
}

void TStringList::SetCapacity(int capacity)
{
    if (capacity > 0)
        m_items.reserve(size_t(capacity));
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
    if (m_items.empty())
        return;
    Changing();
    m_items.clear();
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    m_items.erase(m_items.begin() + index);
    Changed();
}

int TStringList::IndexOf(const QString& s) const
{
    const Qt::CaseSensitivity cs = m_caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].text.compare(s, cs) == 0)
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
    m_items.insert(m_items.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Sort()
{
    Changing();
    const Qt::CaseSensitivity cs = m_caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    std::stable_sort(m_items.begin(), m_items.end(), [cs](const Item& a, const Item& b) {
        return a.text.compare(b.text, cs) < 0;
    });
    Changed();
}
