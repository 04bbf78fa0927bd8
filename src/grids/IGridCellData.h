#pragma once

#include "platform/rtl/Value.h"

#include <QString>

// What a cell-colour handler may ask about the data cell being drawn.
class IGridCellData {
public:
    virtual ~IGridCellData() = default;
    // The column's field value; the integer 0 without a field.
    virtual ::Value GetValue() = 0;
    virtual bool GetSelected() = 0;
    virtual bool GetFocused() = 0;
    // The grid has at least one selected row.
    virtual bool GetRowsSelected() = 0;
    // A field of the current record; the integer 0 when there is none of that name.
    virtual ::Value GetFieldValue(const QString& FieldName) = 0;
};
