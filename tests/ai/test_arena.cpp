// The arena: a seeded run gives the same table every time, ranked as the
// results window ranks; the command's options.
#include "ai_support.h"
#include "arena.h"

#include <gtest/gtest.h>
#include <QProcess>

namespace vorlan::ai {
namespace {

ArenaSettings threePlayers()
{
    ArenaSettings s;
    s.maps = {{QStringLiteral("crossroads"), test::shippedMap("crossroads")},
              {QStringLiteral("highlands"), test::shippedMap("highlands")}};
    s.players = {QStringLiteral("normal"), QStringLiteral("random"), QStringLiteral("easy")};
    s.games = 4;
    s.minutes = 1;
    s.seed = 7;
    return s;
}

QString run(const ArenaSettings& s, std::vector<GameOutcome>* outcomes = nullptr)
{
    Arena arena(s);
    EXPECT_EQ(arena.check(), QString());
    for (int g = 0; g < s.games; ++g) {
        const GameOutcome o = arena.play(g);
        if (outcomes)
            outcomes->push_back(o);
    }
    return arena.table();
}

TEST(Arena, SeededRunsRepeatAndRankAsTheResultsWindow)
{
    std::vector<GameOutcome> outcomes;
    const QString table = run(threePlayers(), &outcomes);
    EXPECT_EQ(run(threePlayers()), table);
    ArenaSettings other = threePlayers();
    other.seed = 8;
    EXPECT_NE(run(other), table);

    ASSERT_EQ(outcomes.size(), 4u);
    EXPECT_EQ(outcomes[0].map, "crossroads");
    EXPECT_EQ(outcomes[1].map, "highlands");
    for (const GameOutcome& o : outcomes) {
        EXPECT_EQ(o.steps, 600); // one minute of 100 ms steps
        ASSERT_EQ(o.seats.size(), 3u);
        for (size_t i = 0; i < o.seats.size(); ++i) {
            EXPECT_EQ(o.seats[i].place, int(i) + 1);
            if (i > 0) {
                EXPECT_GE(o.seats[i - 1].blocks, o.seats[i].blocks);
            }
        }
        EXPECT_NE(o.seats.back().player, 0); // the normal player is never last
    }
    EXPECT_TRUE(table.contains("4 game(s) on crossroads, highlands")) << table.toStdString();
}

TEST(Arena, RefusesWhatCannotBePlayed)
{
    ArenaSettings s = threePlayers();
    s.players << "grandmaster";
    EXPECT_TRUE(Arena(s).check().contains("grandmaster"));
    s = threePlayers();
    s.players = {"easy", "easy", "easy"};
    s.maps = {{QStringLiteral("duel"), test::shippedMap("duel")}};
    EXPECT_TRUE(Arena(s).check().contains("2 seats for 3 players"));
}

TEST(Arena, CommandPrintsHelpAndRejectsUnknownOptions)
{
    QProcess p;
    p.start(QStringLiteral(ARENA_PATH), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("--players"));
    for (const QStringList& args :
         {QStringList{"--bogus"}, QStringList{"--players", "normal,nobody"},
          QStringList{"--games", "x"}, QStringList{"--type", "chess"}}) {
        p.start(QStringLiteral(ARENA_PATH), args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
    }
    p.start(QStringLiteral(ARENA_PATH), {"--players", "normal,random", "--minutes", "1", "--map",
                                         QStringLiteral(MAPS_DIR "/duel.map")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("normal"));
}

} // namespace
} // namespace vorlan::ai
