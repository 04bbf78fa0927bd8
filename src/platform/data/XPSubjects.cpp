#include "platform/data/XPSubjects.h"

TXPSubjects::TXPSubjects(IXPUnknown* delegator)
    : TXPInterfacedObject(delegator)
{
}

TXPSubjects::~TXPSubjects()
{
    FDestroying = true;
    DetachAllSubjects();
}

int TXPSubjects::IndexOfVar(void* varAddress) const
{
    for (int i = 0; i < int(FSubjects.size()); ++i)
        if (FSubjects[i].Var == varAddress)
            return i;
    return -1;
}

bool TXPSubjects::AttachSubjectVar(void* varAddress, IXPUnknown* subject, std::function<void()> clearVar,
                                   TXPSubjectCallback callback)
{
    if (!subject)
        return false;
    auto* asSubject = XPQuery<IXPSubject>(subject);
    if (!asSubject || IndexOfVar(varAddress) >= 0)
        return false;
    FSubjects.push_back({ varAddress, asSubject, std::move(clearVar), std::move(callback) });
    return asSubject->AttachObserver(XPRef<IXPObserver>(static_cast<IXPObserver*>(this)), asSubject, varAddress);
}

bool TXPSubjects::DetachSubjectVar(void* varAddress)
{
    const int i = IndexOfVar(varAddress);
    if (i < 0)
        return false;
    // The subject's release call-back removes the entry.
    IXPSubject* subject = FSubjects[i].Subject;
    return subject->DetachObserver(XPRef<IXPObserver>(static_cast<IXPObserver*>(this)), varAddress);
}

void TXPSubjects::DetachAllSubjects()
{
    for (int i = int(FSubjects.size()) - 1; i >= 0; --i) {
        if (i >= int(FSubjects.size()))
            continue;
        Entry entry = FSubjects[i];
        entry.Subject->DetachObserver(XPRef<IXPObserver>(static_cast<IXPObserver*>(this)), entry.Var);
    }
    while (!FSubjects.empty()) {
        Entry entry = FSubjects.back();
        FSubjects.pop_back();
        if (entry.ClearVar)
            entry.ClearVar();
    }
}

void TXPSubjects::SubjectReleased(IXPSubject* subject, void* context)
{
    const int i = IndexOfVar(context);
    if (i < 0)
        return;
    Entry entry = FSubjects[i];
    FSubjects.erase(FSubjects.begin() + i);
    if (!entry.Callback || (FDestroying && entry.Callback.Owner != static_cast<const void*>(this))) {
        if (entry.ClearVar)
            entry.ClearVar();
    } else {
        entry.Callback.Fn(context);
    }
}
