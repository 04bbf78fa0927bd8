#include "platform/data/XPInterfacedObject.h"

namespace {
// A count set while an object is being destroyed, so references taken and dropped by its
// destructor never start a second destruction.
constexpr int kDestroyingCount = 1 << 28;
}

TXPInterfacedObject::TXPInterfacedObject(IXPUnknown* delegator)
    : FDelegator(delegator)
{
}

TXPInterfacedObject::~TXPInterfacedObject() = default;

void TXPInterfacedObject::SetIntrospective(bool value)
{
    if (value || FDelegator)
        FIntrospective = value;
}

IXPUnknown* TXPInterfacedObject::QueryTarget()
{
    if (!FDelegator || FIntrospective)
        return this;
    return FDelegator;
}

int TXPInterfacedObject::_AddRef()
{
    if (FDelegator)
        FDelegator->_AddRef();
    return ++FRefCount;
}

int TXPInterfacedObject::_Release()
{
    if (FDelegator) {
        const int result = --FRefCount;
        FDelegator->_Release();
        return result;
    }
    const int result = --FRefCount;
    if (result == 0) {
        FRefCount = kDestroyingCount;
        delete this;
    }
    return result;
}
