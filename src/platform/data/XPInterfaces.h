#pragma once

#include "platform/data/XPRef.h"

#include <cstdint>
#include <functional>

class TField;
class TDataSet;
class IXPSubject;

// Root of the observer family: a counted object.
class IXPUnknown {
public:
    virtual ~IXPUnknown() = default;
    virtual int _AddRef() = 0;
    virtual int _Release() = 0;
};

// Asks an object of the family for another of its interfaces; nullptr when it lacks it.
template <class I>
I* XPQuery(IXPUnknown* p)
{
    return dynamic_cast<I*>(p);
}

class IXPObserver : public virtual IXPUnknown {
public:
    // The subject lets this observer go; Context is what the observer gave when attaching.
    virtual void SubjectReleased(IXPSubject* subject, void* context) = 0;
};

// Called with the address of the observer's subject variable instead of clearing it.
struct TXPSubjectCallback {
    const void* Owner = nullptr;
    std::function<void(void* subjectVar)> Fn;
    explicit operator bool() const { return bool(Fn); }
};

class IXPSubjects : public virtual IXPObserver {
public:
    // SubjectVar is the observer's variable that holds the subject; its address is the key.
    template <class I>
    bool AttachSubject(XPRef<I>& subjectVar, TXPSubjectCallback callback = {})
    {
        XPRef<I>* var = &subjectVar;
        return AttachSubjectVar(var, subjectVar.get(), [var] { *var = nullptr; }, std::move(callback));
    }
    template <class I>
    bool DetachSubject(XPRef<I>& subjectVar)
    {
        return DetachSubjectVar(&subjectVar);
    }
    virtual bool AttachSubjectVar(void* varAddress, IXPUnknown* subject, std::function<void()> clearVar,
                                  TXPSubjectCallback callback) = 0;
    virtual bool DetachSubjectVar(void* varAddress) = 0;
    virtual void DetachAllSubjects() = 0;
};

class IXPSubject : public virtual IXPObserver {
public:
    virtual bool AttachObserver(const XPRef<IXPObserver>& observer, IXPSubject* subject, void* context) = 0;
    virtual bool InsertObserverAt(int index, const XPRef<IXPObserver>& observer, IXPSubject* subject,
                                  void* context) = 0;
    virtual bool DetachObserver(const XPRef<IXPObserver>& observer, void* context) = 0;
    virtual void DetachAllObservers() = 0;
    virtual int ObserverCount() = 0;
    virtual XPRef<IXPObserver> ObserverAt(int index) = 0;
};

class IKpDbField : public virtual IXPSubject {
public:
    virtual TField* GetField() = 0;
    virtual void NotifyObservers(std::uint8_t phase) = 0;
    virtual void FieldGone() = 0;
};

class IKpDbDataSet : public virtual IXPSubject {
public:
    virtual TDataSet* GetDataSet() = 0;
    virtual void NotifyObservers(std::uint8_t phase) = 0;
    virtual void DataSetGone() = 0;
};

class IKpDbObserver : public virtual IXPObserver {
public:
    virtual void FieldChange(IKpDbField* subject, bool after) = 0;
    virtual void DataSetEvent(IKpDbDataSet* subject) = 0;
    virtual void DataSetEventAfter(IKpDbDataSet* subject) = 0;
};
