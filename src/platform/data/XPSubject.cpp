#include "platform/data/XPSubject.h"

TXPSubject::TXPSubject(IXPUnknown* delegator)
    : TXPSubjects(delegator)
{
}

TXPSubject::~TXPSubject()
{
    m_observers.clear();
}

int TXPSubject::_Release()
{
    {
        std::lock_guard lock(m_sync);
        if (!m_deletingObservers && RefCount() == int(m_observers.size()) + 1)
            DetachAllObservers();
    }
    return TXPSubjects::_Release();
}

bool TXPSubject::AttachObserver(const XPRef<IXPObserver>& observer, IXPSubject* subject, void* context)
{
    std::lock_guard lock(m_sync);
    return InsertObserverAt(int(m_observers.size()), observer, subject, context);
}

bool TXPSubject::InsertObserverAt(int index, const XPRef<IXPObserver>& observer, IXPSubject* subject,
                                  void* context)
{
    std::lock_guard lock(m_sync);
    if (!observer || index < 0 || index > int(m_observers.size()))
        return false;
    for (const auto& info : m_observers)
        if (SameObserver(info.Observer.get(), observer.get()) && info.Context == context)
            return false;
    m_observers.insert(m_observers.begin() + index, TXPObserverInfo { observer, subject, context });
    return true;
}

bool TXPSubject::DetachObserver(const XPRef<IXPObserver>& observer, void* context)
{
    TXPObserverInfo found { nullptr, nullptr, nullptr };
    bool ok = false;
    {
        std::lock_guard lock(m_sync);
        for (int i = int(m_observers.size()) - 1; i >= 0; --i) {
            if (SameObserver(m_observers[i].Observer.get(), observer.get()) && m_observers[i].Context == context) {
                found = m_observers[i];
                m_observers.erase(m_observers.begin() + i);
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
    m_deletingObservers = true;
    try {
        for (int i = int(m_observers.size()) - 1; i >= 0; --i) {
            if (i >= int(m_observers.size()))
                continue;
            TXPObserverInfo info = m_observers[i];
            info.Observer->SubjectReleased(info.Subject, info.Context);
            // The observer may have detached itself meanwhile; remove this very entry only.
            for (int j = int(m_observers.size()) - 1; j >= 0; --j) {
                if (m_observers[j].Observer == info.Observer && m_observers[j].Context == info.Context) {
                    m_observers.erase(m_observers.begin() + j);
                    break;
                }
            }
        }
    } catch (...) {
        m_deletingObservers = false;
        throw;
    }
    m_deletingObservers = false;
}

int TXPSubject::ObserverCount()
{
    std::lock_guard lock(m_sync);
    return int(m_observers.size());
}

XPRef<IXPObserver> TXPSubject::ObserverAt(int index)
{
    std::lock_guard lock(m_sync);
    if (index < 0 || index >= int(m_observers.size()))
        return nullptr;
    return m_observers[index].Observer;
}

std::vector<XPRef<IXPObserver>> TXPSubject::ObserversSnapshot()
{
    std::lock_guard lock(m_sync);
    std::vector<XPRef<IXPObserver>> result;
    result.reserve(m_observers.size());
    for (const auto& info : m_observers)
        result.push_back(info.Observer);
    return result;
}
