#pragma once

#include "platform/rtl/DateTime.h"

#include <QString>
#include <ostream>

// Readable failure output for the Qt and run-time types the tests compare.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const DateTime& d, std::ostream* os)
{
    *os << d.Days();
}
