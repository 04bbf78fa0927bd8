#include "import/KtrErrors.h"

#include <stdexcept>

namespace KtrErrors {

namespace {

[[noreturn]] void Raise(const QString& sMsg)
{
    throw std::runtime_error(sMsg.toStdString());
}

} // namespace

void RaiseInvalidInteger(const QString& sText)
{
    Raise(QStringLiteral("'%1' is not a valid integer value").arg(sText));
}

void RaiseInvalidNumber(const QString& sText)
{
    Raise(QStringLiteral("'%1' is not a valid floating point value").arg(sText));
}

void RaiseInvalidDate(const QString& sText)
{
    Raise(QStringLiteral("'%1' is not a valid date and time").arg(sText));
}

void RaiseFieldRange(int64_t value, const char* fieldName, int64_t min, int64_t max)
{
    Raise(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
              .arg(value)
              .arg(QLatin1String(fieldName))
              .arg(min)
              .arg(max));
}

void RaiseOverflow()
{
    Raise(QStringLiteral("Integer overflow"));
}

void RaiseFileError(const QString& sFileName, const QString& sReason)
{
    Raise(QStringLiteral("Cannot open file \"%1\". %2").arg(sFileName, sReason));
}

} // namespace KtrErrors
