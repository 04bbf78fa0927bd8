#pragma once

#include <cstdint>

// Enumerations and option sets of the data grid and its columns.

// One assigned flag per column attribute (the title's four live here too).
enum class TEkColumnValue {
    cvColor,
    cvWidth,
    cvFont,
    cvAlignment,
    cvReadOnly,
    cvRequired,
    cvValueChecked,
    cvValueUnchecked,
    cvTitleColor,
    cvTitleCaption,
    cvTitleAlignment,
    cvTitleFont,
    cvImeMode,
    cvImeName,
    cvMaxLength,
    cvDisplayWidth,
    cvDotted,
};

// Set of TEkColumnValue in a 32-bit word, bit n for value n.
class TEkColumnValues {
public:
    bool Contains(TEkColumnValue v) const { return (FBits & Bit(v)) != 0; }
    void Include(TEkColumnValue v) { FBits |= Bit(v); }
    void Exclude(TEkColumnValue v) { FBits &= ~Bit(v); }
    void Clear() { FBits = 0; }
    bool Empty() const { return FBits == 0; }
    uint32_t Bits() const { return FBits; }
    friend bool operator==(TEkColumnValues, TEkColumnValues) = default;

private:
    static uint32_t Bit(TEkColumnValue v) { return 1u << static_cast<unsigned>(v); }
    uint32_t FBits = 0;
};

enum class TEkColumnButtonStyle {
    cbsAuto,
    cbsEllipsis,
    cbsNone,
    cbsDropDown,
    cbsCheck,
    cbsOwnerDraw,
    cbsMemo,
    cbsTree,
    cbsDate,
    cbsLinkable,
    cbsURL,
};

enum class TEkColumnVisibleState { cvsNotAvailable, cvsHidden, cvsVisible, cvsRequired };

// Date entry options as bits of one byte.
enum TEkColumnDateOption : uint8_t {
    cdoInterimNo = 1,
    cdoInterimBeforeFirst = 2,
    cdoInterimAfterLast = 4,
    cdoInterimOnly = 8,
    cdoMonthOnly = 16,
};
using TEkColumnDateOptions = uint8_t;

enum class TEkDBTreeType { dttLevels, dttParentChild, dttTreeByNPK, dttGroupBy };

enum class TDBEdGridColumnsState { csDefault, csCustomized };

// Input-method modes a column may ask for; kept and streamed, applied by the editor.
enum class TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese, imSHanguel, imHanguel };

// Options of the data grid, a 16-bit set.
enum TDBGridOption : uint16_t {
    dgEditing = 1u << 0,
    dgAlwaysShowEditor = 1u << 1,
    dgTitles = 1u << 2,
    dgIndicator = 1u << 3,
    dgColumnResize = 1u << 4,
    dgColLines = 1u << 5,
    dgRowLines = 1u << 6,
    dgTabs = 1u << 7,
    dgRowSelect = 1u << 8,
    dgAlwaysShowSelection = 1u << 9,
    dgConfirmDelete = 1u << 10,
    dgCancelOnExit = 1u << 11,
    dgMultiSelect = 1u << 12,
    dgAutoLinkable = 1u << 13,
};
using TDBGridOptions = uint16_t;

enum TGridExtOption : uint8_t { geoFocusRect = 1, geoDragRemoveColumn = 2, geoAutoFitOnDblClick = 4 };
using TGridExtOptions = uint8_t;

enum class TEdGridFirstOnExit { foeNever, foeWhenBrowsing, foeAlways };

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
