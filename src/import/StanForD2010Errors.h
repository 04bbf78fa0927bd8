#pragma once

// The failures the StanForD 2010 readers raise, in one place so that every reader raises the
// same exception classes with the same texts.

#include <QString>

namespace StanForD2010Errors {

// Invalid input data: a missing mandatory element, a value of the wrong form.
[[noreturn]] void RaiseValidation(const QString& sMsg);
// An error meant for the user with a plain message (no root, no "Machine", unknown species).
[[noreturn]] void RaiseUserError(const QString& sMsg);
// A text that does not convert to a number or a date.
[[noreturn]] void RaiseConvertError(const QString& sMsg);
// A document that is not well-formed XML, or in an encoding that cannot be read.
[[noreturn]] void RaiseXmlError(const QString& sMsg);
// A value outside the range of the field it goes into.
[[noreturn]] void RaiseRangeError();

// "Nepareizs faila formāts!" CR LF "Nav atrasts vai tukšs lauks "<name>"!"
QString MissingFieldText(const QString& sName);

} // namespace StanForD2010Errors
