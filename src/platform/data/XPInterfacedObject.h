#pragma once

#include "platform/data/XPInterfaces.h"

#include <atomic>

// A counted object that may lend its identity to an outer object (the delegator): then the
// outer object answers interface queries and is counted along, and this object never
// destroys itself.
class TXPInterfacedObject : public virtual IXPUnknown {
public:
    explicit TXPInterfacedObject(IXPUnknown* delegator = nullptr);
    ~TXPInterfacedObject() override;

    int _AddRef() override;
    int _Release() override;

    IXPUnknown* Delegator() const { return FDelegator; }
    bool Introspective() const { return FIntrospective; }
    void SetIntrospective(bool value);
    int RefCount() const { return FRefCount.load(); }

    // The object that answers interface queries.
    IXPUnknown* QueryTarget();
    template <class I>
    I* QueryInterface()
    {
        return XPQuery<I>(QueryTarget());
    }

private:
    IXPUnknown* FDelegator;
    bool FIntrospective = false;
    std::atomic<int> FRefCount { 0 };
};
