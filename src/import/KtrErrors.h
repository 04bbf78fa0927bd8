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
// A text that the variant rules cannot take as the type named ("Integer", "Double"):
// "Could not convert variant of type (String) into type (<type>)".
[[noreturn]] void RaiseVariantConvert(const char* typeName);
// A number beyond the type the variant rules convert it to.
[[noreturn]] void RaiseVariantOverflow(const char* typeName);
// A date text whose parts name no valid date and time of day.
[[noreturn]] void RaiseInvalidDate(const QString& sText);
// A value outside the range of the field it goes into.
[[noreturn]] void RaiseFieldRange(int64_t value, const char* fieldName, int64_t min, int64_t max);
// A counter that would pass its range.
[[noreturn]] void RaiseOverflow();
// A file with nothing but blanks and line ends in it (or nothing at all): "Nepareizs faila formāts!".
[[noreturn]] void RaiseNoContent();
// The file cannot be opened or read.
[[noreturn]] void RaiseFileError(const QString& sFileName, const QString& sReason);

} // namespace KtrErrors
