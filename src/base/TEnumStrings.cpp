#include "base/TEnumStrings.h"

#include "platform/rtl/DelphiFormat.h"
#include "platform/rtl/EInvalidCast.h"
#include "platform/rtl/Exception.h"

#include <algorithm>

TEnumStrings::TEnumStrings() = default;

TEnumStrings::TEnumStrings(TStrings* origStrings) : FOrig(origStrings) {}

TEnumStrings::~TEnumStrings()
{
    if (FOrig) {
        // The underlying list outlives this one; its slots must not keep our boxes.
        for (int i = 0; i < FOrig->GetCount(); ++i) {
            TObject* o = FOrig->GetObjectPtr(i);
            if (o && std::any_of(FBoxes.begin(), FBoxes.end(),
                                 [o](const auto& b) { return b.get() == o; }))
                FOrig->PutObject(i, nullptr);
        }
    } else {
        OnChange = nullptr;
        OnChanging = nullptr;
        TStringList::Clear();
    }
}

TInteger* TEnumStrings::NewBox(qintptr code)
{
    FBoxes.push_back(std::make_unique<TInteger>(code));
    return FBoxes.back().get();
}

void TEnumStrings::FreeBoxOf(TObject* object, int deletedIndex)
{
    if (!object)
        return;
    // Another slot may still point at the same box (PutObject copies pointers).
    for (int i = 0; i < TStringList::GetCount(); ++i)
        if (i != deletedIndex && TStringList::GetObjectPtr(i) == object)
            return;
    FBoxes.erase(std::remove_if(FBoxes.begin(), FBoxes.end(),
                                 [object](const auto& b) { return b.get() == object; }),
                  FBoxes.end());
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
    return FOrig ? FOrig->Get(index) : TStringList::Get(index);
}

int TEnumStrings::GetCapacity() const
{
    return FOrig ? FOrig->GetCapacity() : TStringList::GetCapacity();
}

int TEnumStrings::GetCount() const
{
    return FOrig ? FOrig->GetCount() : TStringList::GetCount();
}

TObject* TEnumStrings::GetObjectPtr(int index) const
{
    return FOrig ? FOrig->GetObjectPtr(index) : TStringList::GetObjectPtr(index);
}

void TEnumStrings::Put(int index, const QString& s)
{
    if (FOrig)
        FOrig->Put(index, s);
    else
        TStringList::Put(index, s);
}

void TEnumStrings::PutObject(int index, TObject* object)
{
    if (FOrig)
        FOrig->PutObject(index, object);
    else
        TStringList::PutObject(index, object);
}

void TEnumStrings::SetCapacity(int capacity)
{
    if (FOrig)
        FOrig->SetCapacity(capacity);
    else
        TStringList::SetCapacity(capacity);
}

int TEnumStrings::AddInt(const QString& s, qintptr code)
{
    TInteger* box = NewBox(code);
    if (!FOrig)
        return TStringList::AddObject(s, box);
    Changing();
    const int index = FOrig->AddObject(s, box);
    Changed();
    return index;
}

int TEnumStrings::AddObject(const QString& s, qintptr code)
{
    return AddInt(s, code);
}

int TEnumStrings::Add(const QString& s)
{
    if (!FOrig)
        return TStringList::Add(s);
    Changing();
    const int index = FOrig->Add(s);
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
    if (!FOrig) {
        CheckIndex(index, true);
        TStringList::InsertObject(index, s, NewBox(code));
        return;
    }
    TInteger* box = NewBox(code);
    Changing();
    FOrig->InsertObject(index, s, box);
    Changed();
}

void TEnumStrings::Delete(int index)
{
    if (index == -1)
        return;
    if (!FOrig) {
        TObject* object = TStringList::GetObjectPtr(index);
        TStringList::Delete(index);
        FreeBoxOf(object, -1);
        return;
    }
    Changing();
    FOrig->Delete(index);
    Changed();
}

void TEnumStrings::Clear()
{
    if (!FOrig) {
        BeginUpdate();
        for (int i = TStringList::GetCount() - 1; i >= 0; --i)
            Delete(i);
        TStringList::Clear();
        FBoxes.clear();
        EndUpdate();
        return;
    }
    Changing();
    FOrig->Clear();
    FBoxes.clear();
    Changed();
}

int TEnumStrings::IndexOf(const QString& s) const
{
    return FOrig ? FOrig->IndexOf(s) : TStringList::IndexOf(s);
}

void TEnumStrings::Sort()
{
    if (!FOrig) {
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
        if (FOrig && !box)
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
    if (FOrig)
        FOrig->BeginUpdate();
}

void TEnumStrings::EndUpdate()
{
    TStringList::EndUpdate();
    if (FOrig)
        FOrig->EndUpdate();
}
