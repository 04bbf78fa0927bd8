#pragma once

#include "platform/data/XPSubjects.h"

#include <mutex>
#include <vector>

// The subject side: a list of counted observers, each told when it is let go. When only the
// observers' references and the one being dropped are left, the subject lets all observers
// go first, which clears their variables and so breaks the reference cycle.
class TXPSubject : public TXPSubjects, public virtual IXPSubject {
public:
    explicit TXPSubject(IXPUnknown* delegator = nullptr);
    ~TXPSubject() override;

    int _Release() override;

    bool AttachObserver(const XPRef<IXPObserver>& observer, IXPSubject* subject, void* context) override;
    bool InsertObserverAt(int index, const XPRef<IXPObserver>& observer, IXPSubject* subject,
                          void* context) override;
    bool DetachObserver(const XPRef<IXPObserver>& observer, void* context) override;
    void DetachAllObservers() override;
    int ObserverCount() override;
    XPRef<IXPObserver> ObserverAt(int index) override;

    void SubjectReleased(IXPSubject* subject, void* context) override
    {
        TXPSubjects::SubjectReleased(subject, context);
    }

protected:
    virtual bool SameObserver(IXPObserver* a, IXPObserver* b) const { return a == b; }
    // A snapshot of the observers, so notifications may attach or detach while they run.
    std::vector<XPRef<IXPObserver>> ObserversSnapshot();

private:
    struct TXPObserverInfo {
        XPRef<IXPObserver> Observer;
        IXPSubject* Subject;
        void* Context;
    };

    bool FDeletingObservers = false;
    std::recursive_mutex FSync;
    std::vector<TXPObserverInfo> FObservers;
};
