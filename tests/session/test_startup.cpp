#include "appstate.h"
#include "startup.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace vorlan;

TEST(StartUp, TempDirPrefersTempThenTmp)
{
    QProcessEnvironment env;
    env.insert("TEMP", "/a/temp");
    env.insert("TMP", "/b/tmp");
    EXPECT_EQ(findTempDir(env), "/a/temp");
    env.remove("TEMP");
    EXPECT_EQ(findTempDir(env), "/b/tmp");
}

TEST(StartUp, WithoutTempOrTmpUsesAPrivateFolder)
{
    QTemporaryDir runtime;
    QProcessEnvironment env;
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    const QString dir = findTempDir(env);
    ASSERT_FALSE(dir.isEmpty());
    EXPECT_TRUE(dir.startsWith(runtime.path()));
    const QFileInfo info(dir);
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther |
                                    QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther),
              QFile::Permissions());
}

TEST(StartUp, MapFileIsNamedAfterTheExecutable)
{
    EXPECT_EQ(temporaryMapFile("/t", "/opt/game.exe"), QDir("/t").filePath("game.map"));
    EXPECT_EQ(temporaryMapFile("/t", "/usr/bin/vorlan"), QDir("/t").filePath("vorlan.map"));
    EXPECT_EQ(temporaryMapFile("/t", "C:/x/my.game.exe"), QDir("/t").filePath("my.game.map"));
}

TEST(StartUp, ClockFormat)
{
    EXPECT_EQ(formatClock(0), "0:00:00");
    EXPECT_EQ(formatClock(61), "0:01:01");
    EXPECT_EQ(formatClock(36000 + 59 * 60 + 7), "10:59:07");
    EXPECT_EQ(formatClock(-5), "0:00:00");
}
