#pragma once

#include "base/IObjReference.h"
#include "base/IWeakReferenceable.h"

// The reference an IWeakReferenceable object hands out; its target clears it when it dies.
class TSimpleWeakObjReference : public IObjReference
{
public:
    explicit TSimpleWeakObjReference(IWeakReferenceable* target) : FRef(target) {}
    ~TSimpleWeakObjReference() override;

    bool IsWeak() const override { return true; }
    IInterface* Value() const override { return FRef; }
    QObject* Object() const override;
    void RemoveRef() override { FRef = nullptr; }

private:
    IWeakReferenceable* FRef;
};
