#pragma once

#include "platform/data/IXPUnknown.h"

class IXPSubject;

// Told by a subject when the subject lets it go.
class IXPObserver : public virtual IXPUnknown {
public:
    // Context is what the observer gave when attaching.
    virtual void SubjectReleased(IXPSubject* subject, void* context) = 0;
};
