#include "app/ProgramIdentity.h"

#include <QCoreApplication>
#include <QString>

void ProgramIdentity::Apply()
{
    QCoreApplication::setApplicationName(QStringLiteral("Stumpwise"));
    QCoreApplication::setOrganizationName(QStringLiteral("Qurta"));
}
