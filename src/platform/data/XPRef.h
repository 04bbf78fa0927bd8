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
        : FP(p)
    {
        if (FP)
            FP->_AddRef();
    }
    XPRef(const XPRef& o)
        : XPRef(o.FP)
    {
    }
    template <class U>
    XPRef(const XPRef<U>& o)
        : XPRef(static_cast<T*>(o.get()))
    {
    }
    XPRef(XPRef&& o) noexcept
        : FP(std::exchange(o.FP, nullptr))
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
        if (T* p = std::exchange(FP, nullptr))
            p->_Release();
    }
    void swap(XPRef& o) noexcept { std::swap(FP, o.FP); }

    T* get() const { return FP; }
    T* operator->() const { return FP; }
    T& operator*() const { return *FP; }
    explicit operator bool() const { return FP != nullptr; }

private:
    T* FP = nullptr;
};

template <class T, class U>
bool operator==(const XPRef<T>& a, const XPRef<U>& b)
{
    return a.get() == b.get();
}
