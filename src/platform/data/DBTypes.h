#pragma once

#include <cstdint>

// Shared enumerations of the in-memory dataset layer.

enum class TFieldType {
    ftUnknown,
    ftString,
    ftFixedChar,
    ftWideString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftLargeint,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftBlob,
    ftMemo,
    ftWideMemo,
};

// fkLookup last: values kept elsewhere by number stay as they were.
enum class TFieldKind { fkData, fkCalculated, fkInternalCalc, fkLookup };

enum class TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsBlockRead,
};

enum class TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    deFocusControl,
    deDisabledStateChange,
};

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

enum class TFieldRestrictType { frtNone, frtEdit, frtView };

enum class TStringFieldContents {
    sfcGeneral,
    sfcPostingDate,
    sfcMonthFrom,
    sfcMonthTill,
    sfcMultiLang,
    sfcURL,
    sfcNumber,
};

enum class TDateFieldContents { dfcDate, dfcDateTime };

enum class TDateNullValue {
    dnvNull,
    dnvMinDat,
    dnvMaxDat,
    dnvBoth,
    dnvMinDatNull,
    dnvMaxDatNull,
    dnvBothNull,
};

enum class TCurrencyValueType { cvtNone, cvtFirst, cvtSecond, cvtFixed };

enum class TBlobCompressionType { bcNone, bcAutodetect, bcAlways };

enum class TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

// Option sets are plain bit masks.
enum TLocateOption : unsigned { loCaseInsensitive = 1u, loPartialKey = 2u };
using TLocateOptions = unsigned;

enum TFilterOption : unsigned { foCaseInsensitive = 1u, foNoPartialCompare = 2u };
using TFilterOptions = unsigned;

enum TIndexOption : unsigned {
    ixPrimary = 1u,
    ixUnique = 2u,
    ixDescending = 4u,
    ixCaseInsensitive = 8u,
};
using TIndexOptions = unsigned;

// True for the types whose values are kept as text.
// Integer, float, currency and BCD types.
inline bool IsNumericFieldType(TFieldType t)
{
    switch (t) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftLargeint:
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        return true;
    default:
        return false;
    }
}

inline bool IsStringFieldType(TFieldType t)
{
    return t == TFieldType::ftString || t == TFieldType::ftFixedChar || t == TFieldType::ftWideString
        || t == TFieldType::ftMemo || t == TFieldType::ftWideMemo;
}
