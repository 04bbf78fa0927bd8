#pragma once

#include <cstddef>
#include <utility>

// Counted reference to an object of the observer family (see XPInterfaces.h): copying counts
// up, dropping counts down, the object destroys itself when its count reaches zero.
template <class T>
class XPRef {
public:
    XPRef() = default;
    XPRef(std::nullptr_t) { }
    XPRef(T* p)
        : m_p(p)
    {
        if (m_p)
            m_p->_AddRef();
    }
    XPRef(const XPRef& o)
        : XPRef(o.m_p)
    {
    }
    template <class U>
    XPRef(const XPRef<U>& o)
        : XPRef(static_cast<T*>(o.get()))
    {
    }
    XPRef(XPRef&& o) noexcept
        : m_p(std::exchange(o.m_p, nullptr))
    {
    }
    ~XPRef() { reset(); }

    XPRef& operator=(const XPRef& o)
    {
        XPRef tmp(o);
        swap(tmp);
        return *this;
    }
    XPRef& operator=(XPRef&& o) noexcept
    {
        XPRef tmp(std::move(o));
        swap(tmp);
        return *this;
    }
    XPRef& operator=(std::nullptr_t)
    {
        reset();
        return *this;
    }

    void reset()
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->_Release();
    }
    void swap(XPRef& o) noexcept { std::swap(m_p, o.m_p); }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

template <class T, class U>
bool operator==(const XPRef<T>& a, const XPRef<U>& b)
{
    return a.get() == b.get();
}
