#include "base/ObjReferences.h"

#include "base/TObjReference.h"
#include "base/TSimpleWeakObjReference.h"
#include "platform/rtl/Exception.h"

#include <QObject>

std::shared_ptr<IObjReference> MakeSimpleWeakReference(IWeakReferenceable* ref)
{
    if (!ref)
        return nullptr;
    return std::make_shared<TSimpleWeakObjReference>(ref);
}

std::shared_ptr<IObjReference> MakeObjReference(QObject* ref, bool weak)
{
    if (!ref)
        return nullptr;
    return std::make_shared<TObjReference>(ref, weak);
}

std::shared_ptr<IObjReference> MakeObjReference(const std::shared_ptr<IInterface>& ref, bool weak)
{
    if (!ref)
        return nullptr;
    return std::make_shared<TObjReference>(ref, weak);
}

std::shared_ptr<IObjReference> GetObjReference(QObject* ref)
{
    if (!ref)
        return nullptr;
    if (auto* w = dynamic_cast<IWeakReferenceable*>(ref))
        return w->WeakRef();
    return MakeObjReference(ref, true);
}

std::shared_ptr<IObjReference> GetObjReference(const std::shared_ptr<IInterface>& ref)
{
    if (!ref)
        return nullptr;
    if (auto* w = dynamic_cast<IWeakReferenceable*>(ref.get()))
        return w->WeakRef();
    return MakeObjReference(ref, true);
}

std::shared_ptr<IObjReference> GetObjReference(IInterface* ref)
{
    if (!ref)
        return nullptr;
    if (auto* w = dynamic_cast<IWeakReferenceable*>(ref))
        return w->WeakRef();
    if (auto* o = dynamic_cast<QObject*>(ref))
        return MakeObjReference(o, true);
    throw Exception(QStringLiteral("The object cannot be referenced weakly"));
}
