#include "platform/data/IndexDefs.h"

#include "platform/data/EDatabaseError.h"

TIndexDef& TIndexDefs::Add(const QString& name, const QString& fields, TIndexOptions options,
                           const QString& descFields, const QString& caseInsFields)
{
    if (IndexOf(name) >= 0)
        throw EDatabaseError(QStringLiteral("Duplicate index name '%1'").arg(name));
    FItems.emplace_back(name, fields, options, descFields, caseInsFields);
    return FItems.back();
}

int TIndexDefs::IndexOf(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)].Name().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const TIndexDef& TIndexDefs::Find(const QString& name) const
{
    const int i = IndexOf(name);
    if (i < 0)
        throw EDatabaseError(QStringLiteral("Index '%1' not found").arg(name));
    return FItems[size_t(i)];
}
