#include "platform/data/XPSubject.h"

TXPSubject::TXPSubject(IXPUnknown* delegator)
    : TXPSubjects(delegator)
{
}

TXPSubject::~TXPSubject()
{
    FObservers.clear();
}

int TXPSubject::_Release()
{
    {
        std::lock_guard lock(FSync);
        if (!FDeletingObservers && RefCount() == int(FObservers.size()) + 1)
            DetachAllObservers();
    }
    return TXPSubjects::_Release();
}

bool TXPSubject::AttachObserver(const XPRef<IXPObserver>& observer, IXPSubject* subject, void* context)
{
    std::lock_guard lock(FSync);
    return InsertObserverAt(int(FObservers.size()), observer, subject, context);
}

bool TXPSubject::InsertObserverAt(int index, const XPRef<IXPObserver>& observer, IXPSubject* subject,
                                  void* context)
{
    std::lock_guard lock(FSync);
    if (!observer || index < 0 || index > int(FObservers.size()))
        return false;
    for (const auto& info : FObservers)
        if (SameObserver(info.Observer.get(), observer.get()) && info.Context == context)
            return false;
    FObservers.insert(FObservers.begin() + index, TXPObserverInfo { observer, subject, context });
    return true;
}

bool TXPSubject::DetachObserver(const XPRef<IXPObserver>& observer, void* context)
{
    TXPObserverInfo found { nullptr, nullptr, nullptr };
    bool ok = false;
    {
        std::lock_guard lock(FSync);
        for (int i = int(FObservers.size()) - 1; i >= 0; --i) {
            if (SameObserver(FObservers[i].Observer.get(), observer.get()) && FObservers[i].Context == context) {
                found = FObservers[i];
                FObservers.erase(FObservers.begin() + i);
                ok = true;
                break;
            }
        }
    }
    if (ok)
        found.Observer->SubjectReleased(found.Subject, found.Context);
    return ok;
}

void TXPSubject::DetachAllObservers()
{
    FDeletingObservers = true;
    try {
        for (int i = int(FObservers.size()) - 1; i >= 0; --i) {
            if (i >= int(FObservers.size()))
                continue;
            TXPObserverInfo info = FObservers[i];
            info.Observer->SubjectReleased(info.Subject, info.Context);
            // The observer may have detached itself meanwhile; remove this very entry only.
            for (int j = int(FObservers.size()) - 1; j >= 0; --j) {
                if (FObservers[j].Observer == info.Observer && FObservers[j].Context == info.Context) {
                    FObservers.erase(FObservers.begin() + j);
                    break;
                }
            }
        }
    } catch (...) {
        FDeletingObservers = false;
        throw;
    }
    FDeletingObservers = false;
}

int TXPSubject::ObserverCount()
{
    std::lock_guard lock(FSync);
    return int(FObservers.size());
}

XPRef<IXPObserver> TXPSubject::ObserverAt(int index)
{
    std::lock_guard lock(FSync);
    if (index < 0 || index >= int(FObservers.size()))
        return nullptr;
    return FObservers[index].Observer;
}

std::vector<XPRef<IXPObserver>> TXPSubject::ObserversSnapshot()
{
    std::lock_guard lock(FSync);
    std::vector<XPRef<IXPObserver>> result;
    result.reserve(FObservers.size());
    for (const auto& info : FObservers)
        result.push_back(info.Observer);
    return result;
}
