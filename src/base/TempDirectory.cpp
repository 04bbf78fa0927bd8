#include "base/TempDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString WithDelimiter(const QString& dir)
{
    QString d = QDir::fromNativeSeparators(dir);
    if (!d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    return d;
}

// Writable means a file can really be created there, which a permission check alone does
// not prove (read-only mounts, ACLs).
bool IsWritableFolder(const QString& dir)
{
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(WithDelimiter(dir) + QStringLiteral("probe-XXXXXX"));
    return probe.open();
}

bool EnsureFolder(const QString& dir)
{
    if (dir.isEmpty())
        return false;
    if (!QFileInfo(dir).isDir() && !QDir().mkpath(dir))
        return false;
    return IsWritableFolder(dir);
}

} // namespace

QString GetTempDirectory()
{
    QString system = QDir::tempPath();
#ifdef Q_OS_UNIX
    // Qt reports no folder at all when TMPDIR names one that does not exist yet; that folder
    // is still the one asked for, and is created below.
    const QString fromEnv = qEnvironmentVariable("TMPDIR");
    if (!fromEnv.isEmpty())
        system = QDir::cleanPath(fromEnv);
#endif
    if (EnsureFolder(system))
        return WithDelimiter(system);
    QStringList fallbacks;
    if (QCoreApplication::instance())
        fallbacks << QCoreApplication::applicationDirPath();
    fallbacks << QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
              << QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
              << QDir::homePath() << QDir::currentPath();
    for (const QString& dir : fallbacks) {
        if (dir.isEmpty())
            continue;
        if (IsWritableFolder(dir) || EnsureFolder(dir))
            return WithDelimiter(dir);
    }
    return WithDelimiter(QDir::currentPath());
}
