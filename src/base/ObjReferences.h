#pragma once

// Making references: a target's own weak reference when it hands one out, else one that
// watches the target.

#include "base/IObjReference.h"
#include "base/IWeakReferenceable.h"

#include <memory>

class QObject;

std::shared_ptr<IObjReference> MakeSimpleWeakReference(IWeakReferenceable* ref);
std::shared_ptr<IObjReference> MakeObjReference(QObject* ref, bool weak);
std::shared_ptr<IObjReference> MakeObjReference(const std::shared_ptr<IInterface>& ref, bool weak);
// The target's own WeakRef, or a weak TObjReference on it.
std::shared_ptr<IObjReference> GetObjReference(QObject* ref);
std::shared_ptr<IObjReference> GetObjReference(const std::shared_ptr<IInterface>& ref);
// For a plain interface pointer: it must hand out its own reference or be a QObject, since
// nothing else tells when it dies; otherwise Exception.
std::shared_ptr<IObjReference> GetObjReference(IInterface* ref);
