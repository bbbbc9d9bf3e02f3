// The game window played against a scripted server, with keys as the desktop
// delivers them: the map and the status panel drawn, control texts shown,
// orders, chat and voices from the keyboard, the recipients grid and the end
// of the game. The rules behind them are the session's (test_session).
#include "bothost.h"
#include "bytes.h"
#include "controls/chat.h"
#include "controls/commands.h"
#include "controls/dispatcher.h"
#include "controls/hotkeyedit.h"
#include "controls/keys.h"
#include "controls/orders.h"
#include "encoders.h"
#include "modal.h"
#include "options/optionsdialog.h"
#include "scriptedserver.h"
#include "session.h"
#include "settings.h"
#include "smallgame.h"
#include "teststate.h"
#include "view/client.h"
#include "view/ingame.h"
#include "view/mainwindow.h"
#include "view/mappanel.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace vorlan;

namespace {

const QColor kRed(255, 0, 0);

// Writes down what the commands ask for instead of doing it.
struct CommandRecorder : CommandTarget
{
    QStringList calls;
    void runMenuAction(int code) override { calls << QStringLiteral("menu %1").arg(code); }
    void openChat(int mode) override { calls << QStringLiteral("chat %1").arg(mode); }
    void openEntry(int mode) override { calls << QStringLiteral("entry %1").arg(mode); }
    void getAllSoldiers() override { calls << "get all"; }
    void sendVoice(int n) override { calls << QStringLiteral("voice %1").arg(n); }
    void startStopBot() override { calls << "bot"; }
    void pause() override { calls << "pause"; }
    void toggleGarrisons() override { calls << "garrisons"; }
    void putOnDisguise() override { calls << "disguise"; }
};

// The key and modifiers that press a binding.
std::pair<Qt::Key, Qt::KeyboardModifiers> keyOf(const Binding& b)
{
    Qt::KeyboardModifiers mods;
    if (b.shift())
        mods |= Qt::ShiftModifier;
    if (b.ctrl())
        mods |= Qt::ControlModifier;
    const int code = b.keyCode();
    if (code >= vk::F1 && code < vk::F1 + 24)
        return {Qt::Key(Qt::Key_F1 + code - vk::F1), mods};
    switch (code) {
    case vk::Up:
        return {Qt::Key_Up, mods};
    case vk::Down:
        return {Qt::Key_Down, mods};
    case vk::Add:
        return {Qt::Key_Plus, mods | Qt::KeypadModifier};
    case vk::Subtract:
        return {Qt::Key_Minus, mods | Qt::KeypadModifier};
    default:
        return {Qt::Key(code), mods}; // letters and digits
    }
}

class InGameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        freshSettings();
        AppState s = testState(temp.path());
        client = std::make_unique<Client>(std::move(s));
        f().TimerPlusPlayer.stop(); // no first-run help in the middle of a test
        f().Timer2.stop();          // the tests raise the step guard themselves
        f().yourName->setText("Ann");
        f().show();
        f().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f()));
        f().runMenuAction(kMenuConnect);
        ASSERT_TRUE(server.waitForClient());
        ASSERT_TRUE(server.waitForBytes(5));
        server.take();
        server.send(toClient::mapBegin() + toClient::mapData({smallGameMap()}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kMapReceived; }));
        ASSERT_TRUE(server.waitForBytes(2));
        EXPECT_EQ(server.take(), hex("0066")); // mapReady
    }

    // The game starts and this client is player 0, standing at (0, 0).
    void start(int speed = 2)
    {
        server.send(toClient::gameStart({speed}) + toClient::youAre({0}) + player(0, 0, 0, 10) +
                    player(1, 3, 0, 0));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return st().status == kOwnPlayerKnown && map().players[1].name == "Bob"; }));
        ASSERT_TRUE(server.waitForBytes(4));
        EXPECT_EQ(server.take(), hex("0054005a")); // startedAck
    }

    QByteArray player(int index, int x, int y, int army) { return playerRecord(index, x, y, army); }

    // Sends bytes and waits until the client has taken them in.
    void serve(const QByteArray& bytes)
    {
        const QString token = QStringLiteral("sync%1").arg(++syncs);
        server.send(bytes + toClient::textMessage({token}));
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return f().msg->count() > 0 &&
                   f().msg->item(f().msg->count() - 1)->text().endsWith(token);
        }));
    }

    // Keys as the desktop delivers them: to the window, and from there to
    // the widget that has the focus, through the application's filter.
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(f().windowHandle(), key, mods);
    }
    void type(const QString& text)
    {
        for (QChar c : text)
            QTest::keyClick(f().windowHandle(), c.toLatin1());
    }
    // A press on cell (column, row) of the recipients grid.
    void clickGrid(int column, int row)
    {
        QTableWidget* g = f().chatOptions;
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                          g->visualItemRect(g->item(row, column)).center());
    }
    bool msgEndsWith(const QString& text)
    {
        for (int i = 0; i < f().msg->count(); ++i)
            if (f().msg->item(i)->text().endsWith(text))
                return true;
        return false;
    }

    QByteArray sent()
    {
        QTest::qWait(50);
        return server.take();
    }

    TForm1& f() { return client->main(); }
    AppState& st() { return client->state(); }
    Map& map() { return *st().map; }
    QColor pixel(int x, int y) { return f().mapPanel->canvas().pixelColor(x, y); }

    QTemporaryDir temp;
    ScriptedServer server;
    std::unique_ptr<Client> client;
    int syncs = 0;
};

} // namespace

TEST_F(InGameTest, StartShowsTheMapAndTheCursor)
{
    start(4);
    EXPECT_EQ(f().Timer2.interval(), 100);
    EXPECT_TRUE(st().gameStarted);
    EXPECT_EQ(f().menu().state(), MenuSet::InGame);
    EXPECT_TRUE(f().mapPanel->isVisible());
    EXPECT_FALSE(f().playersPanel->isVisible());
    EXPECT_TRUE(f().focusButton->hasFocus());
    EXPECT_EQ(map().myIndex, 0);
    EXPECT_EQ(pixel(1, 1), kRed); // the cursor on (0, 0)
    EXPECT_EQ(f().yourArmyText->text(), "10");
    EXPECT_EQ(f().armyText->text(), "1"); // own block under the player
}

TEST_F(InGameTest, PlayerMovesRedrawTheOldBlockAndTheCursor)
{
    start();
    serve(player(0, 1, 0, 10));
    EXPECT_NE(pixel(1, 10), kRed);             // left line of (0, 0) is white again
    EXPECT_EQ(pixel(21, 10), kRed);            // left line of (1, 0)
    EXPECT_EQ(pixel(41, 10), kRed);            // its outer right line
    EXPECT_EQ(f().armyText->text(), "------"); // a neutral block
    // A record that puts the player off the map is dropped whole.
    serve(player(0, 9, 9, 77));
    EXPECT_EQ(map().players[0].x, 1);
    EXPECT_EQ(map().players[0].army, 10);
}

TEST_F(InGameTest, ControlTexts)
{
    start();
    serve(toClient::textMessage({"TIME LEFT:12"}));
    EXPECT_TRUE(f().timeLeft->isVisible());
    EXPECT_EQ(f().timeLeft->text(), "12");
    serve(toClient::textMessage({"TIME LEFT:120"}));
    EXPECT_EQ(f().timeLeft->text(), "120");
    for (int i = 0; i < f().msg->count(); ++i)
        EXPECT_FALSE(f().msg->item(i)->text().contains("TIME LEFT"));
    serve(toClient::textMessage({"TIME LEFT:0"}));
    EXPECT_FALSE(f().timeLeft->isVisible());
    EXPECT_EQ(f().msg->height(), 45);

    serve(toClient::textMessage({"GAME PAUSED"}));
    EXPECT_TRUE(map().paused);
    EXPECT_EQ(pixel(3, 3), QColor(128, 128, 128)); // hatched
    bool shown = false;
    for (int i = 0; i < f().msg->count(); ++i)
        shown |= f().msg->item(i)->text().endsWith(" GAME PAUSED");
    EXPECT_TRUE(shown);
    serve(toClient::textMessage({"GAME UNPAUSED"}));
    EXPECT_FALSE(map().paused);

    // Without WAVE sounds a voice is shown as it came; with them it is heard.
    QCheckBox* wave = client->options().enableWAVE;
    wave->setChecked(false);
    serve(toClient::textMessage({"voice:3"}));
    EXPECT_TRUE(f().msg->item(f().msg->count() - 2)->text().endsWith(" voice:3"));
    wave->setChecked(true);
    if (f().waveEnabled()) {
        const int lines = f().msg->count();
        serve(toClient::textMessage({"voice:4"}));
        EXPECT_EQ(f().msg->count(), lines + 1); // only the sync line
    }
}

TEST_F(InGameTest, ChatLinesNeverPassForControlTexts)
{
    start();
    client->options().enableWAVE->setChecked(true);
    const bool wave = f().waveEnabled();
    const QStringList lines{"Bob:I hear voices", "voice:1234", "voice:3 ", "Bob:TIME LEFT:0 ha",
                            "TIME LEFT:12x"};
    for (const QString& line : lines)
        serve(toClient::textMessage({line}));
    for (const QString& line : lines)
        EXPECT_TRUE(msgEndsWith(' ' + line)) << line.toStdString();
    EXPECT_EQ(f().waveEnabled(), wave); // no bogus sound file was tried
    EXPECT_FALSE(f().timeLeft->isVisible());
    EXPECT_EQ(f().msg->height(), 95);
}

TEST_F(InGameTest, GrowthAndArmyChanges)
{
    start();
    serve(toClient::eventCame() + toClient::armyChangeNotice({1, -299}) +
          toClient::armyChangeNotice({2, 0}));
    EXPECT_EQ(map().cell(1, 0).army, 2); // neutral grew
    EXPECT_EQ(map().cell(0, 2).gold, 200);
    EXPECT_TRUE(f().msg->item(f().msg->count() - 2)->text().endsWith("  event came"));
    EXPECT_EQ(f().chatOptions->item(2, 3)->text(), "-299");
    EXPECT_EQ(f().chat().changeAge[2], ChatControls::kFreshChange);
    EXPECT_TRUE(f().chatOptions->item(3, 3) == nullptr ||
                f().chatOptions->item(3, 3)->text().isEmpty());
}

TEST_F(InGameTest, DigitsAndTypedAmounts)
{
    start();
    st().newStepCanBeSent = true;
    QTest::keyClicks(f().focusButton, "3");
    EXPECT_EQ(sent(), hex("0073"
                          "0050"
                          "0000001e"));
    st().newStepCanBeSent = true;
    QTest::keyClicks(f().focusButton, "(");
    EXPECT_EQ(sent(), hex("0073"
                          "0047"
                          "0000005a"));

    f().runMenuAction(kMenuPutSoldiers);
    EXPECT_TRUE(f().deltaArmyText->hasFocus());
    EXPECT_EQ(f().Label12->text(), "Put army");
    f().deltaArmyText->setText("abc");
    st().newStepCanBeSent = true;
    QTest::keyClick(f().deltaArmyText, Qt::Key_Return);
    EXPECT_EQ(sent(), hex("0073"
                          "0050"
                          "00000000"));
    EXPECT_EQ(f().deltaArmyText->text(), "0");
    EXPECT_TRUE(f().focusButton->hasFocus());
    EXPECT_TRUE(f().Label12->text().isEmpty());

    f().runMenuAction(kMenuAutoLimit);
    EXPECT_EQ(f().deltaArmyText->text(), "100"); // nothing confirmed yet
}

TEST_F(InGameTest, ChatFromTheKeyboard)
{
    start();
    press(Qt::Key_F8); // Send msg to all
    EXPECT_TRUE(f().msgToSend->isVisible());
    EXPECT_EQ(f().msgToSendLabel->text(), "Send to All");
    // What is typed is sent, not the preset it begins ("You will die !"),
    // and "p" is a letter here, not the pause key.
    type("You p");
    press(Qt::Key_Return);
    EXPECT_EQ(sent(), chat(-1, "Ann:You p"));
    EXPECT_FALSE(f().msgToSend->isVisible());
    EXPECT_TRUE(f().focusButton->hasFocus());
    EXPECT_EQ(f().chat().chatMode, kChatNone);

    // To allies, the line just sent offered again; the own index is not excluded.
    press(Qt::Key_F7);
    EXPECT_EQ(f().msgToSend->currentText(), "You p");
    press(Qt::Key_Enter);
    EXPECT_EQ(sent(), chat(0, "Ann:You p") + chat(1, "Ann:You p"));

    // Esc abandons the line.
    press(Qt::Key_F8);
    type("no");
    press(Qt::Key_Escape);
    EXPECT_EQ(sent(), QByteArray());
    EXPECT_FALSE(f().msgToSend->isVisible());
    EXPECT_TRUE(f().focusButton->hasFocus());
    EXPECT_EQ(f().chat().chatMode, kChatNone);
}

TEST_F(InGameTest, LobbyChatFromTheKeyboard)
{
    ASSERT_TRUE(f().msgToSend->isVisible()); // the waiting room's chat line
    QTest::mouseClick(f().msgToSend->lineEdit(), Qt::LeftButton);
    type("hi");
    press(Qt::Key_Return);
    EXPECT_EQ(sent(), chat(-1, "Ann:hi"));
    EXPECT_TRUE(f().msgToSend->isVisible());
    // Esc in the lobby leaves the entry as it is.
    press(Qt::Key_Escape);
    EXPECT_TRUE(f().msgToSend->isVisible());
    EXPECT_EQ(sent(), QByteArray());
}

TEST_F(InGameTest, AmountEntryOpensFromTheChatLine)
{
    start();
    press(Qt::Key_F8);
    press(Qt::Key_F1, Qt::ShiftModifier); // Get soldiers
    EXPECT_EQ(f().Label12->text(), "Get army");
    EXPECT_TRUE(f().deltaArmyText->hasFocus());
    EXPECT_FALSE(f().msgToSend->isVisible());
    press(Qt::Key_A, Qt::ControlModifier); // select all
    type("25");
    st().newStepCanBeSent = true;
    press(Qt::Key_Return);
    EXPECT_EQ(sent(), hex("0073"
                          "0047"
                          "00000019"));
    EXPECT_TRUE(f().focusButton->hasFocus());
}

TEST_F(InGameTest, ArrowsTheCommandsLeaveKeepCommandMode)
{
    press(Qt::Key_Left); // before a game
    press(Qt::Key_Right);
    EXPECT_TRUE(f().focusButton->hasFocus());
    start();
    press(Qt::Key_Right, Qt::ControlModifier);
    press(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_TRUE(f().focusButton->hasFocus());
    st().newStepCanBeSent = true;
    press(Qt::Key_Right);
    EXPECT_EQ(sent(), hex("0073"
                          "0052"
                          "00000000"));
}

TEST_F(InGameTest, VoiceButtonsSpeakToAlliesOrEnemiesNeverToOneself)
{
    start();
    serve(player(2, 3, 2, 0));
    TOptions* o = &client->options();
    o->cmbv(1)->setCurrentIndex(4);
    o->cmbv(7)->setCurrentIndex(2);
    // Player 2 becomes an enemy, and so does the own player.
    clickGrid(ChatControls::kEnemyColumn, 3);
    clickGrid(ChatControls::kEnemyColumn, 1);
    ASSERT_TRUE(f().chat().isEnemy(2));
    ASSERT_TRUE(f().chat().isEnemy(0));
    ASSERT_TRUE(f().chat().isAlly(1));
    const QString seven = "Ann:" + o->cmbv(7)->currentText();
    const QString one = "Ann:" + o->cmbv(1)->currentText();
    press(Qt::Key_F7, Qt::ControlModifier);
    EXPECT_EQ(sent(), chat(1, "voice:3") + chat(1, seven));
    press(Qt::Key_F1, Qt::ControlModifier);
    EXPECT_EQ(sent(), chat(2, "voice:5") + chat(2, one));
    // Space in the grid marks like a press; the header row is never current.
    press(Qt::Key_Up);
    press(Qt::Key_Space);
    EXPECT_FALSE(f().chat().isEnemy(0));
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Space);
    EXPECT_FALSE(f().chat().isEnemy(2));
    press(Qt::Key_F1, Qt::ControlModifier);
    EXPECT_EQ(sent(), QByteArray());
}

TEST_F(InGameTest, GameOverShowsResultsThenResets)
{
    start();
    const QStringList shown = closeModals([&] {
        server.send(toClient::gameOver());
        (void)QTest::qWaitFor([&] { return st().status == kNotConnected; });
    });
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(st().status, kNotConnected);
    EXPECT_TRUE(f().connectPanel->isVisible());
    EXPECT_FALSE(st().gameStarted);
    EXPECT_EQ(st().map->myIndex, -1);
}

TEST_F(InGameTest, ANewGameStartsFromCleanValues)
{
    start(9); // out of range: the highest speed
    EXPECT_EQ(f().Timer2.interval(), 100);
    EXPECT_EQ(f().gameSpeed->value(), 4);
    serve(toClient::roundToNotice({30}) + toClient::leaveIfMoreNotice({500}));
    TOptions* o = &client->options();
    o->DirudBox->setChecked(true);
    o->DirudName->setText("libdirud.so");
    press(Qt::Key_F6, Qt::ShiftModifier);
    ASSERT_TRUE(f().bot().active());
    press(Qt::Key_F1); // an amount entry left open
    ASSERT_EQ(f().session().entryMode, kEntryPutArmy);

    server.client->abort();
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kNotConnected; }));
    EXPECT_EQ(f().session().roundTo, 0);
    EXPECT_EQ(f().session().leaveIfMore, 100);
    EXPECT_EQ(f().session().entryMode, kEntryNone);
    EXPECT_EQ(f().chat().chatMode, kChatNone);
    EXPECT_EQ(f().Timer2.interval(), 500);
    // The bot is unloaded: the next start loads it afresh and plans anew.
    EXPECT_FALSE(f().bot().active());
    EXPECT_TRUE(f().bot().libName().isEmpty());
}

TEST_F(InGameTest, PauseButtonAsksTheServer)
{
    start();
    f().pauseButtonClick();
    EXPECT_EQ(sent(), hex("0030"));
}

TEST_F(InGameTest, EveryCommandRunsOnceByItsDefaultKey)
{
    start();
    auto* dispatcher = f().findChild<Dispatcher*>();
    ASSERT_NE(dispatcher, nullptr);
    CommandRecorder recorder;
    dispatcher->setCommandTarget(&recorder);
    auto expected = [](const CommandInfo& c) {
        CommandRecorder r;
        if (c.action)
            c.action(r);
        return r.calls;
    };
    // In command mode every command with an action runs.
    for (const CommandInfo& c : commandTable()) {
        ASSERT_TRUE(f().focusButton->hasFocus());
        recorder.calls.clear();
        const auto [key, mods] = keyOf(c.defaultBinding);
        press(key, mods);
        EXPECT_EQ(recorder.calls, expected(c)) << c.name;
    }
    // Both keys of one command on the same combination (possible until the
    // duplicate check): it runs once.
    const CommandInfo& next = commandInfo(Command::MenuNext);
    client->keys().hotKey(hotKeyOf(Command::MenuNextSecond))->setBinding(next.defaultBinding);
    recorder.calls.clear();
    const auto [nextKey, nextMods] = keyOf(next.defaultBinding);
    press(nextKey, nextMods);
    EXPECT_EQ(recorder.calls, expected(next));
    // In the chat line only those outside command mode, and no key that
    // types a character there.
    f().chat().openChat(kChatAll);
    ASSERT_TRUE(isTextEntry(QApplication::focusWidget()));
    for (const CommandInfo& c : commandTable()) {
        recorder.calls.clear();
        const auto [key, mods] = keyOf(c.defaultBinding);
        press(key, mods);
        const bool types = typesCharacter(c.defaultBinding.keyCode()) && !c.defaultBinding.ctrl();
        const bool runs = c.scope != Scope::CommandMode && !types;
        EXPECT_EQ(recorder.calls, runs ? expected(c) : QStringList()) << c.name;
    }
    dispatcher->setCommandTarget(nullptr);
    EXPECT_EQ(sent(), QByteArray()); // nothing reached the server on the way
    press(Qt::Key_Escape);
    EXPECT_TRUE(f().focusButton->hasFocus());
}
