#include "grids/EkColumnTitle.h"

#include "grids/CustomDBEdGrid.h"
#include "grids/EkColumn.h"
#include "platform/data/Field.h"

TEkColumnTitle::TEkColumnTitle(TEkColumn* Column) : FColumn(Column)
{
    FFont = DefaultFont();
}

TEkColumnTitle::~TEkColumnTitle() = default;

void TEkColumnTitle::Assign(const TEkColumnTitle& Source)
{
    TEkColumn* src = Source.FColumn;
    if (src->IsAssigned(TEkColumnValue::cvTitleAlignment))
        SetAlignment(Source.Alignment());
    if (src->IsAssigned(TEkColumnValue::cvTitleColor))
        SetColor(Source.Color());
    if (src->IsAssigned(TEkColumnValue::cvTitleCaption))
        SetOwnCaption(Source.Caption());
    if (src->IsAssigned(TEkColumnValue::cvTitleFont))
        SetFont(Source.Font());
}

TAlignment TEkColumnTitle::Alignment() const
{
    return FColumn->IsAssigned(TEkColumnValue::cvTitleAlignment) ? FAlignment : DefaultAlignment();
}

void TEkColumnTitle::SetAlignment(TAlignment Value)
{
    if (FColumn->IsAssigned(TEkColumnValue::cvTitleAlignment) && Value == FAlignment)
        return;
    FAlignment = Value;
    FColumn->FAssignedValues.Include(TEkColumnValue::cvTitleAlignment);
    FColumn->Changed(false);
}

QString TEkColumnTitle::Caption() const
{
    return FColumn->IsAssigned(TEkColumnValue::cvTitleCaption) ? FCaption : DefaultCaption();
}

void TEkColumnTitle::SetCaption(const QString& Value) { SetOwnCaption(Value); }

void TEkColumnTitle::SetOwnCaption(const QString& Value)
{
    if (FColumn->IsAssigned(TEkColumnValue::cvTitleCaption) && Value == FCaption)
        return;
    FCaption = Value;
    FColumn->FAssignedValues.Include(TEkColumnValue::cvTitleCaption);
    FColumn->Changed(false);
}

QColor TEkColumnTitle::Color() const
{
    return FColumn->IsAssigned(TEkColumnValue::cvTitleColor) ? FColor : DefaultColor();
}

void TEkColumnTitle::SetColor(const QColor& Value)
{
    if (FColumn->IsAssigned(TEkColumnValue::cvTitleColor) && Value == FColor)
        return;
    FColor = Value;
    FColumn->FAssignedValues.Include(TEkColumnValue::cvTitleColor);
    FColumn->Changed(false);
}

QFont TEkColumnTitle::Font() const
{
    return FColumn->IsAssigned(TEkColumnValue::cvTitleFont) ? FFont : DefaultFont();
}

void TEkColumnTitle::SetFont(const QFont& Value)
{
    FFont = Value;
    FColumn->FAssignedValues.Include(TEkColumnValue::cvTitleFont);
    // A title font changes the title row's height, which all columns share.
    FColumn->Changed(true);
}

QColor TEkColumnTitle::DefaultColor() const
{
    if (TCustomDBEdGrid* grid = FColumn->Grid())
        return grid->FixedColor();
    return QColor(0xF0, 0xF0, 0xF0);
}

QFont TEkColumnTitle::DefaultFont() const
{
    if (TCustomDBEdGrid* grid = FColumn->Grid())
        return grid->TitleFont();
    return FColumn->Font();
}

QString TEkColumnTitle::DefaultCaption() const
{
    if (TField* field = FColumn->Field())
        return field->DisplayName();
    return FColumn->FieldName();
}

void TEkColumnTitle::RestoreDefaults()
{
    const bool fontAssigned = FColumn->IsAssigned(TEkColumnValue::cvTitleFont);
    FColumn->FAssignedValues.Exclude(TEkColumnValue::cvTitleColor);
    FColumn->FAssignedValues.Exclude(TEkColumnValue::cvTitleCaption);
    FColumn->FAssignedValues.Exclude(TEkColumnValue::cvTitleAlignment);
    FColumn->FAssignedValues.Exclude(TEkColumnValue::cvTitleFont);
    FCaption.clear();
    FFont = DefaultFont();
    FColumn->Changed(fontAssigned);
}

bool TEkColumnTitle::IsAlignmentStored() const
{
    return FColumn->IsAssigned(TEkColumnValue::cvTitleAlignment) && FAlignment != TAlignment::taLeftJustify;
}

bool TEkColumnTitle::IsCaptionStored() const
{
    return FColumn->IsAssigned(TEkColumnValue::cvTitleCaption) && FCaption != DefaultCaption();
}

bool TEkColumnTitle::IsColorStored() const
{
    return FColumn->IsAssigned(TEkColumnValue::cvTitleColor) && FColor != DefaultColor();
}

bool TEkColumnTitle::IsFontStored() const { return FColumn->IsAssigned(TEkColumnValue::cvTitleFont); }
