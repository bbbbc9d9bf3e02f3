// Writes the server's standard maps into a folder: vorlan-mapgen DIR
#include "mapgen.h"

#include <cstdio>
#include <QDir>
#include <QFile>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlan-mapgen DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    for (const auto& recipe : vorlan::standardMaps()) {
        QFile f(dir.filePath(recipe.name + QStringLiteral(".map")));
        if (!f.open(QIODevice::WriteOnly) || f.write(vorlan::generateMap(recipe)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
            return 1;
        }
    }
    return 0;
}
