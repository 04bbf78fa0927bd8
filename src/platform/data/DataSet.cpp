#include "platform/data/DataSet.h"

#include "platform/data/DataSource.h"
#include "platform/data/EDatabaseError.h"
#include "platform/data/FilterExpression.h"
#include "platform/data/IntegerField.h"
#include "platform/data/SmallintField.h"
#include "platform/data/StringField.h"
#include "platform/data/KpDbDataSet.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <typeinfo>

namespace {

TColumnStore::Kind ColumnKindOf(TFieldType storageType)
{
    switch (storageType) {
    case TFieldType::ftInteger: return TColumnStore::Kind::Int32;
    case TFieldType::ftLargeint: return TColumnStore::Kind::Int64;
    case TFieldType::ftFloat: return TColumnStore::Kind::Double;
    default: return TColumnStore::Kind::String;
    }
}

bool IsEditState(TDataSetState s)
{
    return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert;
}

// Orders a stored value against a key value of the same field (nulls first).
int CompareStoredToKey(const TColumnStore& column, int slot, const ::Value& key, bool caseInsensitive)
{
    const bool slotNull = column.IsNull(slot);
    if (slotNull || key.IsNull())
        return slotNull == key.IsNull() ? 0 : (slotNull ? -1 : 1);
    switch (column.StorageKind()) {
    case TColumnStore::Kind::Int32:
    case TColumnStore::Kind::Int64: {
        const qint64 v = column.StorageKind() == TColumnStore::Kind::Int32 ? column.Int32At(slot) : column.Int64At(slot);
        if (key.GetKind() == ::Value::Kind::Float) {
            const double k = key.AsFloat();
            return double(v) < k ? -1 : (double(v) > k ? 1 : 0);
        }
        const qint64 k = key.AsInt64();
        return v < k ? -1 : (v > k ? 1 : 0);
    }
    case TColumnStore::Kind::Double: {
        const double v = column.DoubleAt(slot);
        const double k = key.IsDateTime() ? key.AsDateTime().Days() : key.AsFloat();
        return v < k ? -1 : (v > k ? 1 : 0);
    }
    case TColumnStore::Kind::String: return column.CompareText(slot, key.AsString(), caseInsensitive);
    case TColumnStore::Kind::Bytes: {
        const int c = QString::compare(QString::fromLatin1(column.BytesAt(slot)), key.AsString(),
                                       caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    }
    return 0;
}

} // namespace

TDataSet::TDataSet() = default;

TDataSet::~TDataSet()
{
    if (FKpDbDataSet) {
        FKpDbDataSet->DataSetGone();
        FKpDbDataSet = nullptr;
    }
    auto notifications = std::move(FFreeNotifications);
    for (auto& [id, callback] : notifications)
        if (callback)
            callback(this);
    FState = TDataSetState::dsInactive;
    const auto sources = FDataSources;
    FDataSources.clear();
    for (TDataSource* source : sources)
        source->DataSetGone();
    for (auto& f : FFields) {
        f->FDataSet = nullptr;
        f->FIndex = -1;
    }
    FFields.clear();
}

// ---------------------------------------------------------------- fields

TField* TDataSet::FindField(const QString& name) const
{
    auto it = FFieldByName.constFind(name);
    if (it == FFieldByName.constEnd()) {
        it = FFieldByUpperName.constFind(name.toUpper());
        if (it == FFieldByUpperName.constEnd())
            return nullptr;
    }
    return FFields[size_t(it.value())].get();
}

void TDataSet::ReindexFields()
{
    FFieldByName.clear();
    FFieldByUpperName.clear();
    for (int i = int(FFields.size()) - 1; i >= 0; --i) {
        const QString& name = FFields[size_t(i)]->FieldName();
        FFieldByName.insert(name, i);
        FFieldByUpperName.insert(name.toUpper(), i);
    }
}

TField* TDataSet::FieldByName(const QString& name) const
{
    TField* f = FindField(name);
    if (!f)
        throw EDatabaseError(FName.isEmpty() ? QStringLiteral("Field '%1' not found").arg(name)
                                              : QStringLiteral("%1: Field '%2' not found").arg(FName, name));
    return f;
}

std::vector<TField*> TDataSet::GetFieldList(const QString& fieldNames) const
{
    std::vector<TField*> result;
    const auto parts = fieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            result.push_back(FieldByName(name));
    }
    return result;
}

QStringList TDataSet::GetFieldNames() const
{
    QStringList names;
    for (const auto& f : FFields)
        names << f->FieldName();
    return names;
}

int TDataSet::IndexOfField(const TField* field) const
{
    return field && field->FDataSet == this ? field->FIndex : -1;
}

void TDataSet::MoveField(TField* field, int newIndex)
{
    const int from = IndexOfField(field);
    if (from < 0)
        return;
    const int n = FieldCount();
    const int to = std::clamp(newIndex, 0, n - 1);
    if (from == to)
        return;
    // Every list kept per field position turns the same way, so each field keeps its values.
    auto turn = [&](auto& list) {
        if (int(list.size()) != n)
            return;
        if (from < to)
            std::rotate(list.begin() + from, list.begin() + from + 1, list.begin() + to + 1);
        else
            std::rotate(list.begin() + to, list.begin() + from, list.begin() + from + 1);
    };
    auto moved = [&](int i) {
        if (i == from)
            return to;
        if (from < to && i > from && i <= to)
            return i - 1;
        if (to < from && i >= to && i < from)
            return i + 1;
        return i;
    };
    turn(FFields);
    turn(FColumns);
    turn(FBuffer);
    for (OrderKey& k : FOrderKeys)
        k.Field = moved(k.Field);
    for (auto& t : FRangeTerms)
        t.first = moved(t.first);
    for (int i = 0; i < n; ++i)
        FFields[size_t(i)]->FIndex = i;
    ReindexFields();
    if (FFilterExpr)
        CompileFilter();
    DataEvent(TDataEvent::deLayoutChange, nullptr);
}

void TDataSet::AddField(std::shared_ptr<TField> field)
{
    if (!field)
        return;
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (field->FDataSet == this)
        return;
    if (field->FDataSet)
        field->FDataSet->RemoveField(field.get());
    if (!field->FieldName().isEmpty() && FindField(field->FieldName()))
        throw EDatabaseError(QStringLiteral("Duplicate field name '%1'").arg(field->FieldName()));
    field->FDataSet = this;
    field->FIndex = int(FFields.size());
    FFields.push_back(std::move(field));
    FDefaultFields = false;
    ReindexFields();
}

void TDataSet::RemoveField(TField* field)
{
    if (!field || field->FDataSet != this)
        return;
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    auto keep = FFields[size_t(field->FIndex)];
    FFields.erase(FFields.begin() + field->FIndex);
    for (int i = 0; i < int(FFields.size()); ++i)
        FFields[size_t(i)]->FIndex = i;
    field->FDataSet = nullptr;
    field->FIndex = -1;
    ReindexFields();
}

void TDataSet::CreateFields()
{
    if (FDefaultFields && !FFields.empty()) {
        // Fields made from definitions that have changed since are made anew; unchanged ones
        // are kept, so pointers to them stay good across a close and an open.
        bool same = int(FFields.size()) == FFieldDefs.Count();
        for (int i = 0; same && i < FFieldDefs.Count(); ++i) {
            const TFieldDef& def = FFieldDefs.Items(i);
            const TField* f = FFields[size_t(i)].get();
            same = f->FieldName() == def.Name() && f->DataType() == def.DataType() && f->Size() == def.Size();
        }
        if (!same) {
            auto old = std::move(FFields);
            FFields.clear();
            for (auto& f : old) {
                f->FDataSet = nullptr;
                f->FIndex = -1;
            }
        }
    }
    if (FFields.empty()) {
        for (int i = 0; i < FFieldDefs.Count(); ++i) {
            auto f = FFieldDefs.Items(i).CreateField();
            f->FDataSet = this;
            f->FIndex = i;
            f->FFieldNo = i + 1;
            FFields.push_back(std::move(f));
        }
        FDefaultFields = true;
    } else if (FFieldDefs.Count() == 0) {
        for (const auto& f : FFields)
            if (f->FieldKind() == TFieldKind::fkData)
                FFieldDefs.Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
    }
    ReindexFields();
    for (const auto& f : FFields) {
        if (f->FieldKind() != TFieldKind::fkData) {
            f->FFieldNo = -1;
            continue;
        }
        const int def = FFieldDefs.IndexOf(f->FieldName());
        if (def < 0)
            throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(f->FieldName()));
        if (!FDefaultFields)
            f->BindToColumn(FFieldDefs.Items(def).DataType(), FFieldDefs.Items(def).Size());
        f->FFieldNo = def + 1;
    }
    if (FFields.empty())
        throw EDatabaseError(QStringLiteral("Cannot create a dataset without fields"));
}

// ---------------------------------------------------------------- open and close

void TDataSet::SetActive(bool active)
{
    if (active)
        Open();
    else
        Close();
}

void TDataSet::Open()
{
    if (Active())
        return;
    Fire(BeforeOpen);
    CreateFields();
    InternalOpen();
    FPos = 0;
    FReadPos = 0;
    FBof = true;
    FEof = ViewCount() == 0;
    SetState(TDataSetState::dsBrowse);
    Fire(AfterOpen);
    if (!IsEmpty())
        Fire(AfterScroll);
}

void TDataSet::InternalOpen()
{
    FColumns.clear();
    FColumns.reserve(FFields.size());
    for (const auto& f : FFields)
        FColumns.emplace_back(ColumnKindOf(f->StorageType()));
    ClearData();
    if (!FFilterText.trimmed().isEmpty())
        CompileFilter();
    RebuildOrder();
    RebuildView();
}

void TDataSet::Close()
{
    if (!Active())
        return;
    Fire(BeforeClose);
    FBlockReadSize = 0;
    FBufferActive = false;
    FEditSlot = -1;
    FInsertPos = -1;
    FModified = false;
    SetState(TDataSetState::dsInactive);
    InternalClose();
    Fire(AfterClose);
}

void TDataSet::InternalClose()
{
    ClearData();
    FColumns.clear();
}

void TDataSet::ClearData()
{
    FSerialBase += qint64(FLive.size());
    for (auto& c : FColumns)
        c.Clear();
    FRank.Clear();
    FLive.clear();
    FLiveCount = 0;
    FMaxRank = 0;
    FOrder.clear();
    FView.clear();
    FRangeLo = FRangeHi = 0;
    if (FViewMode == ViewMode::List)
        FView.clear();
    FPos = 0;
    FReadPos = 0;
    FBulkFirst = -1;
}

void TDataSet::SetState(TDataSetState state)
{
    if (state == FState)
        return;
    FState = state;
    FModified = false;
    DataEvent(TDataEvent::deUpdateState, nullptr);
}

void TDataSet::CheckActive() const
{
    if (!Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void TDataSet::RaiseIfInactive() const
{
    CheckActive();
}

void TDataSet::CheckCanModify() const
{
    CheckActive();
}

// ---------------------------------------------------------------- record storage

int TDataSet::AllocateSlot(double rank)
{
    const int slot = int(FLive.size());
    for (auto& c : FColumns)
        c.Resize(slot + 1);
    FLive.push_back(1);
    FRank.Append(rank);
    ++FLiveCount;
    return slot;
}

void TDataSet::ReleaseSlot(int slot)
{
    for (auto& c : FColumns)
        c.Release(slot);
    FLive[size_t(slot)] = 0;
    --FLiveCount;
}

::Value TDataSet::StoredValue(int fieldIndex, int slot) const
{
    const TColumnStore& c = FColumns[size_t(fieldIndex)];
    if (c.IsNull(slot))
        return ::Value();
    switch (c.StorageKind()) {
    case TColumnStore::Kind::Int32: return ::Value(c.Int32At(slot));
    case TColumnStore::Kind::Int64: return ::Value::LargeInt(c.Int64At(slot));
    case TColumnStore::Kind::Double: return ::Value(c.DoubleAt(slot));
    case TColumnStore::Kind::String: return ::Value(c.StringAt(slot));
    case TColumnStore::Kind::Bytes: return ::Value(QString::fromLatin1(c.BytesAt(slot)));
    }
    return ::Value();
}

namespace {

void StoreValue(TColumnStore& c, int slot, const ::Value& v)
{
    if (v.IsNull()) {
        c.SetNull(slot);
        return;
    }
    switch (c.StorageKind()) {
    case TColumnStore::Kind::Int32: c.SetInt32(slot, v.AsInteger()); break;
    case TColumnStore::Kind::Int64: c.SetInt64(slot, v.AsInt64()); break;
    case TColumnStore::Kind::Double: c.SetDouble(slot, v.IsDateTime() ? v.AsDateTime().Days() : v.AsFloat()); break;
    case TColumnStore::Kind::String: c.SetString(slot, v.AsString()); break;
    case TColumnStore::Kind::Bytes: c.SetBytes(slot, v.AsString().toLatin1()); break;
    }
}

} // namespace

void TDataSet::WriteBufferToSlot(int slot)
{
    for (size_t i = 0; i < FColumns.size(); ++i)
        StoreValue(FColumns[i], slot, FBuffer[i]);
}

void TDataSet::LoadBufferFromSlot(int slot)
{
    FBuffer.resize(FColumns.size());
    for (size_t i = 0; i < FColumns.size(); ++i)
        FBuffer[i] = StoredValue(int(i), slot);
}

// ---------------------------------------------------------------- order and view

int TDataSet::CompareSlots(int a, int b) const
{
    for (const OrderKey& k : FOrderKeys) {
        int c = FColumns[size_t(k.Field)].Compare(a, b, k.CaseInsensitive);
        if (c != 0)
            return k.Descending ? -c : c;
    }
    const double ra = FRank[size_t(a)], rb = FRank[size_t(b)];
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

int TDataSet::CompareSlotToKey(int slot, const ValueArray& key, int count) const
{
    for (int i = 0; i < count; ++i) {
        const OrderKey& k = FOrderKeys[size_t(i)];
        const int c = CompareStoredToKey(FColumns[size_t(k.Field)], slot, key[size_t(i)], k.CaseInsensitive);
        if (c != 0)
            return k.Descending ? -c : c;
    }
    return 0;
}

int TDataSet::OrderPositionOf(int slot) const
{
    auto it = std::lower_bound(FOrder.begin(), FOrder.end(), slot,
                               [this](int a, int b) { return CompareSlots(a, b) < 0; });
    if (it != FOrder.end() && *it == slot)
        return int(it - FOrder.begin());
    // Not where the order says it should be: look for it.
    auto found = std::find(FOrder.begin(), FOrder.end(), slot);
    return found == FOrder.end() ? -1 : int(found - FOrder.begin());
}

void TDataSet::InsertIntoOrder(int slot)
{
    if (FOrder.empty() || CompareSlots(FOrder.back(), slot) < 0) {
        FOrder.push_back(slot);
    } else {
        auto it = std::lower_bound(FOrder.begin(), FOrder.end(), slot,
                                   [this](int a, int b) { return CompareSlots(a, b) < 0; });
        FOrder.insert(it, slot);
    }
    switch (FViewMode) {
    case ViewMode::All: break;
    case ViewMode::Range: RecomputeRange(); break;
    case ViewMode::List:
        if (Passes(slot)) {
            auto it = std::lower_bound(FView.begin(), FView.end(), slot,
                                       [this](int a, int b) { return CompareSlots(a, b) < 0; });
            FView.insert(it, slot);
        }
        break;
    }
}

void TDataSet::RemoveFromOrder(int slot)
{
    const int pos = OrderPositionOf(slot);
    if (pos >= 0)
        FOrder.erase(FOrder.begin() + pos);
    switch (FViewMode) {
    case ViewMode::All: break;
    case ViewMode::Range: RecomputeRange(); break;
    case ViewMode::List: {
        auto it = std::lower_bound(FView.begin(), FView.end(), slot,
                                   [this](int a, int b) { return CompareSlots(a, b) < 0; });
        if (it != FView.end() && *it == slot)
            FView.erase(it);
        else
            FView.erase(std::remove(FView.begin(), FView.end(), slot), FView.end());
        break;
    }
    }
}

void TDataSet::RebuildOrder()
{
    FOrder.clear();
    for (int s = 0; s < int(FLive.size()); ++s)
        if (FLive[size_t(s)])
            FOrder.push_back(s);
    if (FOrderKeys.empty()) {
        // Slots were walked in their order: only ranks written out can disagree with it.
        if (!FRank.InSlotOrder() && !std::is_sorted(FOrder.begin(), FOrder.end(),
                            [this](int a, int b) { return FRank[size_t(a)] < FRank[size_t(b)]; }))
            std::sort(FOrder.begin(), FOrder.end(), [this](int a, int b) { return CompareSlots(a, b) < 0; });
        return;
    }
    if (SortByIntegerKeys())
        return;
    std::sort(FOrder.begin(), FOrder.end(), [this](int a, int b) { return CompareSlots(a, b) < 0; });
}

namespace {

// Orders `order` by the packed keys `keyOf` gives its slots, ties kept in their present order,
// when it is nearly in that order already, as a reader's rows are: in order of the first key
// (its code is the key's bits from `firstShift` on), each run of equal first keys a stem's few
// rows. Each run out of order is sorted on its own, in a small buffer; rows added afterwards to
// records already written (a second series of a stem's rows, say) come as a few stretches, each
// in order of the first key, which are merged at the end. False, when there are more stretches
// than that, leaving the whole sort to the caller: the runs sorted so far are each in their
// final order, ties still in their first order, so a stable sort of all comes out the same.
template <class KeyOf>
bool SortNearlyOrdered(std::deque<int>& order, const KeyOf& keyOf, int firstShift)
{
    constexpr size_t kInsertionRun = 64; // a stable insertion sort is quickest below that
    constexpr size_t kMaxStretches = 8;
    using Entry = std::pair<quint64, int>; // a key and its slot
    const auto less = [](const Entry& x, const Entry& y) { return x.first < y.first; };
    std::vector<Entry> run;
    const auto sortRun = [&run, &less](std::deque<int>::iterator out) {
        if (run.size() <= kInsertionRun) {
            for (size_t i = 1; i < run.size(); ++i) {
                const Entry r = run[i];
                size_t j = i;
                for (; j > 0 && less(r, run[j - 1]); --j)
                    run[j] = run[j - 1];
                run[j] = r;
            }
        } else {
            std::stable_sort(run.begin(), run.end(), less);
        }
        for (const Entry& r : run)
            *out++ = r.second;
    };
    std::vector<size_t> stretches; // where each stretch but the first begins
    const auto begin = order.begin();
    const auto end = order.end();
    auto runBegin = begin;
    bool runInOrder = true;
    quint64 prev = 0;
    for (auto it = begin; it != end; ++it) {
        const quint64 key = keyOf(*it);
        if (it != begin && (key >> firstShift) != (prev >> firstShift)) {
            if (!runInOrder)
                sortRun(runBegin);
            if (key < prev) {
                if (stretches.size() + 1 == kMaxStretches)
                    return false;
                stretches.push_back(size_t(it - begin));
            }
            runBegin = it;
            runInOrder = true;
            run.clear();
        } else if (key < prev) {
            runInOrder = false;
        }
        run.push_back({key, *it});
        prev = key;
    }
    if (!runInOrder)
        sortRun(runBegin);
    if (stretches.empty())
        return true;
    // Each stretch is merged into the ones before it from the back, the stretch set aside:
    // among equals the record of the earlier stretch stays first.
    stretches.push_back(order.size());
    std::vector<int> later;
    for (size_t i = 0; i + 1 < stretches.size(); ++i) {
        const auto mid = begin + qsizetype(stretches[i]);
        auto out = begin + qsizetype(stretches[i + 1]);
        later.assign(mid, out);
        auto a = mid;
        quint64 keyA = keyOf(*(a - 1));
        size_t b = later.size();
        quint64 keyB = keyOf(later[b - 1]);
        for (;;) {
            if (keyB < keyA) {
                *--out = *--a;
                if (a == begin)
                    break;
                keyA = keyOf(*(a - 1));
            } else {
                *--out = later[--b];
                if (b == 0)
                    break;
                keyB = keyOf(later[b - 1]);
            }
        }
        // What is left of the set-aside stretch goes before all of the earlier ones.
        std::copy(later.begin(), later.begin() + qsizetype(b), begin);
    }
    return true;
}

// Sorts `order` on the packed keys `keyOf` gives its slots (of `total` bits), ties kept in
// their present order.
template <class KeyOf>
void RadixSort(std::deque<int>& order, const KeyOf& keyOf, int total)
{
    const size_t n = order.size();
    // Least significant digit first: every pass is stable, so ties stay in rank order.
    constexpr int kDigit = 11;
    constexpr size_t kBuckets = size_t(1) << kDigit;
    const auto radix = [](auto& a, auto& b, auto digitOf, int from, int to) {
        std::vector<size_t> count(kBuckets);
        for (int shift = from; shift < to; shift += kDigit) {
            std::fill(count.begin(), count.end(), 0);
            for (const auto& e : a)
                ++count[digitOf(e, shift)];
            size_t sum = 0;
            for (size_t& c : count) {
                const size_t here = c;
                c = sum;
                sum += here;
            }
            for (const auto& e : a)
                b[count[digitOf(e, shift)]++] = e;
            a.swap(b);
        }
    };
    const int posBits = int(std::bit_width(n - 1));
    if (total + posBits <= 64) {
        // Key and rank position packed in one number: half the memory of key and slot apart.
        std::vector<quint64> a(n), b(n);
        for (size_t i = 0; i < n; ++i)
            a[i] = keyOf(order[i]) << posBits | quint64(i);
        radix(a, b, [](quint64 e, int shift) { return size_t(e >> shift) & (kBuckets - 1); }, posBits,
              posBits + total);
        const std::vector<int> before(order.begin(), order.end());
        const quint64 posMask = (quint64(1) << posBits) - 1;
        for (size_t i = 0; i < n; ++i)
            order[i] = before[size_t(a[i] & posMask)];
        return;
    }
    std::vector<std::pair<quint64, int>> a(n), b(n);
    for (size_t i = 0; i < n; ++i)
        a[i] = {keyOf(order[i]), order[i]};
    radix(a, b, [](const std::pair<quint64, int>& e, int shift) { return size_t(e.first >> shift) & (kBuckets - 1); },
          0, total);
    for (size_t i = 0; i < n; ++i)
        order[i] = a[i].second;
}

} // namespace

bool TDataSet::SortByIntegerKeys()
{
    // An index over integer fields only (the usual one) is sorted on its keys copied out of the
    // columns: packed into one number per record and radix-sorted when their ranges fit in 64
    // bits, else side by side in one array; either is far cheaper than comparing column by
    // column. Ties keep the insertion order, as the comparison by rank does.
    const size_t k = FOrderKeys.size();
    for (const OrderKey& key : FOrderKeys)
        if (FColumns[size_t(key.Field)].StorageKind() != TColumnStore::Kind::Int32)
            return false;
    auto byRank = [this](int a, int b) { return FRank[size_t(a)] < FRank[size_t(b)]; };
    if (!FRank.InSlotOrder() && !std::is_sorted(FOrder.begin(), FOrder.end(), byRank))
        std::sort(FOrder.begin(), FOrder.end(), byRank);
    const size_t n = FOrder.size();
    if (n < 2)
        return true;

    // Each key's range, over the live slotCount straight from the columns' arrays (every live slot
    // is in the order), with no look at null flags in a column that holds no null: this runs
    // over every record of a large table.
    struct Key {
        const qint32* Values;
        const quint64* Nulls;
        bool Descending;
        bool MayBeNull = false;
        bool Any = false; // a value seen
        qint64 Lo = 0;
        qint64 Hi = 0;
        int Bits = 0;
        // Set with the range: a value's code is (value ^ Flip) + Add.
        qint64 Flip = 0;
        qint64 Add = 0;
        quint64 NullCode = 0;
        bool IsNull(size_t slot) const
        {
            return MayBeNull && ((Nulls[slot >> 6] >> (slot & 63)) & 1);
        }
        // Ascending null 0 and values from 1 (value - Lo + 1); descending the values from 0 down
        // (Hi - value, which is ~value + Hi + 1) and null last.
        void SetCodes()
        {
            Flip = Descending ? -1 : 0;
            Add = Descending ? Hi + 1 : 1 - Lo;
            NullCode = Descending ? quint64(Hi - Lo + 1) : 0;
        }
        quint64 Code(int slot) const
        {
            const quint64 value = quint64((qint64(Values[size_t(slot)]) ^ Flip) + Add);
            return IsNull(size_t(slot)) ? NullCode : value;
        }
    };
    std::vector<Key> keys;
    keys.reserve(k);
    const size_t slotCount = FLive.size();
    const bool allLive = size_t(FLiveCount) == slotCount;
    for (const OrderKey& orderKey : FOrderKeys) {
        const TColumnStore& c = FColumns[size_t(orderKey.Field)];
        Key key{c.Int32Data(), c.NullData(), orderKey.Descending};
        for (size_t w = 0; w < (slotCount + 63) / 64 && !key.MayBeNull; ++w) {
            const quint64 live = w + 1 < (slotCount + 63) / 64 || slotCount % 64 == 0 ? ~quint64(0)
                                                                               : (quint64(1) << (slotCount % 64)) - 1;
            key.MayBeNull = (key.Nulls[w] & live) != 0;
        }
        qint32 lo = std::numeric_limits<qint32>::max();
        qint32 hi = std::numeric_limits<qint32>::min();
        if (allLive && !key.MayBeNull) {
            for (size_t s = 0; s < slotCount; ++s) {
                lo = std::min(lo, key.Values[s]);
                hi = std::max(hi, key.Values[s]);
            }
            key.Any = slotCount > 0;
        } else {
            for (size_t s = 0; s < slotCount; ++s) {
                if (!FLive[s] || key.IsNull(s))
                    continue;
                lo = std::min(lo, key.Values[s]);
                hi = std::max(hi, key.Values[s]);
                key.Any = true;
            }
        }
        if (key.Any) {
            key.Lo = lo;
            key.Hi = hi;
        }
        keys.push_back(key);
    }
    int total = 0;
    for (Key& key : keys) {
        key.Bits = int(std::bit_width(quint64(key.Hi - key.Lo + 1)));
        key.SetCodes();
        total += key.Bits;
    }
    if (total <= 64) {
        // The keys' codes packed into one number, most significant key first.
        const auto pack = [](const auto& someKeys, int slot) {
            quint64 packed = 0;
            for (const Key& key : someKeys)
                packed = (packed << key.Bits) | key.Code(slot);
            return packed;
        };
        // The same over a copy of fixed length, which the compiler unrolls for the usual few keys.
        const auto packWith = [&keys, &pack]<size_t K>(std::integral_constant<size_t, K>) {
            std::array<Key, K> fixed;
            std::copy_n(keys.begin(), K, fixed.begin());
            return [fixed, &pack](int slot) { return pack(fixed, slot); };
        };
        const auto sortWith = [&](const auto& keyOf) {
            // Records usually arrive in order of the first key already (a reader writes a stem's
            // rows together): then no array of the whole table's keys is made.
            if (!SortNearlyOrdered(FOrder, keyOf, total - keys.front().Bits))
                RadixSort(FOrder, keyOf, total);
            return true;
        };
        switch (k) {
        case 1: return sortWith(packWith(std::integral_constant<size_t, 1>()));
        case 2: return sortWith(packWith(std::integral_constant<size_t, 2>()));
        case 3: return sortWith(packWith(std::integral_constant<size_t, 3>()));
        default:
            return sortWith([&keys, &pack](int slot) { return pack(keys, slot); });
        }
    }

    const size_t stride = k + 1; // the keys, then the slot
    std::vector<qint64> rows(n * stride);
    for (size_t i = 0; i < n; ++i) {
        const int slot = FOrder[i];
        qint64* r = &rows[i * stride];
        for (size_t j = 0; j < k; ++j) {
            const TColumnStore& c = FColumns[size_t(FOrderKeys[j].Field)];
            const qint64 v = c.IsNull(slot) ? std::numeric_limits<qint64>::min() + 1 : qint64(c.Int32At(slot));
            r[j] = FOrderKeys[j].Descending ? -v : v;
        }
        r[k] = slot;
    }
    std::vector<int> perm(n);
    for (size_t i = 0; i < n; ++i)
        perm[i] = int(i);
    const qint64* base = rows.data();
    // perm starts in rank order, so comparing positions breaks ties as the ranks do.
    std::sort(perm.begin(), perm.end(), [&](int a, int b) {
        const qint64* ra = base + size_t(a) * stride;
        const qint64* rb = base + size_t(b) * stride;
        for (size_t j = 0; j < k; ++j)
            if (ra[j] != rb[j])
                return ra[j] < rb[j];
        return a < b;
    });
    for (size_t i = 0; i < n; ++i)
        FOrder[i] = int(rows[size_t(perm[i]) * stride + k]);
    return true;
}

void TDataSet::RebuildView()
{
    FView.clear();
    FRangeTerms.clear();
    if (!FFiltered || ((!FFilterExpr || FFilterText.trimmed().isEmpty()) && !OnFilterRecord)) {
        FViewMode = ViewMode::All;
        return;
    }
    // Equalities on the leading fields of the current order select a range of it.
    std::vector<std::pair<int, ::Value>> terms;
    if (!OnFilterRecord && FFilterExpr && FFilterExpr->EqualityTerms(terms) && terms.size() <= FOrderKeys.size()) {
        std::vector<std::pair<int, ::Value>> ordered;
        bool ok = true;
        for (size_t i = 0; i < terms.size() && ok; ++i) {
            const OrderKey& k = FOrderKeys[i];
            int matches = 0;
            for (const auto& t : terms)
                if (t.first == k.Field) {
                    ++matches;
                    if (matches == 1)
                        ordered.push_back(t);
                }
            const bool text = FColumns[size_t(k.Field)].StorageKind() == TColumnStore::Kind::String;
            ok = matches == 1 && !(text && k.CaseInsensitive);
        }
        if (ok && ordered.size() == terms.size()) {
            FViewMode = ViewMode::Range;
            FRangeTerms = std::move(ordered);
            RecomputeRange();
            return;
        }
    }
    FViewMode = ViewMode::List;
    for (int slot : FOrder)
        if (Passes(slot))
            FView.push_back(slot);
}

void TDataSet::RecomputeRange()
{
    ValueArray key;
    key.reserve(FRangeTerms.size());
    for (const auto& t : FRangeTerms)
        key.push_back(t.second);
    const int count = int(key.size());
    auto lo = std::lower_bound(FOrder.begin(), FOrder.end(), 0, [&](int slot, int) {
        return CompareSlotToKey(slot, key, count) < 0;
    });
    auto hi = std::upper_bound(lo, FOrder.end(), 0, [&](int, int slot) {
        return CompareSlotToKey(slot, key, count) > 0;
    });
    FRangeLo = int(lo - FOrder.begin());
    FRangeHi = int(hi - FOrder.begin());
}

int TDataSet::ViewCount() const
{
    switch (FViewMode) {
    case ViewMode::All: return int(FOrder.size());
    case ViewMode::Range: return FRangeHi - FRangeLo;
    case ViewMode::List: return int(FView.size());
    }
    return 0;
}

int TDataSet::ViewSlot(int position) const
{
    switch (FViewMode) {
    case ViewMode::All: return FOrder[size_t(position)];
    case ViewMode::Range: return FOrder[size_t(FRangeLo + position)];
    case ViewMode::List: return FView[size_t(position)];
    }
    return -1;
}

int TDataSet::ViewPositionOfSlot(int slot) const
{
    if (slot < 0 || slot >= int(FLive.size()) || !FLive[size_t(slot)])
        return -1;
    switch (FViewMode) {
    case ViewMode::All: return OrderPositionOf(slot);
    case ViewMode::Range: {
        const int pos = OrderPositionOf(slot);
        return pos >= FRangeLo && pos < FRangeHi ? pos - FRangeLo : -1;
    }
    case ViewMode::List: {
        auto it = std::lower_bound(FView.begin(), FView.end(), slot,
                                   [this](int a, int b) { return CompareSlots(a, b) < 0; });
        if (it != FView.end() && *it == slot)
            return int(it - FView.begin());
        auto found = std::find(FView.begin(), FView.end(), slot);
        return found == FView.end() ? -1 : int(found - FView.begin());
    }
    }
    return -1;
}

int TDataSet::WindowRecordCount() const
{
    if (!Active())
        return 0;
    return ViewCount() + (FInsertPos >= 0 ? 1 : 0);
}

int TDataSet::CursorWindowPosition() const
{
    return FPos;
}

int TDataSet::SlotAtWindowPosition(int position) const
{
    if (FInsertPos >= 0) {
        if (position == FInsertPos)
            return -1;
        if (position > FInsertPos)
            --position;
    }
    if (position < 0 || position >= ViewCount())
        return -1;
    return ViewSlot(position);
}

int TDataSet::CursorSlot() const
{
    if (FState == TDataSetState::dsEdit)
        return FEditSlot;
    return SlotAtWindowPosition(FPos);
}

void TDataSet::SetReadPosition(int position)
{
    FReadPos = position;
}

void TDataSet::SetOrderKeys(std::vector<OrderKey> keys)
{
    if (Active())
        CheckBrowseMode();
    const int slot = Active() ? CursorSlot() : -1;
    FOrderKeys = std::move(keys);
    if (!Active()) {
        // An opening dataset: its records (none yet) and filter follow the new order.
        if (FColumns.size() == FFields.size() && !FColumns.empty()) {
            RebuildOrder();
            RebuildView();
        }
        return;
    }
    RebuildOrder();
    RebuildView();
    const int pos = ViewPositionOfSlot(slot);
    FPos = pos >= 0 ? pos : 0;
    FReadPos = FPos;
    FBof = ViewCount() == 0;
    FEof = ViewCount() == 0;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

// ---------------------------------------------------------------- filter

void TDataSet::CompileFilter()
{
    if (FFields.empty() || FFilterText.trimmed().isEmpty()) {
        FFilterExpr.reset();
        return;
    }
    FFilterExpr = TFilterExpression::Parse(
        FFilterText,
        [this](const QString& name) {
            TFilterExpression::FieldInfo info;
            if (TField* f = FindField(name)) {
                info.Index = f->Index();
                info.DataType = f->DataType() == TFieldType::ftSmallint || f->DataType() == TFieldType::ftInteger
                        ? f->DataType()
                        : f->DataType();
            }
            return info;
        },
        FFilterOptions);
}

bool TDataSet::MatchesFilterText(int slot) const
{
    if (FFilterExpr && !FFilterExpr->Matches([this, slot](int field) { return StoredValue(field, slot); }))
        return false;
    if (OnFilterRecord) {
        auto* self = const_cast<TDataSet*>(this);
        const TDataSetState saved = FState;
        const int savedSlot = FFilterSlot;
        self->FState = TDataSetState::dsFilter;
        self->FFilterSlot = slot;
        bool accept = true;
        try {
            OnFilterRecord(self, accept);
        } catch (...) {
            self->FState = saved;
            self->FFilterSlot = savedSlot;
            throw;
        }
        self->FState = saved;
        self->FFilterSlot = savedSlot;
        return accept;
    }
    return true;
}

bool TDataSet::Passes(int slot) const
{
    return MatchesFilterText(slot);
}

void TDataSet::SetFilter(const QString& text)
{
    if (text == FFilterText)
        return;
    // Parse first: a text that cannot be parsed leaves the dataset as it was.
    std::unique_ptr<TFilterExpression> parsed;
    if (!FFields.empty() && !text.trimmed().isEmpty())
        parsed = TFilterExpression::Parse(
            text,
            [this](const QString& name) {
                TFilterExpression::FieldInfo info;
                if (TField* f = FindField(name)) {
                    info.Index = f->Index();
                    info.DataType = f->DataType();
                }
                return info;
            },
            FFilterOptions);
    if (Active() && FFiltered)
        CheckBrowseMode();
    FFilterText = text;
    FFilterExpr = std::move(parsed);
    if (Active() && FFiltered) {
        RebuildView();
        First();
    }
}

void TDataSet::SetFiltered(bool filtered)
{
    if (filtered == FFiltered)
        return;
    if (Active())
        CheckBrowseMode();
    FFiltered = filtered;
    if (Active()) {
        RebuildView();
        First();
    }
}

void TDataSet::SetFilterOptions(TFilterOptions options)
{
    if (options == FFilterOptions)
        return;
    const TFilterOptions old = FFilterOptions;
    FFilterOptions = options;
    try {
        CompileFilter();
    } catch (...) {
        FFilterOptions = old;
        throw;
    }
    if (Active() && FFiltered) {
        CheckBrowseMode();
        RebuildView();
        First();
    }
}

bool TDataSet::FindRecord(bool restart, bool forward)
{
    CheckBrowseMode();
    const int n = ViewCount();
    int pos = restart ? (forward ? 0 : n - 1) : (forward ? FPos + 1 : FPos - 1);
    FFound = false;
    for (; pos >= 0 && pos < n; pos += forward ? 1 : -1) {
        if (MatchesFilterText(ViewSlot(pos))) {
            FFound = true;
            break;
        }
    }
    if (FFound)
        MoveTo(pos, true);
    return FFound;
}

bool TDataSet::FindFirst() { return FindRecord(true, true); }
bool TDataSet::FindNext() { return FindRecord(false, true); }
bool TDataSet::FindPrior() { return FindRecord(false, false); }
bool TDataSet::FindLast() { return FindRecord(true, false); }

// ---------------------------------------------------------------- cursor

void TDataSet::MoveTo(int position, bool fireEvents)
{
    if (fireEvents)
        Fire(BeforeScroll);
    FPos = position;
    FReadPos = position;
    FBof = false;
    FEof = false;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    if (fireEvents)
        Fire(AfterScroll);
}

void TDataSet::First()
{
    CheckBrowseMode();
    Fire(BeforeScroll);
    FPos = 0;
    FReadPos = 0;
    FBof = true;
    FEof = ViewCount() == 0;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterScroll);
}

void TDataSet::Last()
{
    CheckBrowseMode();
    Fire(BeforeScroll);
    FPos = std::max(0, ViewCount() - 1);
    FReadPos = FPos;
    FEof = true;
    FBof = ViewCount() == 0;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterScroll);
}

void TDataSet::Next()
{
    MoveBy(1);
}

void TDataSet::Prior()
{
    MoveBy(-1);
}

int TDataSet::MoveBy(int distance)
{
    CheckBrowseMode();
    if (distance == 0 || (distance > 0 && FEof) || (distance < 0 && FBof))
        return 0;
    const int n = ViewCount();
    Fire(BeforeScroll);
    const int old = FPos;
    if (n == 0) {
        FBof = FEof = true;
    } else if (distance > 0) {
        FBof = false;
        const qint64 target = qint64(FPos) + distance;
        if (target >= n) {
            FPos = n - 1;
            FEof = true;
        } else {
            FPos = int(target);
        }
    } else {
        FEof = false;
        const qint64 target = qint64(FPos) + distance;
        if (target < 0) {
            FPos = 0;
            FBof = true;
        } else {
            FPos = int(target);
        }
    }
    FReadPos = FPos;
    DataEvent(TDataEvent::deDataSetScroll, nullptr);
    Fire(AfterScroll);
    return FPos - old;
}

int TDataSet::RecNo() const
{
    if (!Active())
        return -1;
    if (FReadPos != FPos) {
        // A record a data link is painting.
        if (SlotAtWindowPosition(FReadPos) < 0)
            return -1;
        return FInsertPos >= 0 && FReadPos > FInsertPos ? FReadPos : FReadPos + 1;
    }
    if (FState == TDataSetState::dsInsert)
        return -1;
    return ViewCount() == 0 ? 0 : FPos + 1;
}

void TDataSet::SetRecNo(int recNo)
{
    CheckBrowseMode();
    const int n = ViewCount();
    if (n == 0)
        return;
    const int pos = std::clamp(recNo, 1, n) - 1;
    if (pos != FPos)
        MoveTo(pos, true);
}

int TDataSet::RecordCount() const
{
    return Active() ? ViewCount() : 0;
}

bool TDataSet::IsEmpty() const
{
    return !Active() || (ViewCount() == 0 && FState != TDataSetState::dsInsert);
}

void TDataSet::Resync(int position)
{
    const int n = ViewCount();
    FPos = n == 0 ? 0 : std::clamp(position, 0, n - 1);
    FReadPos = FPos;
    if (n == 0)
        FBof = FEof = true;
}

// ---------------------------------------------------------------- editing

void TDataSet::Edit()
{
    if (IsEditState(FState))
        return;
    CheckActive();
    if (FState == TDataSetState::dsBlockRead)
        SetBlockReadSize(0);
    if (ViewCount() == 0) {
        Insert();
        return;
    }
    CheckCanModify();
    Fire(BeforeEdit);
    FEditSlot = ViewSlot(FPos);
    LoadBufferFromSlot(FEditSlot);
    FBufferActive = true;
    FReadPos = FPos;
    SetState(TDataSetState::dsEdit);
    FModified = false;
    DataEvent(TDataEvent::deRecordChange, nullptr);
    Fire(AfterEdit);
}

double TDataSet::NextRankBefore(int slot)
{
    const double r = FRank[size_t(slot)];
    double before = r - 2.0;
    bool any = false;
    for (int s = 0; s < int(FLive.size()); ++s)
        if (FLive[size_t(s)] && FRank[size_t(s)] < r && (!any || FRank[size_t(s)] > before)) {
            before = FRank[size_t(s)];
            any = true;
        }
    const double mid = (before + r) / 2;
    if (mid <= before || mid >= r) {
        RenumberRanks();
        return NextRankBefore(slot);
    }
    return mid;
}

void TDataSet::RenumberRanks()
{
    std::vector<int> liveSlots;
    for (int s = 0; s < int(FLive.size()); ++s)
        if (FLive[size_t(s)])
            liveSlots.push_back(s);
    std::sort(liveSlots.begin(), liveSlots.end(), [this](int a, int b) { return FRank[size_t(a)] < FRank[size_t(b)]; });
    double r = 0;
    for (int s : liveSlots)
        FRank.Set(size_t(s), r += 4);
    FMaxRank = r;
}

void TDataSet::Append()
{
    StartInsert(true);
}

void TDataSet::Insert()
{
    StartInsert(false);
}

// Append and Insert differ only in where the new record goes: after the last record, or before
// the current one.
void TDataSet::StartInsert(bool atEnd)
{
    CheckBrowseMode();
    if (FState == TDataSetState::dsBlockRead)
        SetBlockReadSize(0);
    CheckCanModify();
    Fire(BeforeInsert);
    Fire(BeforeScroll);
    FBuffer.assign(FColumns.size(), ::Value());
    const int n = ViewCount();
    if (atEnd || n == 0) {
        FInsertPos = n;
        FInsertRank = FMaxRank + 1;
    } else {
        FInsertPos = std::clamp(FPos, 0, n - 1);
        FInsertRank = NextRankBefore(ViewSlot(FInsertPos));
    }
    FPos = FInsertPos;
    FReadPos = FPos;
    FBof = FEof = false;
    FBufferActive = true;
    FEditSlot = -1;
    SetState(TDataSetState::dsInsert);
    if (OnNewRecord)
        OnNewRecord(this);
    FModified = false;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterInsert);
    Fire(AfterScroll);
}

void TDataSet::UpdateRecord()
{
    if (!IsEditState(FState))
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    DataEvent(TDataEvent::deUpdateRecord, nullptr);
}

void TDataSet::Post()
{
    if (!IsEditState(FState)) {
        CheckActive();
        return;
    }
    UpdateRecord();
    Fire(BeforePost);
    for (const auto& f : FFields)
        if (f->Required() && f->FieldKind() == TFieldKind::fkData && FBuffer[size_t(f->FIndex)].IsNull())
            throw EDatabaseError(QStringLiteral("Field '%1' must have a value").arg(f->DisplayName()));
    CalculateFields();
    int slot;
    const int oldPos = FPos;
    if (FState == TDataSetState::dsInsert) {
        slot = AllocateSlot(FInsertRank);
        FMaxRank = std::max(FMaxRank, FInsertRank);
        WriteBufferToSlot(slot);
        FInsertPos = -1;
        InsertIntoOrder(slot);
    } else {
        slot = FEditSlot;
        RemoveFromOrder(slot);
        WriteBufferToSlot(slot);
        InsertIntoOrder(slot);
    }
    FBufferActive = false;
    FEditSlot = -1;
    const int pos = ViewPositionOfSlot(slot);
    Resync(pos >= 0 ? pos : oldPos);
    FBof = FEof = ViewCount() == 0;
    SetState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterPost);
}

void TDataSet::Cancel()
{
    if (!IsEditState(FState))
        return;
    Fire(BeforeCancel);
    const bool wasInsert = FState == TDataSetState::dsInsert;
    FBufferActive = false;
    int pos = FPos;
    if (wasInsert) {
        pos = FInsertPos;
        FInsertPos = -1;
    }
    FEditSlot = -1;
    Resync(pos);
    FBof = FEof = ViewCount() == 0;
    SetState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterCancel);
    if (wasInsert)
        Fire(AfterScroll);
}

void TDataSet::Delete()
{
    CheckActive();
    if (FState == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (ViewCount() == 0)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (FState == TDataSetState::dsEdit)
        Cancel();
    CheckCanModify();
    Fire(BeforeDelete);
    Fire(BeforeScroll);
    const int slot = ViewSlot(FPos);
    RemoveFromOrder(slot);
    ReleaseSlot(slot);
    const int pos = FPos;
    if (FLiveCount == 0) {
        // Nothing left: start a fresh storage generation (bookmarks of old records stay invalid).
        ClearData();
        RebuildView();
    }
    Resync(pos);
    FBof = FEof = ViewCount() == 0;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterDelete);
    Fire(AfterScroll);
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    DataEvent(TDataEvent::deCheckBrowseMode, nullptr);
    if (IsEditState(FState)) {
        UpdateRecord();
        if (FModified)
            Post();
        else
            Cancel();
    }
}

void TDataSet::AppendRecord(const ValueArray& values)
{
    Append();
    try {
        for (size_t i = 0; i < values.size() && i < FFields.size(); ++i)
            if (!values[i].IsNull())
                FFields[i]->SetValue(values[i]);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

bool TDataSet::CanBulkAppend() const
{
    for (const auto& f : FFields)
        if (f->FieldKind() != TFieldKind::fkData)
            return false;
    return true;
}

int TDataSet::BeginBulkAppend(int count)
{
    CheckBrowseMode();
    if (FState == TDataSetState::dsBlockRead)
        SetBlockReadSize(0);
    CheckCanModify();
    if (FBulkFirst >= 0)
        throw EDatabaseError(QStringLiteral("A bulk append is already in progress"));
    if (!CanBulkAppend())
        throw EDatabaseError(QStringLiteral("Cannot append in bulk to a dataset with calculated fields"));
    const int first = int(FLive.size());
    if (count < 0 || count > std::numeric_limits<int>::max() - first)
        throw EDatabaseError(QStringLiteral("Invalid number of records: %1").arg(count));
    const size_t total = size_t(first) + size_t(count);
    for (auto& c : FColumns)
        c.Resize(int(total));
    FLive.resize(total, 1);
    FBulkMaxRank = FMaxRank;
    for (int i = 0; i < count; ++i)
        FRank.Append(FMaxRank += 1);
    FLiveCount += count;
    FBulkFirst = first;
    FBulkTargets.assign(FFields.size(), BulkTarget());
    for (size_t i = 0; i < FFields.size(); ++i) {
        const TField* f = FFields[i].get();
        if (f->ReadOnly())
            continue;
        const TColumnStore::Kind kind = FColumns[i].StorageKind();
        BulkTarget& t = FBulkTargets[i];
        // Only the exact classes: a subclass may convert in its own way.
        if (kind == TColumnStore::Kind::Int32
            && (typeid(*f) == typeid(TIntegerField) || typeid(*f) == typeid(TSmallintField))) {
            const auto* fi = static_cast<const TIntegerField*>(f);
            t.Kind = BulkTarget::Kind::Integer;
            t.Lo = fi->TypeMin();
            t.Hi = fi->TypeMax();
            if (fi->MinValue() != 0 || fi->MaxValue() != 0) {
                t.Lo = std::max(t.Lo, fi->MinValue());
                t.Hi = std::min(t.Hi, fi->MaxValue());
            }
        } else if (kind == TColumnStore::Kind::String && typeid(*f) == typeid(TStringField)) {
            t.Kind = BulkTarget::Kind::String;
            t.Size = f->Size();
        }
    }
    return first;
}

void TDataSet::SetBulkIntegerThroughField(int fieldIndex, int record, qint32 value)
{
    SetBulkValue(fieldIndex, record, ::Value(value));
}

TDataSet::TBulkColumn TDataSet::BulkColumn(int fieldIndex, int first, int count)
{
    TBulkColumn out;
    out.FDataSet = this;
    out.FField = fieldIndex;
    const size_t i = size_t(fieldIndex);
    if (i < FBulkTargets.size() && FBulkFirst >= 0 && first >= FBulkFirst && count >= 0
        && qint64(first) + count <= qint64(FLive.size())) {
        const BulkTarget& t = FBulkTargets[i];
        out.FColumn = &FColumns[i];
        out.FInteger = t.Kind == BulkTarget::Kind::Integer;
        out.FString = t.Kind == BulkTarget::Kind::String;
        out.FLo = t.Lo;
        out.FHi = t.Hi;
        out.FSize = t.Size;
        out.FFirst = first;
        out.FCount = count;
    }
    return out;
}

void TDataSet::SetBulkInteger(int fieldIndex, int record, qint32 value)
{
    BulkColumn(fieldIndex, record, 1).SetInteger(record, value);
}

void TDataSet::SetBulkString(int fieldIndex, int record, const QString& value)
{
    BulkColumn(fieldIndex, record, 1).SetString(record, value);
}

void TDataSet::SetBulkValue(int fieldIndex, int record, const ::Value& value)
{
    if (FBulkFirst < 0 || record < FBulkFirst || record >= int(FLive.size()))
        throw EDatabaseError(QStringLiteral("Record %1 is not part of a bulk append").arg(record));
    TField* f = FFields.at(size_t(fieldIndex)).get();
    if (f->ReadOnly())
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(f->DisplayName()));
    TColumnStore& c = FColumns[size_t(fieldIndex)];
    if (value.IsNull())
        c.SetNull(record);
    else
        StoreValue(c, record, f->ToStorage(value));
}

void TDataSet::EndBulkAppend()
{
    if (FBulkFirst < 0)
        return;
    const int first = FBulkFirst;
    const int last = int(FLive.size()) - 1;
    for (const auto& f : FFields)
        if (f->Required())
            for (int s = first; s <= last; ++s)
                if (FColumns[size_t(f->FIndex)].IsNull(s)) {
                    CancelBulkAppend();
                    throw EDatabaseError(QStringLiteral("Field '%1' must have a value").arg(f->DisplayName()));
                }
    FBulkFirst = -1;
    RebuildOrder();
    RebuildView();
    if (last >= first) {
        const int pos = ViewPositionOfSlot(last);
        Resync(pos >= 0 ? pos : FPos);
    }
    FBof = FEof = ViewCount() == 0;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

void TDataSet::CancelBulkAppend()
{
    if (FBulkFirst < 0)
        return;
    const int first = FBulkFirst;
    FLiveCount -= int(FLive.size()) - first;
    for (auto& c : FColumns)
        c.Resize(first);
    FLive.resize(size_t(first));
    FRank.Truncate(size_t(first));
    FMaxRank = FBulkMaxRank;
    FBulkFirst = -1;
}

void TDataSet::EmptyDataSet()
{
    CheckActive();
    if (IsEditState(FState))
        Cancel();
    ClearData();
    RebuildView();
    FBof = FEof = true;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    Resync(FPos);
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

void TDataSet::CalculateFields()
{
    if (!OnCalcFields)
        return;
    bool hasCalc = false;
    for (const auto& f : FFields)
        if (f->FieldKind() != TFieldKind::fkData)
            hasCalc = true;
    if (!hasCalc)
        return;
    const TDataSetState saved = FState;
    FState = TDataSetState::dsCalcFields;
    FInCalc = true;
    try {
        for (const auto& f : FFields)
            if (f->FieldKind() == TFieldKind::fkCalculated)
                FBuffer[size_t(f->FIndex)] = ::Value();
        OnCalcFields(this);
    } catch (...) {
        FInCalc = false;
        FState = saved;
        throw;
    }
    FInCalc = false;
    FState = saved;
}

// ---------------------------------------------------------------- field data

::Value TDataSet::GetFieldData(const TField* field) const
{
    if (!Active() || field->FDataSet != this)
        return ::Value();
    const size_t index = size_t(field->FIndex);
    if (FFilterSlot >= 0)
        return StoredValue(int(index), FFilterSlot);
    if (FBufferActive && FReadPos == FPos)
        return index < FBuffer.size() ? FBuffer[index] : ::Value();
    const int slot = SlotAtWindowPosition(FReadPos);
    if (slot < 0)
        return ::Value();
    return StoredValue(int(index), slot);
}

void TDataSet::SetFieldData(TField* field, const ::Value& stored)
{
    CheckActive();
    const size_t index = size_t(field->FIndex);
    if (FInCalc && field->FieldKind() != TFieldKind::fkData) {
        FBuffer[index] = stored;
        if (field->FKpDbField) {
            field->FKpDbField->NotifyObservers(0);
            field->FKpDbField->NotifyObservers(1);
        }
        return;
    }
    if (!IsEditState(FState) || FFilterSlot >= 0)
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    if (field->ReadOnly() && field->FieldKind() == TFieldKind::fkData)
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(field->DisplayName()));
    // Writes go to the record at the cursor, whatever record a link was painting.
    FReadPos = FPos;
    const ::Value old = FBuffer[index];
    FBuffer[index] = stored;
    if (field->OnValidate) {
        try {
            field->OnValidate(field);
        } catch (...) {
            FBuffer[index] = old;
            throw;
        }
    }
    if (field->FieldKind() == TFieldKind::fkData)
        FModified = true;
    field->Change();
    DataEvent(TDataEvent::deFieldChange, field);
    if (field->FieldKind() == TFieldKind::fkData)
        CalculateFields();
}

// ---------------------------------------------------------------- search

bool TDataSet::Locate(const QString& keyFields, const ::Value& keyValues, TLocateOptions options)
{
    CheckBrowseMode();
    const auto fields = GetFieldList(keyFields);
    if (fields.empty())
        return false;
    ValueArray keys;
    if (keyValues.IsArray())
        keys = keyValues.AsArray();
    else
        keys.push_back(keyValues);
    if (keys.size() != fields.size())
        throw EDatabaseError(QStringLiteral("Locate: %1 fields but %2 values").arg(fields.size()).arg(keys.size()));
    const bool ci = (options & loCaseInsensitive) != 0;
    const bool partial = (options & loPartialKey) != 0;
    // Bring the keys into the fields' stored form; a key a field cannot hold matches nothing.
    ValueArray stored(keys.size());
    std::vector<bool> text(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        text[i] = FColumns[size_t(fields[i]->Index())].StorageKind() == TColumnStore::Kind::String;
        if (keys[i].IsNull())
            continue;
        if (text[i]) {
            stored[i] = ::Value(keys[i].AsString());
            continue;
        }
        try {
            stored[i] = fields[i]->ToStorage(keys[i]);
        } catch (const Exception&) {
            return false;
        }
    }
    const int n = ViewCount();
    for (int pos = 0; pos < n; ++pos) {
        const int slot = ViewSlot(pos);
        bool match = true;
        for (size_t i = 0; i < fields.size() && match; ++i) {
            const TColumnStore& c = FColumns[size_t(fields[i]->Index())];
            if (stored[i].IsNull()) {
                match = c.IsNull(slot);
            } else if (c.IsNull(slot)) {
                match = false;
            } else if (text[i]) {
                const QString v = c.StringAt(slot);
                const QString k = stored[i].AsString();
                const Qt::CaseSensitivity cs = ci ? Qt::CaseInsensitive : Qt::CaseSensitive;
                match = partial ? v.startsWith(k, cs) : v.compare(k, cs) == 0;
            } else {
                match = CompareStoredToKey(c, slot, stored[i], false) == 0;
            }
        }
        if (match) {
            if (pos != FPos || FBof || FEof)
                MoveTo(pos, true);
            return true;
        }
    }
    return false;
}

::Value TDataSet::Lookup(const QString& keyFields, const ::Value& keyValues, const QString& resultFields)
{
    const auto results = GetFieldList(resultFields);
    const int savedPos = FPos;
    const bool savedBof = FBof, savedEof = FEof;
    // Search without events or notifications, then come back.
    auto beforeScroll = std::move(BeforeScroll);
    auto afterScroll = std::move(AfterScroll);
    BeforeScroll = nullptr;
    AfterScroll = nullptr;
    ++FDisableCount;
    ::Value result;
    try {
        if (Locate(keyFields, keyValues, 0)) {
            if (results.size() == 1) {
                result = results[0]->Value();
            } else {
                ValueArray values;
                for (TField* f : results)
                    values.push_back(f->Value());
                result = ::Value(values);
            }
        }
    } catch (...) {
        --FDisableCount;
        BeforeScroll = std::move(beforeScroll);
        AfterScroll = std::move(afterScroll);
        throw;
    }
    --FDisableCount;
    BeforeScroll = std::move(beforeScroll);
    AfterScroll = std::move(afterScroll);
    FPos = savedPos;
    FReadPos = savedPos;
    FBof = savedBof;
    FEof = savedEof;
    return result;
}

bool TDataSet::SeekKey(const ValueArray& values, bool nearest)
{
    CheckBrowseMode();
    const int count = int(std::min(values.size(), FOrderKeys.size()));
    if (count == 0)
        return false;
    ValueArray key(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TField* f = FFields[size_t(FOrderKeys[size_t(i)].Field)].get();
        if (values[size_t(i)].IsNull())
            continue;
        try {
            key[size_t(i)] = f->ToStorage(values[size_t(i)]);
        } catch (const Exception&) {
            if (!nearest)
                return false;
            throw;
        }
    }
    const int n = ViewCount();
    int lo = 0, hi = n;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (CompareSlotToKey(ViewSlot(mid), key, count) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (nearest) {
        if (n > 0)
            MoveTo(std::min(lo, n - 1), true);
        return n > 0;
    }
    if (lo < n && CompareSlotToKey(ViewSlot(lo), key, count) == 0) {
        MoveTo(lo, true);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- bookmarks

TBookmark TDataSet::GetBookmark() const
{
    if (!Active())
        return {};
    // The record being read: the cursor's, or the one a data link is painting.
    int slot;
    if (FReadPos == FPos) {
        if (FState == TDataSetState::dsInsert)
            return {};
        slot = CursorSlot();
    } else {
        slot = SlotAtWindowPosition(FReadPos);
    }
    if (slot < 0)
        return {};
    return TBookmark { FSerialBase + slot };
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const
{
    if (!Active() || bookmark.Serial < FSerialBase)
        return false;
    const qint64 slot = bookmark.Serial - FSerialBase;
    if (slot >= qint64(FLive.size()))
        return false;
    return ViewPositionOfSlot(int(slot)) >= 0;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark)
{
    CheckBrowseMode();
    if (!BookmarkValid(bookmark))
        throw EDatabaseError(QStringLiteral("Record not found"));
    MoveTo(ViewPositionOfSlot(int(bookmark.Serial - FSerialBase)), true);
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const
{
    if (a.IsEmpty() || b.IsEmpty())
        return a.IsEmpty() == b.IsEmpty() ? 0 : (a.IsEmpty() ? -1 : 1);
    return a.Serial < b.Serial ? -1 : (a.Serial > b.Serial ? 1 : 0);
}

// ---------------------------------------------------------------- controls and notifications

void TDataSet::SetBlockReadSize(int size)
{
    if (size < 0)
        throw EDatabaseError(QStringLiteral("Invalid block read size %1").arg(size));
    if (size > 0) {
        CheckActive();
        if (FState != TDataSetState::dsBlockRead)
            CheckBrowseMode();
        FBlockReadSize = size;
        SetState(TDataSetState::dsBlockRead);
    } else {
        FBlockReadSize = 0;
        if (FState == TDataSetState::dsBlockRead) {
            SetState(TDataSetState::dsBrowse);
            DataEvent(TDataEvent::deDataSetChange, nullptr);
        }
    }
}

void TDataSet::DisableControls()
{
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = TDataEvent::deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls()
{
    if (FDisableCount == 0)
        return;
    if (--FDisableCount > 0)
        return;
    if (FDisableState != FState)
        DataEvent(TDataEvent::deUpdateState, nullptr);
    if (Active())
        DataEvent(FEnableEvent, nullptr);
}

XPRef<IKpDbDataSet> TDataSet::KpDbDataSet()
{
    if (!FKpDbDataSet)
        FKpDbDataSet = XPRef<IKpDbDataSet>(new TKpDbDataSet(this));
    return FKpDbDataSet;
}

int TDataSet::AddFreeNotification(std::function<void(TDataSet*)> callback)
{
    const int id = FNextNotificationId++;
    FFreeNotifications.emplace(id, std::move(callback));
    return id;
}

void TDataSet::RemoveFreeNotification(int id)
{
    FFreeNotifications.erase(id);
}

void TDataSet::AttachDataSource(TDataSource* source)
{
    if (std::find(FDataSources.begin(), FDataSources.end(), source) == FDataSources.end())
        FDataSources.push_back(source);
}

void TDataSet::DetachDataSource(TDataSource* source)
{
    FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), source), FDataSources.end());
}

void TDataSet::DataEvent(TDataEvent event, TField* field)
{
    if (FKpDbDataSet
        && (event == TDataEvent::deDataSetChange || event == TDataEvent::deDataSetScroll
            || event == TDataEvent::deUpdateState))
        FKpDbDataSet->NotifyObservers(0);
    if (FState == TDataSetState::dsBlockRead
        && (event == TDataEvent::deDataSetScroll || event == TDataEvent::deDataSetChange))
        return;
    if (FDisableCount > 0) {
        if (event == TDataEvent::deLayoutChange
            || (event == TDataEvent::deUpdateState && FState == TDataSetState::dsInactive))
            FEnableEvent = TDataEvent::deLayoutChange;
        return;
    }
    NotifyDataSources(event, field);
}

void TDataSet::NotifyDataSources(TDataEvent event, TField* field)
{
    const auto sources = FDataSources;
    for (TDataSource* source : sources)
        if (std::find(FDataSources.begin(), FDataSources.end(), source) != FDataSources.end())
            source->DataEvent(event, field);
}
