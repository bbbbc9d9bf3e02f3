// Where the programs find their files: beside the program first, then in the
// installed data folder; a file found nowhere is reported once.
#include "datafiles.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace vorlan;

namespace {

bool touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
}

// An installed tree: PREFIX/bin, PREFIX/share/vorlan, PREFIX/lib/vorlan.
struct Prefix
{
    QTemporaryDir root;
    QString path(const QString& relative) const { return QDir(root.path()).filePath(relative); }
    QString bin() const { return path("bin"); }
};

} // namespace

TEST(DataFiles, BesideTheProgramFirstThenTheInstalledFolder)
{
    Prefix p;
    ASSERT_TRUE(touch(p.path("bin/vorlan")));
    ASSERT_TRUE(touch(p.path("share/vorlan/coolgame.map")));
    ASSERT_TRUE(touch(p.path("share/vorlan/maps/duel.map")));
    DataFolders folders = DataFolders::forProgram(p.bin());

    EXPECT_EQ(folders.find("coolgame.map"), p.path("share/vorlan/coolgame.map"));
    EXPECT_EQ(folders.find("maps"), p.path("share/vorlan/maps"));

    ASSERT_TRUE(touch(p.path("bin/coolgame.map")));
    EXPECT_EQ(folders.find("coolgame.map"), p.path("bin/coolgame.map"));
}

TEST(DataFiles, TheBotLibraryBesideTheProgramOrInTheProgramsLibraryFolder)
{
    Prefix p;
    const QStringList libraryFolders = DataFolders::forLibraries(p.bin()).folders();
    ASSERT_GE(libraryFolders.size(), 2);
    EXPECT_EQ(libraryFolders[0], p.bin());
    // The library folder lies under the prefix, beside bin/, and is the
    // program's own (never the system's shared library folder itself).
    EXPECT_TRUE(libraryFolders[1].startsWith(p.root.path() + "/lib"));
    EXPECT_TRUE(libraryFolders[1].endsWith("/vorlan"));

    ASSERT_TRUE(touch(QDir(libraryFolders[1]).filePath("libdirud.so")));
    DataFolders libraries = DataFolders::forLibraries(p.bin());
    EXPECT_EQ(libraries.find("libdirud.so"), QDir(libraryFolders[1]).filePath("libdirud.so"));
}

TEST(DataFiles, AFileFoundNowhereIsReportedOnceWithTheFoldersSearched)
{
    QTemporaryDir a, b;
    DataFolders folders(QStringList{a.path(), b.path(), a.path() + "/."});
    EXPECT_EQ(folders.folders(), (QStringList{a.path(), b.path()}));

    testing::internal::CaptureStderr();
    // The caller gets a path that fails to open, as a missing file does.
    EXPECT_EQ(folders.find("7.bmp"), QDir(a.path()).filePath("7.bmp"));
    EXPECT_EQ(folders.find("7.bmp"), QDir(a.path()).filePath("7.bmp"));
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
    EXPECT_EQ(said.count("7.bmp"), 1) << said.toStdString();
    EXPECT_TRUE(said.contains(a.path()) && said.contains(b.path())) << said.toStdString();

    ASSERT_TRUE(touch(QDir(b.path()).filePath("7.bmp")));
    EXPECT_EQ(folders.locate("7.bmp"), QDir(b.path()).filePath("7.bmp"));
    EXPECT_EQ(folders.locate("8.bmp"), QString());
}

TEST(DataFiles, TheClientsFoldersCanBePointedElsewhere)
{
    QTemporaryDir a;
    ASSERT_TRUE(touch(QDir(a.path()).filePath("wav.txt")));
    const DataFolders saved = dataFolders();
    setDataFolders(DataFolders(QStringList{a.path()}));
    EXPECT_EQ(dataFile("wav.txt"), QDir(a.path()).filePath("wav.txt"));
    setDataFolders(saved);
    EXPECT_EQ(dataFolders().folders().value(0), QCoreApplication::applicationDirPath());
}
