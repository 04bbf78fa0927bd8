#pragma once

#include "platform/rtl/TObject.h"

#include <QString>
#include <QStringList>
#include <functional>

// An abstract list of texts, each with an object slot. Change notices (OnChanging before,
// OnChange after a change) are held back while an update is open (BeginUpdate/EndUpdate).
// The list never owns the objects in its slots.
class TStrings
{
public:
    TStrings() = default;
    virtual ~TStrings();
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    virtual QString Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObjectPtr(int index) const;
    virtual void Put(int index, const QString& s);
    virtual void PutObject(int index, TObject* object);
    virtual int GetCapacity() const;
    virtual void SetCapacity(int capacity);
    virtual int Add(const QString& s);
    virtual int AddObject(const QString& s, TObject* object);
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual int IndexOf(const QString& s) const;
    virtual void Insert(int index, const QString& s) = 0;
    virtual void InsertObject(int index, const QString& s, TObject* object);
    // Replaces the items by the source's texts and object pointers.
    virtual void Assign(const TStrings& source);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    int Count() const { return GetCount(); }
    QString Strings(int index) const { return Get(index); }
    int IndexOfObject(const TObject* object) const;
    QStringList ToStringList() const;
    void AddStrings(const QStringList& texts);

    std::function<void(TStrings*)> OnChanging;
    std::function<void(TStrings*)> OnChange;

protected:
    // Notices to the handlers; nothing while an update is open.
    virtual void Changing();
    virtual void Changed();
    // Throws EListError for an index outside 0..count-1 (0..count when inserting).
    void CheckIndex(int index, bool inserting = false) const;

private:
    int FUpdateCount = 0;
};
