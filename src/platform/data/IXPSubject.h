#pragma once

#include "platform/data/IXPObserver.h"
#include "platform/data/XPRef.h"

// The subject side: a list of observers.
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
