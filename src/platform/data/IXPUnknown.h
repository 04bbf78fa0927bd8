#pragma once

// Root of the observer family: a counted object.
class IXPUnknown {
public:
    virtual ~IXPUnknown() = default;
    virtual int _AddRef() = 0;
    virtual int _Release() = 0;
};

// Asks an object of the family for another of its interfaces; nullptr when it lacks it.
template <class I>
I* XPQuery(IXPUnknown* p)
{
    return dynamic_cast<I*>(p);
}
