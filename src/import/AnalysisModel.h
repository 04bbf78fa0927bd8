#pragma once

// The plain in-memory form of one analysed control file: the rows of the loader's eight
// datasets as structs. A reader fills the header, raw variables, trees, logs, measurements
// and objects; the loader validates and derives everything else on this model and then
// publishes it to its datasets in one step (TCSHrvStumpwiseToDS).
//
// Member names are the dataset field names. A field that may be empty (null) in the dataset is
// a std::optional here (a TPackedOptional in the two largest tables, raw variables and
// measurements, to keep them small); an empty one publishes as a null field. String fields are
// QString (a TPooledText in those two tables): an empty text publishes as an empty (null) field. Date-times are days since
// 1899-12-30 (the DateTime convention of platform/rtl), only the day part is ever stored by the
// readers.
//
// Defaults: the member initialisers below are the datasets' new-record defaults (a log's and a
// measurement's DERIGS 0, a measurement's MERIJ_VEIDS 0); a reader that appends a row gets them.
//
// Rows are kept in the order the reader appends them. Nothing here is sorted: the loader orders
// what it needs with explicit stable sorts, so the reader's order only decides ties.

#include "import/PackedOptional.h"
#include "platform/rtl/LargeBlockAllocator.h"

#include <QString>

#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace AnalysisWidth {
// Widths of the string fields (characters). A reader cuts a value to its field's width where
// the file format says the value is stored cut (VERTIBA, SUGA_TXT, OBJECTUSERID ...).
inline constexpr int HRV_NUMURS = 100;
inline constexpr int HRV_VIN = 100;
inline constexpr int FILE_NAME = 1000;
inline constexpr int VERTIBA = 4000;
inline constexpr int SUGA = 10;
inline constexpr int SUGA_TXT = 10;
inline constexpr int PIEZIMES = 150;
inline constexpr int INTERVALS_DIAMETRS = 20;
inline constexpr int OBJECTUSERID = 50;
} // namespace AnalysisWidth

// cdsHeader: exactly one row after a successful read.
struct THeaderRow {
    std::optional<double> HRV_APJOMS_ALL;
    std::optional<double> DAST_APJOMS_ALL;
    std::optional<double> PROCENTS_ALL;
    std::optional<double> HRV_APJOMS_OP;
    std::optional<double> DAST_APJOMS_OP;
    std::optional<double> PROCENTS_OP;
    std::optional<double> HRV_APJOMS_RAND;
    std::optional<double> DAST_APJOMS_RAND;
    std::optional<double> PROCENTS_RAND;
    std::optional<double> DATUMS_PARB; // control date (day)
    QString HRV_NUMURS;
    QString HRV_VIN;
    QString FILE_NAME;
    std::optional<double> DATUMS_PARB_SAK;
    std::optional<int16_t> HAS_EMPTY_DATE;
    std::optional<int32_t> DIENU_SKAITS;
    std::optional<int16_t> IR_PARRAVUMI;
    std::optional<double> DIAM_NOVIRZE6MM_ALL;
    std::optional<double> DIAM_NOVIRZE6MM_OP;
    std::optional<double> DIAM_NOVIRZE6MM_RAND;
};

// A text held once in a pool of texts that outlives the rows pointing at it (a file repeats
// the same values stem after stem): a pointer where a QString would take three times the room.
// Empty when it points at nothing. Aligned to one byte, like TPackedOptional, so that the rows
// of the largest tables need no padding.
class TPooledText {
public:
    TPooledText() = default;
    explicit TPooledText(const QString* text) noexcept { std::memcpy(FText, &text, sizeof text); }
    const QString& Text() const noexcept
    {
        const QString* text = Pointer();
        return text ? *text : Empty();
    }
    bool isEmpty() const noexcept { return Text().isEmpty(); }
    friend bool operator==(const TPooledText& a, const QString& b) noexcept { return a.Text() == b; }
    friend bool operator==(const TPooledText& a, const TPooledText& b) noexcept
    {
        return a.Pointer() == b.Pointer() || a.Text() == b.Text();
    }

private:
    const QString* Pointer() const noexcept
    {
        const QString* text;
        std::memcpy(&text, FText, sizeof text);
        return text;
    }
    static const QString& Empty() noexcept
    {
        static const QString empty;
        return empty;
    }
    unsigned char FText[sizeof(const QString*)] = {};
};

// Texts that rows point at; a deque, so that a text never moves once pointed at.
using TTextPool = std::deque<QString>;

// cdsVar: one raw variable of a classic file. Its value lives in TAnalysisModel::VarTexts.
struct TVarRow {
    TPackedOptional<int32_t> BLOCK_NR;
    TPackedOptional<int32_t> VAR_NR;
    TPackedOptional<int32_t> VAR_T;
    TPooledText VERTIBA;
};
// A large file holds millions of these while it is read.
static_assert(sizeof(TVarRow) <= 23);

// cdsKoki: one tree.
struct TTreeRow {
    std::optional<int32_t> KOKS_NR;
    std::optional<int32_t> BALKU_SK;
    std::optional<int16_t> IZV_VEIDS; // 1 randomly selected, 2 operator-selected
    std::optional<double> HRV_APJOMS;
    std::optional<double> DAST_APJOMS;
    std::optional<int32_t> DERIGS; // no default: empty means usable
    QString SUGA;
    QString SUGA_TXT;
    std::optional<double> DATUMS_PARB;
    std::optional<int32_t> CIRSMA_NR;
};

// cdsBalki: one log.
struct TLogRow {
    std::optional<int32_t> KOKS_NR;
    std::optional<int32_t> BALKIS_NR; // 1 = butt log
    std::optional<int32_t> SORT_NR;
    std::optional<int32_t> HRV_GARUMS;
    std::optional<int32_t> DAST_GARUMS;
    std::optional<int32_t> DAST_TIEVG;
    std::optional<int32_t> HRV_TIEVG;
    std::optional<int16_t> MER_SKAITS;
    std::optional<int32_t> DERIGS = 0;
    std::optional<double> HRV_APJOMS;
    std::optional<double> DAST_APJOMS;
};

// cdsMerijumi: one diameter measurement (harvester value beside caliper value).
struct TMeasRow {
    // Notes are empty on most rows and repeat on the others; they live in
    // TAnalysisModel::MeasTexts. An interval is one of a few fixed texts.
    TPooledText PIEZIMES;
    TPooledText INTERVALS_DIAMETRS;
    TPackedOptional<int32_t> KOKS_NR;
    TPackedOptional<int32_t> BALKIS_NR;
    TPackedOptional<int32_t> MERIJUMS_NR;
    TPackedOptional<int32_t> MERVIETA;
    TPackedOptional<int32_t> MERVIETA_IEP_HRV;
    TPackedOptional<int32_t> MERVIETA_IEP_DAST;
    TPackedOptional<int32_t> HRV_GARUMS;
    TPackedOptional<int32_t> DAST_GARUMS;
    TPackedOptional<int32_t> HRV_DIAMETRS;
    TPackedOptional<int32_t> DAST_DIAMETRS;
    TPackedOptional<int32_t> DERIGS = 0;
    TPackedOptional<int32_t> SORT_NR;
    TPackedOptional<int32_t> NOVIRZE_DIAMETRS;
    TPackedOptional<int16_t> NOVIRZE_DIAM_LIDZ;
    TPackedOptional<int16_t> DERIGS_DIAM_NOV;
    TPackedOptional<int16_t> MERIJ_VEIDS = 0; // 0 from the file, 1 synthetic butt, 2 synthetic top
};
// A large file holds a few hundred thousand of these while they are published.
static_assert(sizeof(TMeasRow) <= 90);

// cdsKokuSk: one of the three count rows (IZV_VEIDS 0 all, 1 operator-selected, 2 random).
struct TKokuSkRow {
    std::optional<int16_t> IZV_VEIDS;
    std::optional<int32_t> KOKU_SK_DER;
    std::optional<int32_t> KOKU_SK_NEDER;
    std::optional<int32_t> BALKU_SK_DER;
    std::optional<int32_t> BALKU_SK_NEDER;
    std::optional<int32_t> KOKU_SK_DER_SUGA;
    std::optional<int32_t> BALKU_SK_DER_SUGA;
    std::optional<int32_t> MERIJ_NEDER_DIAM;
};

// cdsDiamNovirzes: one interval row or total row of the deviation table.
struct TDiamNovirzeRow {
    std::optional<int32_t> IZV_VEIDS;
    QString INTERVALS_DIAMETRS;
    std::optional<int32_t> LIDZ_2;
    std::optional<double> LIDZ_2_PRCNT;
    std::optional<int32_t> LIDZ_4;
    std::optional<double> LIDZ_4_PRCNT;
    std::optional<int32_t> LIDZ_6;
    std::optional<double> LIDZ_6_PRCNT;
    std::optional<int32_t> CITS;
    std::optional<double> CITS_PRCNT;
    std::optional<int32_t> KOPA;
};

// cdsCirsmas: one object (harvesting site).
struct TCirsmaRow {
    std::optional<int32_t> CIRSMA_NR;
    QString OBJECTUSERID;
};

// A table of hundreds of thousands of rows on a large file: its block is mapped in huge pages
// (see TLargeBlockAllocator), not faulted in page by page on every load.
template <class Row>
using TLargeTable = std::vector<Row, TLargeBlockAllocator<Row>>;

struct TAnalysisModel {
    THeaderRow Header;
    TLargeTable<TVarRow> Vars;
    // The texts Vars point at; shared by copies of the model, so that their rows stay valid.
    std::shared_ptr<TTextPool> VarTexts = std::make_shared<TTextPool>();
    std::vector<TTreeRow> Trees;
    std::vector<TLogRow> Logs;
    TLargeTable<TMeasRow> Meas;
    // The notes Meas point at (and texts read back from a dataset), shared like VarTexts.
    std::shared_ptr<TTextPool> MeasTexts = std::make_shared<TTextPool>();
    std::vector<TCirsmaRow> Cirsmas;
    // Filled by the loader, never by a reader.
    std::array<TKokuSkRow, 3> KokuSk = EmptyKokuSk();
    std::vector<TDiamNovirzeRow> DiamNovirzes;

    // The three count rows with only their selection kind 0, 1, 2 set.
    static std::array<TKokuSkRow, 3> EmptyKokuSk()
    {
        std::array<TKokuSkRow, 3> rows;
        for (int16_t i = 0; i < 3; ++i)
            rows[static_cast<size_t>(i)].IZV_VEIDS = i;
        return rows;
    }
};

// How a reader hands its result to the loader: see Readers.h (ImportKTRFile, ImportHQCFile).
