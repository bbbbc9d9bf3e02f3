#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace vorlan {

// The temporary directory: TEMP if set, else TMP; where neither is set, a
// private per-user folder (created with mode 0700). Empty if none can be had.
QString findTempDir(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// The temporary map file: the executable's base name without its extension
// plus ".map", inside tempDir (vorlan -> vorlan.map, game.exe -> game.map).
QString temporaryMapFile(const QString& tempDir, const QString& executablePath);

} // namespace vorlan
