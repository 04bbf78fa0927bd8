#include "base/TEnumStrings.h"

#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/EInvalidCast.h"
#include "platform/rtl/Exception.h"

#include <algorithm>

TEnumStrings::TEnumStrings() = default;

TEnumStrings::TEnumStrings(TStrings* origStrings) : m_orig(origStrings) {}

TEnumStrings::~TEnumStrings()
{
    if (m_orig) {
        // The underlying list outlives this one; its slots must not keep our boxes.
        for (int i = 0; i < m_orig->GetCount(); ++i) {
            TObject* o = m_orig->GetObjectPtr(i);
            if (o && std::any_of(m_boxes.begin(), m_boxes.end(),
                                 [o](const auto& b) { return b.get() == o; }))
                m_orig->PutObject(i, nullptr);
        }
    } else {
        OnChange = nullptr;
        OnChanging = nullptr;
        TStringList::Clear();
    }
}

TInteger* TEnumStrings::NewBox(qintptr code)
{
    m_boxes.push_back(std::make_unique<TInteger>(code));
    return m_boxes.back().get();
}

void TEnumStrings::FreeBoxOf(TObject* object, int deletedIndex)
{
    if (!object)
        return;
    // Another slot may still point at the same box (PutObject copies pointers).
    for (int i = 0; i < TStringList::GetCount(); ++i)
        if (i != deletedIndex && TStringList::GetObjectPtr(i) == object)
            return;
    m_boxes.erase(std::remove_if(m_boxes.begin(), m_boxes.end(),
                                 [object](const auto& b) { return b.get() == object; }),
                  m_boxes.end());
}

TInteger* TEnumStrings::BoxAt(int index) const
{
    TObject* o = GetObjectPtr(index);
    if (!o)
        return nullptr;
    auto* box = dynamic_cast<TInteger*>(o);
    if (!box)
        throw EInvalidCast(QStringLiteral("Invalid class typecast"));
    return box;
}

void TEnumStrings::Assign(const TStrings& source)
{
    const auto* src = dynamic_cast<const TEnumStrings*>(&source);
    if (!src)
        throw Exception(QStringLiteral("Assign source must be source TEnumStrings"));
    if (src == this)
        return;
    Clear();
    for (int i = 0; i < src->GetCount(); ++i)
        AddInt(src->Get(i), src->GetObject(i));
}

QString TEnumStrings::Get(int index) const
{
    return m_orig ? m_orig->Get(index) : TStringList::Get(index);
}

int TEnumStrings::GetCapacity() const
{
    return m_orig ? m_orig->GetCapacity() : TStringList::GetCapacity();
}

int TEnumStrings::GetCount() const
{
    return m_orig ? m_orig->GetCount() : TStringList::GetCount();
}

TObject* TEnumStrings::GetObjectPtr(int index) const
{
    return m_orig ? m_orig->GetObjectPtr(index) : TStringList::GetObjectPtr(index);
}

void TEnumStrings::Put(int index, const QString& s)
{
    if (m_orig)
        m_orig->Put(index, s);
    else
        TStringList::Put(index, s);
}

void TEnumStrings::PutObject(int index, TObject* object)
{
    if (m_orig)
        m_orig->PutObject(index, object);
    else
        TStringList::PutObject(index, object);
}

void TEnumStrings::SetCapacity(int capacity)
{
    if (m_orig)
        m_orig->SetCapacity(capacity);
    else
        TStringList::SetCapacity(capacity);
}

int TEnumStrings::AddInt(const QString& s, qintptr code)
{
    TInteger* box = NewBox(code);
    if (!m_orig)
        return TStringList::AddObject(s, box);
    Changing();
    const int index = m_orig->AddObject(s, box);
    Changed();
    return index;
}

int TEnumStrings::AddObject(const QString& s, qintptr code)
{
    return AddInt(s, code);
}

int TEnumStrings::Add(const QString& s)
{
    if (!m_orig)
        return TStringList::Add(s);
    Changing();
    const int index = m_orig->Add(s);
    Changed();
    return index;
}

int TEnumStrings::AddUnique(const QString& s)
{
    const int index = IndexOf(s);
    return index == -1 ? Add(s) : index;
}

void TEnumStrings::Insert(int index, const QString& s)
{
    InsertObject(index, s, index);
}

void TEnumStrings::InsertObject(int index, const QString& s, qintptr code)
{
    if (!m_orig) {
        CheckIndex(index, true);
        TStringList::InsertObject(index, s, NewBox(code));
        return;
    }
    TInteger* box = NewBox(code);
    Changing();
    m_orig->InsertObject(index, s, box);
    Changed();
}

void TEnumStrings::Delete(int index)
{
    if (index == -1)
        return;
    if (!m_orig) {
        TObject* object = TStringList::GetObjectPtr(index);
        TStringList::Delete(index);
        FreeBoxOf(object, -1);
        return;
    }
    Changing();
    m_orig->Delete(index);
    Changed();
}

void TEnumStrings::Clear()
{
    if (!m_orig) {
        BeginUpdate();
        for (int i = TStringList::GetCount() - 1; i >= 0; --i)
            Delete(i);
        TStringList::Clear();
        m_boxes.clear();
        EndUpdate();
        return;
    }
    Changing();
    m_orig->Clear();
    m_boxes.clear();
    Changed();
}

int TEnumStrings::IndexOf(const QString& s) const
{
    return m_orig ? m_orig->IndexOf(s) : TStringList::IndexOf(s);
}

void TEnumStrings::Sort()
{
    if (!m_orig) {
        TStringList::Sort();
        return;
    }
    TEnumStrings sorted;
    sorted.Assign(*this);
    sorted.Sort();
    Assign(sorted);
}

qintptr TEnumStrings::GetObject(int index) const
{
    const TInteger* box = BoxAt(index);
    return box ? box->Value() : 0;
}

void TEnumStrings::SetObject(int index, qintptr code)
{
    if (TInteger* box = BoxAt(index))
        box->SetValue(code);
    else
        PutObject(index, NewBox(code));
}

int TEnumStrings::IndexOfObject(qintptr code) const
{
    for (int i = 0; i < GetCount(); ++i) {
        const TInteger* box = BoxAt(i);
        if (m_orig && !box)
            continue;
        if ((box ? box->Value() : 0) == code)
            return i;
    }
    return -1;
}

::Value TEnumStrings::AsPrimaryKey() const
{
    const int n = GetCount();
    if (n == 0)
        return ::Value();
    if (n == 1)
        return ::Value(StrToInt(Get(0)));
    ValueArray items;
    items.reserve(size_t(n));
    for (int i = 0; i < n; ++i)
        items.push_back(::Value(StrToInt(Get(i))));
    return ::Value(std::move(items));
}

void TEnumStrings::BeginUpdate()
{
    TStringList::BeginUpdate();
    if (m_orig)
        m_orig->BeginUpdate();
}

void TEnumStrings::EndUpdate()
{
    TStringList::EndUpdate();
    if (m_orig)
        m_orig->EndUpdate();
}
