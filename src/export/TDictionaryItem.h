#pragma once

#include <QString>

// One code of a column's dictionary and its short alias.
class TDictionaryItem
{
public:
    qint32 Value = 0;
    QString ValueAlias;

    void Assign(const TDictionaryItem& source)
    {
        Value = source.Value;
        ValueAlias = source.ValueAlias;
    }
};
