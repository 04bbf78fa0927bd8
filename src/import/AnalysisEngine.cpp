#include "import/AnalysisEngine.h"

#include "import/AnalysisCodes.h"
#include "import/AnalysisErrors.h"
#include "import/MeasNotes.h"
#include "import/RoundPrec.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <initializer_list>
#include <limits>
#include <iterator>
#include <map>
#include <span>
#include <unordered_map>

namespace {

// A null field reads as 0 wherever a number is read.
inline int32_t V(const std::optional<int32_t>& v) { return v.value_or(0); }
inline int32_t V(const std::optional<int16_t>& v) { return v.value_or(0); }
inline long double VD(const std::optional<double>& v) { return v.value_or(0.0); }

inline int32_t Checked(long long v)
{
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        TAnalysisErrors::RaiseIntOverflow();
    return static_cast<int32_t>(v);
}

inline int32_t Inc(const std::optional<int32_t>& v) { return Checked(static_cast<long long>(V(v)) + 1); }

// Rounds and converts to a 32-bit integer, refusing values outside its range.
inline int32_t RoundToInt(long double v)
{
    const long double r = RoundPrec(0, v);
    if (!(r >= -2147483648.0L && r <= 2147483647.0L))
        TAnalysisErrors::RaiseRangeError();
    return static_cast<int32_t>(r);
}

// Index order of a nullable key: null before any value. (Either side a std::optional or a
// TPackedOptional.)
template <typename A, typename B>
inline bool LessOpt(const A& a, const B& b)
{
    if (!a)
        return b.has_value();
    return b && *a < *b;
}

// A pair of numbers as one key that sorts as the pair does.
inline uint64_t OrderedKey(int32_t k, int32_t b)
{
    const auto biased = [](int32_t v) { return static_cast<uint64_t>(static_cast<uint32_t>(v) ^ 0x80000000u); };
    return biased(k) << 32 | biased(b);
}

const long double kPi = 3.141592653589793238462643383279502884L;

inline bool UsableHarvester(const TMeasRow& m)
{
    const int32_t d = V(m.DERIGS);
    return d == ValidationCode::Usable || d == ValidationCode::PlaceNearTop;
}

// The ordered views of the model that the passes walk: trees by KOKS_NR, a tree's logs by
// BALKIS_NR (logs whose KOKS_NR equals the tree's), a log's measurements by MERIJUMS_NR
// (measurements with the log's KOKS_NR and BALKIS_NR). Ties keep the order of the rows in the
// model. Two trees with the same number share their logs, two logs with the same numbers share
// their measurements, as the key filters of the datasets do.
class TWalk {
public:
    explicit TWalk(TAnalysisModel& model) : m(model), notes(*model.MeasTexts) {}

    void BuildTreeOrder()
    {
        treeOrder.resize(m.Trees.size());
        for (size_t i = 0; i < treeOrder.size(); ++i)
            treeOrder[i] = i;
        auto less = [&](size_t a, size_t b) { return LessOpt(m.Trees[a].KOKS_NR, m.Trees[b].KOKS_NR); };
        if (!std::is_sorted(treeOrder.begin(), treeOrder.end(), less))
            std::stable_sort(treeOrder.begin(), treeOrder.end(), less);
    }

    // Logs grouped by KOKS_NR, each group in BALKIS_NR order.
    void BuildLogOrder()
    {
        logOrder.clear();
        logOrder.reserve(m.Logs.size());
        for (size_t i = 0; i < m.Logs.size(); ++i)
            if (m.Logs[i].KOKS_NR)
                logOrder.push_back(i);
        auto less = [&](size_t a, size_t b) {
            const TLogRow& la = m.Logs[a];
            const TLogRow& lb = m.Logs[b];
            if (*la.KOKS_NR != *lb.KOKS_NR)
                return *la.KOKS_NR < *lb.KOKS_NR;
            return LessOpt(la.BALKIS_NR, lb.BALKIS_NR);
        };
        if (!std::is_sorted(logOrder.begin(), logOrder.end(), less))
            std::stable_sort(logOrder.begin(), logOrder.end(), less);
        // Every pass walks each tree's logs: found once here (the logs' KOKS_NR never change).
        logRange.resize(m.Trees.size());
        for (size_t t = 0; t < m.Trees.size(); ++t) {
            const int32_t k = V(m.Trees[t].KOKS_NR);
            auto lo = std::lower_bound(logOrder.begin(), logOrder.end(), k,
                                       [&](size_t l, int32_t key) { return *m.Logs[l].KOKS_NR < key; });
            auto hi = std::upper_bound(lo, logOrder.end(), k,
                                       [&](int32_t key, size_t l) { return key < *m.Logs[l].KOKS_NR; });
            logRange[t] = {size_t(lo - logOrder.begin()), size_t(hi - logOrder.begin())};
        }
    }

    // The logs of tree t (a contiguous range of logOrder), as BuildLogOrder found them.
    std::pair<const size_t*, const size_t*> LogsOf(size_t t) const
    {
        return {logOrder.data() + logRange[t].first, logOrder.data() + logRange[t].second};
    }

    // Measurements grouped by (KOKS_NR, BALKIS_NR) in MERIJUMS_NR order; every log gets its group.
    // The groups lie one after another in one array, each with room for the butt and top rows
    // its logs will get.
    void BuildMeasGroups()
    {
        if (m.Meas.size() + 2 * m.Logs.size() >= std::numeric_limits<uint32_t>::max() / 2)
            TAnalysisErrors::RaiseRangeError();
        std::vector<uint32_t> order;
        order.reserve(m.Meas.size());
        for (size_t i = 0; i < m.Meas.size(); ++i)
            if (m.Meas[i].KOKS_NR && m.Meas[i].BALKIS_NR)
                order.push_back(static_cast<uint32_t>(i));
        auto less = [&](uint32_t a, uint32_t b) {
            const TMeasRow& ma = m.Meas[a];
            const TMeasRow& mb = m.Meas[b];
            if (*ma.KOKS_NR != *mb.KOKS_NR)
                return *ma.KOKS_NR < *mb.KOKS_NR;
            if (*ma.BALKIS_NR != *mb.BALKIS_NR)
                return *ma.BALKIS_NR < *mb.BALKIS_NR;
            return LessOpt(ma.MERIJUMS_NR, mb.MERIJUMS_NR);
        };
        // Readers usually append in key order already.
        if (!std::is_sorted(order.begin(), order.end(), less))
            std::stable_sort(order.begin(), order.end(), less);
        auto keyOfMeas = [&](uint32_t i) { return OrderedKey(*m.Meas[i].KOKS_NR, *m.Meas[i].BALKIS_NR); };
        // The runs of measurements with one key, by their key and length: a run per log, not
        // a note per measurement (a large file has millions).
        std::vector<uint64_t> measKeys;
        std::vector<uint32_t> runLength;
        for (uint32_t i : order) {
            const uint64_t key = keyOfMeas(i);
            if (measKeys.empty() || key != measKeys.back()) {
                measKeys.push_back(key);
                runLength.push_back(0);
            }
            ++runLength.back();
        }
        // One group per key of a measurement or a log, in key order: the measurements' keys
        // come sorted, the logs' usually do.
        std::vector<uint64_t> logKeys(m.Logs.size());
        for (size_t l = 0; l < m.Logs.size(); ++l)
            logKeys[l] = OrderedKey(V(m.Logs[l].KOKS_NR), V(m.Logs[l].BALKIS_NR));
        // Copied to be sorted only when the logs are out of order.
        std::vector<uint64_t> sortedCopy;
        if (!std::is_sorted(logKeys.begin(), logKeys.end())) {
            sortedCopy = logKeys;
            std::sort(sortedCopy.begin(), sortedCopy.end());
        }
        const std::vector<uint64_t>& sortedLogKeys = sortedCopy.empty() ? logKeys : sortedCopy;
        std::vector<uint64_t> keys;
        keys.reserve(measKeys.size() + sortedLogKeys.size());
        std::set_union(measKeys.begin(), measKeys.end(), sortedLogKeys.begin(), sortedLogKeys.end(),
                       std::back_inserter(keys));
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        auto groupOf = [&](uint64_t key) {
            return static_cast<uint32_t>(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin());
        };
        // The group of each run of measurements, walking both key lists together.
        std::vector<uint32_t> groupOfRun(measKeys.size());
        for (size_t r = 0, g = 0; r < measKeys.size(); ++r) {
            while (keys[g] != measKeys[r])
                ++g;
            groupOfRun[r] = static_cast<uint32_t>(g);
        }
        groupSize.assign(keys.size(), 0);
        groupCap.assign(keys.size(), 0);
        for (size_t r = 0; r < measKeys.size(); ++r)
            groupCap[groupOfRun[r]] += runLength[r];
        logGroup.resize(m.Logs.size());
        for (size_t l = 0; l < m.Logs.size(); ++l) {
            logGroup[l] = l > 0 && logKeys[l] == logKeys[l - 1] ? logGroup[l - 1] : groupOf(logKeys[l]);
            groupCap[logGroup[l]] += 2;
        }
        groupBegin.resize(keys.size());
        uint32_t next = 0;
        for (size_t g = 0; g < keys.size(); ++g) {
            groupBegin[g] = next;
            next += groupCap[g];
        }
        members.assign(next, 0);
        for (size_t r = 0, i = 0; r < measKeys.size(); ++r) {
            const uint32_t g = groupOfRun[r];
            for (uint32_t k = 0; k < runLength[r]; ++k)
                members[groupBegin[g] + groupSize[g]++] = order[i++];
        }
    }

    std::span<const uint32_t> MeasOf(size_t log) const
    {
        const uint32_t g = logGroup[log];
        return {members.data() + groupBegin[g], groupSize[g]};
    }

    // Puts measurement `meas` at place `at` of a log's group.
    void InsertMeas(size_t log, size_t at, size_t meas)
    {
        const uint32_t g = logGroup[log];
        if (groupSize[g] == groupCap[g]) {
            // Trees that share a number give their logs' rows twice: the group moves to the end.
            const uint32_t cap = groupCap[g] * 2 + 2;
            const size_t to = members.size();
            members.resize(to + cap);
            std::copy_n(members.begin() + groupBegin[g], groupSize[g], members.begin() + to);
            groupBegin[g] = static_cast<uint32_t>(to);
            groupCap[g] = cap;
        }
        uint32_t* first = members.data() + groupBegin[g];
        std::copy_backward(first + at, first + groupSize[g], first + groupSize[g] + 1);
        first[at] = static_cast<uint32_t>(meas);
        ++groupSize[g];
    }

    TAnalysisModel& m;
    std::vector<size_t> treeOrder;
    std::vector<size_t> logOrder;
    std::vector<std::pair<size_t, size_t>> logRange; // of each tree, in logOrder
    // Group g holds members[groupBegin[g] ...] (groupSize[g] of them, room for groupCap[g]).
    std::vector<uint32_t> members;
    std::vector<uint32_t> groupBegin;
    std::vector<uint32_t> groupSize;
    std::vector<uint32_t> groupCap;
    std::vector<uint32_t> logGroup;
    TMeasNotes notes;
};

// ---- pass 1: butt-to-top numbering -------------------------------------------------------

// A tree whose thinnest log (by a top diameter) carries a number not greater than the second
// thinnest is numbered from the top end. Equal thinnest diameters never count as reversed.
bool IsBalkiOrderReversed(const TAnalysisModel& m, const std::vector<size_t>& treeLogs,
                          std::optional<int32_t> TLogRow::*field)
{
    const TLogRow* first = nullptr;
    const TLogRow* second = nullptr;
    auto before = [&](const TLogRow& a, const TLogRow& b) {
        if (V(a.*field) != V(b.*field))
            return V(a.*field) < V(b.*field);
        return V(b.BALKIS_NR) < V(a.BALKIS_NR);
    };
    for (size_t l : treeLogs) {
        const TLogRow& log = m.Logs[l];
        if (V(log.*field) == 0)
            continue;
        if (!first || before(log, *first)) {
            second = first;
            first = &log;
        } else if (!second || before(log, *second)) {
            second = &log;
        }
    }
    if (!first || !second)
        return false;
    if (V(first->*field) == V(second->*field))
        return false;
    return V(first->BALKIS_NR) <= V(second->BALKIS_NR);
}

// Gives the tree's logs new numbers from the highest number down (1 = the former highest) and
// moves their measurements with them; SORT_NR keeps the new number.
void RenumberBalki(TAnalysisModel& m, const std::vector<size_t>& treeLogs, const std::vector<size_t>& treeMeas)
{
    std::unordered_map<int32_t, std::vector<size_t>> measByLog;
    for (size_t i : treeMeas)
        measByLog[*m.Meas[i].BALKIS_NR].push_back(i);
    int32_t sortNr = 0;
    for (auto it = treeLogs.rbegin(); it != treeLogs.rend(); ++it) {
        TLogRow& log = m.Logs[*it];
        sortNr = Checked(static_cast<long long>(sortNr) + 1);
        log.SORT_NR = sortNr;
        auto found = measByLog.find(V(log.BALKIS_NR));
        if (found != measByLog.end())
            for (size_t i : found->second)
                m.Meas[i].SORT_NR = sortNr;
    }
    for (size_t l : treeLogs)
        if (m.Logs[l].SORT_NR)
            m.Logs[l].BALKIS_NR = m.Logs[l].SORT_NR;
    for (size_t i : treeMeas)
        if (m.Meas[i].SORT_NR)
            m.Meas[i].BALKIS_NR = m.Meas[i].SORT_NR;
}

// Whether any tree was renumbered.
bool Pass1Numbering(TWalk& w)
{
    bool renumbered = false;
    TAnalysisModel& m = w.m;
    w.BuildLogOrder();
    // Measurements of each tree (their KOKS_NR never changes here), built when first needed.
    std::vector<size_t> measOrder;
    bool measOrderBuilt = false;
    std::vector<size_t> treeLogs;
    std::vector<size_t> treeMeas;
    for (size_t t : w.treeOrder) {
        const int32_t k = V(m.Trees[t].KOKS_NR);
        auto range = w.LogsOf(t);
        treeLogs.assign(range.first, range.second);
        // In that order already unless a tree of the same number was renumbered before.
        const auto byNumber = [&](size_t a, size_t b) { return LessOpt(m.Logs[a].BALKIS_NR, m.Logs[b].BALKIS_NR); };
        if (!std::is_sorted(treeLogs.begin(), treeLogs.end(), byNumber))
            std::stable_sort(treeLogs.begin(), treeLogs.end(), byNumber);
        const bool reversed = IsBalkiOrderReversed(m, treeLogs, &TLogRow::HRV_TIEVG)
                           || IsBalkiOrderReversed(m, treeLogs, &TLogRow::DAST_TIEVG);
        if (!reversed)
            continue;
        if (!measOrderBuilt) {
            measOrderBuilt = true;
            measOrder.reserve(m.Meas.size());
            for (size_t i = 0; i < m.Meas.size(); ++i)
                if (m.Meas[i].KOKS_NR && m.Meas[i].BALKIS_NR)
                    measOrder.push_back(i);
            std::stable_sort(measOrder.begin(), measOrder.end(),
                             [&](size_t a, size_t b) { return *m.Meas[a].KOKS_NR < *m.Meas[b].KOKS_NR; });
        }
        auto lo = std::lower_bound(measOrder.begin(), measOrder.end(), k,
                                   [&](size_t i, int32_t key) { return *m.Meas[i].KOKS_NR < key; });
        auto hi = std::upper_bound(lo, measOrder.end(), k,
                                   [&](int32_t key, size_t i) { return key < *m.Meas[i].KOKS_NR; });
        treeMeas.assign(lo, hi);
        RenumberBalki(m, treeLogs, treeMeas);
        renumbered = true;
    }
    return renumbered;
}

// ---- pass 2: control days ----------------------------------------------------------------

void Pass2ControlDays(TAnalysisModel& m)
{
    std::vector<size_t> byDate(m.Trees.size());
    for (size_t i = 0; i < byDate.size(); ++i)
        byDate[i] = i;
    std::stable_sort(byDate.begin(), byDate.end(),
                     [&](size_t a, size_t b) { return LessOpt(m.Trees[a].DATUMS_PARB, m.Trees[b].DATUMS_PARB); });
    bool any = false;
    double day = 0;
    for (size_t t : byDate) {
        const auto& date = m.Trees[t].DATUMS_PARB;
        if (!date)
            continue;
        const double d = std::trunc(*date);
        if (!any) {
            any = true;
            m.Header.DIENU_SKAITS = 1;
            day = d;
            continue;
        }
        if (d != day) {
            m.Header.DIENU_SKAITS = Inc(m.Header.DIENU_SKAITS);
            if (d != day + 1)
                m.Header.IR_PARRAVUMI = 1;
            day = d;
        }
    }
}

// ---- pass 3: codes of trees, logs and measurements ---------------------------------------

void Pass3Codes(TWalk& w)
{
    TAnalysisModel& m = w.m;
    for (size_t t : w.treeOrder) {
        TTreeRow& tree = m.Trees[t];
        const QString suga = tree.SUGA.toUpper();
        if (suga != QStringLiteral("EGLE") && suga != QStringLiteral("PRIEDE"))
            tree.DERIGS = ValidationCode::SpeciesMismatch;
        if (!tree.DATUMS_PARB) {
            m.Header.HAS_EMPTY_DATE = 1;
        } else {
            const double day = std::trunc(*tree.DATUMS_PARB);
            if (!m.Header.DATUMS_PARB_SAK || *m.Header.DATUMS_PARB_SAK > day)
                m.Header.DATUMS_PARB_SAK = day;
        }
        auto [begin, end] = w.LogsOf(t);
        if (begin == end)
            continue;
        {
            TLogRow& first = m.Logs[*begin];
            if (V(first.DERIGS) == ValidationCode::Usable) {
                const auto g = w.MeasOf(*begin);
                if (g.empty() || V(m.Meas[g.front()].HRV_DIAMETRS) == 0 || V(m.Meas[g.front()].DAST_DIAMETRS) == 0)
                    first.DERIGS = ValidationCode::NoFirstMeasurementOfButtLog;
            }
        }
        for (auto it = begin; it != end; ++it) {
            TLogRow& log = m.Logs[*it];
            if (V(log.DERIGS) != ValidationCode::Usable)
                continue;
            if (V(tree.DERIGS) != ValidationCode::Usable)
                log.DERIGS = V(tree.DERIGS);
            else if (V(log.MER_SKAITS) == 0)
                log.DERIGS = ValidationCode::NoMeasurements;
            else if (V(log.DAST_TIEVG) == 0 || V(log.HRV_TIEVG) == 0)
                log.DERIGS = ValidationCode::NoTopDiameter;
            else if (V(log.HRV_GARUMS) == 0 || V(log.DAST_GARUMS) == 0)
                log.DERIGS = ValidationCode::NoLogLength;
        }
        for (auto it = begin; it != end; ++it) {
            const TLogRow& log = m.Logs[*it];
            const long long topLimit = static_cast<long long>(V(log.HRV_GARUMS)) - 10;
            for (size_t i : w.MeasOf(*it)) {
                TMeasRow& row = m.Meas[i];
                if (V(row.DERIGS) != ValidationCode::Usable)
                    continue;
                if (V(row.MERVIETA) > topLimit)
                    w.notes.Set(row, ValidationCode::PlaceNearTop);
                else if (!row.MERVIETA)
                    w.notes.Set(row, ValidationCode::NoHarvesterPlaces);
                else if (V(row.HRV_DIAMETRS) == 0)
                    w.notes.Set(row, ValidationCode::NoHarvesterDiameter);
                else if (!row.DAST_DIAMETRS)
                    w.notes.Set(row, ValidationCode::NoCaliperDiameters);
            }
        }
    }
}

// ---- pass 4: synthetic rows, log codes, sections, deviations, volumes --------------------

void AddSyntheticRows(TWalk& w, const size_t* begin, const size_t* end, std::vector<size_t>& buttOf)
{
    TAnalysisModel& m = w.m;
    std::optional<int32_t> hrv = 0;
    std::optional<int32_t> dast = 0;
    for (auto it = begin; it != end; ++it) {
        const TLogRow& log = m.Logs[*it];

        TMeasRow butt;
        butt.KOKS_NR = V(log.KOKS_NR);
        butt.BALKIS_NR = V(log.BALKIS_NR);
        butt.MERIJUMS_NR = 0;
        butt.MERVIETA = 0;
        butt.MERIJ_VEIDS = MeasurementKind::SyntheticButt;
        butt.HRV_DIAMETRS = hrv;
        butt.DAST_DIAMETRS = dast;
        const size_t buttIdx = m.Meas.size();
        m.Meas.push_back(butt);
        auto g = w.MeasOf(*it);
        auto pos = std::lower_bound(g.begin(), g.end(), 0, [&](uint32_t i, int key) {
            return LessOpt(m.Meas[i].MERIJUMS_NR, std::optional<int32_t>(key));
        });
        w.InsertMeas(*it, size_t(pos - g.begin()), buttIdx);
        buttOf[*it] = buttIdx;

        g = w.MeasOf(*it);
        int32_t highest = 0;
        for (uint32_t i : g)
            highest = std::max(highest, V(m.Meas[i].MERIJUMS_NR));
        TMeasRow top;
        top.KOKS_NR = V(log.KOKS_NR);
        top.BALKIS_NR = V(log.BALKIS_NR);
        top.MERIJUMS_NR = Checked(static_cast<long long>(highest) + 101);
        top.MERVIETA = log.HRV_GARUMS;
        top.MERIJ_VEIDS = MeasurementKind::SyntheticTop;
        top.HRV_DIAMETRS = log.HRV_TIEVG;
        top.DAST_DIAMETRS = log.DAST_TIEVG;
        const size_t topIdx = m.Meas.size();
        m.Meas.push_back(top);
        auto topPos = std::upper_bound(g.begin(), g.end(), topIdx, [&](size_t key, uint32_t i) {
            return LessOpt(m.Meas[key].MERIJUMS_NR, m.Meas[i].MERIJUMS_NR);
        });
        w.InsertMeas(*it, size_t(topPos - g.begin()), topIdx);
        hrv = m.Meas[topIdx].HRV_DIAMETRS;
        dast = m.Meas[topIdx].DAST_DIAMETRS;
    }
}

// The butt diameters of a butt log are extrapolated from its first two usable points. With
// fewer than two points found, or a negative result, the butt row keeps what it holds.
void ExtrapolateButt(TWalk& w, size_t log, size_t buttIdx)
{
    TAnalysisModel& m = w.m;
    if (V(m.Logs[log].BALKIS_NR) != 1)
        return;
    const auto g = w.MeasOf(log);
    auto it = std::find(g.begin(), g.end(), buttIdx);
    if (it == g.end())
        return;
    const TMeasRow* p1 = nullptr;
    const TMeasRow* p2 = nullptr;
    for (++it; it != g.end(); ++it) {
        const TMeasRow& row = m.Meas[*it];
        if (V(row.DERIGS) != ValidationCode::Usable)
            continue;
        if (!p1) {
            p1 = &row;
        } else {
            p2 = &row;
            break;
        }
    }
    if (!p1 || !p2)
        return;
    const long long dp = static_cast<long long>(V(p2->MERVIETA)) - V(p1->MERVIETA);
    if (dp == 0)
        return;
    const long double k = static_cast<long double>(static_cast<long long>(V(p1->HRV_DIAMETRS)) - V(p2->HRV_DIAMETRS))
                        / static_cast<long double>(dp);
    const long double base = static_cast<long double>(V(p1->MERVIETA)) * k;
    const int32_t hrv = RoundToInt(base + V(p1->HRV_DIAMETRS));
    const int32_t dast = RoundToInt(base + V(p1->DAST_DIAMETRS));
    TMeasRow& butt = m.Meas[buttIdx];
    if (hrv >= 0)
        butt.HRV_DIAMETRS = hrv;
    if (dast >= 0)
        butt.DAST_DIAMETRS = dast;
}

// Code 10: two diameters in a row larger than the one before them.
void CheckGrowingDiameters(TWalk& w, size_t log)
{
    TAnalysisModel& m = w.m;
    TLogRow& l = m.Logs[log];
    if (V(l.DERIGS) != ValidationCode::Usable)
        return;
    const auto g = w.MeasOf(log);
    auto it = std::find_if(g.begin(), g.end(), [&](size_t i) { return UsableHarvester(m.Meas[i]); });
    if (it == g.end())
        return;
    int32_t hOlder = V(m.Meas[*it].HRV_DIAMETRS);
    int32_t hNewer = hOlder;
    int32_t dOlder = V(m.Meas[*it].DAST_DIAMETRS);
    int32_t dNewer = dOlder;
    for (; it != g.end(); ++it) {
        const TMeasRow& row = m.Meas[*it];
        const int32_t h = V(row.HRV_DIAMETRS);
        if (h != 0 && UsableHarvester(row)) {
            if (hNewer > hOlder && h > hOlder) {
                l.DERIGS = ValidationCode::TwoRisingMeasurements;
                return;
            }
            hOlder = hNewer;
            hNewer = h;
        }
        const int32_t d = V(row.DAST_DIAMETRS);
        if (d != 0 && V(row.DERIGS) == ValidationCode::Usable) {
            if (dNewer > dOlder && d > dOlder) {
                l.DERIGS = ValidationCode::TwoRisingMeasurements;
                return;
            }
            dOlder = dNewer;
            dNewer = d;
        }
    }
}

// Code 16: two measurements in a row without a usable caliper diameter.
void CheckMissingPairs(TWalk& w, size_t log)
{
    TAnalysisModel& m = w.m;
    TLogRow& l = m.Logs[log];
    if (V(l.DERIGS) != ValidationCode::Usable)
        return;
    int missing = 0;
    for (size_t i : w.MeasOf(log)) {
        const TMeasRow& row = m.Meas[i];
        if (V(row.DAST_DIAMETRS) == 0 || V(row.DERIGS) != ValidationCode::Usable)
            ++missing;
        else
            missing = 0;
        if (missing == 2) {
            l.DERIGS = ValidationCode::TwoMissingMeasurements;
            return;
        }
    }
}

// Code 18: fewer than three usable rows (butt and top rows included). Tested on every log.
void CheckTooFewRows(TWalk& w, size_t log)
{
    TAnalysisModel& m = w.m;
    TLogRow& l = m.Logs[log];
    if (V(l.DERIGS) != ValidationCode::Usable)
        return;
    int usable = 0;
    for (size_t i : w.MeasOf(log)) {
        if (V(m.Meas[i].DERIGS) == ValidationCode::Usable && ++usable == 3)
            return;
    }
    l.DERIGS = ValidationCode::FewerThanThreeMeasurements;
}

// The log's code goes to its usable rows; harvester sections run between usable positions.
void HarvesterSections(TWalk& w, size_t log)
{
    TAnalysisModel& m = w.m;
    const int32_t logCode = V(m.Logs[log].DERIGS);
    int32_t prev = 0;
    for (size_t i : w.MeasOf(log)) {
        TMeasRow& row = m.Meas[i];
        if (!UsableHarvester(row))
            continue;
        if (logCode != ValidationCode::Usable)
            w.notes.Set(row, logCode);
        if (UsableHarvester(row)) {
            row.MERVIETA_IEP_HRV = prev;
            row.HRV_GARUMS = Checked(static_cast<long long>(V(row.MERVIETA)) - prev);
            prev = V(row.MERVIETA);
        }
    }
}

// Deviations of every pair; caliper sections between usable caliper positions, the last one
// ending at the caliper log length.
void DeviationsAndCaliperSections(TWalk& w, size_t log)
{
    TAnalysisModel& m = w.m;
    const TLogRow& l = m.Logs[log];
    int32_t prev = 0;
    for (size_t i : w.MeasOf(log)) {
        TMeasRow& row = m.Meas[i];
        const int32_t h = V(row.HRV_DIAMETRS);
        const int32_t d = V(row.DAST_DIAMETRS);
        if (h != 0 && d != 0) {
            const long long dev = std::llabs(static_cast<long long>(h) - d);
            row.NOVIRZE_DIAMETRS = Checked(dev);
            row.NOVIRZE_DIAM_LIDZ = TAnalysisEngine::GetNovirzeClass(*row.NOVIRZE_DIAMETRS);
            row.INTERVALS_DIAMETRS = TPooledText(&TAnalysisEngine::GetDiamInterval(h));
        }
        if (V(row.DERIGS) == ValidationCode::Usable && d != 0) {
            row.MERVIETA_IEP_DAST = prev;
            const int32_t endPos = V(row.MERIJUMS_NR) >= 100 ? V(l.DAST_GARUMS) : V(row.MERVIETA);
            row.DAST_GARUMS = Checked(static_cast<long long>(endPos) - prev);
            prev = V(row.MERVIETA);
        }
    }
}

inline long double Cone(int32_t lengthCm, double r, double rPrev)
{
    const long double a = r;
    const long double b = rPrev;
    return static_cast<long double>(lengthCm) * kPi / 30 * (a * a + a * b + b * b);
}

inline long double AddTo(const std::optional<double>& field, long double v)
{
    return VD(field) + v;
}

void LogVolumes(TWalk& w, size_t log, TTreeRow& tree)
{
    TAnalysisModel& m = w.m;
    TLogRow& l = m.Logs[log];
    if (V(l.DERIGS) != ValidationCode::Usable)
        return;
    const auto g = w.MeasOf(log);
    double rH = 0;
    double rD = 0;
    if (!g.empty()) {
        rH = static_cast<double>(V(m.Meas[g.front()].HRV_DIAMETRS)) / 2 / 100;
        rD = static_cast<double>(V(m.Meas[g.front()].DAST_DIAMETRS)) / 2 / 100;
    }
    long double sumH = 0;
    long double sumD = 0;
    for (size_t i : g) {
        const TMeasRow& row = m.Meas[i];
        if (V(row.DERIGS) == ValidationCode::Usable && V(row.DAST_DIAMETRS) != 0) {
            const double r = static_cast<double>(V(row.DAST_DIAMETRS)) / 2 / 100;
            sumD += Cone(V(row.DAST_GARUMS), r, rD);
            rD = r;
        }
        if (UsableHarvester(row)) {
            const double r = static_cast<double>(V(row.HRV_DIAMETRS)) / 2 / 100;
            sumH += Cone(V(row.HRV_GARUMS), r, rH);
            rH = r;
        }
    }
    const long double volH = RoundPrec(0, sumH);
    const long double volD = RoundPrec(0, sumD);
    l.HRV_APJOMS = static_cast<double>(volH);
    l.DAST_APJOMS = static_cast<double>(volD);
    THeaderRow& h = m.Header;
    tree.HRV_APJOMS = static_cast<double>(AddTo(tree.HRV_APJOMS, volH));
    tree.DAST_APJOMS = static_cast<double>(AddTo(tree.DAST_APJOMS, volD));
    h.HRV_APJOMS_ALL = static_cast<double>(AddTo(h.HRV_APJOMS_ALL, volH));
    h.DAST_APJOMS_ALL = static_cast<double>(AddTo(h.DAST_APJOMS_ALL, volD));
    if (V(tree.IZV_VEIDS) == TreeSelection::Random) {
        h.HRV_APJOMS_RAND = static_cast<double>(AddTo(h.HRV_APJOMS_RAND, volH));
        h.DAST_APJOMS_RAND = static_cast<double>(AddTo(h.DAST_APJOMS_RAND, volD));
    } else {
        h.HRV_APJOMS_OP = static_cast<double>(AddTo(h.HRV_APJOMS_OP, volH));
        h.DAST_APJOMS_OP = static_cast<double>(AddTo(h.DAST_APJOMS_OP, volD));
    }
}

void Pass4Derived(TWalk& w)
{
    TAnalysisModel& m = w.m;
    std::vector<size_t> buttOf(m.Logs.size(), 0);
    m.Meas.reserve(m.Meas.size() + 2 * m.Logs.size());
    for (size_t t : w.treeOrder) {
        TTreeRow& tree = m.Trees[t];
        auto [begin, end] = w.LogsOf(t);
        AddSyntheticRows(w, begin, end, buttOf);
        if (begin != end)
            ExtrapolateButt(w, *begin, buttOf[*begin]);
        for (auto it = begin; it != end; ++it)
            CheckGrowingDiameters(w, *it);
        for (auto it = begin; it != end; ++it)
            CheckMissingPairs(w, *it);
        for (auto it = begin; it != end; ++it)
            CheckTooFewRows(w, *it);
        for (auto it = begin; it != end; ++it)
            HarvesterSections(w, *it);
        for (auto it = begin; it != end; ++it)
            DeviationsAndCaliperSections(w, *it);
        for (auto it = begin; it != end; ++it)
            LogVolumes(w, *it, tree);
        tree.HRV_APJOMS = static_cast<double>(RoundPrec(3, VD(tree.HRV_APJOMS)));
        tree.DAST_APJOMS = static_cast<double>(RoundPrec(3, VD(tree.DAST_APJOMS)));
    }
}

// ---- pass 5: header totals and percentages -----------------------------------------------

void Percentage(const std::optional<double>& hrv, const std::optional<double>& dast, std::optional<double>& out)
{
    // A caliper total of 0 leaves the percentage empty rather than dividing by zero.
    if (VD(hrv) == 0 || VD(dast) == 0)
        return;
    out = static_cast<double>(RoundPrec(2, (VD(hrv) - VD(dast)) * 100 / VD(dast)));
}

void Pass5Header(TAnalysisModel& m)
{
    THeaderRow& h = m.Header;
    for (std::optional<double>* f : {&h.HRV_APJOMS_ALL, &h.DAST_APJOMS_ALL, &h.HRV_APJOMS_OP, &h.DAST_APJOMS_OP,
                                     &h.HRV_APJOMS_RAND, &h.DAST_APJOMS_RAND})
        *f = static_cast<double>(RoundPrec(3, VD(*f)));
    Percentage(h.HRV_APJOMS_ALL, h.DAST_APJOMS_ALL, h.PROCENTS_ALL);
    Percentage(h.HRV_APJOMS_RAND, h.DAST_APJOMS_RAND, h.PROCENTS_RAND);
    Percentage(h.HRV_APJOMS_OP, h.DAST_APJOMS_OP, h.PROCENTS_OP);
}

// ---- pass 6: code 51 and counts ----------------------------------------------------------

void Pass6Counts(TWalk& w)
{
    TAnalysisModel& m = w.m;
    for (size_t t : w.treeOrder) {
        TTreeRow& tree = m.Trees[t];
        if (V(tree.DERIGS) == ValidationCode::Usable && (VD(tree.HRV_APJOMS) < 0.0005L || VD(tree.DAST_APJOMS) < 0.0005L))
            tree.DERIGS = ValidationCode::NoUsableLogsOrVolume;
        TKokuSkRow& row = m.KokuSk[V(tree.IZV_VEIDS) == TreeSelection::Random ? SelectionKind::Random : SelectionKind::OperatorSelected];
        if (V(tree.DERIGS) != ValidationCode::Usable)
            row.KOKU_SK_NEDER = Inc(row.KOKU_SK_NEDER);
        else
            row.KOKU_SK_DER = Inc(row.KOKU_SK_DER);
        const bool speciesOk = V(tree.DERIGS) != ValidationCode::SpeciesMismatch;
        if (speciesOk)
            row.KOKU_SK_DER_SUGA = Inc(row.KOKU_SK_DER_SUGA);
        auto [begin, end] = w.LogsOf(t);
        for (auto it = begin; it != end; ++it) {
            if (V(m.Logs[*it].DERIGS) != ValidationCode::Usable)
                row.BALKU_SK_NEDER = Inc(row.BALKU_SK_NEDER);
            else
                row.BALKU_SK_DER = Inc(row.BALKU_SK_DER);
            if (speciesOk)
                row.BALKU_SK_DER_SUGA = Inc(row.BALKU_SK_DER_SUGA);
        }
    }
}

// ---- pass 7: totals ----------------------------------------------------------------------

void AddKokuSkField(std::optional<int32_t>& total, const std::optional<int32_t>& value)
{
    if (!value)
        return;
    total = Checked(static_cast<long long>(V(total)) + *value);
}

void SumKokuSk(TAnalysisModel& m)
{
    TKokuSkRow& all = m.KokuSk[0];
    for (int r = 1; r <= 2; ++r) {
        const TKokuSkRow& row = m.KokuSk[static_cast<size_t>(r)];
        AddKokuSkField(all.KOKU_SK_DER, row.KOKU_SK_DER);
        AddKokuSkField(all.KOKU_SK_NEDER, row.KOKU_SK_NEDER);
        AddKokuSkField(all.BALKU_SK_DER, row.BALKU_SK_DER);
        AddKokuSkField(all.BALKU_SK_NEDER, row.BALKU_SK_NEDER);
        AddKokuSkField(all.KOKU_SK_DER_SUGA, row.KOKU_SK_DER_SUGA);
        AddKokuSkField(all.BALKU_SK_DER_SUGA, row.BALKU_SK_DER_SUGA);
    }
}

// ---- deviation table ---------------------------------------------------------------------

inline double Percent(int32_t count, int32_t total)
{
    return static_cast<double>(RoundPrec(0, static_cast<long double>(count) / total * 100));
}

void SetPercentages(TDiamNovirzeRow& row)
{
    const int32_t kopa = V(row.KOPA);
    if (kopa == 0)
        return;
    row.LIDZ_2_PRCNT = Percent(V(row.LIDZ_2), kopa);
    row.LIDZ_4_PRCNT = Percent(V(row.LIDZ_4), kopa);
    row.LIDZ_6_PRCNT = Percent(V(row.LIDZ_6), kopa);
    row.CITS_PRCNT = Percent(V(row.CITS), kopa);
}

// Whether a tree belongs to a selection kind. A tree without a selection kind is in kind 0 only:
// a comparison with an empty value holds for neither of the two kinds' conditions.
inline bool InKind(const TTreeRow& tree, int kind)
{
    if (kind == SelectionKind::All)
        return true;
    if (!tree.IZV_VEIDS)
        return false;
    return kind == SelectionKind::OperatorSelected ? *tree.IZV_VEIDS != TreeSelection::Random
                                                   : *tree.IZV_VEIDS == TreeSelection::Random;
}

// The deviation table of one selection kind while the measurements are walked: its interval
// rows (those the model held already and those added in the order first met) and the pairs
// counted on each, by deviation class. The counts go into the rows once the walk is done.
class TKindDeviations {
public:
    TKindDeviations(TAnalysisModel& m, int kind)
        : FKind(kind)
    {
        for (TDiamNovirzeRow& row : m.DiamNovirzes)
            if (row.IZV_VEIDS && *row.IZV_VEIDS == kind)
                FRowOf.emplace(row.INTERVALS_DIAMETRS, &row);
    }

    int Kind() const { return FKind; }

    void Reject() { ++FRejected; }

    // Counts a pair on its interval's row by its deviation class.
    void Count(const TMeasRow& meas)
    {
        TCounts& counts = CountsOf(meas.INTERVALS_DIAMETRS.Text());
        ++counts.Pairs;
        const int32_t cls = V(meas.NOVIRZE_DIAM_LIDZ);
        if (cls >= 1 && cls <= 4)
            ++counts.ByClass[cls];
    }

    // Writes the counts into the rows and gives them their percentages, while the rows the
    // model held already are still where the walk found them.
    void Finish()
    {
        for (TCounts& c : FCounts) {
            TDiamNovirzeRow& row = *c.Row;
            const int64_t above6 = c.ByClass[1];
            const int64_t within2 = c.ByClass[2];
            const int64_t within4 = within2 + c.ByClass[3];
            const int64_t within6 = within4 + c.ByClass[4];
            AddTo(row.KOPA, c.Pairs);
            AddTo(row.CITS, above6);
            AddTo(row.LIDZ_6, within6);
            AddTo(row.LIDZ_4, within4);
            AddTo(row.LIDZ_2, within2);
            FAbove6 += above6;
            FWithin2 += within2;
            FWithin4 += within4;
            FWithin6 += within6;
        }
        if (HasCounts())
            for (auto& [text, row] : FRowOf)
                SetPercentages(*row);
    }

    // Appends the rows added during the walk, then the total row, and writes the kind's share
    // and rejected count.
    void Publish(TAnalysisModel& m)
    {
        for (TDiamNovirzeRow& row : FAdded)
            m.DiamNovirzes.push_back(std::move(row));
        FAdded.clear();
        if (!HasCounts())
            return;
        const int32_t within6 = Checked(FWithin6);
        const int32_t above6 = Checked(FAbove6);
        TDiamNovirzeRow total;
        total.IZV_VEIDS = FKind;
        total.INTERVALS_DIAMETRS = TAnalysisEngine::TotalRowText();
        total.LIDZ_2 = Checked(FWithin2);
        total.LIDZ_4 = Checked(FWithin4);
        total.LIDZ_6 = within6;
        total.CITS = above6;
        total.KOPA = Checked(static_cast<long long>(within6) + above6);
        SetPercentages(total);
        m.DiamNovirzes.push_back(std::move(total));
        const double share = static_cast<double>(
            RoundPrec(2, static_cast<long double>(within6) / (static_cast<long long>(within6) + above6) * 100));
        switch (FKind) {
        case SelectionKind::All:
            m.Header.DIAM_NOVIRZE6MM_ALL = share;
            break;
        case SelectionKind::OperatorSelected:
            m.Header.DIAM_NOVIRZE6MM_OP = share;
            break;
        default:
            m.Header.DIAM_NOVIRZE6MM_RAND = share;
            break;
        }
        m.KokuSk[static_cast<size_t>(FKind)].MERIJ_NEDER_DIAM = Checked(FRejected);
    }

private:
    struct TCounts {
        TDiamNovirzeRow* Row;
        int64_t Pairs = 0;
        int64_t ByClass[5] = {}; // by NOVIRZE_DIAM_LIDZ 1 to 4
    };

    // A field grows by the pairs counted on it; one that none were counted on stays as it is.
    static void AddTo(std::optional<int32_t>& field, int64_t n)
    {
        if (n > 0)
            field = Checked(static_cast<long long>(V(field)) + n);
    }

    bool HasCounts() const { return FWithin6 > 0 || FAbove6 > 0; }

    TCounts& CountsOf(const QString& interval)
    {
        // The intervals are a few pooled texts: their counts are found by the text's address
        // among the few met so far, and by its characters only the first time.
        for (const auto& [text, at] : FByText)
            if (text == &interval)
                return FCounts[at];
        auto found = FRowOf.find(interval);
        if (found == FRowOf.end()) {
            TDiamNovirzeRow& row = FAdded.emplace_back();
            row.IZV_VEIDS = FKind;
            row.INTERVALS_DIAMETRS = interval;
            row.LIDZ_2 = 0;
            row.LIDZ_4 = 0;
            row.LIDZ_6 = 0;
            row.CITS = 0;
            found = FRowOf.emplace(interval, &row).first;
        }
        auto counts = std::find_if(FCounts.begin(), FCounts.end(), [&](const TCounts& c) { return c.Row == found->second; });
        if (counts == FCounts.end())
            counts = FCounts.insert(counts, TCounts{found->second});
        const size_t at = size_t(counts - FCounts.begin());
        if (FByText.size() < kMaxByText)
            FByText.emplace_back(&interval, at);
        return FCounts[at];
    }

    static constexpr size_t kMaxByText = 16;

    int FKind;
    std::map<QString, TDiamNovirzeRow*> FRowOf;
    std::deque<TDiamNovirzeRow> FAdded; // rows stay where they are as more are added
    std::vector<TCounts> FCounts;
    std::vector<std::pair<const QString*, size_t>> FByText;
    int64_t FWithin2 = 0;
    int64_t FWithin4 = 0;
    int64_t FWithin6 = 0;
    int64_t FAbove6 = 0;
    int64_t FRejected = 0;
};

// Fills the deviation tables of the given selection kinds, in their order, in one walk over
// the measurements.
void CalcDiamNovirzesOn(TWalk& w, std::initializer_list<int> kinds, int32_t maksNovirze)
{
    TAnalysisModel& m = w.m;
    std::vector<TKindDeviations> tables;
    tables.reserve(kinds.size());
    for (int kind : kinds)
        tables.emplace_back(m, kind);
    std::vector<TKindDeviations*> ofTree;
    ofTree.reserve(tables.size());
    for (size_t t : w.treeOrder) {
        const TTreeRow& tree = m.Trees[t];
        ofTree.clear();
        for (TKindDeviations& table : tables)
            if (InKind(tree, table.Kind()))
                ofTree.push_back(&table);
        if (ofTree.empty())
            continue;
        auto [begin, end] = w.LogsOf(t);
        for (auto it = begin; it != end; ++it) {
            for (size_t i : w.MeasOf(*it)) {
                TMeasRow& row = m.Meas[i];
                if (V(row.MERIJ_VEIDS) == MeasurementKind::SyntheticButt) {
                    row.DERIGS_DIAM_NOV = DeviationUse::Synthetic;
                    continue;
                }
                if (V(row.DAST_DIAMETRS) <= 0 || V(row.HRV_DIAMETRS) <= 0 || V(row.NOVIRZE_DIAMETRS) > maksNovirze) {
                    row.DERIGS_DIAM_NOV = DeviationUse::Rejected;
                    for (TKindDeviations* table : ofTree)
                        table->Reject();
                    continue;
                }
                row.DERIGS_DIAM_NOV = DeviationUse::Counted;
                for (TKindDeviations* table : ofTree)
                    table->Count(row);
            }
        }
    }
    // Every kind's rows are finished before any row is appended: appending moves the rows the
    // model held already.
    for (TKindDeviations& table : tables)
        table.Finish();
    for (TKindDeviations& table : tables)
        table.Publish(m);
}

void CheckKind(int kind)
{
    if (kind < SelectionKind::All || kind > SelectionKind::Random)
        TAnalysisErrors::RaiseRangeError();
}

} // namespace

void TAnalysisEngine::ValidateAndCalculate(TAnalysisModel& model, int32_t maksNovirze)
{
    TWalk w(model);
    w.BuildTreeOrder();
    const bool renumbered = Pass1Numbering(w);
    Pass2ControlDays(model);
    if (renumbered) // the logs' order holds unless their numbers changed
        w.BuildLogOrder();
    w.BuildMeasGroups();
    Pass3Codes(w);
    Pass4Derived(w);
    Pass5Header(model);
    Pass6Counts(w);
    SumKokuSk(model);
    CalcDiamNovirzesOn(w, {SelectionKind::OperatorSelected, SelectionKind::Random, SelectionKind::All}, maksNovirze);
}

void TAnalysisEngine::CalcDiamNovirzes(TAnalysisModel& model, int kind, int32_t maksNovirze)
{
    CheckKind(kind);
    TWalk w(model);
    w.BuildTreeOrder();
    w.BuildLogOrder();
    w.BuildMeasGroups();
    CalcDiamNovirzesOn(w, {kind}, maksNovirze);
}

QString TAnalysisEngine::GetErrorMessage(int32_t errId)
{
    const char* text = "";
    switch (errId) {
    case ValidationCode::NoLogLength: text = "Nav norādīts nogriežņa garums"; break;
    case ValidationCode::NoCaliperDiameters: text = "Nav norādīti dastmēra diametri"; break;
    case ValidationCode::TwoRisingMeasurements: text = "Divi mērījumi pēc kārtas lielāki, nekā iepriekšējais"; break;
    case ValidationCode::NoHarvesterPlaces: text = "Nav norādītas harvestera mērījumu vietas"; break;
    case ValidationCode::NoTopDiameter: text = "Nav norādīts tievgaļa diametrs"; break;
    case ValidationCode::TwoMissingMeasurements: text = "Trūkst divi mērījumi pēc kārtas"; break;
    case ValidationCode::NoFirstMeasurementOfButtLog: text = "Nav norādīts 1. mērījums pirmajam nogrieznim"; break;
    case ValidationCode::FewerThanThreeMeasurements: text = "Mērījumu skaits ir mazāks par 3"; break;
    case ValidationCode::PlaceNearTop: text = "Mērījuma vieta ir 10 cm robežās no tievgaļa"; break;
    case ValidationCode::NoHarvesterDiameter: text = "Nav norādīts harvestera diametrs"; break;
    case ValidationCode::NoUsableLogsOrVolume: text = "Nav derīgo nogriežņu un apjoma"; break;
    case ValidationCode::SpeciesMismatch: text = "Neatbilst suga"; break;
    case ValidationCode::NoMeasurements: text = "Nav neviens mērījums"; break;
    default: break;
    }
    return QString::fromUtf8(text) + QStringLiteral("  ");
}

const QString& TAnalysisEngine::GetDiamInterval(int32_t diameter)
{
    static const QString texts[] = {QStringLiteral("0-99"),    QStringLiteral("100-199"), QStringLiteral("200-299"),
                                    QStringLiteral("300-399"), QStringLiteral("400-500"), QStringLiteral("Cits")};
    if (diameter < 100)
        return texts[0];
    if (diameter < 200)
        return texts[1];
    if (diameter < 300)
        return texts[2];
    if (diameter < 400)
        return texts[3];
    if (diameter <= 500)
        return texts[4];
    return texts[5];
}

int16_t TAnalysisEngine::GetNovirzeClass(int32_t deviation)
{
    if (deviation <= 2)
        return 2;
    if (deviation <= 4)
        return 3;
    if (deviation <= 6)
        return 4;
    return 1;
}

QString TAnalysisEngine::TotalRowText()
{
    return QStringLiteral("Kopā");
}
