#include "import/AnalysisColumns.h"

#include "import/AnalysisFields.h"

#include "platform/data/ClientDataSet.h"
#include "platform/data/Field.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/ERangeError.h"
#include "platform/rtl/Value.h"

#include <QScopeGuard>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace {

template <class>
struct MemberOf;
template <class R, class T>
struct MemberOf<T R::*> {
    using Row = R;
    using Type = T;
};

inline const QString& TextOf(const QString& v) { return v; }
inline const QString& TextOf(const TPooledText& v) { return v.Text(); }

template <auto M, TFieldType FieldType>
void WriteMember(TClientDataSet* ds, int field, int first, std::span<const typename MemberOf<decltype(M)>::Row> rows)
{
    using T = typename MemberOf<decltype(M)>::Type;
    int record = first;
    if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, TPooledText>) {
        TDataSet::TBulkColumn out = ds->BulkColumn(field, first, int(rows.size()));
        for (const auto& row : rows) {
            if (const auto& v = row.*M; !v.isEmpty())
                out.SetString(record, TextOf(v));
            ++record;
        }
    } else if constexpr (FieldType == TFieldType::ftDateTime || std::is_floating_point_v<typename T::value_type>) {
        for (const auto& row : rows) {
            if (const auto& v = row.*M) {
                if constexpr (FieldType == TFieldType::ftDateTime)
                    ds->SetBulkValue(field, record, Value(DateTime(*v)));
                else
                    ds->SetBulkValue(field, record, Value(*v));
            }
            ++record;
        }
    } else {
        TDataSet::TBulkColumn out = ds->BulkColumn(field, first, int(rows.size()));
        for (const auto& row : rows) {
            if (const auto& v = row.*M)
                out.SetInteger(record, *v);
            ++record;
        }
    }
}

template <auto M, TFieldType FieldType>
Value GetMember(const typename MemberOf<decltype(M)>::Row& row)
{
    const auto& v = row.*M;
    using T = typename MemberOf<decltype(M)>::Type;
    if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, TPooledText>)
        return v.isEmpty() ? Value() : Value(TextOf(v));
    else if (!v)
        return Value();
    else if constexpr (FieldType == TFieldType::ftDateTime)
        return Value(DateTime(*v));
    else if constexpr (std::is_floating_point_v<typename T::value_type>)
        return Value(*v);
    else
        return Value(static_cast<int32_t>(*v));
}

template <auto M, TFieldType FieldType>
void ReadMember(const TField* f, typename MemberOf<decltype(M)>::Row& row, [[maybe_unused]] TTextPool* pool)
{
    auto& v = row.*M;
    using T = typename MemberOf<decltype(M)>::Type;
    if constexpr (std::is_same_v<T, TPooledText>) {
        v = f->IsNull() || !pool ? TPooledText() : TPooledText(&pool->emplace_back(f->AsString()));
    } else if constexpr (std::is_same_v<T, QString>) {
        v = f->IsNull() ? QString() : f->AsString();
    } else if (f->IsNull()) {
        v = std::nullopt;
    } else if constexpr (FieldType == TFieldType::ftDateTime) {
        v = f->AsDateTime().Days();
    } else if constexpr (std::is_floating_point_v<typename T::value_type>) {
        v = f->AsFloat();
    } else if constexpr (std::is_same_v<typename T::value_type, int16_t>) {
        const qint32 n = f->AsInteger();
        if (n < std::numeric_limits<int16_t>::min() || n > std::numeric_limits<int16_t>::max())
            throw ERangeError(QStringLiteral("Range check error"));
        v = static_cast<int16_t>(n);
    } else {
        v = f->AsInteger();
    }
}

template <auto M, TFieldType FieldType>
constexpr TAnalysisColumn<typename MemberOf<decltype(M)>::Row> Column(const char* name, int size,
                                                                      const char* label, bool left)
{
    return {name, FieldType, size, label, left, &WriteMember<M, FieldType>, &GetMember<M, FieldType>,
            &ReadMember<M, FieldType>};
}

constexpr bool Left = true;

} // namespace

// A column of Row whose field is named like the member: COL(Row, Member, Type, size, label, left).
#define COL(R, M, T, ...) Column<&R::M, TFieldType::T>(AnalysisField::M.data(), __VA_ARGS__)
#define NUM(R, M, T, ...) COL(R, M, T, 0, __VA_ARGS__)

namespace AnalysisColumns {

std::span<const TAnalysisColumn<THeaderRow>> Header()
{
    using R = THeaderRow;
    static const TAnalysisColumn<R> columns[] = {
        NUM(R, HRV_APJOMS_ALL, ftFloat, nullptr, false),
        NUM(R, DAST_APJOMS_ALL, ftFloat, nullptr, false),
        NUM(R, PROCENTS_ALL, ftFloat, nullptr, false),
        NUM(R, HRV_APJOMS_OP, ftFloat, nullptr, false),
        NUM(R, DAST_APJOMS_OP, ftFloat, nullptr, false),
        NUM(R, PROCENTS_OP, ftFloat, nullptr, false),
        NUM(R, HRV_APJOMS_RAND, ftFloat, nullptr, false),
        NUM(R, DAST_APJOMS_RAND, ftFloat, nullptr, false),
        NUM(R, PROCENTS_RAND, ftFloat, nullptr, false),
        NUM(R, DATUMS_PARB, ftDateTime, nullptr, false),
        COL(R, HRV_NUMURS, ftString, AnalysisWidth::HRV_NUMURS, nullptr, false),
        COL(R, HRV_VIN, ftString, AnalysisWidth::HRV_VIN, nullptr, false),
        COL(R, FILE_NAME, ftString, AnalysisWidth::FILE_NAME, nullptr, false),
        NUM(R, DATUMS_PARB_SAK, ftDateTime, nullptr, false),
        NUM(R, HAS_EMPTY_DATE, ftSmallint, nullptr, false),
        NUM(R, DIENU_SKAITS, ftInteger, nullptr, false),
        NUM(R, IR_PARRAVUMI, ftSmallint, nullptr, false),
        NUM(R, DIAM_NOVIRZE6MM_ALL, ftFloat, nullptr, false),
        NUM(R, DIAM_NOVIRZE6MM_OP, ftFloat, nullptr, false),
        NUM(R, DIAM_NOVIRZE6MM_RAND, ftFloat, nullptr, false),
    };
    return columns;
}

std::span<const TAnalysisColumn<TVarRow>> Vars()
{
    using R = TVarRow;
    static const TAnalysisColumn<R> columns[] = {
        NUM(R, BLOCK_NR, ftInteger, "Bloks (koka Nr.)", false),
        NUM(R, VAR_NR, ftInteger, "Mainīgā Nr.", false),
        NUM(R, VAR_T, ftInteger, "Mainīgā tips", false),
        COL(R, VERTIBA, ftString, AnalysisWidth::VERTIBA, "Vērtība", false),
    };
    return columns;
}

std::span<const TAnalysisColumn<TTreeRow>> Trees()
{
    using R = TTreeRow;
    static const TAnalysisColumn<R> columns[] = {
        NUM(R, KOKS_NR, ftInteger, "Koks", false),
        NUM(R, BALKU_SK, ftInteger, "Nogriežņu skaits", false),
        NUM(R, IZV_VEIDS, ftSmallint, "Izvēles veids (random/operatora)", Left),
        NUM(R, HRV_APJOMS, ftFloat, "Harvestera apjoms", false),
        NUM(R, DAST_APJOMS, ftFloat, "Dastmēra apjoms", false),
        NUM(R, DERIGS, ftInteger, "Kļūdas apraksts", Left),
        COL(R, SUGA, ftString, AnalysisWidth::SUGA, "Suga", false),
        COL(R, SUGA_TXT, ftString, AnalysisWidth::SUGA_TXT, "Suga oriģ.", false),
        NUM(R, DATUMS_PARB, ftDateTime, "Datums", false),
        NUM(R, CIRSMA_NR, ftInteger, nullptr, false),
    };
    return columns;
}

std::span<const TAnalysisColumn<TLogRow>> Logs()
{
    using R = TLogRow;
    static const TAnalysisColumn<R> columns[] = {
        NUM(R, KOKS_NR, ftInteger, "Koks", false),
        NUM(R, BALKIS_NR, ftInteger, "Nogrieznis", false),
        NUM(R, SORT_NR, ftInteger, nullptr, false),
        NUM(R, HRV_GARUMS, ftInteger, "Harv. garums", false),
        NUM(R, DAST_GARUMS, ftInteger, "Dast. garums", false),
        NUM(R, DAST_TIEVG, ftInteger, "Dast. tiev. gala diam.", false),
        NUM(R, HRV_TIEVG, ftInteger, "Hrv. tiev. gala diam.", false),
        NUM(R, MER_SKAITS, ftSmallint, "Kontrolmērījumu skaits", false),
        NUM(R, DERIGS, ftInteger, "Kļūdas apraksts", Left),
        NUM(R, HRV_APJOMS, ftFloat, "Harvestera apjoms", false),
        NUM(R, DAST_APJOMS, ftFloat, "Dastmēra apjoms", false),
    };
    return columns;
}

std::span<const TAnalysisColumn<TMeasRow>> Meas()
{
    using R = TMeasRow;
    static const TAnalysisColumn<R> columns[] = {
        NUM(R, KOKS_NR, ftInteger, "Koks", false),
        NUM(R, BALKIS_NR, ftInteger, "Nogrieznis", false),
        NUM(R, MERIJUMS_NR, ftInteger, "Mērījums", false),
        NUM(R, MERVIETA, ftInteger, "Mērījuma vieta", false),
        NUM(R, MERVIETA_IEP_HRV, ftInteger, "Iepr. harv. mēr. vieta", false),
        NUM(R, MERVIETA_IEP_DAST, ftInteger, "Iepr. dast. mēr. vieta", false),
        NUM(R, HRV_GARUMS, ftInteger, "Harv. garums", false),
        NUM(R, DAST_GARUMS, ftInteger, "Dast. garums", false),
        NUM(R, HRV_DIAMETRS, ftInteger, "Hrv. diametrs mērījuma vietā", false),
        NUM(R, DAST_DIAMETRS, ftInteger, "Dastm. diametrs", false),
        NUM(R, DERIGS, ftInteger, "Kļūda", false),
        NUM(R, SORT_NR, ftInteger, nullptr, false),
        COL(R, PIEZIMES, ftString, AnalysisWidth::PIEZIMES, "Piezīmes", false),
        NUM(R, NOVIRZE_DIAMETRS, ftInteger, "Diamtra novirze", false),
        NUM(R, NOVIRZE_DIAM_LIDZ, ftSmallint, nullptr, false),
        COL(R, INTERVALS_DIAMETRS, ftString, AnalysisWidth::INTERVALS_DIAMETRS, nullptr, false),
        NUM(R, DERIGS_DIAM_NOV, ftSmallint, "Derīgs diam.novirz.", false),
        NUM(R, MERIJ_VEIDS, ftSmallint, "Mērījuma veids", false),
    };
    return columns;
}

std::span<const TAnalysisColumn<TKokuSkRow>> KokuSk()
{
    using R = TKokuSkRow;
    static const TAnalysisColumn<R> columns[] = {
        NUM(R, IZV_VEIDS, ftSmallint, "Izvēles veids", Left),
        NUM(R, KOKU_SK_DER, ftInteger, "Der. koki", false),
        NUM(R, KOKU_SK_NEDER, ftInteger, "Neder. koki", false),
        NUM(R, BALKU_SK_DER, ftInteger, "Der. nogr.", false),
        NUM(R, BALKU_SK_NEDER, ftInteger, "Neder. nogr.", false),
        NUM(R, KOKU_SK_DER_SUGA, ftInteger, "Kopā der. koki pēc sugām", false),
        NUM(R, BALKU_SK_DER_SUGA, ftInteger, "Kopā der. nogr. pēc sugām", false),
        NUM(R, MERIJ_NEDER_DIAM, ftInteger, "Neder. mēr. diam. novirz.", false),
    };
    return columns;
}

std::span<const TAnalysisColumn<TDiamNovirzeRow>> DiamNovirzes()
{
    using R = TDiamNovirzeRow;
    static const TAnalysisColumn<R> columns[] = {
        NUM(R, IZV_VEIDS, ftInteger, "Izvēles veids", Left),
        COL(R, INTERVALS_DIAMETRS, ftString, AnalysisWidth::INTERVALS_DIAMETRS, "Intervāls", false),
        NUM(R, LIDZ_2, ftInteger, "2mm", false),
        NUM(R, LIDZ_2_PRCNT, ftFloat, "2mm (%)", false),
        NUM(R, LIDZ_4, ftInteger, "4mm", false),
        NUM(R, LIDZ_4_PRCNT, ftFloat, "4mm (%)", false),
        NUM(R, LIDZ_6, ftInteger, "6mm", false),
        NUM(R, LIDZ_6_PRCNT, ftFloat, "6mm (%)", false),
        NUM(R, CITS, ftInteger, "Cits", false),
        NUM(R, CITS_PRCNT, ftFloat, "Cits (%)", false),
        NUM(R, KOPA, ftInteger, "Mērījumu skaits", false),
    };
    return columns;
}

std::span<const TAnalysisColumn<TCirsmaRow>> Cirsmas()
{
    using R = TCirsmaRow;
    static const TAnalysisColumn<R> columns[] = {
        NUM(R, CIRSMA_NR, ftInteger, nullptr, false),
        COL(R, OBJECTUSERID, ftString, AnalysisWidth::OBJECTUSERID, nullptr, false),
    };
    return columns;
}

#undef NUM
#undef COL

namespace {
template <class Row>
std::vector<TField*> FieldsOf(const TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns)
{
    std::vector<TField*> fields;
    fields.reserve(columns.size());
    for (const auto& c : columns)
        fields.push_back(ds->FieldByName(QString::fromLatin1(c.Name)));
    return fields;
}
} // namespace

template <class Row>
std::unique_ptr<TClientDataSet> Create(const QString& name, std::span<const TAnalysisColumn<Row>> columns,
                                       const QString& indexFieldNames)
{
    auto ds = std::make_unique<TClientDataSet>();
    ds->SetName(name);
    AddFields(ds.get(), columns);
    if (!indexFieldNames.isEmpty())
        ds->SetIndexFieldNames(indexFieldNames);
    ds->CreateDataSet();
    ds->SetLogChanges(false);
    DescribeFields(ds.get(), columns);
    return ds;
}

template <class Row>
void AddFields(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns)
{
    for (const auto& c : columns)
        ds->FieldDefs().Add(QString::fromLatin1(c.Name), c.Type, c.Size);
}

template <class Row>
void DescribeFields(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns)
{
    for (const auto& c : columns) {
        TField* f = ds->FieldByName(QString::fromLatin1(c.Name));
        if (c.Label)
            f->SetDisplayLabel(QString::fromUtf8(c.Label));
        if (c.LeftAligned)
            f->SetAlignment(TAlignment::taLeftJustify);
    }
}

namespace {
// Writes the rows in one bulk step.
template <class Row>
void BulkAppend(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns, std::span<const Row> rows)
{
    if (rows.size() > size_t(std::numeric_limits<int>::max()))
        throw ERangeError(QStringLiteral("Range check error"));
    std::vector<int> fields;
    fields.reserve(columns.size());
    for (const TField* f : FieldsOf(ds, columns))
        fields.push_back(f->Index());
    // No record events, no order comparisons per row, the index built once at the end;
    // nothing is kept when a value fails.
    const int first = ds->BeginBulkAppend(int(rows.size()));
    auto cancel = qScopeGuard([ds] { ds->CancelBulkAppend(); });
    // A stretch of rows at a time, column by column: one call per column and stretch, and the
    // stretch stays in the cache while its columns are written.
    constexpr size_t stretch = 4096;
    for (size_t begin = 0; begin < rows.size(); begin += stretch) {
        const std::span<const Row> part = rows.subspan(begin, std::min(stretch, rows.size() - begin));
        try {
            for (size_t k = 0; k < columns.size(); ++k)
                columns[k].Write(ds, fields[k], first + int(begin), part);
        } catch (...) {
            // A value was refused: the stretch again row by row, so that the failure reported
            // is that of the first refused value in row order.
            for (size_t i = 0; i < part.size(); ++i)
                for (size_t k = 0; k < columns.size(); ++k)
                    columns[k].Write(ds, fields[k], first + int(begin + i), part.subspan(i, 1));
            throw;
        }
    }
    cancel.dismiss();
    ds->EndBulkAppend();
    ds->First();
}
} // namespace

template <class Row>
void Append(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns, std::span<const Row> rows)
{
    BulkAppend(ds, columns, rows);
}

template <class Row>
void Update(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns, const Row& row)
{
    const std::vector<TField*> fields = FieldsOf(ds, columns);
    ds->Edit();
    for (size_t k = 0; k < columns.size(); ++k)
        fields[k]->SetValue(columns[k].Get(row));
    ds->Post();
}

template <class Row, class Table>
Table ReadToEnd(TClientDataSet* ds, std::span<const TAnalysisColumn<Row>> columns, TTextPool* pool)
{
    const std::vector<TField*> fields = FieldsOf(ds, columns);
    Table rows;
    for (; !ds->Eof(); ds->Next()) {
        Row& row = rows.emplace_back();
        for (size_t k = 0; k < columns.size(); ++k)
            columns[k].Read(fields[k], row, pool);
    }
    return rows;
}

#define ANALYSIS_ROW(R)                                                                                  \
    template std::unique_ptr<TClientDataSet> Create<R>(const QString&, std::span<const TAnalysisColumn<R>>,  \
                                                       const QString&);                                  \
    template void AddFields<R>(TClientDataSet*, std::span<const TAnalysisColumn<R>>);                    \
    template void DescribeFields<R>(TClientDataSet*, std::span<const TAnalysisColumn<R>>);               \
    template void Append<R>(TClientDataSet*, std::span<const TAnalysisColumn<R>>, std::span<const R>);   \
    template void Update<R>(TClientDataSet*, std::span<const TAnalysisColumn<R>>, const R&);             \
    template std::vector<R> ReadToEnd<R>(TClientDataSet*, std::span<const TAnalysisColumn<R>>, TTextPool*);
ANALYSIS_ROW(THeaderRow)
ANALYSIS_ROW(TVarRow)
ANALYSIS_ROW(TTreeRow)
ANALYSIS_ROW(TLogRow)
ANALYSIS_ROW(TMeasRow)
ANALYSIS_ROW(TKokuSkRow)
ANALYSIS_ROW(TDiamNovirzeRow)
ANALYSIS_ROW(TCirsmaRow)
#undef ANALYSIS_ROW
template TLargeTable<TMeasRow> ReadToEnd<TMeasRow, TLargeTable<TMeasRow>>(TClientDataSet*,
                                                                          std::span<const TAnalysisColumn<TMeasRow>>,
                                                                          TTextPool*);

} // namespace AnalysisColumns
