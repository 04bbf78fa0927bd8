#include "platform/rtl/TStrings.h"

#include "platform/rtl/EListError.h"

TStrings::~TStrings() = default;

TObject* TStrings::GetObjectPtr(int) const
{
    return nullptr;
}

void TStrings::Put(int index, const QString& s)
{
    TObject* object = GetObjectPtr(index);
    BeginUpdate();
    Delete(index);
    InsertObject(index, s, object);
    EndUpdate();
}

void TStrings::PutObject(int, TObject*)
{
}

int TStrings::GetCapacity() const
{
    return GetCount();
}

void TStrings::SetCapacity(int)
{
}

int TStrings::Add(const QString& s)
{
    const int index = GetCount();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const QString& s, TObject* object)
{
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

int TStrings::IndexOf(const QString& s) const
{
    const int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (Get(i).compare(s, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TStrings::InsertObject(int index, const QString& s, TObject* object)
{
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::Assign(const TStrings& source)
{
    if (&source == this)
        return;
    BeginUpdate();
    Clear();
    for (int i = 0; i < source.GetCount(); ++i)
        AddObject(source.Get(i), source.GetObjectPtr(i));
    EndUpdate();
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        Changing();
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    --FUpdateCount;
    if (FUpdateCount == 0)
        Changed();
}

int TStrings::IndexOfObject(const TObject* object) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetObjectPtr(i) == object)
            return i;
    return -1;
}

QStringList TStrings::ToStringList() const
{
    QStringList r;
    for (int i = 0; i < GetCount(); ++i)
        r << Get(i);
    return r;
}

void TStrings::AddStrings(const QStringList& texts)
{
    BeginUpdate();
    for (const QString& s : texts)
        Add(s);
    EndUpdate();
}

void TStrings::Changing()
{
    if (FUpdateCount == 0 && OnChanging)
        OnChanging(this);
}

void TStrings::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

void TStrings::CheckIndex(int index, bool inserting) const
{
    const int limit = inserting ? GetCount() : GetCount() - 1;
    if (index < 0 || index > limit)
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}
