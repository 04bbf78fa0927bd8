#pragma once

#include "platform/rtl/TObject.h"

#include <QtGlobal>

// A boxed integer for a string list's object slot.
class TInteger : public TObject
{
public:
    explicit TInteger(qintptr value) : m_value(value) {}

    qintptr Value() const { return m_value; }
    void SetValue(qintptr value) { m_value = value; }

private:
    qintptr m_value;
};
