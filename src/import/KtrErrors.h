#pragma once

// The failures the classic control file reader raises, all of the run-time error classes (a
// conversion, a field range, an overflow, an unreadable file). The loader turns every one into
// its one load failure message, quoting the text given here.

#include <QString>

#include <cstdint>

namespace KtrErrors {

// A text that does not convert to an integer: "'<text>' is not a valid integer value".
[[noreturn]] void RaiseInvalidInteger(const QString& sText);
// A text that does not convert to a number: "'<text>' is not a valid floating point value".
[[noreturn]] void RaiseInvalidNumber(const QString& sText);
// A date text that is too short or names no valid date and time of day.
[[noreturn]] void RaiseInvalidDate(const QString& sText);
// A value outside the range of the field it goes into.
[[noreturn]] void RaiseFieldRange(int64_t value, const char* fieldName, int64_t min, int64_t max);
// A counter that would pass its range.
[[noreturn]] void RaiseOverflow();
// The file cannot be opened or read.
[[noreturn]] void RaiseFileError(const QString& sFileName, const QString& sReason);

} // namespace KtrErrors
