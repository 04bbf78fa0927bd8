#pragma once

#include "platform/sheet/SheetFont.h"

#include <QString>
#include <cstdint>

enum class SheetHAlign { General, Left, Center, Right, CenterAcross };

// Edges of a cell that carry a thin continuous border.
enum SheetBorder : unsigned {
    sbNone = 0,
    sbLeft = 1,
    sbRight = 2,
    sbTop = 4,
    sbBottom = 8,
    sbAll = 15,
};

// The formatting of one cell.
struct SheetStyle
{
    static constexpr std::int64_t NoFill = -1;

    SheetFont font;
    std::int64_t fill = NoFill; // RGB 0xRRGGBB, or NoFill
    SheetHAlign hAlign = SheetHAlign::General;
    unsigned borders = sbNone;
    QString numberFormat = QStringLiteral("General");
    int orientation = 0; // degrees, -90..90

    friend bool operator==(const SheetStyle&, const SheetStyle&) = default;
};
