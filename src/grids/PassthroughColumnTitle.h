#pragma once

#include "grids/EkColumnTitle.h"

// Title of a default column: a caption written while the grid shows data goes to the field's
// display label.
class TPassthroughColumnTitle : public TEkColumnTitle {
public:
    using TEkColumnTitle::TEkColumnTitle;
    void SetCaption(const QString& Value) override;
};
