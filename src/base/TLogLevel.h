#pragma once

#include <QString>

// Log levels in their order; a message of level L is wanted when the sink's level is at least L.
enum class TLogLevel : quint8 { Internal, Off, Fatal, Error, Warn, Info, Debug };

inline constexpr int LogLevelCount = 7;

// "INTERNAL", "OFF", "FATAL", ...
QString LogLevelName(TLogLevel level);
