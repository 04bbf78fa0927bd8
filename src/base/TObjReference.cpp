#include "base/TObjReference.h"

#include "base/IStrongRefTarget.h"
#include "base/IWeakReferenceable.h"

TObjReference::TObjReference(QObject* target, bool weak)
    : FWeak(weak), FIsObject(true), FObject(target)
{
    if (!FWeak)
        if (auto* s = dynamic_cast<IStrongRefTarget*>(Target()))
            s->StrongRefMade();
}

TObjReference::TObjReference(const std::shared_ptr<IInterface>& target, bool weak)
    : FWeak(weak), FIsObject(false)
{
    if (FWeak) {
        FWeakTarget = target;
    } else {
        FStrongTarget = target;
        if (auto* s = dynamic_cast<IStrongRefTarget*>(target.get()))
            s->StrongRefMade();
    }
}

TObjReference::~TObjReference()
{
    if (FWeak) {
        Clear();
        return;
    }
    IInterface* target = Target();
    if (auto* w = dynamic_cast<IWeakReferenceable*>(target))
        w->RemoveStrongRef();
    // Keep the target alive for its last notice; it may free itself there.
    std::shared_ptr<IInterface> keep = FStrongTarget;
    auto* s = dynamic_cast<IStrongRefTarget*>(target);
    Clear();
    if (s)
        s->StrongRefReleasing();
}

IInterface* TObjReference::Target() const
{
    if (FIsObject)
        return dynamic_cast<IInterface*>(FObject.data());
    if (FWeak)
        return FWeakTarget.lock().get();
    return FStrongTarget.get();
}

IInterface* TObjReference::Value() const
{
    return Target();
}

QObject* TObjReference::Object() const
{
    if (FIsObject)
        return FObject.data();
    return dynamic_cast<QObject*>(Target());
}

void TObjReference::RemoveRef()
{
    if (!FWeak) {
        IInterface* target = Target();
        if (auto* w = dynamic_cast<IWeakReferenceable*>(target))
            w->RemoveStrongRef();
        if (auto* s = dynamic_cast<IStrongRefTarget*>(target))
            s->StrongRefRemoved();
    }
    Clear();
}

void TObjReference::Clear()
{
    FObject.clear();
    FWeakTarget.reset();
    FStrongTarget.reset();
}
