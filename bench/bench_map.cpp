// Full repaints of the largest map and reading its file.
#include "map.h"
#include "view/mappanel.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QTemporaryDir>

using namespace vorlan;

namespace {

QByteArray largestMapBytes()
{
    QByteArray b;
    b.append(char(40)).append(char(40)).append(char(8));
    for (int i = 0; i < 1600; ++i)
        b.append(char(i % 12));
    for (int i = 0; i < 8; ++i)
        b.append(char(i * 5)).append(char(i * 5));
    return b;
}

void paintMapAt(benchmark::State& state)
{
    const int block = int(state.range(0));
    QTemporaryDir dir;
    for (int i = 0; i < kBlockPictureCount; ++i) {
        QImage img(16, 16, QImage::Format_RGB32);
        img.fill(QColor::fromHsv(i * 20, 200, 200));
        img.save(dir.filePath(QString::number(i) + ".bmp"));
    }
    BlockPictures pictures(dir.path());
    Map map = Map::fromBytes(largestMapBytes());
    map.blockWidth = map.blockHeight = block;
    map.myIndex = 0;
    MapPanel panel(&pictures);
    panel.setMapSource([&] { return &map; });
    panel.resize(mapPanelSize(map));
    for (auto _ : state) {
        panel.paintMap();
        benchmark::DoNotOptimize(panel.canvas().constBits());
    }
}

void readMapFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.map");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(largestMapBytes());
    f.close();
    for (auto _ : state) {
        Map m(path);
        benchmark::DoNotOptimize(m.cells[39][39].kind);
    }
}

} // namespace

BENCHMARK(paintMapAt)->Arg(16)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(readMapFile)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
