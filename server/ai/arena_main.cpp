// vorlan-arena: plays whole games between computer players, the random
// walker and bot plug-in libraries, headless and faster than real time, and
// prints how each player did.

#include "arena.h"
#include "datafiles.h"

#include <cstdio>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

using namespace vorlan::ai;

namespace {

int fail(const QString& why)
{
    std::fprintf(stderr, "vorlan-arena: %s\n", qPrintable(why));
    return 2;
}

bool readInt(const QCommandLineParser& p, const QString& name, int* value)
{
    if (!p.isSet(name))
        return true;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (ok)
        *value = v;
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlan-arena"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays whole games headless between computer players (easy, normal, hard), the random\n"
        "walker (random) and bot plug-in libraries (plugin:PATH), and prints a table of their\n"
        "wins, blocks, gold and places as the results window ranks them.\n"
        "Players take turns round the start positions; game g is played on map g of the list."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("players"),
         QStringLiteral("Comma-separated players, e.g. normal,hard,random,plugin:bin/libdirud.so "
                        "(default normal,hard)."),
         QStringLiteral("list")},
        {QStringLiteral("map"),
         QStringLiteral("A map file; repeat for several (default: every map in maps/ beside "
                        "the program, else the installed maps)."),
         QStringLiteral("file")},
        {QStringLiteral("games"), QStringLiteral("Number of games (default 1)."),
         QStringLiteral("n")},
        {QStringLiteral("seed"), QStringLiteral("Seed of every choice (default 1)."),
         QStringLiteral("n")},
        {QStringLiteral("speed"), QStringLiteral("Game speed 0..4 (default 4, 100 ms steps)."),
         QStringLiteral("n")},
        {QStringLiteral("minutes"), QStringLiteral("Game length in minutes (default 3)."),
         QStringLiteral("n")},
        {QStringLiteral("type"), QStringLiteral("territory or gold (default territory)."),
         QStringLiteral("type")},
        {QStringLiteral("quiet"), QStringLiteral("No progress line.")},
        {QStringLiteral("games-list"), QStringLiteral("Print every game's places as it ends.")},
    });
    if (!parser.parse(app.arguments()))
        return fail(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments()[0]));

    ArenaSettings settings;
    settings.players = parser.isSet(QStringLiteral("players"))
                           ? parser.value(QStringLiteral("players")).split(QLatin1Char(','))
                           : QStringList{QStringLiteral("normal"), QStringLiteral("hard")};
    int seed = 1;
    if (!readInt(parser, QStringLiteral("games"), &settings.games) || settings.games < 1)
        return fail(QStringLiteral("--games needs a number of 1 or more"));
    if (!readInt(parser, QStringLiteral("seed"), &seed))
        return fail(QStringLiteral("--seed needs a number"));
    settings.seed = uint32_t(seed);
    if (!readInt(parser, QStringLiteral("speed"), &settings.speed))
        return fail(QStringLiteral("--speed needs a number"));
    if (!readInt(parser, QStringLiteral("minutes"), &settings.minutes))
        return fail(QStringLiteral("--minutes needs a number"));
    if (parser.isSet(QStringLiteral("type"))) {
        const QString t = parser.value(QStringLiteral("type"));
        if (t == QLatin1String("territory"))
            settings.gameType = 0;
        else if (t == QLatin1String("gold"))
            settings.gameType = 1;
        else
            return fail(QStringLiteral("--type is territory or gold, not %1").arg(t));
    }
    QStringList files = parser.values(QStringLiteral("map"));
    if (files.isEmpty()) {
        // The maps beside the program, else the installed ones.
        const QDir dir(vorlan::DataFolders::forProgram(QCoreApplication::applicationDirPath())
                           .find(QStringLiteral("maps")));
        for (const QString& f : dir.entryList({QStringLiteral("*.map")}, QDir::Files, QDir::Name))
            files << dir.filePath(f);
    }
    for (const QString& f : files) {
        QFile file(f);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1: %2").arg(f, file.errorString()));
        settings.maps.push_back({QFileInfo(f).completeBaseName(), file.read(64 * 1024)});
    }

    Arena arena(settings, [](const QString& line) {
        std::fprintf(stderr, "vorlan-arena: %s\n", qPrintable(line));
    });
    if (const QString why = arena.check(); !why.isEmpty())
        return fail(why);
    const bool progress = !parser.isSet(QStringLiteral("quiet")) && settings.games > 1;
    const bool list = parser.isSet(QStringLiteral("games-list"));
    QElapsedTimer clock;
    clock.start();
    int64_t steps = 0;
    for (int g = 0; g < settings.games; ++g) {
        const GameOutcome o = arena.play(g);
        steps += o.steps;
        if (list) {
            QStringList places;
            for (const SeatOutcome& s : o.seats)
                places << QStringLiteral("%1 %2 (%3 blocks, %4 gold)")
                              .arg(s.place)
                              .arg(settings.players[s.player])
                              .arg(s.blocks)
                              .arg(s.gold);
            std::printf("game %d on %s: %s\n", g + 1, qPrintable(o.map),
                        qPrintable(places.join(QStringLiteral(", "))));
        }
        if (progress)
            std::fprintf(stderr, "\rgame %d/%d, %lld steps/s ", g + 1, settings.games,
                         (long long)(steps * 1000 / std::max<int64_t>(1, clock.elapsed())));
    }
    if (progress)
        std::fputc('\n', stderr);
    std::fputs(qPrintable(arena.table()), stdout);
    return 0;
}
