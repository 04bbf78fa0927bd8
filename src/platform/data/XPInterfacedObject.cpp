#include "platform/data/XPInterfacedObject.h"

namespace {
// A count set while an object is being destroyed, so references taken and dropped by its
// destructor never start a second destruction.
constexpr int kDestroyingCount = 1 << 28;
}

TXPInterfacedObject::TXPInterfacedObject(IXPUnknown* delegator)
    : m_delegator(delegator)
{
}

TXPInterfacedObject::~TXPInterfacedObject() = default;

void TXPInterfacedObject::SetIntrospective(bool value)
{
    if (value || m_delegator)
        m_introspective = value;
}

IXPUnknown* TXPInterfacedObject::QueryTarget()
{
    if (!m_delegator || m_introspective)
        return this;
    return m_delegator;
}

int TXPInterfacedObject::_AddRef()
{
    if (m_delegator)
        m_delegator->_AddRef();
    return ++m_refCount;
}

int TXPInterfacedObject::_Release()
{
    if (m_delegator) {
        const int result = --m_refCount;
        m_delegator->_Release();
        return result;
    }
    const int result = --m_refCount;
    if (result == 0) {
        m_refCount = kDestroyingCount;
        delete this;
    }
    return result;
}
