#pragma once

#include "base/TInteger.h"
#include "platform/rtl/TStringList.h"
#include "platform/rtl/Value.h"

#include <memory>
#include <vector>

// A string list whose items each carry an integer code, boxed in the item's object slot.
// Own mode (default constructor): the items live in this list. Pass-through mode (over another
// list): every operation goes to that list, which this one neither owns nor frees; the boxes
// it adds there belong to this list, and are taken out of that list's slots when this list is
// destroyed so no slot is left pointing at a freed box.
class TEnumStrings : public TStringList
{
public:
    TEnumStrings();
    explicit TEnumStrings(TStrings* origStrings);
    ~TEnumStrings() override;

    bool IsPassThrough() const { return FOrig != nullptr; }
    TStrings* OrigStrings() const { return FOrig; }

    const QString& Name() const { return FName; }
    void SetName(const QString& name) { FName = name; }

    // Throws Exception for a source that is not a TEnumStrings.
    void Assign(const TStrings& source) override;
    QString Get(int index) const override;
    int GetCapacity() const override;
    int GetCount() const override;
    TObject* GetObjectPtr(int index) const override;
    void Put(int index, const QString& s) override;
    void PutObject(int index, TObject* object) override;
    void SetCapacity(int capacity) override;
    // Adds the text without a box: its code reads 0.
    int Add(const QString& s) override;
    void Clear() override;
    void Delete(int index) override;
    int IndexOf(const QString& s) const override;
    // The inserted item's code is its insertion position.
    void Insert(int index, const QString& s) override;
    void Sort() override;

    virtual int AddInt(const QString& s, qintptr code);

    // These take a code where the plain list takes an object; the object forms stay reachable
    // through TStrings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"
    int AddObject(const QString& s, qintptr code);
    void InsertObject(int index, const QString& s, qintptr code);
#pragma GCC diagnostic pop
    // The item's code, 0 for an item without box; EInvalidCast when the slot holds another
    // kind of object.
    qintptr GetObject(int index) const;
    // Writes the code into the item's box, giving the item a box when it has none.
    void SetObject(int index, qintptr code);
    int IndexOfObject(qintptr code) const;
    int AddUnique(const QString& s);
    // The texts as a key: Null, one integer, or an array of integers; EConvertError for a
    // text that is no integer.
    ::Value AsPrimaryKey() const;
    void BeginUpdate();
    void EndUpdate();

private:
    TInteger* NewBox(qintptr code);
    void FreeBoxOf(TObject* object, int deletedIndex);
    // The box in a slot of the list operated on; nullptr for an empty slot.
    TInteger* BoxAt(int index) const;

    TStrings* FOrig = nullptr;
    // Every box this list made; freed with the list (own mode: also on Delete and Clear).
    std::vector<std::unique_ptr<TInteger>> FBoxes;
    QString FName;
};
