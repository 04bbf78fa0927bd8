#include "base/TSimpleWeakObjReference.h"

#include <QObject>

TSimpleWeakObjReference::~TSimpleWeakObjReference()
{
    RemoveRef();
}

QObject* TSimpleWeakObjReference::Object() const
{
    return dynamic_cast<QObject*>(FRef);
}
