#include "grids/PassthroughColumnTitle.h"

#include "grids/CustomDBEdGrid.h"
#include "grids/EkColumn.h"
#include "platform/data/Field.h"

void TPassthroughColumnTitle::SetCaption(const QString& Value)
{
    TCustomDBEdGrid* grid = Column()->Grid();
    TField* field = Column()->Field();
    if (grid && grid->LinkActive() && field) {
        field->SetDisplayLabel(Value);
        return;
    }
    TEkColumnTitle::SetCaption(Value);
}
