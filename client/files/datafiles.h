#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace vorlan {

// Where the program's files are looked up: the folders in order, the first
// that holds a name wins. Beside the program comes first, so a build folder
// or an unpacked archive runs as it is; the installed folders follow.
class DataFolders
{
public:
    DataFolders() = default;
    explicit DataFolders(const QStringList& folders);

    // The data files (pictures, sounds, music, maps, help pages) of a program
    // in programDir: programDir itself, the data folder relative to it
    // (../share/vorlan from bin/), then the data folder of the configured
    // install prefix.
    static DataFolders forProgram(const QString& programDir);
    // The bot library: programDir, the program's library folder relative to
    // it (../lib/vorlan from bin/), then that of the install prefix.
    static DataFolders forLibraries(const QString& programDir);

    const QStringList& folders() const { return folders_; }

    // The path of name (a file or a folder) in the first folder that has it,
    // or an empty string.
    QString locate(const QString& name) const;
    // As locate, but a name found nowhere is reported once (the name and the
    // folders searched) and its path in the first folder is returned, so that
    // the caller fails to open it as it would any missing file.
    QString find(const QString& name);

private:
    QStringList folders_;
    QSet<QString> reported_;
};

// The data folders of the running client, forProgram(the program's folder)
// unless set otherwise (tests point them at their own files).
DataFolders& dataFolders();
void setDataFolders(const DataFolders& folders);
// dataFolders().find(name)
QString dataFile(const QString& name);

} // namespace vorlan
