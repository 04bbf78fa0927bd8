#pragma once

#include "platform/data/IXPObserver.h"
#include "platform/data/XPRef.h"
#include "platform/data/XPSubjectCallback.h"

#include <functional>

// The observer side: holds subjects in variables of its own.
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
