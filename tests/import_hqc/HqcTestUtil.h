#pragma once

// Shared helpers of the .hqc reader tests.

#include <QString>

#include <ostream>

// Lets GoogleTest show texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

inline QString HqcFixture(const char* name)
{
    return QStringLiteral(STUMPWISE_FIXTURES "/hqc/") + QLatin1String(name);
}
