// A whole game as a player has it: the real client, driven by keys, creates a
// game on the real server, computer players take the free seats at the start,
// the game runs out and the results window shows the places.
#include "ai/agent.h"
#include "menumodel.h"
#include "settings.h"
#include "tcpfront.h"
#include "teststate.h"
#include "view/client.h"
#include "view/mainwindow.h"
#include "view/results.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vorlan;

namespace {

QWidget* focus()
{
    return QApplication::focusWidget();
}

void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(focus(), key, mods);
}

// Tabs through the window until the widget has the focus.
bool tabTo(QWidget* target)
{
    for (int i = 0; i < 60 && focus() != target; ++i)
        press(Qt::Key_Tab);
    return focus() == target;
}

// Tabs to a text entry and types the text over what it held.
void typeInto(QWidget* entry, const QString& text)
{
    ASSERT_TRUE(tabTo(entry)) << qPrintable(entry->objectName());
    press(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(focus(), text);
}

TEST(Play, ACreatedGameAgainstComputersRunsToTheResults)
{
    TcpFront front;
    front.setQuiet(true);
    GameServer& server = front.server();
    ASSERT_GT(server.loadMaps(QStringLiteral("maps")), 0);
    server.setComputerPlayers(
        7, [](uint32_t seed) { return ai::makeComputerPlayer(ai::Level::Normal, seed); });
    server.setSeed(7);
    server.setMinuteMs(3000); // one minute: 30 steps at the highest speed
    ASSERT_TRUE(front.listen(QHostAddress::LocalHost, 0));
    qputenv("VORLAN_PORT", QByteArray::number(front.port()));

    QTemporaryDir temp;
    freshSettings();
    AppState s = testState(temp.path());
    Client client(std::move(s));
    TForm1& f = client.main();
    AppState& st = client.state();
    f.TimerPlusPlayer.stop(); // no first-run help
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.focusButton->setFocus();

    // Runs a menu item: the arrows walk the menu in command mode, Enter runs it.
    auto menu = [&](int item) {
        ASSERT_TRUE(tabTo(f.focusButton));
        for (int i = 0; i < kMenuItemCount && f.menu().menuIndex() != item; ++i)
            press(Qt::Key_Down);
        ASSERT_EQ(f.menu().menuIndex(), item);
        press(Qt::Key_Return);
    };

    typeInto(f.location, "localhost");
    menu(kMenuConnect);
    ASSERT_TRUE(QTest::qWaitFor([&] { return st.status == kGamesRequested; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.mapsList->count() == 4; }));
    typeInto(f.gameName, "Duel");
    typeInto(f.yourName, "Ann");
    ASSERT_TRUE(tabTo(f.mapsList));
    QTest::keyClicks(focus(), "duel");
    ASSERT_EQ(f.mapsList->currentText(), "duel");
    menu(kMenuCreate);
    ASSERT_TRUE(QTest::qWaitFor([&] { return st.status == kMapReceived; }));

    ASSERT_TRUE(tabTo(f.gameSpeed));
    press(Qt::Key_End); // the highest speed
    typeInto(f.gameTime, "1");
    ASSERT_EQ(f.gameTime->value(), 1);

    // The results window is modal: read it and close it as a player would.
    QStringList rows;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* results = qobject_cast<TForm2*>(QApplication::activeModalWidget());
        if (!results || !rows.isEmpty())
            return;
        for (int row = 1; row < TForm2::kRows; ++row)
            rows << results->cellText(0, row) + "=" + results->cellText(1, row);
        QTest::keyClick(results, Qt::Key_Escape);
    });
    poll.start();
    menu(kMenuStart);
    ASSERT_TRUE(QTest::qWaitFor([&] { return st.gameStarted; }));
    // The computer joins the players' list; duel has two seats.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !f.playersList->findItems("Computer 1", Qt::MatchExactly).isEmpty(); }));
    EXPECT_EQ(f.playersList->count(), 2);
    EXPECT_EQ(server.computerCount(0), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rows.isEmpty(); }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return st.status == kNotConnected; }));

    // Both players in the order of their blocks; the computer took land.
    ASSERT_GE(rows.size(), 2);
    const QStringList first = rows[0].split('='), second = rows[1].split('=');
    EXPECT_EQ(QStringList({first[0], second[0]}).join(',').count("Computer 1"), 1);
    EXPECT_EQ(QStringList({first[0], second[0]}).join(',').count("Ann"), 1);
    EXPECT_GE(first[1].toInt(), second[1].toInt());
    EXPECT_GT((first[0] == "Computer 1" ? first : second)[1].toInt(), 1);
    EXPECT_EQ(server.gameCount(), 0);
}

} // namespace
