#pragma once

#include "grids/SFMWarningTypes.h"

#include <QColor>
#include <QString>

// One warning level: when the value compares with Threshold by Operator, the row takes
// these colours.
class TSFMWarningDef {
public:
    QColor ForeColor{0, 0, 0};
    QColor BackColor{0xFF, 0xFF, 0xFF};
    TSFMWarningOperator Operator = TSFMWarningOperator::woEqual;
    QString Threshold;

    void Assign(const TSFMWarningDef& Source) { *this = Source; }
};
