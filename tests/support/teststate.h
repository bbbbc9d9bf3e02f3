#pragma once
// The application state of a client under test: the program folder is the
// current one (the one with the data files), the downloaded map goes to a
// temporary folder.

#include "appstate.h"

#include <QDir>

inline vorlan::AppState testState(const QString& tempDir)
{
    vorlan::AppState s;
    s.dir = QDir::currentPath();
    s.tempDir = tempDir;
    s.globalMapName = QDir(tempDir).filePath(QStringLiteral("vorlan.map"));
    return s;
}
