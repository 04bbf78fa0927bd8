#include "import/KtrErrors.h"

#include "base/EValidationException.h"
#include "platform/rtl/EConvertError.h"
#include "platform/rtl/EIntOverflow.h"
#include "platform/rtl/ERangeError.h"
#include "platform/rtl/EVariantError.h"
#include "platform/rtl/Exception.h"

namespace KtrErrors {

void RaiseInvalidInteger(const QString& sText)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(sText));
}

void RaiseInvalidNumber(const QString& sText)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(sText));
}

void RaiseVariantConvert(const char* typeName)
{
    throw EVariantError(QStringLiteral("Could not convert variant of type (String) into type (%1)")
                            .arg(QLatin1String(typeName)));
}

void RaiseVariantOverflow(const char* typeName)
{
    throw EVariantError(QStringLiteral("Overflow while converting variant of type (String) into type (%1)")
                            .arg(QLatin1String(typeName)));
}

void RaiseInvalidDate(const QString& sText)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(sText));
}

void RaiseFieldRange(int64_t value, const char* fieldName, int64_t min, int64_t max)
{
    throw ERangeError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
              .arg(value)
              .arg(QLatin1String(fieldName))
              .arg(min)
              .arg(max));
}

void RaiseOverflow()
{
    throw EIntOverflow(QStringLiteral("Integer overflow"));
}

void RaiseNoContent()
{
    throw EValidationException(QStringLiteral("Nepareizs faila formāts!"));
}

void RaiseFileError(const QString& sFileName, const QString& sReason)
{
    throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(sFileName, sReason));
}

} // namespace KtrErrors
