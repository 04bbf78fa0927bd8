#pragma once

#include <QString>

struct SheetFont
{
    QString name = QStringLiteral("Arial");
    double size = 10;
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;

    friend bool operator==(const SheetFont&, const SheetFont&) = default;
};
