#include "import/StanForD2010Errors.h"

#include "base/EKelpUserError.h"
#include "base/EValidationException.h"
#include "platform/rtl/EConvertError.h"
#include "platform/rtl/ERangeError.h"
#include "platform/rtl/Exception.h"

namespace StanForD2010Errors {

void RaiseValidation(const QString& sMsg)
{
    throw EValidationException(sMsg);
}

void RaiseUserError(const QString& sMsg)
{
    throw EKelpUserError(sMsg);
}

void RaiseConvertError(const QString& sMsg)
{
    throw EConvertError(sMsg);
}

void RaiseXmlError(const QString& sMsg)
{
    throw Exception(sMsg);
}

void RaiseRangeError()
{
    throw ERangeError(QStringLiteral("Range check error"));
}

QString MissingFieldText(const QString& sName)
{
    return QStringLiteral("Nepareizs faila formāts!\r\nNav atrasts vai tukšs lauks \"<%1>\"!").arg(sName);
}

} // namespace StanForD2010Errors
