#pragma once

#include "grids/EkColumn.h"

// A default column, made by the grid for a visible field when the grid has no columns of its
// own. Caption, alignment, width and order written on it go through to the field.
class TPassthroughColumn : public TEkColumn {
public:
    using TEkColumn::TEkColumn;

    std::unique_ptr<TEkColumnTitle> CreateTitle() override;
    void SetIndex(int Value) override;
    void SetAlignment(TAlignment Value) override;
    void SetField(TField* Value) override;
    void SetReadOnly(bool Value) override;
    void SetWidth(int Value) override;
};
