#include "import/KtrReader.h"

#include "import/AnalysisCodes.h"
#include "import/FileBytes.h"
#include "import/KtrConvert.h"
#include "import/KtrErrors.h"
#include "import/KtrTokenizer.h"
#include "import/Readers.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

namespace {

// Variable numbers and types that the mapping passes read.
constexpr int32_t kHeaderNumber = 3;   // type 1 registration number, type 2 VIN
constexpr int32_t kControlDate = 12;   // type 4
constexpr int32_t kStemDate = 18;      // types 4 and 5
constexpr int32_t kObject = 21;        // type 1
constexpr int32_t kStem = 110;         // opens a block; types 1 and 2 carry the species key
constexpr int32_t kSpeciesText = 120;  // type 2
constexpr int32_t kRandomStem = 270;   // type 2
constexpr int32_t kLogCount = 290;     // type 1
constexpr int32_t kTopDiameter = 291;  // type 3 caliper, type 5 harvester
constexpr int32_t kLogLength = 293;    // type 3 caliper, type 5 harvester
constexpr int32_t kMeasCount = 372;    // type 3
constexpr int32_t kDiameter = 373;     // type 3 caliper, type 5 harvester
constexpr int32_t kPosition = 374;     // type 5

enum class Action : uint8_t {
    None,
    HrvNumurs,
    HrvVin,
    Date,
    Object,
    Species,
    SpeciesText,
    Random,
    LogCount,
    LogDastTievg,
    LogHrvTievg,
    LogDastGarums,
    LogHrvGarums,
    LogMerSkaits,
    MeasDast,
    MeasHrv,
    MeasMervieta,
};

Action ActionOf(int32_t nr, int32_t type)
{
    switch (nr) {
    case kHeaderNumber:
        return type == 1 ? Action::HrvNumurs : type == 2 ? Action::HrvVin : Action::None;
    case kControlDate:
        return type == 4 ? Action::Date : Action::None;
    case kStemDate:
        return type == 4 || type == 5 ? Action::Date : Action::None;
    case kObject:
        return type == 1 ? Action::Object : Action::None;
    case kStem:
        return type == 1 || type == 2 ? Action::Species : Action::None;
    case kSpeciesText:
        return type == 2 ? Action::SpeciesText : Action::None;
    case kRandomStem:
        return type == 2 ? Action::Random : Action::None;
    case kLogCount:
        return type == 1 ? Action::LogCount : Action::None;
    case kTopDiameter:
        return type == 3 ? Action::LogDastTievg : type == 5 ? Action::LogHrvTievg : Action::None;
    case kLogLength:
        return type == 3 ? Action::LogDastGarums : type == 5 ? Action::LogHrvGarums : Action::None;
    case kMeasCount:
        return type == 3 ? Action::LogMerSkaits : Action::None;
    case kDiameter:
        return type == 3 ? Action::MeasDast : type == 5 ? Action::MeasHrv : Action::None;
    case kPosition:
        return type == 5 ? Action::MeasMervieta : Action::None;
    default:
        return Action::None;
    }
}

// The variables that give one word per log of their tree.
bool IsPerLog(Action act)
{
    return act == Action::LogDastTievg || act == Action::LogHrvTievg || act == Action::LogDastGarums
        || act == Action::LogHrvGarums || act == Action::LogMerSkaits;
}

// A variable that a mapping pass reads, with its whole value (the raw row keeps the value cut
// to the width of VERTIBA, but the words are taken from all of it). A large file maps millions:
// number and type are kept in one small key, as only the few mapped ones are ever kept (numbers
// up to kPosition, types up to 5); its block is that of its raw row.
struct Mapped {
    uint32_t Var; // its raw row, which holds the value unless the value was cut there
    uint16_t Key; // number and type, in their order
    Action Act;

    static uint16_t KeyOf(int32_t nr, int32_t type) { return uint16_t(nr * kTypes + type); }
    int32_t Nr() const { return Key / kTypes; }
    static constexpr int32_t kTypes = 8;
};
static_assert(kPosition < 65536 / Mapped::kTypes);
static_assert(sizeof(Mapped) <= 8);

bool IsTypeless(int32_t nr)
{
    return nr >= 991 && nr <= 993;
}

void Later(std::optional<double>& date, double day)
{
    if (!date || *date < day)
        date = day;
}

class Import {
public:
    explicit Import(TAnalysisModel& model)
        : FModel(model)
    {
    }

    void RawPass(const char* data, std::size_t size);
    // Sorts the mapped variables of the block that begins at `begin` and ends with the table.
    void SortBlock(std::size_t begin);
    void FirstPass();
    void SecondPass();

private:
    TTreeRow* TreeOf(int32_t block)
    {
        return block > 0 ? &FModel.Trees[FTreeBase + std::size_t(block - 1)] : nullptr;
    }
    int32_t ObjectNumber(const QString& value);
    void LogWords(int32_t block, Action act, const QString& value);
    void DealMeasurements(int32_t block, Action act, const QString& value);

    int32_t BlockOf(const Mapped& m) const { return *FModel.Vars[m.Var].BLOCK_NR; }

    // The whole value of a mapped variable.
    const QString& ValueOf(const Mapped& m) const
    {
        const auto cut = FCutValues.find(m.Var);
        return cut != FCutValues.end() ? cut->second : FModel.Vars[m.Var].VERTIBA.Text();
    }

    // The day of a date text. Stems repeat the same few dates (the control date beside the
    // stem's own), and their texts are pooled: one of the last two texts read (the same
    // characters, held at the same place) is not read again.
    double DayOf(const QString& text)
    {
        for (const ReadDate& read : FReadDates)
            if (read.Text == text.constData() && read.Size == text.size())
                return read.Day;
        const double day = KtrConvert::ToDay(text);
        FReadDates[1] = FReadDates[0];
        FReadDates[0] = {text.constData(), text.size(), day};
        return day;
    }

    TAnalysisModel& FModel;
    std::unordered_map<uint32_t, QString> FCutValues; // whole values longer than VERTIBA keeps
    TLargeTable<Mapped> FMapped;
    struct ReadDate {
        const QChar* Text = nullptr;
        qsizetype Size = 0;
        double Day = 0;
    };
    ReadDate FReadDates[2];
    int32_t FBlocks = 0;
    std::size_t FTreeBase = 0; // trees the model held before this file
    std::vector<int32_t> FWords;

    // Per tree (index block - 1): where its logs begin in the logs table and how many it has.
    // A tree's logs are appended together, as its block is mapped in one go.
    std::vector<std::size_t> FLogBegin;
    std::vector<std::size_t> FLogCount;

    QHash<QString, int32_t> FObjects;
    int32_t FObjectCounter = 0;

    // Measurement rows of the tree being dealt, in their order.
    int32_t FDealBlock = 0;
    std::vector<std::size_t> FTreeMeas;
};

void Import::RawPass(const char* data, std::size_t size)
{
    // One raw row per "~" at most (and one for a last value without it): reserving them spares
    // the copies of a growing table on large files.
    std::size_t marks = 1;
    for (const char* p = data; p && p < data + size;) {
        const void* m = std::memchr(p, '~', std::size_t(data + size - p));
        if (!m)
            break;
        ++marks;
        p = static_cast<const char*>(m) + 1;
    }
    FModel.Vars.reserve(FModel.Vars.size() + marks);
    // The mapped ones are a part of those: room for all of them is only address space, while
    // growing step by step would copy them, and touch fresh memory, again and again. A large
    // file's room is rounded up to a block of its own in huge pages: only a part of it is
    // written, and page by page that part would be faulted in afresh on every load.
    std::size_t mapped = marks;
    if (marks >= LargeBlocks::kThreshold / sizeof(Mapped) / 4)
        mapped = std::max(marks, LargeBlocks::kThreshold / sizeof(Mapped) + 1);
    FMapped.reserve(mapped);

    TTextPool& texts = *FModel.VarTexts;
    KtrTokenizer tokenizer(data, size, &texts);
    KtrRawVariable v;
    int32_t block = 0;
    std::size_t blockBegin = 0; // the first mapped variable of the block being read
    while (tokenizer.Next(v)) {
        int32_t nr = 0;
        if (v.CutInType) {
            // Cut short by the end of the file: only the variables stored without a type
            // survive that.
            try {
                nr = KtrConvert::VariantToInt(v.Number);
            } catch (...) {
                break;
            }
            if (!IsTypeless(nr))
                break;
        } else {
            nr = KtrConvert::VariantToInt(v.Number);
        }
        if (nr == kStem) {
            if (block == std::numeric_limits<int32_t>::max())
                KtrErrors::RaiseOverflow();
            ++block;
            SortBlock(blockBegin);
            blockBegin = FMapped.size();
        }
        TVarRow row;
        row.BLOCK_NR = block;
        row.VAR_NR = nr;
        if (!IsTypeless(nr)) {
            const int32_t type = KtrConvert::VariantToInt(v.Type);
            row.VAR_T = type;
            const QString& value = v.Value();
            const bool cut = value.size() > AnalysisWidth::VERTIBA;
            row.VERTIBA = TPooledText(cut ? &texts.emplace_back(value.left(AnalysisWidth::VERTIBA)) : v.Pooled);
            const Action act = ActionOf(nr, type);
            if (act != Action::None) {
                const std::size_t var = FModel.Vars.size();
                if (var > std::numeric_limits<uint32_t>::max())
                    KtrErrors::RaiseOverflow();
                if (cut)
                    FCutValues.emplace(uint32_t(var), value);
                FMapped.push_back({uint32_t(var), Mapped::KeyOf(nr, type), act});
            }
        }
        FModel.Vars.push_back(std::move(row));
        if (v.CutInType)
            break;
    }
    FBlocks = block;
    SortBlock(blockBegin);
}

void Import::SortBlock(std::size_t begin)
{
    // The mapping passes walk the variables ordered by block, number and type; variables with
    // the same key keep the order of the file. Blocks only ever rise in the file, so each
    // block's few variables are sorted on their own, as the block ends.
    const auto less = [](const Mapped& a, const Mapped& b) { return a.Key < b.Key; };
    const auto b = FMapped.begin() + std::ptrdiff_t(begin);
    const auto e = FMapped.end();
    if (e - b > 32) {
        std::stable_sort(b, e, less);
    } else {
        for (auto i = b + 1; i < e; ++i) // insertion sort: stable, and quick on a few
            for (auto j = i; j != b && less(*j, *(j - 1)); --j)
                std::iter_swap(j, j - 1);
    }
}

int32_t Import::ObjectNumber(const QString& value)
{
    // Looked up by the text as it is stored, so a long id names the same object every time.
    const QString id = value.left(AnalysisWidth::OBJECTUSERID);
    const auto it = FObjects.constFind(id);
    if (it != FObjects.constEnd())
        return it.value();
    if (FObjectCounter == std::numeric_limits<int32_t>::max())
        KtrErrors::RaiseOverflow();
    ++FObjectCounter;
    TCirsmaRow row;
    row.CIRSMA_NR = FObjectCounter;
    row.OBJECTUSERID = id;
    FModel.Cirsmas.push_back(row);
    FObjects.insert(id, FObjectCounter);
    return FObjectCounter;
}

void Import::LogWords(int32_t block, Action act, const QString& value)
{
    KtrConvert::ToWords(value, FWords);
    const std::size_t t = std::size_t(block - 1);
    const bool hadLogs = FLogCount[t] > 0;
    if (!hadLogs) {
        // The tree's first per-log variable makes one log per word.
        FLogBegin[t] = FModel.Logs.size();
        for (std::size_t i = 0; i < FWords.size(); ++i) {
            TLogRow row;
            row.KOKS_NR = block;
            row.BALKIS_NR = int32_t(i + 1);
            FModel.Logs.push_back(row);
        }
        FLogCount[t] = FWords.size();
    }
    // Words beyond the tree's logs have no log to go to.
    const std::size_t n = std::min(FWords.size(), FLogCount[t]);
    for (std::size_t i = 0; i < n; ++i) {
        TLogRow& log = FModel.Logs[FLogBegin[t] + i];
        const int32_t w = FWords[i];
        switch (act) {
        case Action::LogDastTievg:
            log.DAST_TIEVG = w;
            break;
        case Action::LogHrvTievg:
            log.HRV_TIEVG = w;
            break;
        case Action::LogDastGarums:
            log.DAST_GARUMS = w;
            break;
        case Action::LogHrvGarums:
            log.HRV_GARUMS = w;
            break;
        case Action::LogMerSkaits:
            if (w < std::numeric_limits<int16_t>::min() || w > std::numeric_limits<int16_t>::max())
                KtrErrors::RaiseFieldRange(w, "MER_SKAITS", std::numeric_limits<int16_t>::min(),
                                           std::numeric_limits<int16_t>::max());
            log.MER_SKAITS = int16_t(w);
            break;
        default:
            break;
        }
    }
}

void Import::FirstPass()
{
    FTreeBase = FModel.Trees.size();
    FModel.Trees.reserve(FTreeBase + std::size_t(FBlocks));
    // Every stem block is a tree, numbered by its block, operator-selected unless its block
    // marks it random.
    for (int32_t b = 1; b <= FBlocks; ++b) {
        TTreeRow tree;
        tree.KOKS_NR = b;
        tree.IZV_VEIDS = TreeSelection::Operator;
        FModel.Trees.push_back(tree);
    }
    FLogBegin.assign(std::size_t(FBlocks), 0);
    FLogCount.assign(std::size_t(FBlocks), 0);
    // A tree's logs come from its first per-log variable, one per word; words take two
    // characters at least, their separator included. Room for that many spares the copies of a
    // growing table.
    std::size_t logs = 0;
    for (auto m = FMapped.begin(); m != FMapped.end(); ++m) {
        if (IsPerLog(m->Act) && BlockOf(*m) > 0
            && (m == FMapped.begin() || !IsPerLog(m[-1].Act) || BlockOf(m[-1]) != BlockOf(*m)))
            logs += (std::size_t(ValueOf(*m).size()) + 1) / 2;
    }
    FModel.Logs.reserve(FModel.Logs.size() + logs);

    THeaderRow& header = FModel.Header;
    for (const Mapped& m : FMapped) {
        // Before the first stem block there is no tree: what belongs to one is ignored there.
        const int32_t block = BlockOf(m);
        TTreeRow* tree = TreeOf(block);
        switch (m.Act) {
        case Action::HrvNumurs:
            if (header.HRV_NUMURS.size() < 3)
                header.HRV_NUMURS = ValueOf(m).left(AnalysisWidth::HRV_NUMURS);
            break;
        case Action::HrvVin:
            if (header.HRV_VIN.size() < 3)
                header.HRV_VIN = ValueOf(m).left(AnalysisWidth::HRV_VIN);
            break;
        case Action::Date:
            if (tree) {
                const double day = DayOf(ValueOf(m));
                Later(header.DATUMS_PARB, day);
                Later(tree->DATUMS_PARB, day);
            }
            break;
        case Action::Object: {
            // An object named in the file header still belongs to the file's objects.
            const int32_t nr = ObjectNumber(ValueOf(m));
            if (tree)
                tree->CIRSMA_NR = nr;
            break;
        }
        case Action::LogCount:
            if (tree)
                tree->BALKU_SK = KtrConvert::VariantToInt(ValueOf(m));
            break;
        case Action::SpeciesText:
            if (tree)
                tree->SUGA_TXT = ValueOf(m).left(AnalysisWidth::SUGA_TXT);
            break;
        case Action::Species:
            // The key compares as a number: "01" is key 1.
            if (tree && tree->SUGA.isEmpty()) {
                const double key = KtrConvert::VariantToNumber(ValueOf(m));
                if (key == 1)
                    tree->SUGA = QStringLiteral("PRIEDE");
                else if (key == 2)
                    tree->SUGA = QStringLiteral("EGLE");
            }
            break;
        case Action::Random:
            if (tree && KtrConvert::VariantToNumber(ValueOf(m)) != 0)
                tree->IZV_VEIDS = TreeSelection::Random;
            break;
        case Action::LogDastTievg:
        case Action::LogHrvTievg:
        case Action::LogDastGarums:
        case Action::LogHrvGarums:
        case Action::LogMerSkaits:
            if (tree)
                LogWords(block, m.Act, ValueOf(m));
            break;
        default:
            break;
        }
    }
}

void Import::DealMeasurements(int32_t block, Action act, const QString& value)
{
    KtrConvert::ToWords(value, FWords);
    const std::size_t t = std::size_t(block - 1);
    if (block != FDealBlock) {
        FDealBlock = block;
        FTreeMeas.clear();
    }
    auto set = [act](TMeasRow& meas, int32_t word) {
        if (act == Action::MeasDast)
            meas.DAST_DIAMETRS = word;
        else if (act == Action::MeasHrv)
            meas.HRV_DIAMETRS = word;
        else
            meas.MERVIETA = word;
    };
    // The words go into the tree's own logs, as many per log as the log counts; what is left
    // over has no place and is dropped.
    if (FTreeMeas.empty()) {
        // The tree's first measurement variable makes the rows.
        std::size_t w = 0;
        for (std::size_t li = 0; li < FLogCount[t] && w < FWords.size(); ++li) {
            const TLogRow& log = FModel.Logs[FLogBegin[t] + li];
            const int32_t count = log.MER_SKAITS.value_or(0);
            for (int32_t j = 0; j < count && w < FWords.size(); ++j) {
                TMeasRow row;
                row.KOKS_NR = block;
                row.BALKIS_NR = log.BALKIS_NR;
                row.MERIJUMS_NR = j + 1;
                set(row, FWords[w++]);
                FTreeMeas.push_back(FModel.Meas.size());
                FModel.Meas.push_back(row);
            }
        }
        return;
    }
    // Later ones fill those rows in their order, never adding any: no more words than the
    // counts take, and no more than the rows there are.
    std::size_t counted = 0;
    for (std::size_t li = 0; li < FLogCount[t]; ++li)
        counted += std::size_t(std::max<int32_t>(0, FModel.Logs[FLogBegin[t] + li].MER_SKAITS.value_or(0)));
    const std::size_t n = std::min({FWords.size(), counted, FTreeMeas.size()});
    for (std::size_t k = 0; k < n; ++k)
        set(FModel.Meas[FTreeMeas[k]], FWords[k]);
}

void Import::SecondPass()
{
    // Reserve the measurement rows: no more than the logs' counts allow, and no more than the
    // words the file gives for them (counts alone may promise far more than the file holds).
    int64_t counted = 0;
    for (const TLogRow& log : FModel.Logs)
        counted += std::max<int64_t>(0, log.MER_SKAITS.value_or(0));
    int64_t given = 0; // words take two characters at least, their separator included
    for (const Mapped& m : FMapped)
        if (m.Act == Action::MeasDast || m.Act == Action::MeasHrv || m.Act == Action::MeasMervieta)
            given += (ValueOf(m).size() + 1) / 2;
    // The analysis adds a butt and a top row to every log: room for them too, so that the table
    // is not moved (and held twice) when it grows.
    FModel.Meas.reserve(FModel.Meas.size() + std::size_t(std::min(counted, given)) + 2 * FModel.Logs.size());

    THeaderRow& header = FModel.Header;
    for (const Mapped& m : FMapped) {
        switch (m.Act) {
        case Action::Date:
            // Without a dated stem the file's own control date is the header's.
            if (m.Nr() == kControlDate && !header.DATUMS_PARB)
                header.DATUMS_PARB = DayOf(ValueOf(m));
            break;
        case Action::MeasDast:
        case Action::MeasHrv:
        case Action::MeasMervieta:
            if (const int32_t block = BlockOf(m); block > 0)
                DealMeasurements(block, m.Act, ValueOf(m));
            break;
        default:
            break;
        }
    }
}

} // namespace

void KtrReader::Read(const char* data, std::size_t size, TAnalysisModel& model)
{
    // Without a single variable the file is no control file, not an empty one.
    const char* end = data + (data ? size : 0);
    if (std::all_of(data, end, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }))
        KtrErrors::RaiseNoContent();
    Import import(model);
    import.RawPass(data, size);
    import.FirstPass();
    import.SecondPass();
}

void KtrReader::Read(const QByteArray& bytes, TAnalysisModel& model)
{
    Read(bytes.constData(), std::size_t(bytes.size()), model);
}

void KtrReader::ReadFile(const QString& sFileName, TAnalysisModel& model)
{
    QFile file(sFileName);
    if (!file.open(QIODevice::ReadOnly))
        KtrErrors::RaiseFileError(sFileName, file.errorString());
    const QByteArray bytes = FileBytes::ReadAll(file);
    if (file.error() != QFileDevice::NoError)
        KtrErrors::RaiseFileError(sFileName, file.errorString());
    Read(bytes, model);
}

void ImportKTRFile(const QString& sFileName, TAnalysisModel& model)
{
    KtrReader::ReadFile(sFileName, model);
}
