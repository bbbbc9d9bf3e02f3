#include "datafiles.h"

#include <cstdio>
#include <optional>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vorlan {

namespace {

// The folders without repeats, each made absolute and clean.
QStringList distinct(const QStringList& folders)
{
    QStringList out;
    for (const QString& f : folders) {
        if (f.isEmpty())
            continue;
        const QString clean = QDir::cleanPath(QDir(f).absolutePath());
        if (!out.contains(clean))
            out << clean;
    }
    return out;
}

QStringList installedFolders(const QString& programDir, const char* relative, const char* absolute)
{
    const QDir dir(programDir);
    return {programDir, dir.filePath(QString::fromUtf8(relative)), QString::fromUtf8(absolute)};
}

std::optional<DataFolders>& current()
{
    static std::optional<DataFolders> folders;
    return folders;
}

} // namespace

DataFolders::DataFolders(const QStringList& folders) : folders_(distinct(folders)) {}

DataFolders DataFolders::forProgram(const QString& programDir)
{
    return DataFolders(installedFolders(programDir, VORLAN_DATA_RELATIVE, VORLAN_DATA_INSTALLED));
}

DataFolders DataFolders::forLibraries(const QString& programDir)
{
    return DataFolders(
        installedFolders(programDir, VORLAN_PLUGIN_RELATIVE, VORLAN_PLUGIN_INSTALLED));
}

QString DataFolders::locate(const QString& name) const
{
    for (const QString& folder : folders_) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

QString DataFolders::find(const QString& name)
{
    const QString found = locate(name);
    if (!found.isEmpty())
        return found;
    if (!reported_.contains(name)) {
        reported_.insert(name);
        std::fprintf(stderr, "%s: %s not found in %s\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(name),
                     qPrintable(folders_.join(QStringLiteral(", "))));
    }
    return folders_.isEmpty() ? name : QDir(folders_.constFirst()).filePath(name);
}

DataFolders& dataFolders()
{
    auto& folders = current();
    if (!folders)
        folders = DataFolders::forProgram(QCoreApplication::applicationDirPath());
    return *folders;
}

void setDataFolders(const DataFolders& folders)
{
    current() = folders;
}

QString dataFile(const QString& name)
{
    return dataFolders().find(name);
}

} // namespace vorlan
