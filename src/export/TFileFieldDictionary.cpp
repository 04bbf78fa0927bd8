#include "export/TFileFieldDictionary.h"

#include "base/KpUt.h"
#include "platform/rtl/EListError.h"

void TFileFieldDictionary::ClearList()
{
    FList.clear();
}

void TFileFieldDictionary::Assign(const TFileFieldDictionary& ASource)
{
    if (&ASource == this)
        return;
    ClearList();
    for (const Entry& e : ASource.FList) {
        auto item = std::make_unique<TDictionaryItem>();
        item->Assign(*e.item);
        FList.push_back({e.name, std::move(item)});
    }
}

void TFileFieldDictionary::Add(const QString& AName, qint32 AValue)
{
    if (AName.isEmpty())
        return;
    auto taken = [this](const QString& alias) {
        for (const Entry& e : FList)
            if (e.item->ValueAlias == alias)
                return true;
        return false;
    };
    QString alias = KpUt::GetInitials(AName, 1).trimmed();
    // Longer initials, then a number once they run out, until the alias is free.
    for (int n = 1; taken(alias); ++n) {
        alias = KpUt::GetInitials(AName, n).trimmed();
        if (alias.size() < n)
            alias += QString::number(n - alias.size());
    }
    auto item = std::make_unique<TDictionaryItem>();
    item->Value = AValue;
    item->ValueAlias = alias;
    FList.push_back({AName, std::move(item)});
}

void TFileFieldDictionary::CheckIndex(int AIdx) const
{
    if (AIdx < 0 || AIdx >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(AIdx));
}

const QString& TFileFieldDictionary::Name(int AIdx) const
{
    CheckIndex(AIdx);
    return FList[size_t(AIdx)].name;
}

const TDictionaryItem& TFileFieldDictionary::Item(int AIdx) const
{
    CheckIndex(AIdx);
    return *FList[size_t(AIdx)].item;
}

QString TFileFieldDictionary::AsString(int AIdx) const
{
    CheckIndex(AIdx);
    const Entry& e = FList[size_t(AIdx)];
    return QStringLiteral("%1: %2 (%3)").arg(e.name).arg(e.item->Value).arg(e.item->ValueAlias);
}

qint32 TFileFieldDictionary::ValueByAlias(const QString& AValueAlias) const
{
    for (const Entry& e : FList)
        if (e.item->ValueAlias.compare(AValueAlias, Qt::CaseInsensitive) == 0)
            return e.item->Value;
    return -1;
}

bool TFileFieldDictionary::HasValueInList(qint32 AValue) const
{
    for (const Entry& e : FList)
        if (e.item->Value == AValue)
            return true;
    return false;
}
