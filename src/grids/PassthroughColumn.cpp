#include "grids/PassthroughColumn.h"

#include "grids/CustomDBEdGrid.h"
#include "grids/DBEdGridColumns.h"
#include "grids/EdGridDataLink.h"
#include "grids/PassthroughColumnTitle.h"
#include "platform/data/Field.h"

std::unique_ptr<TEkColumnTitle> TPassthroughColumn::CreateTitle()
{
    return std::make_unique<TPassthroughColumnTitle>(this);
}

void TPassthroughColumn::SetIndex(int Value)
{
    TCustomDBEdGrid* grid = Grid();
    TField* field = Field();
    if (grid && grid->LinkActive() && field) {
        // The dataset's field order follows the grid's column order.
        if (TField* target = grid->DataLink()->GetFields(Value))
            grid->MoveDataSetField(field, target);
    }
    TEkColumn::SetIndex(Value);
}

void TPassthroughColumn::SetAlignment(TAlignment Value)
{
    TCustomDBEdGrid* grid = Grid();
    TField* field = Field();
    if (grid && grid->LinkActive() && field) {
        field->SetAlignment(Value);
        return;
    }
    TEkColumn::SetAlignment(Value);
}

void TPassthroughColumn::SetField(TField* Value)
{
    TEkColumn::SetField(Value);
    if (!Value)
        SetFieldNameOnly(QString());
    RestoreDefaults();
}

void TPassthroughColumn::SetReadOnly(bool Value) { TEkColumn::SetReadOnly(Value); }

void TPassthroughColumn::SetWidth(int Value)
{
    TCustomDBEdGrid* grid = Grid();
    if (grid) {
        TField* field = Field();
        if (field)
            field->SetDisplayWidth(CharsOfPixels(Value));
        if (grid->LayoutFromDataset() && !IsAssigned(TEkColumnValue::cvWidth))
            return;
    }
    TEkColumn::SetWidth(Value);
}
