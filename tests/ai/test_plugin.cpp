// A seat played by a plug-in library: the built bot plays through the
// contract; a missing library, a missing export or garbage letters leave the
// seat idle with one line saying why.
#include "ai_support.h"
#include "arena.h"
#include "pluginagent.h"

#include <gtest/gtest.h>

namespace vorlan::ai {
namespace {

ArenaMap duel()
{
    return {QStringLiteral("duel"), test::shippedMap("duel")};
}

// Plays a short duel of the plug-in against a normal computer player and
// returns what the arena reported.
QStringList playAgainstNormal(const QString& library, GameOutcome* outcome = nullptr, int games = 1)
{
    QStringList lines;
    ArenaSettings settings;
    settings.maps = {duel()};
    settings.players = {QStringLiteral("plugin:") + library, QStringLiteral("normal")};
    settings.games = games;
    settings.minutes = 1;
    Arena arena(settings, [&](const QString& line) { lines << line; });
    EXPECT_EQ(arena.check(), QString());
    for (int g = 0; g < games; ++g) {
        const GameOutcome o = arena.play(g);
        if (outcome)
            *outcome = o;
    }
    return lines;
}

TEST(Plugin, TheBuiltBotPlaysThroughTheContractWithoutComplaint)
{
    PluginAgent agent(QStringLiteral(DIRUD_PATH));
    EXPECT_TRUE(agent.loaded());
    EXPECT_EQ(agent.report(), QString());
    GameOutcome outcome;
    EXPECT_EQ(playAgainstNormal(QStringLiteral(DIRUD_PATH), &outcome), QStringList());
    ASSERT_EQ(outcome.seats.size(), 2u);
    EXPECT_EQ(outcome.seats[0].player, 1); // the computer player wins
}

TEST(Plugin, BadLibrariesLeaveTheSeatIdleAndAreReportedOnce)
{
    PluginAgent missing(QStringLiteral("/nonexistent/libnothing.so"));
    EXPECT_FALSE(missing.loaded());
    EXPECT_TRUE(missing.report().contains("no such library"));
    EXPECT_EQ(missing.report(), QString()); // said once
    EXPECT_TRUE(missing.act().isEmpty());

    PluginAgent noExport(QStringLiteral(NOEXPORT_PATH));
    EXPECT_FALSE(noExport.loaded());
    EXPECT_TRUE(noExport.report().contains("_DirudEnter"));

    for (const char* path : {"/nonexistent/libnothing.so", NOEXPORT_PATH, GARBAGE_PATH}) {
        GameOutcome outcome;
        const QStringList lines = playAgainstNormal(QString::fromUtf8(path), &outcome, 2);
        EXPECT_EQ(lines.size(), 1) << path << ": " << lines.join(" | ").toStdString();
        ASSERT_EQ(outcome.seats.size(), 2u);
        const SeatOutcome& idle =
            outcome.seats[0].player == 0 ? outcome.seats[0] : outcome.seats[1];
        EXPECT_EQ(idle.blocks, 1) << path; // only its start block
    }
    EXPECT_TRUE(playAgainstNormal(QStringLiteral(GARBAGE_PATH)).value(0).contains("0x5a"));
}

} // namespace
} // namespace vorlan::ai
