#pragma once

#include <functional>

// Called with the address of the observer's subject variable instead of clearing it; Owner is
// the object the call-back belongs to.
struct TXPSubjectCallback {
    const void* Owner = nullptr;
    std::function<void(void* subjectVar)> Fn;
    explicit operator bool() const { return bool(Fn); }
};
