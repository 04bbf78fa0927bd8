#pragma once

#include "platform/data/ClientDataSet.h"

#include <memory>
#include <ostream>
#include <vector>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

// A small logs table as the loader builds them: KOKS_NR, BALKIS_NR, SUGA (text of 10),
// GARUMS (small integer), APJOMS (float), DATUMS (date-time).
inline std::unique_ptr<TClientDataSet> MakeLogs()
{
    auto ds = std::make_unique<TClientDataSet>();
    ds->FieldDefs().Add(QStringLiteral("KOKS_NR"), TFieldType::ftInteger);
    ds->FieldDefs().Add(QStringLiteral("BALKIS_NR"), TFieldType::ftInteger);
    ds->FieldDefs().Add(QStringLiteral("SUGA"), TFieldType::ftString, 10);
    ds->FieldDefs().Add(QStringLiteral("GARUMS"), TFieldType::ftSmallint);
    ds->FieldDefs().Add(QStringLiteral("APJOMS"), TFieldType::ftFloat);
    ds->FieldDefs().Add(QStringLiteral("DATUMS"), TFieldType::ftDateTime);
    ds->CreateDataSet();
    return ds;
}

inline void AddLog(TDataSet& ds, int koks, int balkis, const QString& suga = QString(), const Value& garums = Value())
{
    ds.Append();
    ds.FieldByName(QStringLiteral("KOKS_NR"))->SetAsInteger(koks);
    ds.FieldByName(QStringLiteral("BALKIS_NR"))->SetAsInteger(balkis);
    if (!suga.isNull())
        ds.FieldByName(QStringLiteral("SUGA"))->SetAsString(suga);
    if (!garums.IsNull())
        ds.FieldByName(QStringLiteral("GARUMS"))->SetValue(garums);
    ds.Post();
}

// The values of one field over the records the cursor walks, in order.
inline std::vector<QString> Column(TDataSet& ds, const QString& field)
{
    std::vector<QString> out;
    ds.First();
    while (!ds.Eof()) {
        out.push_back(ds.FieldByName(field)->AsString());
        ds.Next();
    }
    return out;
}

inline std::vector<QString> Texts(std::initializer_list<const char*> items)
{
    std::vector<QString> out;
    for (const char* s : items)
        out.push_back(QString::fromUtf8(s));
    return out;
}
