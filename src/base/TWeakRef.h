#pragma once

#include "base/ObjReferences.h"

#include <QObject>
#include <memory>
#include <type_traits>

// A weak reference to an object of class T: Value() reads nullptr once the object is
// destroyed, and then drops the reference. T is a QObject or an IWeakReferenceable.
template <class T>
class TWeakRef
{
public:
    TWeakRef() = default;
    TWeakRef(T* object)
    {
        if (!object)
            return;
        if constexpr (std::is_base_of_v<QObject, T>)
            FRef = GetObjReference(static_cast<QObject*>(object));
        else
            FRef = GetObjReference(static_cast<IInterface*>(object));
    }

    T* Value()
    {
        if (!FRef)
            return nullptr;
        T* r;
        if constexpr (std::is_base_of_v<QObject, T>)
            r = dynamic_cast<T*>(FRef->Object());
        else
            r = dynamic_cast<T*>(FRef->Value());
        if (!r)
            FRef.reset();
        return r;
    }

    const std::shared_ptr<IObjReference>& Ref() const { return FRef; }

private:
    std::shared_ptr<IObjReference> FRef;
};
