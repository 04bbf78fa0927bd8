#pragma once

// Width and visibility of one worksheet column; a negative width means the default.
struct SheetColumn
{
    double width = -1; // characters
    bool hidden = false;
};
