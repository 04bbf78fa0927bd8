#pragma once

#include "export/TDictionaryItem.h"

#include <QString>
#include <memory>
#include <vector>

// Names of the codes a column's values take, each with its code and an alias made of the
// name's initials.
class TFileFieldDictionary
{
public:
    TFileFieldDictionary() = default;
    TFileFieldDictionary(const TFileFieldDictionary&) = delete;
    TFileFieldDictionary& operator=(const TFileFieldDictionary&) = delete;

    void ClearList();
    int Count() const { return int(FList.size()); }
    void Assign(const TFileFieldDictionary& ASource);
    // An empty name adds nothing.
    void Add(const QString& AName, qint32 AValue);
    // "name: code (alias)"; throws EListError outside the list.
    QString AsString(int AIdx) const;
    // The code whose alias matches without regard to case; -1 when none does.
    qint32 ValueByAlias(const QString& AValueAlias) const;
    bool HasValueInList(qint32 AValue) const;

    const QString& Name(int AIdx) const;
    const TDictionaryItem& Item(int AIdx) const;

private:
    void CheckIndex(int AIdx) const;

    struct Entry
    {
        QString name;
        std::unique_ptr<TDictionaryItem> item;
    };
    std::vector<Entry> FList;
};
