#include "platform/data/DataSet.h"

#include "platform/data/DataSource.h"
#include "platform/data/EDatabaseError.h"
#include "platform/data/FilterExpression.h"
#include "platform/data/IntegerField.h"
#include "platform/data/SmallintField.h"
#include "platform/data/StringField.h"
#include "platform/data/KpDbDataSet.h"

#include <algorithm>
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
    if (m_kpDbDataSet) {
        m_kpDbDataSet->DataSetGone();
        m_kpDbDataSet = nullptr;
    }
    auto notifications = std::move(m_freeNotifications);
    for (auto& [id, callback] : notifications)
        if (callback)
            callback(this);
    m_state = TDataSetState::dsInactive;
    const auto sources = m_dataSources;
    m_dataSources.clear();
    for (TDataSource* source : sources)
        source->DataSetGone();
    for (auto& f : m_fields) {
        f->m_dataSet = nullptr;
        f->m_index = -1;
    }
    m_fields.clear();
}

// ---------------------------------------------------------------- fields

TField* TDataSet::FindField(const QString& name) const
{
    auto it = m_fieldByName.constFind(name);
    if (it == m_fieldByName.constEnd()) {
        it = m_fieldByUpperName.constFind(name.toUpper());
        if (it == m_fieldByUpperName.constEnd())
            return nullptr;
    }
    return m_fields[size_t(it.value())].get();
}

void TDataSet::ReindexFields()
{
    m_fieldByName.clear();
    m_fieldByUpperName.clear();
    for (int i = int(m_fields.size()) - 1; i >= 0; --i) {
        const QString& name = m_fields[size_t(i)]->FieldName();
        m_fieldByName.insert(name, i);
        m_fieldByUpperName.insert(name.toUpper(), i);
    }
}

TField* TDataSet::FieldByName(const QString& name) const
{
    TField* f = FindField(name);
    if (!f)
        throw EDatabaseError(m_name.isEmpty() ? QStringLiteral("Field '%1' not found").arg(name)
                                              : QStringLiteral("%1: Field '%2' not found").arg(m_name, name));
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
    for (const auto& f : m_fields)
        names << f->FieldName();
    return names;
}

int TDataSet::IndexOfField(const TField* field) const
{
    return field && field->m_dataSet == this ? field->m_index : -1;
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
    turn(m_fields);
    turn(m_columns);
    turn(m_buffer);
    for (OrderKey& k : m_orderKeys)
        k.Field = moved(k.Field);
    for (auto& t : m_rangeTerms)
        t.first = moved(t.first);
    for (int i = 0; i < n; ++i)
        m_fields[size_t(i)]->m_index = i;
    ReindexFields();
    if (m_filterExpr)
        CompileFilter();
    DataEvent(TDataEvent::deLayoutChange, nullptr);
}

void TDataSet::AddField(std::shared_ptr<TField> field)
{
    if (!field)
        return;
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (field->m_dataSet == this)
        return;
    if (field->m_dataSet)
        field->m_dataSet->RemoveField(field.get());
    if (!field->FieldName().isEmpty() && FindField(field->FieldName()))
        throw EDatabaseError(QStringLiteral("Duplicate field name '%1'").arg(field->FieldName()));
    field->m_dataSet = this;
    field->m_index = int(m_fields.size());
    m_fields.push_back(std::move(field));
    m_defaultFields = false;
    ReindexFields();
}

void TDataSet::RemoveField(TField* field)
{
    if (!field || field->m_dataSet != this)
        return;
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    auto keep = m_fields[size_t(field->m_index)];
    m_fields.erase(m_fields.begin() + field->m_index);
    for (int i = 0; i < int(m_fields.size()); ++i)
        m_fields[size_t(i)]->m_index = i;
    field->m_dataSet = nullptr;
    field->m_index = -1;
    ReindexFields();
}

void TDataSet::CreateFields()
{
    if (m_defaultFields && !m_fields.empty()) {
        // Fields made from definitions that have changed since are made anew; unchanged ones
        // are kept, so pointers to them stay good across a close and an open.
        bool same = int(m_fields.size()) == m_fieldDefs.Count();
        for (int i = 0; same && i < m_fieldDefs.Count(); ++i) {
            const TFieldDef& def = m_fieldDefs.Items(i);
            const TField* f = m_fields[size_t(i)].get();
            same = f->FieldName() == def.Name() && f->DataType() == def.DataType() && f->Size() == def.Size();
        }
        if (!same) {
            auto old = std::move(m_fields);
            m_fields.clear();
            for (auto& f : old) {
                f->m_dataSet = nullptr;
                f->m_index = -1;
            }
        }
    }
    if (m_fields.empty()) {
        for (int i = 0; i < m_fieldDefs.Count(); ++i) {
            auto f = m_fieldDefs.Items(i).CreateField();
            f->m_dataSet = this;
            f->m_index = i;
            f->m_fieldNo = i + 1;
            m_fields.push_back(std::move(f));
        }
        m_defaultFields = true;
    } else if (m_fieldDefs.Count() == 0) {
        for (const auto& f : m_fields)
            if (f->FieldKind() == TFieldKind::fkData)
                m_fieldDefs.Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
    }
    ReindexFields();
    for (const auto& f : m_fields) {
        if (f->FieldKind() != TFieldKind::fkData) {
            f->m_fieldNo = -1;
            continue;
        }
        const int def = m_fieldDefs.IndexOf(f->FieldName());
        if (def < 0)
            throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(f->FieldName()));
        if (!m_defaultFields)
            f->BindToColumn(m_fieldDefs.Items(def).DataType(), m_fieldDefs.Items(def).Size());
        f->m_fieldNo = def + 1;
    }
    if (m_fields.empty())
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
    m_pos = 0;
    m_readPos = 0;
    m_bof = true;
    m_eof = ViewCount() == 0;
    SetState(TDataSetState::dsBrowse);
    Fire(AfterOpen);
    if (!IsEmpty())
        Fire(AfterScroll);
}

void TDataSet::InternalOpen()
{
    m_columns.clear();
    m_columns.reserve(m_fields.size());
    for (const auto& f : m_fields)
        m_columns.emplace_back(ColumnKindOf(f->StorageType()));
    ClearData();
    if (!m_filterText.trimmed().isEmpty())
        CompileFilter();
    RebuildOrder();
    RebuildView();
}

void TDataSet::Close()
{
    if (!Active())
        return;
    Fire(BeforeClose);
    m_blockReadSize = 0;
    m_bufferActive = false;
    m_editSlot = -1;
    m_insertPos = -1;
    m_modified = false;
    SetState(TDataSetState::dsInactive);
    InternalClose();
    Fire(AfterClose);
}

void TDataSet::InternalClose()
{
    ClearData();
    m_columns.clear();
}

void TDataSet::ClearData()
{
    m_serialBase += qint64(m_live.size());
    for (auto& c : m_columns)
        c.Clear();
    m_rank.clear();
    m_live.clear();
    m_liveCount = 0;
    m_maxRank = 0;
    m_order.clear();
    m_view.clear();
    m_rangeLo = m_rangeHi = 0;
    if (m_viewMode == ViewMode::List)
        m_view.clear();
    m_pos = 0;
    m_readPos = 0;
    m_bulkFirst = -1;
}

void TDataSet::SetState(TDataSetState state)
{
    if (state == m_state)
        return;
    m_state = state;
    m_modified = false;
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

int TDataSet::AllocateSlot()
{
    const int slot = int(m_live.size());
    for (auto& c : m_columns)
        c.Resize(slot + 1);
    m_live.push_back(1);
    m_rank.push_back(0);
    ++m_liveCount;
    return slot;
}

void TDataSet::ReleaseSlot(int slot)
{
    for (auto& c : m_columns)
        c.Release(slot);
    m_live[size_t(slot)] = 0;
    --m_liveCount;
}

::Value TDataSet::StoredValue(int fieldIndex, int slot) const
{
    const TColumnStore& c = m_columns[size_t(fieldIndex)];
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
    for (size_t i = 0; i < m_columns.size(); ++i)
        StoreValue(m_columns[i], slot, m_buffer[i]);
}

void TDataSet::LoadBufferFromSlot(int slot)
{
    m_buffer.resize(m_columns.size());
    for (size_t i = 0; i < m_columns.size(); ++i)
        m_buffer[i] = StoredValue(int(i), slot);
}

// ---------------------------------------------------------------- order and view

int TDataSet::CompareSlots(int a, int b) const
{
    for (const OrderKey& k : m_orderKeys) {
        int c = m_columns[size_t(k.Field)].Compare(a, b, k.CaseInsensitive);
        if (c != 0)
            return k.Descending ? -c : c;
    }
    const double ra = m_rank[size_t(a)], rb = m_rank[size_t(b)];
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

int TDataSet::CompareSlotToKey(int slot, const ValueArray& key, int count) const
{
    for (int i = 0; i < count; ++i) {
        const OrderKey& k = m_orderKeys[size_t(i)];
        const int c = CompareStoredToKey(m_columns[size_t(k.Field)], slot, key[size_t(i)], k.CaseInsensitive);
        if (c != 0)
            return k.Descending ? -c : c;
    }
    return 0;
}

int TDataSet::OrderPositionOf(int slot) const
{
    auto it = std::lower_bound(m_order.begin(), m_order.end(), slot,
                               [this](int a, int b) { return CompareSlots(a, b) < 0; });
    if (it != m_order.end() && *it == slot)
        return int(it - m_order.begin());
    // Not where the order says it should be: look for it.
    auto found = std::find(m_order.begin(), m_order.end(), slot);
    return found == m_order.end() ? -1 : int(found - m_order.begin());
}

void TDataSet::InsertIntoOrder(int slot)
{
    if (m_order.empty() || CompareSlots(m_order.back(), slot) < 0) {
        m_order.push_back(slot);
    } else {
        auto it = std::lower_bound(m_order.begin(), m_order.end(), slot,
                                   [this](int a, int b) { return CompareSlots(a, b) < 0; });
        m_order.insert(it, slot);
    }
    switch (m_viewMode) {
    case ViewMode::All: break;
    case ViewMode::Range: RecomputeRange(); break;
    case ViewMode::List:
        if (Passes(slot)) {
            auto it = std::lower_bound(m_view.begin(), m_view.end(), slot,
                                       [this](int a, int b) { return CompareSlots(a, b) < 0; });
            m_view.insert(it, slot);
        }
        break;
    }
}

void TDataSet::RemoveFromOrder(int slot)
{
    const int pos = OrderPositionOf(slot);
    if (pos >= 0)
        m_order.erase(m_order.begin() + pos);
    switch (m_viewMode) {
    case ViewMode::All: break;
    case ViewMode::Range: RecomputeRange(); break;
    case ViewMode::List: {
        auto it = std::lower_bound(m_view.begin(), m_view.end(), slot,
                                   [this](int a, int b) { return CompareSlots(a, b) < 0; });
        if (it != m_view.end() && *it == slot)
            m_view.erase(it);
        else
            m_view.erase(std::remove(m_view.begin(), m_view.end(), slot), m_view.end());
        break;
    }
    }
}

void TDataSet::RebuildOrder()
{
    m_order.clear();
    for (int s = 0; s < int(m_live.size()); ++s)
        if (m_live[size_t(s)])
            m_order.push_back(s);
    if (m_orderKeys.empty()) {
        if (!std::is_sorted(m_order.begin(), m_order.end(),
                            [this](int a, int b) { return m_rank[size_t(a)] < m_rank[size_t(b)]; }))
            std::sort(m_order.begin(), m_order.end(), [this](int a, int b) { return CompareSlots(a, b) < 0; });
        return;
    }
    if (SortByIntegerKeys())
        return;
    std::sort(m_order.begin(), m_order.end(), [this](int a, int b) { return CompareSlots(a, b) < 0; });
}

bool TDataSet::SortByIntegerKeys()
{
    // An index over integer fields only (the usual one) is sorted on its keys copied out of the
    // columns: packed into one number per record and radix-sorted when their ranges fit in 64
    // bits, else side by side in one array; either is far cheaper than comparing column by
    // column. Ties keep the insertion order, as the comparison by rank does.
    const size_t k = m_orderKeys.size();
    for (const OrderKey& key : m_orderKeys)
        if (m_columns[size_t(key.Field)].StorageKind() != TColumnStore::Kind::Int32)
            return false;
    auto byRank = [this](int a, int b) { return m_rank[size_t(a)] < m_rank[size_t(b)]; };
    if (!std::is_sorted(m_order.begin(), m_order.end(), byRank))
        std::sort(m_order.begin(), m_order.end(), byRank);
    const size_t n = m_order.size();
    if (n < 2)
        return true;

    // Codes of each key: ascending null 0 and values from 1; descending the values from 0 down
    // and null last.
    std::vector<qint64> lo(k, 0), hi(k, 0);
    std::vector<int> bits(k, 0);
    int total = 0;
    for (size_t j = 0; j < k; ++j) {
        const TColumnStore& c = m_columns[size_t(m_orderKeys[j].Field)];
        bool any = false;
        for (int slot : m_order) {
            if (c.IsNull(slot))
                continue;
            const qint64 v = c.Int32At(slot);
            lo[j] = any ? std::min(lo[j], v) : v;
            hi[j] = any ? std::max(hi[j], v) : v;
            any = true;
        }
        const quint64 largest = quint64(hi[j] - lo[j] + 1);
        bits[j] = int(std::bit_width(largest));
        total += bits[j];
    }
    if (total <= 64) {
        const auto keyOf = [&](int slot) {
            quint64 key = 0;
            for (size_t j = 0; j < k; ++j) {
                const TColumnStore& c = m_columns[size_t(m_orderKeys[j].Field)];
                quint64 code;
                if (m_orderKeys[j].Descending)
                    code = c.IsNull(slot) ? quint64(hi[j] - lo[j] + 1) : quint64(hi[j] - c.Int32At(slot));
                else
                    code = c.IsNull(slot) ? 0 : quint64(c.Int32At(slot) - lo[j] + 1);
                key = bits[j] == 64 ? code : (key << bits[j]) | code;
            }
            return key;
        };
        // Records usually arrive in order of the first key already (a reader writes a stem's
        // rows together): then only each run of equal first keys is sorted, in a small buffer,
        // and the whole table's two key arrays are never allocated.
        const int rest = total - bits[0];
        bool firstInOrder = true;
        {
            const TColumnStore& c = m_columns[size_t(m_orderKeys[0].Field)];
            const bool desc = m_orderKeys[0].Descending;
            const auto firstOf = [&](int slot) {
                if (c.IsNull(slot))
                    return desc ? hi[0] - lo[0] + 1 : 0;
                return desc ? hi[0] - c.Int32At(slot) : c.Int32At(slot) - lo[0] + 1;
            };
            qint64 prev = firstOf(m_order[0]);
            for (size_t i = 1; i < n && firstInOrder; ++i) {
                const qint64 code = firstOf(m_order[i]);
                firstInOrder = prev <= code;
                prev = code;
            }
        }
        if (firstInOrder) {
            std::vector<std::pair<quint64, int>> run;
            for (size_t b = 0; b < n;) {
                run.clear();
                run.emplace_back(keyOf(m_order[b]), m_order[b]);
                const quint64 first = run.front().first >> rest;
                bool inOrder = true;
                size_t e = b + 1;
                for (; e < n; ++e) {
                    const quint64 key = keyOf(m_order[e]);
                    if ((key >> rest) != first)
                        break;
                    inOrder = inOrder && run.back().first <= key;
                    run.emplace_back(key, m_order[e]);
                }
                if (!inOrder) {
                    const auto less = [](const auto& x, const auto& y) { return x.first < y.first; };
                    if (run.size() > 32) {
                        std::stable_sort(run.begin(), run.end(), less);
                    } else { // insertion sort: stable, and quick on a few
                        for (auto i = run.begin() + 1; i < run.end(); ++i)
                            for (auto j = i; j != run.begin() && less(*j, *(j - 1)); --j)
                                std::iter_swap(j, j - 1);
                    }
                    for (size_t i = b; i < e; ++i)
                        m_order[i] = run[i - b].second;
                }
                b = e;
            }
            return true;
        }
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
                a[i] = keyOf(m_order[i]) << posBits | quint64(i);
            radix(a, b, [](quint64 e, int shift) { return size_t(e >> shift) & (kBuckets - 1); }, posBits,
                  posBits + total);
            const std::vector<int> before(m_order.begin(), m_order.end());
            const quint64 posMask = (quint64(1) << posBits) - 1;
            for (size_t i = 0; i < n; ++i)
                m_order[i] = before[size_t(a[i] & posMask)];
            return true;
        }
        std::vector<std::pair<quint64, int>> a(n), b(n);
        for (size_t i = 0; i < n; ++i)
            a[i] = {keyOf(m_order[i]), m_order[i]};
        radix(a, b, [](const std::pair<quint64, int>& e, int shift) { return size_t(e.first >> shift) & (kBuckets - 1); },
              0, total);
        for (size_t i = 0; i < n; ++i)
            m_order[i] = a[i].second;
        return true;
    }

    const size_t stride = k + 1; // the keys, then the slot
    std::vector<qint64> rows(n * stride);
    for (size_t i = 0; i < n; ++i) {
        const int slot = m_order[i];
        qint64* r = &rows[i * stride];
        for (size_t j = 0; j < k; ++j) {
            const TColumnStore& c = m_columns[size_t(m_orderKeys[j].Field)];
            const qint64 v = c.IsNull(slot) ? std::numeric_limits<qint64>::min() + 1 : qint64(c.Int32At(slot));
            r[j] = m_orderKeys[j].Descending ? -v : v;
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
        m_order[i] = int(rows[size_t(perm[i]) * stride + k]);
    return true;
}

void TDataSet::RebuildView()
{
    m_view.clear();
    m_rangeTerms.clear();
    if (!m_filtered || ((!m_filterExpr || m_filterText.trimmed().isEmpty()) && !OnFilterRecord)) {
        m_viewMode = ViewMode::All;
        return;
    }
    // Equalities on the leading fields of the current order select a range of it.
    std::vector<std::pair<int, ::Value>> terms;
    if (!OnFilterRecord && m_filterExpr && m_filterExpr->EqualityTerms(terms) && terms.size() <= m_orderKeys.size()) {
        std::vector<std::pair<int, ::Value>> ordered;
        bool ok = true;
        for (size_t i = 0; i < terms.size() && ok; ++i) {
            const OrderKey& k = m_orderKeys[i];
            int matches = 0;
            for (const auto& t : terms)
                if (t.first == k.Field) {
                    ++matches;
                    if (matches == 1)
                        ordered.push_back(t);
                }
            const bool text = m_columns[size_t(k.Field)].StorageKind() == TColumnStore::Kind::String;
            ok = matches == 1 && !(text && k.CaseInsensitive);
        }
        if (ok && ordered.size() == terms.size()) {
            m_viewMode = ViewMode::Range;
            m_rangeTerms = std::move(ordered);
            RecomputeRange();
            return;
        }
    }
    m_viewMode = ViewMode::List;
    for (int slot : m_order)
        if (Passes(slot))
            m_view.push_back(slot);
}

void TDataSet::RecomputeRange()
{
    ValueArray key;
    key.reserve(m_rangeTerms.size());
    for (const auto& t : m_rangeTerms)
        key.push_back(t.second);
    const int count = int(key.size());
    auto lo = std::lower_bound(m_order.begin(), m_order.end(), 0, [&](int slot, int) {
        return CompareSlotToKey(slot, key, count) < 0;
    });
    auto hi = std::upper_bound(lo, m_order.end(), 0, [&](int, int slot) {
        return CompareSlotToKey(slot, key, count) > 0;
    });
    m_rangeLo = int(lo - m_order.begin());
    m_rangeHi = int(hi - m_order.begin());
}

int TDataSet::ViewCount() const
{
    switch (m_viewMode) {
    case ViewMode::All: return int(m_order.size());
    case ViewMode::Range: return m_rangeHi - m_rangeLo;
    case ViewMode::List: return int(m_view.size());
    }
    return 0;
}

int TDataSet::ViewSlot(int position) const
{
    switch (m_viewMode) {
    case ViewMode::All: return m_order[size_t(position)];
    case ViewMode::Range: return m_order[size_t(m_rangeLo + position)];
    case ViewMode::List: return m_view[size_t(position)];
    }
    return -1;
}

int TDataSet::ViewPositionOfSlot(int slot) const
{
    if (slot < 0 || slot >= int(m_live.size()) || !m_live[size_t(slot)])
        return -1;
    switch (m_viewMode) {
    case ViewMode::All: return OrderPositionOf(slot);
    case ViewMode::Range: {
        const int pos = OrderPositionOf(slot);
        return pos >= m_rangeLo && pos < m_rangeHi ? pos - m_rangeLo : -1;
    }
    case ViewMode::List: {
        auto it = std::lower_bound(m_view.begin(), m_view.end(), slot,
                                   [this](int a, int b) { return CompareSlots(a, b) < 0; });
        if (it != m_view.end() && *it == slot)
            return int(it - m_view.begin());
        auto found = std::find(m_view.begin(), m_view.end(), slot);
        return found == m_view.end() ? -1 : int(found - m_view.begin());
    }
    }
    return -1;
}

int TDataSet::WindowRecordCount() const
{
    if (!Active())
        return 0;
    return ViewCount() + (m_insertPos >= 0 ? 1 : 0);
}

int TDataSet::CursorWindowPosition() const
{
    return m_pos;
}

int TDataSet::SlotAtWindowPosition(int position) const
{
    if (m_insertPos >= 0) {
        if (position == m_insertPos)
            return -1;
        if (position > m_insertPos)
            --position;
    }
    if (position < 0 || position >= ViewCount())
        return -1;
    return ViewSlot(position);
}

int TDataSet::CursorSlot() const
{
    if (m_state == TDataSetState::dsEdit)
        return m_editSlot;
    return SlotAtWindowPosition(m_pos);
}

void TDataSet::SetReadPosition(int position)
{
    m_readPos = position;
}

void TDataSet::SetOrderKeys(std::vector<OrderKey> keys)
{
    if (Active())
        CheckBrowseMode();
    const int slot = Active() ? CursorSlot() : -1;
    m_orderKeys = std::move(keys);
    if (!Active()) {
        // An opening dataset: its records (none yet) and filter follow the new order.
        if (m_columns.size() == m_fields.size() && !m_columns.empty()) {
            RebuildOrder();
            RebuildView();
        }
        return;
    }
    RebuildOrder();
    RebuildView();
    const int pos = ViewPositionOfSlot(slot);
    m_pos = pos >= 0 ? pos : 0;
    m_readPos = m_pos;
    m_bof = ViewCount() == 0;
    m_eof = ViewCount() == 0;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

// ---------------------------------------------------------------- filter

void TDataSet::CompileFilter()
{
    if (m_fields.empty() || m_filterText.trimmed().isEmpty()) {
        m_filterExpr.reset();
        return;
    }
    m_filterExpr = TFilterExpression::Parse(
        m_filterText,
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
        m_filterOptions);
}

bool TDataSet::MatchesFilterText(int slot) const
{
    if (m_filterExpr && !m_filterExpr->Matches([this, slot](int field) { return StoredValue(field, slot); }))
        return false;
    if (OnFilterRecord) {
        auto* self = const_cast<TDataSet*>(this);
        const TDataSetState saved = m_state;
        const int savedSlot = m_filterSlot;
        self->m_state = TDataSetState::dsFilter;
        self->m_filterSlot = slot;
        bool accept = true;
        try {
            OnFilterRecord(self, accept);
        } catch (...) {
            self->m_state = saved;
            self->m_filterSlot = savedSlot;
            throw;
        }
        self->m_state = saved;
        self->m_filterSlot = savedSlot;
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
    if (text == m_filterText)
        return;
    // Parse first: a text that cannot be parsed leaves the dataset as it was.
    std::unique_ptr<TFilterExpression> parsed;
    if (!m_fields.empty() && !text.trimmed().isEmpty())
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
            m_filterOptions);
    if (Active() && m_filtered)
        CheckBrowseMode();
    m_filterText = text;
    m_filterExpr = std::move(parsed);
    if (Active() && m_filtered) {
        RebuildView();
        First();
    }
}

void TDataSet::SetFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return;
    if (Active())
        CheckBrowseMode();
    m_filtered = filtered;
    if (Active()) {
        RebuildView();
        First();
    }
}

void TDataSet::SetFilterOptions(TFilterOptions options)
{
    if (options == m_filterOptions)
        return;
    const TFilterOptions old = m_filterOptions;
    m_filterOptions = options;
    try {
        CompileFilter();
    } catch (...) {
        m_filterOptions = old;
        throw;
    }
    if (Active() && m_filtered) {
        CheckBrowseMode();
        RebuildView();
        First();
    }
}

bool TDataSet::FindRecord(bool restart, bool forward)
{
    CheckBrowseMode();
    const int n = ViewCount();
    int pos = restart ? (forward ? 0 : n - 1) : (forward ? m_pos + 1 : m_pos - 1);
    m_found = false;
    for (; pos >= 0 && pos < n; pos += forward ? 1 : -1) {
        if (MatchesFilterText(ViewSlot(pos))) {
            m_found = true;
            break;
        }
    }
    if (m_found)
        MoveTo(pos, true);
    return m_found;
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
    m_pos = position;
    m_readPos = position;
    m_bof = false;
    m_eof = false;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    if (fireEvents)
        Fire(AfterScroll);
}

void TDataSet::First()
{
    CheckBrowseMode();
    Fire(BeforeScroll);
    m_pos = 0;
    m_readPos = 0;
    m_bof = true;
    m_eof = ViewCount() == 0;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterScroll);
}

void TDataSet::Last()
{
    CheckBrowseMode();
    Fire(BeforeScroll);
    m_pos = std::max(0, ViewCount() - 1);
    m_readPos = m_pos;
    m_eof = true;
    m_bof = ViewCount() == 0;
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
    if (distance == 0 || (distance > 0 && m_eof) || (distance < 0 && m_bof))
        return 0;
    const int n = ViewCount();
    Fire(BeforeScroll);
    const int old = m_pos;
    if (n == 0) {
        m_bof = m_eof = true;
    } else if (distance > 0) {
        m_bof = false;
        const qint64 target = qint64(m_pos) + distance;
        if (target >= n) {
            m_pos = n - 1;
            m_eof = true;
        } else {
            m_pos = int(target);
        }
    } else {
        m_eof = false;
        const qint64 target = qint64(m_pos) + distance;
        if (target < 0) {
            m_pos = 0;
            m_bof = true;
        } else {
            m_pos = int(target);
        }
    }
    m_readPos = m_pos;
    DataEvent(TDataEvent::deDataSetScroll, nullptr);
    Fire(AfterScroll);
    return m_pos - old;
}

int TDataSet::RecNo() const
{
    if (!Active())
        return -1;
    if (m_readPos != m_pos) {
        // A record a data link is painting.
        if (SlotAtWindowPosition(m_readPos) < 0)
            return -1;
        return m_insertPos >= 0 && m_readPos > m_insertPos ? m_readPos : m_readPos + 1;
    }
    if (m_state == TDataSetState::dsInsert)
        return -1;
    return ViewCount() == 0 ? 0 : m_pos + 1;
}

void TDataSet::SetRecNo(int recNo)
{
    CheckBrowseMode();
    const int n = ViewCount();
    if (n == 0)
        return;
    const int pos = std::clamp(recNo, 1, n) - 1;
    if (pos != m_pos)
        MoveTo(pos, true);
}

int TDataSet::RecordCount() const
{
    return Active() ? ViewCount() : 0;
}

bool TDataSet::IsEmpty() const
{
    return !Active() || (ViewCount() == 0 && m_state != TDataSetState::dsInsert);
}

void TDataSet::Resync(int position)
{
    const int n = ViewCount();
    m_pos = n == 0 ? 0 : std::clamp(position, 0, n - 1);
    m_readPos = m_pos;
    if (n == 0)
        m_bof = m_eof = true;
}

// ---------------------------------------------------------------- editing

void TDataSet::Edit()
{
    if (IsEditState(m_state))
        return;
    CheckActive();
    if (m_state == TDataSetState::dsBlockRead)
        SetBlockReadSize(0);
    if (ViewCount() == 0) {
        Insert();
        return;
    }
    CheckCanModify();
    Fire(BeforeEdit);
    m_editSlot = ViewSlot(m_pos);
    LoadBufferFromSlot(m_editSlot);
    m_bufferActive = true;
    m_readPos = m_pos;
    SetState(TDataSetState::dsEdit);
    m_modified = false;
    DataEvent(TDataEvent::deRecordChange, nullptr);
    Fire(AfterEdit);
}

double TDataSet::NextRankBefore(int slot)
{
    const double r = m_rank[size_t(slot)];
    double before = r - 2.0;
    bool any = false;
    for (int s = 0; s < int(m_live.size()); ++s)
        if (m_live[size_t(s)] && m_rank[size_t(s)] < r && (!any || m_rank[size_t(s)] > before)) {
            before = m_rank[size_t(s)];
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
    for (int s = 0; s < int(m_live.size()); ++s)
        if (m_live[size_t(s)])
            liveSlots.push_back(s);
    std::sort(liveSlots.begin(), liveSlots.end(), [this](int a, int b) { return m_rank[size_t(a)] < m_rank[size_t(b)]; });
    double r = 0;
    for (int s : liveSlots)
        m_rank[size_t(s)] = (r += 4);
    m_maxRank = r;
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
    if (m_state == TDataSetState::dsBlockRead)
        SetBlockReadSize(0);
    CheckCanModify();
    Fire(BeforeInsert);
    Fire(BeforeScroll);
    m_buffer.assign(m_columns.size(), ::Value());
    const int n = ViewCount();
    if (atEnd || n == 0) {
        m_insertPos = n;
        m_insertRank = m_maxRank + 1;
    } else {
        m_insertPos = std::clamp(m_pos, 0, n - 1);
        m_insertRank = NextRankBefore(ViewSlot(m_insertPos));
    }
    m_pos = m_insertPos;
    m_readPos = m_pos;
    m_bof = m_eof = false;
    m_bufferActive = true;
    m_editSlot = -1;
    SetState(TDataSetState::dsInsert);
    if (OnNewRecord)
        OnNewRecord(this);
    m_modified = false;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterInsert);
    Fire(AfterScroll);
}

void TDataSet::UpdateRecord()
{
    if (!IsEditState(m_state))
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    DataEvent(TDataEvent::deUpdateRecord, nullptr);
}

void TDataSet::Post()
{
    if (!IsEditState(m_state)) {
        CheckActive();
        return;
    }
    UpdateRecord();
    Fire(BeforePost);
    for (const auto& f : m_fields)
        if (f->Required() && f->FieldKind() == TFieldKind::fkData && m_buffer[size_t(f->m_index)].IsNull())
            throw EDatabaseError(QStringLiteral("Field '%1' must have a value").arg(f->DisplayName()));
    CalculateFields();
    int slot;
    const int oldPos = m_pos;
    if (m_state == TDataSetState::dsInsert) {
        slot = AllocateSlot();
        m_rank[size_t(slot)] = m_insertRank;
        m_maxRank = std::max(m_maxRank, m_insertRank);
        WriteBufferToSlot(slot);
        m_insertPos = -1;
        InsertIntoOrder(slot);
    } else {
        slot = m_editSlot;
        RemoveFromOrder(slot);
        WriteBufferToSlot(slot);
        InsertIntoOrder(slot);
    }
    m_bufferActive = false;
    m_editSlot = -1;
    const int pos = ViewPositionOfSlot(slot);
    Resync(pos >= 0 ? pos : oldPos);
    m_bof = m_eof = ViewCount() == 0;
    SetState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterPost);
}

void TDataSet::Cancel()
{
    if (!IsEditState(m_state))
        return;
    Fire(BeforeCancel);
    const bool wasInsert = m_state == TDataSetState::dsInsert;
    m_bufferActive = false;
    int pos = m_pos;
    if (wasInsert) {
        pos = m_insertPos;
        m_insertPos = -1;
    }
    m_editSlot = -1;
    Resync(pos);
    m_bof = m_eof = ViewCount() == 0;
    SetState(TDataSetState::dsBrowse);
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterCancel);
    if (wasInsert)
        Fire(AfterScroll);
}

void TDataSet::Delete()
{
    CheckActive();
    if (m_state == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (ViewCount() == 0)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (m_state == TDataSetState::dsEdit)
        Cancel();
    CheckCanModify();
    Fire(BeforeDelete);
    Fire(BeforeScroll);
    const int slot = ViewSlot(m_pos);
    RemoveFromOrder(slot);
    ReleaseSlot(slot);
    const int pos = m_pos;
    if (m_liveCount == 0) {
        // Nothing left: start a fresh storage generation (bookmarks of old records stay invalid).
        ClearData();
        RebuildView();
    }
    Resync(pos);
    m_bof = m_eof = ViewCount() == 0;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
    Fire(AfterDelete);
    Fire(AfterScroll);
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    DataEvent(TDataEvent::deCheckBrowseMode, nullptr);
    if (IsEditState(m_state)) {
        UpdateRecord();
        if (m_modified)
            Post();
        else
            Cancel();
    }
}

void TDataSet::AppendRecord(const ValueArray& values)
{
    Append();
    try {
        for (size_t i = 0; i < values.size() && i < m_fields.size(); ++i)
            if (!values[i].IsNull())
                m_fields[i]->SetValue(values[i]);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

bool TDataSet::CanBulkAppend() const
{
    for (const auto& f : m_fields)
        if (f->FieldKind() != TFieldKind::fkData)
            return false;
    return true;
}

int TDataSet::BeginBulkAppend(int count)
{
    CheckBrowseMode();
    if (m_state == TDataSetState::dsBlockRead)
        SetBlockReadSize(0);
    CheckCanModify();
    if (m_bulkFirst >= 0)
        throw EDatabaseError(QStringLiteral("A bulk append is already in progress"));
    if (!CanBulkAppend())
        throw EDatabaseError(QStringLiteral("Cannot append in bulk to a dataset with calculated fields"));
    const int first = int(m_live.size());
    if (count < 0 || count > std::numeric_limits<int>::max() - first)
        throw EDatabaseError(QStringLiteral("Invalid number of records: %1").arg(count));
    const size_t total = size_t(first) + size_t(count);
    for (auto& c : m_columns)
        c.Resize(int(total));
    m_live.resize(total, 1);
    m_rank.reserve(total);
    m_bulkMaxRank = m_maxRank;
    for (int i = 0; i < count; ++i)
        m_rank.push_back(m_maxRank += 1);
    m_liveCount += count;
    m_bulkFirst = first;
    m_bulkTargets.assign(m_fields.size(), BulkTarget());
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const TField* f = m_fields[i].get();
        if (f->ReadOnly())
            continue;
        const TColumnStore::Kind kind = m_columns[i].StorageKind();
        BulkTarget& t = m_bulkTargets[i];
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

void TDataSet::SetBulkInteger(int fieldIndex, int record, qint32 value)
{
    const size_t i = size_t(fieldIndex);
    if (i < m_bulkTargets.size() && m_bulkTargets[i].Kind == BulkTarget::Kind::Integer && record >= m_bulkFirst
        && record < int(m_live.size()) && m_bulkFirst >= 0 && value >= m_bulkTargets[i].Lo
        && value <= m_bulkTargets[i].Hi) {
        m_columns[i].SetInt32(record, value);
        return;
    }
    SetBulkValue(fieldIndex, record, ::Value(value)); // checks, converts or raises as the field does
}

void TDataSet::SetBulkString(int fieldIndex, int record, const QString& value)
{
    const size_t i = size_t(fieldIndex);
    if (i < m_bulkTargets.size() && m_bulkTargets[i].Kind == BulkTarget::Kind::String && record >= m_bulkFirst
        && record < int(m_live.size()) && m_bulkFirst >= 0
        && (m_bulkTargets[i].Size <= 0 || value.size() <= m_bulkTargets[i].Size)) {
        m_columns[i].SetString(record, value);
        return;
    }
    SetBulkValue(fieldIndex, record, ::Value(value));
}

void TDataSet::SetBulkValue(int fieldIndex, int record, const ::Value& value)
{
    if (m_bulkFirst < 0 || record < m_bulkFirst || record >= int(m_live.size()))
        throw EDatabaseError(QStringLiteral("Record %1 is not part of a bulk append").arg(record));
    TField* f = m_fields.at(size_t(fieldIndex)).get();
    if (f->ReadOnly())
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(f->DisplayName()));
    TColumnStore& c = m_columns[size_t(fieldIndex)];
    if (value.IsNull())
        c.SetNull(record);
    else
        StoreValue(c, record, f->ToStorage(value));
}

void TDataSet::EndBulkAppend()
{
    if (m_bulkFirst < 0)
        return;
    const int first = m_bulkFirst;
    const int last = int(m_live.size()) - 1;
    for (const auto& f : m_fields)
        if (f->Required())
            for (int s = first; s <= last; ++s)
                if (m_columns[size_t(f->m_index)].IsNull(s)) {
                    CancelBulkAppend();
                    throw EDatabaseError(QStringLiteral("Field '%1' must have a value").arg(f->DisplayName()));
                }
    m_bulkFirst = -1;
    RebuildOrder();
    RebuildView();
    if (last >= first) {
        const int pos = ViewPositionOfSlot(last);
        Resync(pos >= 0 ? pos : m_pos);
    }
    m_bof = m_eof = ViewCount() == 0;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

void TDataSet::CancelBulkAppend()
{
    if (m_bulkFirst < 0)
        return;
    const int first = m_bulkFirst;
    m_liveCount -= int(m_live.size()) - first;
    for (auto& c : m_columns)
        c.Resize(first);
    m_live.resize(size_t(first));
    m_rank.resize(size_t(first));
    m_maxRank = m_bulkMaxRank;
    m_bulkFirst = -1;
}

void TDataSet::EmptyDataSet()
{
    CheckActive();
    if (IsEditState(m_state))
        Cancel();
    ClearData();
    RebuildView();
    m_bof = m_eof = true;
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    Resync(m_pos);
    DataEvent(TDataEvent::deDataSetChange, nullptr);
}

void TDataSet::CalculateFields()
{
    if (!OnCalcFields)
        return;
    bool hasCalc = false;
    for (const auto& f : m_fields)
        if (f->FieldKind() != TFieldKind::fkData)
            hasCalc = true;
    if (!hasCalc)
        return;
    const TDataSetState saved = m_state;
    m_state = TDataSetState::dsCalcFields;
    m_inCalc = true;
    try {
        for (const auto& f : m_fields)
            if (f->FieldKind() == TFieldKind::fkCalculated)
                m_buffer[size_t(f->m_index)] = ::Value();
        OnCalcFields(this);
    } catch (...) {
        m_inCalc = false;
        m_state = saved;
        throw;
    }
    m_inCalc = false;
    m_state = saved;
}

// ---------------------------------------------------------------- field data

::Value TDataSet::GetFieldData(const TField* field) const
{
    if (!Active() || field->m_dataSet != this)
        return ::Value();
    const size_t index = size_t(field->m_index);
    if (m_filterSlot >= 0)
        return StoredValue(int(index), m_filterSlot);
    if (m_bufferActive && m_readPos == m_pos)
        return index < m_buffer.size() ? m_buffer[index] : ::Value();
    const int slot = SlotAtWindowPosition(m_readPos);
    if (slot < 0)
        return ::Value();
    return StoredValue(int(index), slot);
}

void TDataSet::SetFieldData(TField* field, const ::Value& stored)
{
    CheckActive();
    const size_t index = size_t(field->m_index);
    if (m_inCalc && field->FieldKind() != TFieldKind::fkData) {
        m_buffer[index] = stored;
        if (field->m_kpDbField) {
            field->m_kpDbField->NotifyObservers(0);
            field->m_kpDbField->NotifyObservers(1);
        }
        return;
    }
    if (!IsEditState(m_state) || m_filterSlot >= 0)
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    if (field->ReadOnly() && field->FieldKind() == TFieldKind::fkData)
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(field->DisplayName()));
    // Writes go to the record at the cursor, whatever record a link was painting.
    m_readPos = m_pos;
    const ::Value old = m_buffer[index];
    m_buffer[index] = stored;
    if (field->OnValidate) {
        try {
            field->OnValidate(field);
        } catch (...) {
            m_buffer[index] = old;
            throw;
        }
    }
    if (field->FieldKind() == TFieldKind::fkData)
        m_modified = true;
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
        text[i] = m_columns[size_t(fields[i]->Index())].StorageKind() == TColumnStore::Kind::String;
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
            const TColumnStore& c = m_columns[size_t(fields[i]->Index())];
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
            if (pos != m_pos || m_bof || m_eof)
                MoveTo(pos, true);
            return true;
        }
    }
    return false;
}

::Value TDataSet::Lookup(const QString& keyFields, const ::Value& keyValues, const QString& resultFields)
{
    const auto results = GetFieldList(resultFields);
    const int savedPos = m_pos;
    const bool savedBof = m_bof, savedEof = m_eof;
    // Search without events or notifications, then come back.
    auto beforeScroll = std::move(BeforeScroll);
    auto afterScroll = std::move(AfterScroll);
    BeforeScroll = nullptr;
    AfterScroll = nullptr;
    ++m_disableCount;
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
        --m_disableCount;
        BeforeScroll = std::move(beforeScroll);
        AfterScroll = std::move(afterScroll);
        throw;
    }
    --m_disableCount;
    BeforeScroll = std::move(beforeScroll);
    AfterScroll = std::move(afterScroll);
    m_pos = savedPos;
    m_readPos = savedPos;
    m_bof = savedBof;
    m_eof = savedEof;
    return result;
}

bool TDataSet::SeekKey(const ValueArray& values, bool nearest)
{
    CheckBrowseMode();
    const int count = int(std::min(values.size(), m_orderKeys.size()));
    if (count == 0)
        return false;
    ValueArray key(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TField* f = m_fields[size_t(m_orderKeys[size_t(i)].Field)].get();
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
    if (m_readPos == m_pos) {
        if (m_state == TDataSetState::dsInsert)
            return {};
        slot = CursorSlot();
    } else {
        slot = SlotAtWindowPosition(m_readPos);
    }
    if (slot < 0)
        return {};
    return TBookmark { m_serialBase + slot };
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const
{
    if (!Active() || bookmark.Serial < m_serialBase)
        return false;
    const qint64 slot = bookmark.Serial - m_serialBase;
    if (slot >= qint64(m_live.size()))
        return false;
    return ViewPositionOfSlot(int(slot)) >= 0;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark)
{
    CheckBrowseMode();
    if (!BookmarkValid(bookmark))
        throw EDatabaseError(QStringLiteral("Record not found"));
    MoveTo(ViewPositionOfSlot(int(bookmark.Serial - m_serialBase)), true);
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
        if (m_state != TDataSetState::dsBlockRead)
            CheckBrowseMode();
        m_blockReadSize = size;
        SetState(TDataSetState::dsBlockRead);
    } else {
        m_blockReadSize = 0;
        if (m_state == TDataSetState::dsBlockRead) {
            SetState(TDataSetState::dsBrowse);
            DataEvent(TDataEvent::deDataSetChange, nullptr);
        }
    }
}

void TDataSet::DisableControls()
{
    if (m_disableCount == 0) {
        m_disableState = m_state;
        m_enableEvent = TDataEvent::deDataSetChange;
    }
    ++m_disableCount;
}

void TDataSet::EnableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount > 0)
        return;
    if (m_disableState != m_state)
        DataEvent(TDataEvent::deUpdateState, nullptr);
    if (Active())
        DataEvent(m_enableEvent, nullptr);
}

XPRef<IKpDbDataSet> TDataSet::KpDbDataSet()
{
    if (!m_kpDbDataSet)
        m_kpDbDataSet = XPRef<IKpDbDataSet>(new TKpDbDataSet(this));
    return m_kpDbDataSet;
}

int TDataSet::AddFreeNotification(std::function<void(TDataSet*)> callback)
{
    const int id = m_nextNotificationId++;
    m_freeNotifications.emplace(id, std::move(callback));
    return id;
}

void TDataSet::RemoveFreeNotification(int id)
{
    m_freeNotifications.erase(id);
}

void TDataSet::AttachDataSource(TDataSource* source)
{
    if (std::find(m_dataSources.begin(), m_dataSources.end(), source) == m_dataSources.end())
        m_dataSources.push_back(source);
}

void TDataSet::DetachDataSource(TDataSource* source)
{
    m_dataSources.erase(std::remove(m_dataSources.begin(), m_dataSources.end(), source), m_dataSources.end());
}

void TDataSet::DataEvent(TDataEvent event, TField* field)
{
    if (m_kpDbDataSet
        && (event == TDataEvent::deDataSetChange || event == TDataEvent::deDataSetScroll
            || event == TDataEvent::deUpdateState))
        m_kpDbDataSet->NotifyObservers(0);
    if (m_state == TDataSetState::dsBlockRead
        && (event == TDataEvent::deDataSetScroll || event == TDataEvent::deDataSetChange))
        return;
    if (m_disableCount > 0) {
        if (event == TDataEvent::deLayoutChange
            || (event == TDataEvent::deUpdateState && m_state == TDataSetState::dsInactive))
            m_enableEvent = TDataEvent::deLayoutChange;
        return;
    }
    NotifyDataSources(event, field);
}

void TDataSet::NotifyDataSources(TDataEvent event, TField* field)
{
    const auto sources = m_dataSources;
    for (TDataSource* source : sources)
        if (std::find(m_dataSources.begin(), m_dataSources.end(), source) != m_dataSources.end())
            source->DataEvent(event, field);
}
