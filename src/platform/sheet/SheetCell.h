#pragma once

#include "platform/sheet/SheetStyle.h"
#include "platform/sheet/SheetValue.h"

#include <QString>

struct SheetCell
{
    SheetValue value;
    SheetStyle style;
    QString comment; // empty: none
};
