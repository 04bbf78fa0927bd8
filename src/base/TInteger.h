#pragma once

#include "platform/rtl/TObject.h"

#include <QtGlobal>

// A boxed integer for a string list's object slot.
class TInteger : public TObject
{
public:
    explicit TInteger(qintptr value) : FValue(value) {}

    qintptr Value() const { return FValue; }
    void SetValue(qintptr value) { FValue = value; }

private:
    qintptr FValue;
};
