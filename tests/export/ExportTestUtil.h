#pragma once

#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSet.h"
#include "platform/data/Field.h"
#include "platform/rtl/DateTime.h"

#include <QString>
#include <memory>

// A trees table: KOKS_NR (integer), SUGA (text of 20), APJOMS (float), DATUMS (date).
inline std::unique_ptr<TClientDataSet> MakeTrees(int rows)
{
    auto ds = std::make_unique<TClientDataSet>();
    ds->FieldDefs().Add(QStringLiteral("KOKS_NR"), TFieldType::ftInteger);
    ds->FieldDefs().Add(QStringLiteral("SUGA"), TFieldType::ftString, 20);
    ds->FieldDefs().Add(QStringLiteral("APJOMS"), TFieldType::ftFloat);
    ds->FieldDefs().Add(QStringLiteral("DATUMS"), TFieldType::ftDate);
    ds->CreateDataSet();
    ds->FieldByName(QStringLiteral("KOKS_NR"))->SetDisplayLabel(QStringLiteral("Koks"));
    ds->FieldByName(QStringLiteral("SUGA"))->SetDisplayLabel(QStringLiteral("Suga"));
    ds->FieldByName(QStringLiteral("APJOMS"))->SetDisplayLabel(QStringLiteral("Apjoms, dm³"));
    ds->FieldByName(QStringLiteral("DATUMS"))->SetDisplayLabel(QStringLiteral("Datums"));
    for (int i = 1; i <= rows; ++i) {
        ds->Append();
        ds->FieldByName(QStringLiteral("KOKS_NR"))->SetAsInteger(i);
        ds->FieldByName(QStringLiteral("SUGA"))->SetAsString(i % 2 ? QStringLiteral("Priede") : QStringLiteral("Egle"));
        ds->FieldByName(QStringLiteral("APJOMS"))->SetAsFloat(i + 0.5);
        ds->FieldByName(QStringLiteral("DATUMS"))->SetAsDateTime(DateTime::EncodeDate(2023, 5, 1 + i % 28));
        ds->Post();
    }
    ds->First();
    return ds;
}

#include "platform/rtl/FormatSettings.h"

#include <QTemporaryDir>

// Fixed format settings (day.month.year, point decimals) for the life of the object.
struct FormatScope
{
    FormatSettings saved = FormatSettings::Default();
    FormatScope() { FormatSettings::SetDefault(FormatSettings()); }
    explicit FormatScope(const FormatSettings& fs) { FormatSettings::SetDefault(fs); }
    ~FormatScope() { FormatSettings::SetDefault(saved); }
};

// Points the temporary folder at a fresh private folder for the life of the object.
struct TempFolderScope
{
    QTemporaryDir dir;
    QByteArray saved = qgetenv("TMPDIR");
    TempFolderScope() { qputenv("TMPDIR", dir.path().toLocal8Bit()); }
    ~TempFolderScope()
    {
        if (saved.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", saved);
    }
};
