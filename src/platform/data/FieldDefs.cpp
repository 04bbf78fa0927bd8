#include "platform/data/FieldDefs.h"

#include "platform/data/EDatabaseError.h"

TFieldDef& TFieldDefs::Add(const QString& name, TFieldType dataType, int size, bool required)
{
    if (name.isEmpty())
        throw EDatabaseError(QStringLiteral("Field name missing"));
    if (IndexOf(name) >= 0)
        throw EDatabaseError(QStringLiteral("Duplicate field name '%1'").arg(name));
    FItems.emplace_back(name, dataType, size, required);
    return FItems.back();
}

int TFieldDefs::IndexOf(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)].Name().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const TFieldDef& TFieldDefs::Find(const QString& name) const
{
    const int i = IndexOf(name);
    if (i < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return FItems[size_t(i)];
}
