#pragma once

#include "platform/rtl/Exception.h"

// Stops an operation that has already told the user why: whoever catches it shows nothing.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};
