#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs a short python3 script with the given arguments and returns what it prints; sets
// `available` false when python3 or one of the modules is missing, so a test can skip.
inline QString RunPython(const QString& script, const QStringList& args, const QStringList& modules,
                         bool& available)
{
    available = false;
    QProcess probe;
    QString imports;
    for (const QString& m : modules)
        imports += QStringLiteral("import %1\n").arg(m);
    probe.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), imports});
    if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return QString();
    available = true;
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + args);
    p.waitForFinished(300000);
    return QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
}

#include <ostream>

#ifndef STUMPWISE_QSTRING_PRINTTO
#define STUMPWISE_QSTRING_PRINTTO
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
#endif
