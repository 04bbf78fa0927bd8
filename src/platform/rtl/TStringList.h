#pragma once

#include "platform/rtl/TStrings.h"

#include <vector>

// A list of texts held in memory. IndexOf and Sort ignore letter case unless CaseSensitive.
class TStringList : public TStrings
{
public:
    TStringList() = default;
    ~TStringList() override;

    QString Get(int index) const override;
    int GetCount() const override;
    TObject* GetObjectPtr(int index) const override;
    void Put(int index, const QString& s) override;
    void PutObject(int index, TObject* object) override;
    int GetCapacity() const override;
    void SetCapacity(int capacity) override;
    int Add(const QString& s) override;
    int AddObject(const QString& s, TObject* object) override;
    void Clear() override;
    void Delete(int index) override;
    int IndexOf(const QString& s) const override;
    void Insert(int index, const QString& s) override;
    void InsertObject(int index, const QString& s, TObject* object) override;
    // By text, stable for equal texts; objects move with their texts.
    virtual void Sort();

    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value) { FCaseSensitive = value; }

private:
    struct Item
    {
        QString text;
        TObject* object = nullptr;
    };
    std::vector<Item> FItems;
    bool FCaseSensitive = false;
};
