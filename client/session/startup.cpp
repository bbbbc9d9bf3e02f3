#include "startup.h"

#include "appstate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vorlan {

namespace {

// A folder only this user can enter; null string if it cannot be made so.
QString privateFolder(const QString& path)
{
    QDir dir(path);
    if (!dir.exists() && !QDir().mkpath(path))
        return {};
    const QFileInfo info(path);
    if (!info.isDir() || info.isSymLink() || !info.isWritable())
        return {};
#ifdef Q_OS_UNIX
    if (info.ownerId() != ::getuid()) // somebody else made it first
        return {};
#endif
    const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (!QFile::setPermissions(path, owner))
        return {};
    return QDir(path).absolutePath();
}

} // namespace

QString findTempDir(const QProcessEnvironment& env)
{
    for (const char* name : {"TEMP", "TMP"}) {
        if (env.contains(QString::fromLatin1(name)))
            return env.value(QString::fromLatin1(name));
    }
    const QString runtime = env.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        const QString p = privateFolder(QDir(runtime).filePath(QStringLiteral("vorlan")));
        if (!p.isEmpty())
            return p;
    }
    QString user = env.value(QStringLiteral("USER"), env.value(QStringLiteral("USERNAME")));
    if (user.isEmpty())
        user = QStringLiteral("user");
    return privateFolder(QDir(QDir::tempPath()).filePath(QStringLiteral("vorlan-") + user));
}

QString temporaryMapFile(const QString& tempDir, const QString& executablePath)
{
    const QString base = QFileInfo(executablePath).completeBaseName();
    return QDir(tempDir).filePath(base + QStringLiteral(".map"));
}

QString formatClock(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace vorlan
