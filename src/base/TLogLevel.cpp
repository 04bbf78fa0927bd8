#include "base/TLogLevel.h"

#include <array>

QString LogLevelName(TLogLevel level)
{
    static constexpr std::array<const char*, LogLevelCount> names{"INTERNAL", "OFF",  "FATAL", "ERROR",
                                                                  "WARN",     "INFO", "DEBUG"};
    return QString::fromLatin1(names.at(static_cast<std::size_t>(level)));
}
