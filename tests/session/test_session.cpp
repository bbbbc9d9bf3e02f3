// The session alone, with no window: a scripted server on one side, a view
// that writes down what it is told on the other. The game's rules (the step
// guard, moves, marks, control texts, growth, the end) are checked here; how
// the windows show them is the window tests' business.
#include "bytes.h"
#include "encoders.h"
#include "scriptedserver.h"
#include "session.h"
#include "smallgame.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

using namespace vorlan;

namespace {

// Writes down what the session tells the windows.
struct Recorder : SessionView, LobbyView, GameView
{
    QStringList lines; ///< system and game lines, warnings, sounds, menus
    QStringList listed;
    Hud hud;
    QString minutesLeft;
    int started = -1;
    bool playVoices = false;
    int gameOverType = -1;
    QVector<int32_t> changes;

    void systemLine(const QString& l) override { lines << "sys " + l; }
    void gameLine(const QString& l) override { lines << "game " + l; }
    void warn(const QString& t) override { lines << "warn " + t; }
    void playSound(SoundEvent e) override { lines << QStringLiteral("sound %1").arg(int(e)); }
    void showMenu(MenuSet s) override { lines << QStringLiteral("menu %1").arg(int(s)); }
    void connected() override {}
    void disconnected() override { lines << "disconnected"; }

    void gamesCleared() override { listed.clear(); }
    void gameListed(const QString& name) override { listed << name; }
    void mapListed(const QString&) override {}
    void playerJoined(const QString&) override {}
    void mapComing() override {}
    void waitingRoom(bool) override {}
    void gameSettings(int, int) override {}
    int blockSize() const override { return 20; }

    void gameStarted(int speed) override { started = speed; }
    void ownPlayer(int) override {}
    void blockChanged(int, int) override {}
    void cursorChanged() override {}
    void playersChanged() override {}
    void totalsChanged() override {}
    void showHud(const Hud& h) override { hud = h; }
    void armyChanged(int, int32_t change) override { changes << change; }
    void timeLeft(const QString& minutes) override { minutesLeft = minutes; }
    void pausedChanged(bool paused) override { lines << (paused ? "paused" : "unpaused"); }
    void synced() override {}
    bool voice(const QString& n) override
    {
        lines << "voice " + n;
        return playVoices;
    }
    void gameOver(const Map&, int gameType) override { gameOverType = gameType; }

    bool saw(const QString& line) const { return lines.contains(line); }
    int count(const QString& line) const { return int(lines.count(line)); }
};

class SessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        state.globalMapName = QDir(temp.path()).filePath("vorlan.map");
        session.open(hostFromLocation(QString()));
        ASSERT_TRUE(server.waitForClient());
        ASSERT_TRUE(server.waitForBytes(5)); // hello and the list request
        server.take();
        server.send(toClient::mapBegin() + toClient::mapData({smallGameMap()}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return state.status == kMapReceived; }));
        ASSERT_TRUE(server.waitForBytes(2));
        EXPECT_EQ(server.take(), hex("0066")); // mapReady
    }

    // The game starts and this client is player 0 at (0, 0) with 10 soldiers.
    void start(int speed = 2)
    {
        serve(toClient::gameStart({speed}) + toClient::youAre({0}) + player(0, 0, 0, 10) +
              player(1, 3, 0, 0));
        EXPECT_EQ(sent(), hex("0054005a")); // startedAck
    }

    QByteArray player(int index, int x, int y, int army) { return playerRecord(index, x, y, army); }

    // Sends bytes and waits until the session has taken them in.
    void serve(const QByteArray& bytes)
    {
        const QString token = QStringLiteral("sync%1").arg(++syncs);
        server.send(bytes + toClient::textMessage({token}));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !view.lines.isEmpty() && view.lines.last().endsWith(token); }));
    }

    // What the session sent, once nothing more arrives.
    QByteArray sent()
    {
        qsizetype seen = -1;
        while (seen != server.received.size()) {
            seen = server.received.size();
            QTest::qWait(40);
        }
        return server.take();
    }

    Map& map() { return *state.map; }

    QTemporaryDir temp;
    ScriptedServer server;
    AppState state;
    Recorder view;
    Session session{state, view, view, view};
    int syncs = 0;
};

const QString kForeignGround = QStringLiteral("sound %1").arg(int(SoundEvent::YourAttackFailure));

} // namespace

TEST(SessionRules, SharedHelpers)
{
    EXPECT_EQ(stepInterval(0), 1100);
    EXPECT_EQ(stepInterval(4), 100);
    EXPECT_EQ(stepInterval(9), 500); // unknown: normal
    EXPECT_EQ(withChange(120, 0), "120");
    EXPECT_EQ(withChange(120, 5), "120(+5)");
    EXPECT_EQ(withChange(120, -5), "120(-5)");
    EXPECT_EQ(timeLeftMinutes("TIME LEFT:007"), "7");
    EXPECT_EQ(timeLeftMinutes("TIME LEFT:00"), "0"); // ends the game too
    EXPECT_TRUE(timeLeftMinutes("TIME LEFT:-1").isNull());
    EXPECT_TRUE(voiceNumber("voice:").isNull());
    EXPECT_TRUE(voiceNumber("voice:1234").isNull());
}

TEST(SessionRules, MarksOnOneSideClearTheOther)
{
    ChatMarks m;
    m.reset();
    EXPECT_TRUE(m.isAlly(7));
    m.toggle(false, 2);
    EXPECT_TRUE(m.isEnemy(2));
    EXPECT_FALSE(m.isAlly(2));
    m.toggle(false, 2); // a second press removes it
    EXPECT_FALSE(m.isEnemy(2));
    EXPECT_FALSE(m.isAlly(2));
    m.markAll(true);
    for (int p = 0; p < ChatMarks::kPlayers; ++p)
        EXPECT_TRUE(m.isAlly(p) && !m.isEnemy(p));
    m.toggle(true, 8); // no such player
    EXPECT_FALSE(m.isAlly(8));
}

TEST_F(SessionTest, StartUpdatesAndTheStatusPanel)
{
    start(9); // out of range: the highest speed
    EXPECT_EQ(view.started, 4);
    EXPECT_TRUE(state.gameStarted);
    EXPECT_TRUE(view.saw(QStringLiteral("menu %1").arg(int(MenuSet::InGame))));
    EXPECT_TRUE(view.hud.known);
    EXPECT_EQ(view.hud.yourArmy, "10");
    EXPECT_EQ(view.hud.army, "1"); // the own start block

    // Out of the grid or of the kinds: ignored, never a violation.
    serve(toClient::cellUpdate({1, 0, 35, 0, 0}) + toClient::cellUpdate({7, 0, 1, 1, 0}) +
          toClient::cellUpdate({0, 1, 1, 1, 12}));
    EXPECT_EQ(map().cell(1, 0).army, 35);
    EXPECT_EQ(map().cell(0, 1).kind, kNeutral);
    EXPECT_EQ(state.status, kOwnPlayerKnown);

    // Foreign ground warns once, not at every update there.
    serve(player(0, 1, 1, 10) + player(0, 3, 1, 10));
    EXPECT_EQ(view.hud.army, "------");
    EXPECT_EQ(view.count(kForeignGround), 1);
    serve(player(0, 3, 2, 10));
    EXPECT_EQ(view.count(kForeignGround), 1);
}

TEST_F(SessionTest, OneStepOrderPerTickOtherMessagesAlways)
{
    start();
    session.move(-1, 0); // column 0: nothing, and the guard stays up
    session.newStep();
    session.move(1, 0);
    session.move(0, 1);                       // same tick: dropped
    session.sendMarketOrder('B', 10, 2);      // gated too: dropped
    session.sendChat(kChatAll, "Ann", "hi");  // not gated
    session.sendChat(kChatAll, "Ann", "yes"); // nor limited
    EXPECT_EQ(sent(), hex("0073"
                          "0052"
                          "00000000") +
                          chat(-1, "Ann:hi") + chat(-1, "Ann:yes"));
    EXPECT_FALSE(session.stepGuardUp());
    session.newStep();
    session.move(0, 1);
    EXPECT_EQ(sent(), hex("0073"
                          "0044"
                          "00000000"));
}

TEST_F(SessionTest, AlliesAreNotAttackedAndCityStepsOnlyFromACity)
{
    start();
    session.newStep();
    session.cityStep(-1, 0); // (0, 0) is no city
    EXPECT_EQ(sent(), QByteArray());
    EXPECT_TRUE(session.stepGuardUp());

    // Player 1 stands on (3, 0); from (3, 1) up is into his block.
    serve(player(0, 3, 1, 10));
    session.move(0, -1);
    EXPECT_EQ(sent(), QByteArray()); // an ally, by the initial marks
    session.marks().toggle(false, 1);
    session.move(0, -1);
    EXPECT_EQ(sent(), hex("0073"
                          "0055"
                          "00000000"));

    serve(player(0, 1, 1, 10));
    session.newStep();
    session.cityStep(1, 0);
    EXPECT_EQ(sent(), hex("0073"
                          "0032"
                          "00000000"));
}

TEST_F(SessionTest, TypedAmountsAndRoundTo)
{
    start();
    session.newStep();
    session.typeCharacter("(");
    EXPECT_EQ(sent(), hex("0073"
                          "0047"
                          "0000005a"));
    session.openEntry(kEntryDefinedValue);
    session.enterAmount(40);
    EXPECT_EQ(session.entryMode, kEntryNone);
    session.newStep();
    session.putAll(); // the defined value
    EXPECT_EQ(sent(), hex("0073"
                          "0050"
                          "00000028"));

    // Round to moves on when the server confirms, not when asked.
    session.newStep();
    session.cycleRoundTo();
    session.newStep();
    session.cycleRoundTo();
    EXPECT_EQ(sent(), hex("0073"
                          "0074"
                          "0000001e"
                          "0073"
                          "0074"
                          "0000001e"));
    serve(toClient::roundToNotice({30}));
    EXPECT_EQ(view.hud.roundTo, 30);
    session.newStep();
    session.cycleRoundTo();
    EXPECT_EQ(sent(), hex("0073"
                          "0074"
                          "00000064"));
}

TEST_F(SessionTest, ControlTextsByTheirExactFormOnly)
{
    start();
    serve(toClient::textMessage({"TIME LEFT:007"}));
    EXPECT_EQ(view.minutesLeft, "7");
    for (const QString& l : view.lines)
        EXPECT_FALSE(l.contains("TIME LEFT")) << l.toStdString();

    serve(toClient::textMessage({"GAME PAUSED"}));
    EXPECT_TRUE(map().paused);
    EXPECT_TRUE(view.saw("paused"));

    // Played voices are not logged; others are, as they came.
    view.playVoices = true;
    serve(toClient::textMessage({"voice:4"}));
    view.playVoices = false;
    serve(toClient::textMessage({"voice:3"}));
    EXPECT_TRUE(view.saw("voice 4"));
    EXPECT_FALSE(view.lines.filter(QRegularExpression("^game .* voice:4$")).size());
    EXPECT_EQ(view.lines.filter(QRegularExpression("^game .* voice:3$")).size(), 1);

    const QStringList forged{"Bob:TIME LEFT:0 ha", "TIME LEFT:12x", "voice:3 ", "voice:1234"};
    for (const QString& line : forged)
        serve(toClient::textMessage({line}));
    for (const QString& line : forged)
        EXPECT_EQ(
            view.lines
                .filter(QRegularExpression("^game .* " + QRegularExpression::escape(line) + "$"))
                .size(),
            1)
            << line.toStdString();
    EXPECT_EQ(view.minutesLeft, "7");
    EXPECT_EQ(view.count("voice 3"), 1);
}

TEST_F(SessionTest, GrowthAndArmyChanges)
{
    start();
    serve(toClient::eventCame() + toClient::armyChangeNotice({1, -299}) +
          toClient::armyChangeNotice({2, 0}) + toClient::armyChangeNotice({0, -300}));
    EXPECT_EQ(map().cell(1, 0).army, 2); // neutral grew
    EXPECT_EQ(map().cell(0, 2).gold, 200);
    EXPECT_EQ(view.lines.filter("  event came").size(), 1);
    EXPECT_EQ(view.changes, (QVector<int32_t>{-299, -300})); // no change is no news
    EXPECT_TRUE(view.saw(QStringLiteral("sound %1").arg(int(SoundEvent::YourLoss))));
}

TEST_F(SessionTest, ChatAndVoicesGoToTheMarkedNeverVoicesToOneself)
{
    start();
    serve(player(2, 3, 2, 0));
    session.marks().toggle(false, 2);
    session.marks().toggle(false, 0);
    session.sendChat(kChatAllies, "Ann", "go");
    EXPECT_EQ(sent(), chat(1, "Ann:go")); // player 3 has no name
    session.sendChat(kChatEnemies, "Ann", "boo");
    EXPECT_EQ(sent(), chat(0, "Ann:boo") + chat(2, "Ann:boo"));
    session.sendVoice(1, 4, "Run!", "Ann");
    EXPECT_EQ(sent(), chat(2, "voice:5") + chat(2, "Ann:Run!"));
    session.sendVoice(9, 4, "Run!", "Ann");
    EXPECT_EQ(sent(), QByteArray());
}

TEST_F(SessionTest, RefusalsInTheLobbySendNothing)
{
    EXPECT_FALSE(session.join("Unknown", 0, 0));
    EXPECT_FALSE(session.join("Ann", -1, 0));
    EXPECT_FALSE(session.create("Mine", std::nullopt, "Ann", 0));
    EXPECT_FALSE(session.create("", QString("hills"), "Ann", 0));
    EXPECT_EQ(view.lines.filter(QRegularExpression("^warn ")).size(), 4);
    EXPECT_EQ(sent(), QByteArray());
    EXPECT_TRUE(session.create("Mine", QString(), "Ann", 0)); // a map named "" is a map
    EXPECT_EQ(sent(), createGame("Mine", QString(), "Ann", 0));
}

TEST_F(SessionTest, TheEndShowsTheResultsAndANewGameStartsClean)
{
    serve(toClient::gameInfo({0, '1', 30}));
    EXPECT_EQ(session.gameType(), 1);
    EXPECT_EQ(session.gameMinutes(), 30);
    start();
    serve(toClient::roundToNotice({30}) + toClient::leaveIfMoreNotice({500}));
    session.marks().toggle(false, 1);
    session.openEntry(kEntryPutArmy);
    server.send(toClient::gameOver());
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.saw("disconnected"); }));
    EXPECT_EQ(view.gameOverType, 1);
    EXPECT_EQ(state.status, kNotConnected);
    EXPECT_FALSE(state.gameStarted);
    EXPECT_EQ(session.roundTo, 0);
    EXPECT_EQ(session.leaveIfMore, Session::kInitialLeaveIfMore);
    EXPECT_EQ(session.entryMode, kEntryNone);
    EXPECT_TRUE(session.marks().isAlly(1));
}
