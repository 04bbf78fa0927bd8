#include "grids/EkColumn.h"

#include "grids/CustomDBEdGrid.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EkColumnTitle.h"
#include "base/TEnumStrings.h"
#include "platform/data/Field.h"
#include "platform/rtl/EIntOverflow.h"
#include "platform/rtl/Exception.h"

#include <QFontMetrics>
#include <bit>
#include <climits>
#include <cmath>

namespace {
int checkedInt(qint64 v)
{
    if (v > INT_MAX || v < INT_MIN)
        throw EIntOverflow(QStringLiteral("Integer overflow"));
    return static_cast<int>(v);
}

// Keeps the grid's layout bracket balanced whatever happens in between.
struct LayoutBracket {
    TCustomDBEdGrid* grid;
    explicit LayoutBracket(TCustomDBEdGrid* g) : grid(g) { if (grid) grid->BeginLayout(); }
    ~LayoutBracket() noexcept(false)
    {
        if (grid)
            grid->EndLayout();
    }
};
}

TEkColumn::TEkColumn(TDBEdGridColumns* Collection)
{
    TCustomDBEdGrid* grid = Collection ? Collection->Grid() : nullptr;
    LayoutBracket bracket(grid);
    if (Collection)
        Collection->InsertItem(this);
    FFont = DefaultFont();
}

TEkColumn::~TEkColumn()
{
    SetPKField(nullptr);
    if (FWeakRef) {
        FWeakRef->RemoveRef();
        FWeakRef.reset();
    }
    if (FCollection)
        FCollection->RemoveItem(this);
}

TEkColumnTitle* TEkColumn::Title() const
{
    if (!FTitle)
        FTitle = const_cast<TEkColumn*>(this)->CreateTitle();
    return FTitle.get();
}

std::unique_ptr<TEkColumnTitle> TEkColumn::CreateTitle() { return std::make_unique<TEkColumnTitle>(this); }

TCustomDBEdGrid* TEkColumn::Grid() const { return FCollection ? FCollection->Grid() : nullptr; }

int TEkColumn::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

void TEkColumn::SetIndex(int Value)
{
    if (!FCollection)
        return;
    const int cur = Index();
    if (Value == cur)
        return;
    FCollection->SetDescsModified(true);
    FCollection->MoveItem(cur, Value);
}

QString TEkColumn::DisplayName() const
{
    return FFieldName.isEmpty() ? QStringLiteral("TEkColumn") : FFieldName;
}

void TEkColumn::Changed(bool AllItems)
{
    if (FCollection)
        FCollection->ItemChanged(AllItems ? nullptr : this);
}

// ---- field -------------------------------------------------------------------------------

TField* TEkColumn::Field()
{
    if (!FField && !FFieldName.isEmpty()) {
        if (TCustomDBEdGrid* grid = Grid()) {
            bool open = false;
            TField* f = grid->FindDataSetField(FFieldName, &open);
            if (f && open)
                SetField(f);
        }
    }
    return FField;
}

void TEkColumn::SetField(TField* Value)
{
    if (Value == FField)
        return;
    FField = Value;
    if (Value)
        FFieldName = Value->FieldName();
    Changed(false);
}

void TEkColumn::SetFieldName(const QString& Value)
{
    TField* f = nullptr;
    TCustomDBEdGrid* grid = Grid();
    if (grid && !grid->IsLoading() && !Value.isEmpty())
        f = grid->FindDataSetField(Value);
    FFieldName = Value;
    SetField(f);
    Changed(false);
}

// ---- flagged attributes --------------------------------------------------------------------

QColor TEkColumn::DefaultColor() const
{
    if (TCustomDBEdGrid* grid = Grid())
        return grid->Color();
    return QColor(Qt::white);
}

QColor TEkColumn::Color() const { return IsAssigned(TEkColumnValue::cvColor) ? FColor : DefaultColor(); }

void TEkColumn::SetColor(const QColor& Value)
{
    if (IsAssigned(TEkColumnValue::cvColor) && Value == FColor)
        return;
    FColor = Value;
    FAssignedValues.Include(TEkColumnValue::cvColor);
    Changed(false);
}

QFont TEkColumn::DefaultFont() const
{
    if (TCustomDBEdGrid* grid = Grid())
        return grid->GridFont();
    return FFont;
}

QFont TEkColumn::Font() const { return IsAssigned(TEkColumnValue::cvFont) ? FFont : DefaultFont(); }

void TEkColumn::SetFont(const QFont& Value)
{
    FFont = Value;
    FAssignedValues.Include(TEkColumnValue::cvFont);
    Changed(false);
}

TAlignment TEkColumn::DefaultAlignment()
{
    if (TField* f = Field())
        return f->Alignment();
    return TAlignment::taLeftJustify;
}

TAlignment TEkColumn::Alignment()
{
    return IsAssigned(TEkColumnValue::cvAlignment) ? FAlignment : DefaultAlignment();
}

void TEkColumn::SetAlignment(TAlignment Value)
{
    if (IsAssigned(TEkColumnValue::cvAlignment) && Value == FAlignment)
        return;
    FAlignment = Value;
    FAssignedValues.Include(TEkColumnValue::cvAlignment);
    Changed(false);
}

bool TEkColumn::DefaultReadOnly()
{
    TCustomDBEdGrid* grid = Grid();
    TField* f = Field();
    return (grid && grid->ReadOnly()) || (f && f->ReadOnly());
}

bool TEkColumn::ReadOnly() { return IsAssigned(TEkColumnValue::cvReadOnly) ? FReadonly : DefaultReadOnly(); }

void TEkColumn::SetReadOnly(bool Value)
{
    if (IsAssigned(TEkColumnValue::cvReadOnly) && Value == FReadonly)
        return;
    FReadonly = Value;
    FAssignedValues.Include(TEkColumnValue::cvReadOnly);
    Changed(false);
}

bool TEkColumn::DefaultRequired()
{
    TField* f = Field();
    return f && f->Required();
}

bool TEkColumn::Required() { return IsAssigned(TEkColumnValue::cvRequired) ? FRequired : DefaultRequired(); }

void TEkColumn::SetRequired(bool Value)
{
    if (IsAssigned(TEkColumnValue::cvRequired) && Value == FRequired)
        return;
    FRequired = Value;
    FAssignedValues.Include(TEkColumnValue::cvRequired);
    Changed(false);
}

int TEkColumn::DefaultMaxLength()
{
    TField* f = Field();
    if (!f)
        return 0;
    const TFieldType t = f->DataType();
    const bool stringField = t == TFieldType::ftString || t == TFieldType::ftWideString || t == TFieldType::ftFixedChar;
    if (stringField && ButtonStyle() != TEkColumnButtonStyle::cbsDate)
        return f->Size();
    return 0;
}

int TEkColumn::MaxLength() { return IsAssigned(TEkColumnValue::cvMaxLength) ? FMaxLength : DefaultMaxLength(); }

void TEkColumn::SetMaxLength(int Value)
{
    if (IsAssigned(TEkColumnValue::cvMaxLength) && Value == FMaxLength)
        return;
    FMaxLength = Value;
    FAssignedValues.Include(TEkColumnValue::cvMaxLength);
    Changed(false);
}

TImeMode TEkColumn::DefaultImeMode() const
{
    if (TCustomDBEdGrid* grid = Grid())
        return grid->ImeMode();
    return FImeMode;
}

TImeMode TEkColumn::ImeMode() const { return IsAssigned(TEkColumnValue::cvImeMode) ? FImeMode : DefaultImeMode(); }

void TEkColumn::SetImeMode(TImeMode Value)
{
    if (IsAssigned(TEkColumnValue::cvImeMode) || Value != DefaultImeMode()) {
        FImeMode = Value;
        FAssignedValues.Include(TEkColumnValue::cvImeMode);
    }
    Changed(false);
}

QString TEkColumn::DefaultImeName() const
{
    if (TCustomDBEdGrid* grid = Grid())
        return grid->ImeName();
    return FImeName;
}

QString TEkColumn::ImeName() const { return IsAssigned(TEkColumnValue::cvImeName) ? FImeName : DefaultImeName(); }

void TEkColumn::SetImeName(const QString& Value)
{
    if (IsAssigned(TEkColumnValue::cvImeName) || Value != DefaultImeName()) {
        FImeName = Value;
        FAssignedValues.Include(TEkColumnValue::cvImeName);
    }
    Changed(false);
}

QString TEkColumn::ValueChecked() const
{
    return IsAssigned(TEkColumnValue::cvValueChecked) ? FValueChecked : DefaultValueChecked();
}

void TEkColumn::SetValueChecked(const QString& Value)
{
    if (IsAssigned(TEkColumnValue::cvValueChecked) && Value == FValueChecked)
        return;
    FValueChecked = Value;
    FAssignedValues.Include(TEkColumnValue::cvValueChecked);
    Changed(false);
}

QString TEkColumn::ValueUnchecked() const
{
    return IsAssigned(TEkColumnValue::cvValueUnchecked) ? FValueUnchecked : DefaultValueUnchecked();
}

void TEkColumn::SetValueUnchecked(const QString& Value)
{
    if (IsAssigned(TEkColumnValue::cvValueUnchecked) && Value == FValueUnchecked)
        return;
    FValueUnchecked = Value;
    FAssignedValues.Include(TEkColumnValue::cvValueUnchecked);
    Changed(false);
}

bool TEkColumn::Dotted()
{
    if (IsAssigned(TEkColumnValue::cvDotted))
        return FDotted;
    TCustomDBEdGrid* grid = Grid();
    if (!grid)
        return false;
    // Asked once; the answer is kept until the defaults are restored.
    FDotted = grid->IsDottedColumn(this);
    FAssignedValues.Include(TEkColumnValue::cvDotted);
    return FDotted;
}

void TEkColumn::SetDotted(bool Value)
{
    FDotted = Value;
    FAssignedValues.Include(TEkColumnValue::cvDotted);
    Changed(true);
}

// ---- widths --------------------------------------------------------------------------------

namespace {
int averageCharWidth(TCustomDBEdGrid* grid, const QFont& font)
{
    return grid ? grid->AverageCharWidth(font) : QFontMetrics(font).averageCharWidth();
}
}

int TEkColumn::PixelsOfDisplayWidth(int Chars)
{
    TCustomDBEdGrid* grid = Grid();
    if (!grid)
        return 64;
    if (Chars != 0)
        return checkedInt(static_cast<qint64>(Chars) * averageCharWidth(grid, Font()) + 4);
    const QString caption = Title()->Caption();
    if (!caption.isEmpty())
        return checkedInt(static_cast<qint64>(grid->TextWidth(Title()->Font(), caption)) + 4);
    return grid->DefaultColWidth();
}

int TEkColumn::CharsOfPixels(int Pixels)
{
    const int avg = averageCharWidth(Grid(), Font());
    if (avg <= 0)
        return 0;
    return static_cast<int>(std::nearbyint(static_cast<double>(static_cast<qint64>(Pixels) - 4) / avg));
}

int TEkColumn::DefaultWidth()
{
    TCustomDBEdGrid* grid = Grid();
    if (!grid)
        return 64;
    TField* f = Field();
    if (!f)
        return grid->DefaultColWidth();
    return PixelsOfDisplayWidth(f->DisplayWidth());
}

int TEkColumn::Width()
{
    if (IsAssigned(TEkColumnValue::cvWidth))
        return FWidth;
    return Grid() ? DefaultWidth() : 64;
}

void TEkColumn::SetOwnWidth(int Value)
{
    if (Value != FWidth && FCollection)
        FCollection->SetDescsModified(true);
    FWidth = Value;
    FAssignedValues.Include(TEkColumnValue::cvWidth);
}

void TEkColumn::SetWidth(int Value)
{
    if (IsAssigned(TEkColumnValue::cvWidth) || Value != DefaultWidth())
        SetOwnWidth(Value);
    Changed(false);
}

int TEkColumn::DisplayWidth()
{
    if (FAutoSize)
        return -1;
    if (IsAssigned(TEkColumnValue::cvWidth))
        return CharsOfPixels(FWidth);
    if (TField* f = Field())
        return f->DisplayWidth();
    return CharsOfPixels(DefaultWidth());
}

void TEkColumn::SetDisplayWidth(int Value)
{
    FAutoSize = Value == -1;
    if (Grid() && !FAutoSize) {
        SetWidth(PixelsOfDisplayWidth(Value));
        FAssignedValues.Include(TEkColumnValue::cvDisplayWidth);
    }
}

void TEkColumn::SetTitle(const TEkColumnTitle& Value) { Title()->Assign(Value); }

// ---- editing settings ----------------------------------------------------------------------

TEkColumnButtonStyle TEkColumn::ButtonStyle()
{
    TEkColumnButtonStyle style = FButtonStyle;
    TCustomDBEdGrid* grid = Grid();
    if (grid && grid->OnGetColumnButtonStyle)
        grid->OnGetColumnButtonStyle(this, style);
    return style;
}

void TEkColumn::SetButtonStyle(TEkColumnButtonStyle Value)
{
    if (Value == FButtonStyle)
        return;
    FButtonStyle = Value;
    Changed(false);
}

void TEkColumn::SetDirectInput(bool Value)
{
    if (Value == FDirectInput)
        return;
    FDirectInput = Value;
    Changed(false);
}

void TEkColumn::SetDateOptions(TEkColumnDateOptions Value)
{
    if (Value == FDateOptions)
        return;
    if (Value & cdoMonthOnly) {
        FDateOptions = cdoMonthOnly;
        Changed(false);
        return;
    }
    constexpr TEkColumnDateOptions interim = cdoInterimNo | cdoInterimBeforeFirst | cdoInterimAfterLast;
    const TEkColumnDateOptions newKinds = Value & interim;
    const TEkColumnDateOptions curKinds = FDateOptions & interim;
    const TEkColumnDateOptions taken =
        newKinds == curKinds ? curKinds : static_cast<TEkColumnDateOptions>(newKinds & ~curKinds);
    if (std::popcount(static_cast<unsigned>(taken)) > 1)
        throw Exception(QStringLiteral("Invalid interim DateOptions for grid column \"%1\"").arg(Title()->Caption()));
    const TEkColumnDateOptions other = Value & ~interim;
    if ((Value & cdoInterimOnly) && (taken == 0 || (taken & cdoInterimNo)))
        FDateOptions = other | cdoInterimAfterLast;
    else
        FDateOptions = other | taken;
    Changed(false);
}

void TEkColumn::SetTreeLevelFields(const QString& Value)
{
    if (Value == FTreeLevelFields)
        return;
    FTreeLevelFields = Value;
    if (!Value.isEmpty()) {
        FTreeDBTreeType = TEkDBTreeType::dttLevels;
        FTreeParentField.clear();
        FTreeMinParentVal.clear();
    }
}

void TEkColumn::SetTreeParentField(const QString& Value)
{
    if (Value == FTreeParentField)
        return;
    FTreeParentField = Value;
    if (!Value.isEmpty()) {
        FTreeDBTreeType = TEkDBTreeType::dttParentChild;
        FTreeLevelFields.clear();
    }
}

void TEkColumn::SetTreeMinParentVal(const QString& Value)
{
    const QString v = Value.isEmpty() ? QStringLiteral("NULL") : Value.toUpper();
    if (v != FTreeMinParentVal)
        FTreeMinParentVal = v;
}

// ---- visibility ----------------------------------------------------------------------------

bool TEkColumn::Visible() const
{
    return FShowState == TEkColumnVisibleState::cvsVisible || FShowState == TEkColumnVisibleState::cvsRequired;
}

void TEkColumn::SetVisible(bool Value)
{
    if (FShowState == TEkColumnVisibleState::cvsNotAvailable || FShowState == TEkColumnVisibleState::cvsRequired)
        return;
    SetShowState(Value ? TEkColumnVisibleState::cvsVisible : TEkColumnVisibleState::cvsHidden);
}

void TEkColumn::SetShowState(TEkColumnVisibleState Value)
{
    if (Value == FShowState)
        return;
    if (FCollection)
        FCollection->SetDescsModified(true);
    FShowState = Value;
    TCustomDBEdGrid* grid = Grid();
    if (!grid || grid->IsLoading() || !grid->UseColumnsDesc() || FCollection->UpdateCount() != 0)
        return;
    if (FCollection != grid->Columns() && FCollection != grid->InvisibleColumns())
        return;
    const bool shown = Value == TEkColumnVisibleState::cvsVisible || Value == TEkColumnVisibleState::cvsRequired;
    TDBEdGridColumns* target = shown ? grid->Columns() : grid->InvisibleColumns();
    if (target == FCollection)
        return;
    TDBEdGridColumns* source = FCollection;
    source->RemoveItem(this);
    target->InsertItem(this);
    if (!shown)
        return;
    // Back among the shown columns: after the nearest shown column that precedes it in the
    // design-time order.
    TDBEdGridColumns* design = grid->OriginalColumns();
    int pos = -1;
    for (int i = 0; i < design->Count(); ++i)
        if (design->Items(i)->FieldName() == FFieldName) {
            pos = i;
            break;
        }
    if (pos < 0)
        return;
    if (pos == 0) {
        SetIndex(0);
        return;
    }
    for (int i = pos - 1; i >= 0; --i) {
        TEkColumn* c = grid->ColumnByFieldName(design->Items(i)->FieldName());
        if (c && c != this && c->Collection() == grid->Columns()) {
            const int at = c->Index() + 1;
            SetIndex(at > Index() ? at - 1 : at);
            return;
        }
    }
}

// ---- copying and defaults ------------------------------------------------------------------

void TEkColumn::Assign(const TEkColumn& Source)
{
    if (&Source == this)
        return;
    if (FCollection)
        FCollection->BeginUpdate();
    struct End { TDBEdGridColumns* c; ~End() noexcept(false) { if (c) c->EndUpdate(); } } end{FCollection};
    RestoreDefaults();
    SetFieldName(Source.FFieldName);
    // Own values are copied with their flags, so the copy keeps every assigned attribute.
    FColor = Source.FColor;
    FWidth = Source.FWidth;
    FFont = Source.FFont;
    FImeMode = Source.FImeMode;
    FImeName = Source.FImeName;
    FAlignment = Source.FAlignment;
    FReadonly = Source.FReadonly;
    FRequired = Source.FRequired;
    FMaxLength = Source.FMaxLength;
    FValueChecked = Source.FValueChecked;
    FValueUnchecked = Source.FValueUnchecked;
    FDotted = Source.FDotted;
    const TEkColumnValues titleFlags = FAssignedValues;
    FAssignedValues = Source.FAssignedValues;
    for (TEkColumnValue v : {TEkColumnValue::cvTitleColor, TEkColumnValue::cvTitleCaption,
                             TEkColumnValue::cvTitleAlignment, TEkColumnValue::cvTitleFont}) {
        if (titleFlags.Contains(v))
            FAssignedValues.Include(v);
        else
            FAssignedValues.Exclude(v);
    }
    Title()->Assign(*Source.Title());
    FDropDownRows = Source.FDropDownRows;
    FDropDownSorted = Source.FDropDownSorted;
    FButtonStyle = Source.FButtonStyle;
    SetPickList(Source.FPickList.get());
    FPopupMenu = Source.FPopupMenu;
    FTreeCaptionSeparator = Source.FTreeCaptionSeparator;
    FTreeLevelFields = Source.FTreeLevelFields;
    FTreeParentField = Source.FTreeParentField;
    FTreeMinParentVal = Source.FTreeMinParentVal;
    FTreeDBTreeType = Source.FTreeDBTreeType;
    FTreeCaptionFields = Source.FTreeCaptionFields;
    FTreeWidth = Source.FTreeWidth;
    FTreeHeight = Source.FTreeHeight;
    FDirectInput = Source.FDirectInput;
    FShowState = Source.FShowState;
    FDateOptions = Source.FDateOptions;
    FSmartEdit = Source.FSmartEdit;
    FIndexFields = Source.FIndexFields;
    FAutoSize = Source.FAutoSize;
    FFocusFieldNames = Source.FFocusFieldNames;
    FCheckingID = Source.FCheckingID;
    SetPKField(Source.FPKField);
    FSetOnlyLinkF = Source.FSetOnlyLinkF;
    Changed(true);
}

TEnumStrings* TEkColumn::PickList() const
{
    if (!FPickList)
        FPickList = std::make_unique<TEnumStrings>();
    return FPickList.get();
}

void TEkColumn::SetPickList(const TEnumStrings* Value)
{
    if (!Value || Value->Count() == 0) {
        FPickList.reset();
        return;
    }
    if (Value != FPickList.get())
        PickList()->Assign(*Value);
}

void TEkColumn::SetPickList(const QStringList& Value)
{
    FPickList.reset();
    if (!Value.isEmpty())
        PickList()->AddStrings(Value);
}

void TEkColumn::RestoreDefaults()
{
    const bool fontAssigned = IsAssigned(TEkColumnValue::cvFont);
    Title()->RestoreDefaults();
    FAssignedValues.Clear();
    FFont = DefaultFont();
    FPickList.reset();
    SetButtonStyle(TEkColumnButtonStyle::cbsAuto);
    Changed(fontAssigned);
}

// ---- links, draw state, weak reference, cell data ------------------------------------------

bool TEkColumn::IsURL()
{
    const TEkColumnButtonStyle style = ButtonStyle();
    if (style == TEkColumnButtonStyle::cbsURL)
        return true;
    if (style != TEkColumnButtonStyle::cbsAuto)
        return false;
    TCustomDBEdGrid* grid = Grid();
    TField* f = Field();
    return grid && f && grid->IsUrlField(f);
}

void TEkColumn::SetDrawState(TGridDrawState AState, bool AMultiSelect)
{
    FSelected = AState.testFlag(gdSelected);
    FFocused = AState.testFlag(gdFocused);
    FMultiSelect = AMultiSelect;
}

void TEkColumn::SetPKField(TField* Value)
{
    if (Value == FPKField)
        return;
    if (FPKField && FPKFieldNotice >= 0)
        FPKField->RemoveFreeNotification(FPKFieldNotice);
    FPKField = Value;
    FPKFieldNotice = -1;
    if (Value)
        FPKFieldNotice = Value->AddFreeNotification([this](TField*) {
            FPKField = nullptr;
            FPKFieldNotice = -1;
        });
}

std::shared_ptr<TEkColumnRef> TEkColumn::WeakRef()
{
    if (!FWeakRef)
        FWeakRef = std::make_shared<TEkColumnRef>(this);
    return FWeakRef;
}

::Value TEkColumn::GetValue()
{
    if (TField* f = Field())
        return f->Value();
    return ::Value(0);
}

bool TEkColumn::GetRowsSelected()
{
    TCustomDBEdGrid* grid = Grid();
    return grid && grid->HasSelectedRows();
}

::Value TEkColumn::GetFieldValue(const QString& FieldName)
{
    TCustomDBEdGrid* grid = Grid();
    if (!grid)
        return ::Value(0);
    bool open = false;
    TField* f = grid->FindDataSetField(FieldName, &open);
    if (f && open)
        return f->Value();
    return ::Value(0);
}
