// The client against a scripted server: connection states, the lobby, the
// map download and the waiting room, byte for byte.
#include "bytes.h"
#include "connection.h"
#include "controls/menulabel.h"
#include "encoders.h"
#include "modal.h"
#include "scriptedserver.h"
#include "settings.h"
#include "teststate.h"
#include "view/client.h"
#include "view/lobby.h"
#include "view/mainwindow.h"
#include "view/mappanel.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>

using namespace vorlan;

namespace {

// A 3 x 2 map with two start positions.
QByteArray smallMap()
{
    return hex("030202"
               "000809"
               "0a0b05"
               "0100"
               "0201");
}

QStringList lines(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

class ClientTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        freshSettings();
        AppState s = testState(temp.path());
        s.appTitle = "The Vorlane";
        client = std::make_unique<Client>(std::move(s));
        f().TimerPlusPlayer.stop(); // no first-run help in the middle of a test
    }

    TForm1& f() { return client->main(); }
    AppState& st() { return client->state(); }

    // Connects and answers nothing; returns once hello and the games
    // request have arrived.
    void connectToServer()
    {
        f().location->setEditText("localhost");
        f().runMenuAction(kMenuConnect);
        ASSERT_EQ(st().status, kConnecting);
        ASSERT_TRUE(server.waitForClient());
        ASSERT_TRUE(server.waitForBytes(5));
        ASSERT_EQ(server.take(), hex("00004d"
                                     "0052"));
    }

    void serveLobby()
    {
        server.send(toClient::gameEntry({"First", "hills", 7}) +
                    toClient::gameEntry({"Second", "lake", 300}) + toClient::mapEntry({"hills"}) +
                    toClient::mapEntry({"lake"}) + toClient::listEnd());
        ASSERT_TRUE(QTest::qWaitFor([&] { return lines(f().systemMsg).contains("List ended."); }));
    }

    int count(const QString& line) { return int(lines(f().systemMsg).count(line)); }

    QTemporaryDir temp;
    ScriptedServer server;
    std::unique_ptr<Client> client;
};

} // namespace

TEST_F(ClientTest, LobbyConversationFromConnectToWaitingRoom)
{
    EXPECT_EQ(st().status, kNotConnected);
    EXPECT_EQ(f().menu().state(), MenuSet::NoConnect);
    connectToServer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kGamesRequested; }));
    EXPECT_EQ(f().menu().state(), MenuSet::Lobby);
    EXPECT_TRUE(f().gamesPanel->isVisibleTo(&f()));
    EXPECT_FALSE(f().connectPanel->isVisibleTo(&f()));
    EXPECT_TRUE(lines(f().systemMsg).contains("Written 3 bytes"));

    serveLobby();
    EXPECT_EQ(lines(f().gamesList), (QStringList{"First", "Second"}));
    EXPECT_EQ(f().gamesList->currentRow(), 0);
    EXPECT_EQ(f().lobby().mapsNamesArray()[1], "lake");
    EXPECT_EQ(f().lobby().mapsNumsArray()[1], 300);
    EXPECT_EQ(f().mapsList->count(), 2);
    EXPECT_EQ(f().mapsList->currentIndex(), -1); // nothing chosen yet

    f().gameName->setText("Mine");
    f().yourName->setText("Ann");
    f().imageYouPrefer->setCurrentIndex(2);
    EXPECT_EQ(closeModals([&] { f().runMenuAction(kMenuCreate); }), QStringList{"Select map!"});
    EXPECT_EQ(server.take(), QByteArray());
    EXPECT_EQ(st().status, kGamesRequested);

    f().mapsList->setCurrentIndex(0);
    f().runMenuAction(kMenuCreate);
    EXPECT_EQ(st().status, kCreateRequested);
    EXPECT_TRUE(st().master);
    EXPECT_EQ(f().menu().state(), MenuSet::MasterWaiting);
    ASSERT_TRUE(server.waitForBytes(4 + 4 + 7 + 5 + 4));
    EXPECT_EQ(server.take(), hex("0053"
                                 "00044d696e65"
                                 "000568696c6c73"
                                 "0003416e6e"
                                 "00000002"));

    server.send(toClient::playerJoined({"Ann"}) + toClient::playerJoined({"Ann"}) +
                toClient::mapBegin());
    ASSERT_TRUE(server.waitForBytes(2));
    EXPECT_EQ(server.take(), hex("0066"));
    server.send(toClient::mapData({smallMap()}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kMapReceived; }));

    // The map file lies in the temporary directory and is the game's map.
    QFile file(st().globalMapName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), smallMap());
    ASSERT_TRUE(st().map);
    EXPECT_EQ(st().map->width, 3);
    EXPECT_EQ(st().map->cells[2][1].kind, 5);
    EXPECT_EQ(f().mapPanel->size(), QSize(400, 360));
    EXPECT_FALSE(f().mapPanel->isVisibleTo(&f()));
    EXPECT_TRUE(f().playersPanel->isVisibleTo(&f()));
    EXPECT_TRUE(f().gameSpeed->isVisibleTo(&f()));
    EXPECT_EQ(f().msgToSendLabel->text(), "Send to All");
    EXPECT_EQ(f().menu().state(), MenuSet::MasterWaiting);

    // The list of players is emptied when the map comes; later joins add.
    server.send(toClient::playerJoined({"Bob"}) + toClient::playerJoined({"Bob"}) +
                toClient::gameInfo({65, '1', 25}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f().gameTime->value() == 25; }));
    EXPECT_EQ(lines(f().playersList), QStringList{"Bob"});
    EXPECT_EQ(f().gameType->currentIndex(), 1);
    EXPECT_TRUE(f().msg->count() == 0); // English: no line about the settings

    f().gameSpeed->setValue(3);
    f().runMenuAction(kMenuStart);
    EXPECT_TRUE(st().gameStarted);
    EXPECT_EQ(f().menu().state(), MenuSet::InGame);
    EXPECT_EQ(f().menu().menuIndex(), kMenuSendMessage);
    ASSERT_TRUE(server.waitForBytes(6 + 8));
    EXPECT_EQ(server.take(), hex("006d00000003"
                                 "0074"
                                 "0031"
                                 "00000019"));
    // Pressed again: only the settings.
    f().runMenuAction(kMenuStart);
    ASSERT_TRUE(server.waitForBytes(8));
    EXPECT_EQ(server.take(), hex("0074"
                                 "0031"
                                 "00000019"));
}

TEST_F(ClientTest, JoinSendsTheLowByteOfTheGameNumber)
{
    connectToServer();
    serveLobby();
    f().yourName->setText("Unknown");
    f().gamesList->setCurrentRow(1);
    EXPECT_EQ(closeModals([&] { f().runMenuAction(kMenuJoin); }), QStringList{"Enter name!"});
    f().yourName->setText("Ann");
    f().imageYouPrefer->setCurrentIndex(2);
    f().runMenuAction(kMenuJoin);
    EXPECT_EQ(st().status, kJoinRequested);
    EXPECT_FALSE(st().master);
    ASSERT_TRUE(server.waitForBytes(15));
    EXPECT_EQ(server.take(), hex("004a"
                                 "0000002c"
                                 "0003416e6e"
                                 "00000002"));

    // Waiting as a joined player: no speed controls.
    server.send(toClient::mapBegin() + toClient::mapData({smallMap()}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kMapReceived; }));
    EXPECT_FALSE(f().gameSpeed->isVisibleTo(&f()));
    EXPECT_EQ(f().menu().state(), MenuSet::JoinedWaiting);
}

TEST_F(ClientTest, GamesBeyondTwentyAndMapPartsAfterARefreshAreIgnored)
{
    connectToServer();
    QByteArray many;
    for (int i = 0; i < 22; ++i)
        many += toClient::gameEntry({QString("g%1").arg(i), QString("m%1").arg(i), i});
    server.send(many + toClient::listEnd());
    ASSERT_TRUE(QTest::qWaitFor([&] { return lines(f().systemMsg).contains("List ended."); }));
    EXPECT_EQ(f().gamesList->count(), kMaxListedGames);
    EXPECT_EQ(f().lobby().mapsNamesArray()[19], "m19");
    EXPECT_EQ(f().lobby().mapsNumsArray()[19], 19);

    // A refresh between the two halves of an entry: the map half finds no line.
    f().runMenuAction(kMenuRefresh);
    ASSERT_TRUE(server.waitForBytes(2));
    EXPECT_EQ(server.take(), hex("0052"));
    const QByteArray entry = toClient::gameEntry({"late", "lost", 5});
    const int nameBytes = 2 + 2 + 4;
    server.send(entry.left(nameBytes));
    ASSERT_TRUE(QTest::qWaitFor([&] { return lines(f().gamesList).contains("late"); }));
    f().runMenuAction(kMenuRefresh);
    EXPECT_EQ(f().gamesList->count(), 0);
    server.send(entry.mid(nameBytes) + toClient::gameEntry({"next", "found", 6}) +
                toClient::listEnd());
    ASSERT_TRUE(QTest::qWaitFor([&] { return count("List ended.") == 2; }));
    EXPECT_EQ(lines(f().gamesList), QStringList{"next"});
    EXPECT_EQ(f().lobby().mapsNamesArray()[0], "found");
    EXPECT_EQ(f().lobby().mapsNumsArray()[0], 6);
    EXPECT_EQ(st().status, kGamesRequested);
}

TEST_F(ClientTest, ServerThatSaysNothingLeavesAnEmptyLobby)
{
    connectToServer();
    QTest::qWait(100);
    EXPECT_EQ(st().status, kGamesRequested);
    EXPECT_TRUE(f().gamesPanel->isVisibleTo(&f()));
    EXPECT_EQ(f().gamesList->count(), 0);
}

TEST_F(ClientTest, ConnectWhileConnectingResets)
{
    f().runMenuAction(kMenuConnect);
    EXPECT_EQ(st().status, kConnecting);
    f().runMenuAction(kMenuConnect);
    EXPECT_EQ(st().status, kNotConnected);
    EXPECT_EQ(f().menu().state(), MenuSet::NoConnect);
    EXPECT_EQ(count("Disconnected..."), 1);
    QTest::qWait(100);
    EXPECT_EQ(count("Disconnected..."), 1);
    EXPECT_FALSE(lines(f().systemMsg).contains("Connected."));
}

TEST_F(ClientTest, ServerClosingMidGameRestoresTheIdleMap)
{
    connectToServer();
    server.send(toClient::mapBegin() + toClient::mapData({smallMap()}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kMapReceived; }));
    ASSERT_EQ(st().map->width, 3);
    server.client->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kNotConnected; }));
    QTest::qWait(100);
    EXPECT_EQ(count("Disconnected..."), 1);
    EXPECT_EQ(count("Error occured."), 0);
    EXPECT_EQ(f().menu().state(), MenuSet::NoConnect);
    EXPECT_TRUE(f().connectPanel->isVisibleTo(&f()));
    EXPECT_FALSE(f().playersPanel->isVisibleTo(&f()));
    ASSERT_TRUE(st().map);
    EXPECT_EQ(st().map->myIndex, -1);
    EXPECT_NE(st().map->width, 3); // the idle map (or an empty grid without its file)
}

TEST_F(ClientTest, ProtocolViolationsCloseWithOneErrorLine)
{
    const struct
    {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"unknown code", hex("007a")},
        {"string length 200", hex("0070"
                                  "00c8")},
        {"map data too long", toClient::mapBegin() + hex("0044"
                                                         "00002ee0")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        connectToServer();
        ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kGamesRequested; }));
        // Bytes after the violation in the same block are never handled.
        server.send(c.bytes + toClient::gameEntry({"after", "x", 1}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kNotConnected; }))
            << lines(f().systemMsg).join(" | ").toStdString();
        QTest::qWait(50);
        const QStringList log = lines(f().systemMsg);
        EXPECT_EQ(log.count("Error occured."), 1);
        EXPECT_EQ(log.count("Disconnected..."), 0);
        const qsizetype at = log.indexOf("Error occured.");
        ASSERT_GE(at, 0);
        ASSERT_LT(at + 1, log.size()); // the line naming the violation follows
        EXPECT_FALSE(log[at + 1].isEmpty());
        EXPECT_EQ(f().gamesList->count(), 0);
        EXPECT_EQ(f().menu().state(), MenuSet::NoConnect);
        server.client = nullptr;
    }
}

TEST_F(ClientTest, NothingHalfAssembledSurvivesIntoTheNextConnection)
{
    connectToServer();
    server.send(toClient::gameEntry({"half", "x", 1}).left(5));
    QTest::qWait(50);
    f().runMenuAction(kMenuDisconnect);
    ASSERT_EQ(st().status, kNotConnected);
    server.client = nullptr;
    connectToServer();
    server.send(toClient::gameEntry({"whole", "y", 2}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f().gamesList->count() == 1; }));
    EXPECT_EQ(lines(f().gamesList), QStringList{"whole"});
}

TEST_F(ClientTest, RefusedMapShowsTheWaitingRoomWithAnEmptyGrid)
{
    connectToServer();
    server.send(toClient::mapBegin() + toClient::mapData({hex("3205"
                                                              "00")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kMapReceived; }));
    ASSERT_TRUE(st().map);
    EXPECT_EQ(st().map->width, 0);
    EXPECT_TRUE(f().playersPanel->isVisibleTo(&f()));
    bool named = false;
    for (const QString& l : lines(f().systemMsg))
        named |= l.startsWith("The map of this game is not usable");
    EXPECT_TRUE(named);
}

TEST_F(ClientTest, LocationTextGivesTheHost)
{
    EXPECT_EQ(hostFromLocation("a//b/c"), "b");
    EXPECT_EQ(hostFromLocation("b/c"), "b");
    EXPECT_EQ(hostFromLocation("vorlane://host.example:9/x"), "host.example:9");
    EXPECT_EQ(hostFromLocation(""), "127.0.0.1");
}

TEST_F(ClientTest, TypedLocationIsAddedOnlyAfterAConnection)
{
    f().location->setEditText("127.0.0.1");
    f().runMenuAction(kMenuConnect);
    EXPECT_LT(f().location->findText("127.0.0.1"), 0);
    ASSERT_TRUE(server.waitForClient());
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kGamesRequested; }));
    EXPECT_GE(f().location->findText("127.0.0.1"), 0);
    EXPECT_EQ(f().location->itemText(0), "localhost");
}

TEST_F(ClientTest, EnterOnFocusButtonConnectsOnce)
{
    f().show();
    f().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f()));
    f().focusButton->setFocus();
    ASSERT_TRUE(f().focusButton->hasFocus());
    // Through the window, as a real key press travels.
    QTest::keyClick(f().windowHandle(), Qt::Key_Return);
    ASSERT_TRUE(server.waitForClient());
    ASSERT_TRUE(server.waitForBytes(5));
    QTest::qWait(100);
    EXPECT_EQ(server.take(), hex("00004d"
                                 "0052"));
    EXPECT_EQ(count("Trying to connect..."), 1);
}

TEST_F(ClientTest, ArrowsWalkTheMenuOncePerPress)
{
    f().show();
    f().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f()));
    f().focusButton->setFocus();
    QTest::keyClick(f().windowHandle(), Qt::Key_Down);
    EXPECT_EQ(f().menu().menuIndex(), kMenuLanguage);
    QTest::keyClick(f().focusButton, Qt::Key_Down); // straight to the widget
    EXPECT_EQ(f().menu().menuIndex(), kMenuOptions);
    QTest::keyClick(f().windowHandle(), Qt::Key_Up);
    QTest::keyClick(f().windowHandle(), Qt::Key_Up);
    QTest::keyClick(f().windowHandle(), Qt::Key_Up);
    EXPECT_EQ(f().menu().menuIndex(), kMenuExit);
    EXPECT_TRUE(f().menuItem(kMenuExit)->isTransparent()); // command mode shows the brush
    f().location->setFocus();
    EXPECT_FALSE(f().menuItem(kMenuExit)->isTransparent());
}

TEST_F(ClientTest, MenuMovesBeforeTheWindowIsShown)
{
    for (int i = 0; i < 30; ++i)
        f().runMenuAction(kMenuNext);
    for (int i = 0; i < 30; ++i)
        f().runMenuAction(kMenuPrevious);
    EXPECT_TRUE(f().menu().visible(f().menu().menuIndex()));
}

TEST_F(ClientTest, RussianLogLinesAndMessages)
{
    st().rus = true;
    connectToServer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kGamesRequested; }));
    const QStringList log = lines(f().systemMsg);
    EXPECT_TRUE(log.contains(QString::fromUtf8("Пытаюсь присоединиться...")));
    EXPECT_TRUE(log.contains(QString::fromUtf8("Соединение установлено")));
    EXPECT_TRUE(log.contains(QString::fromUtf8("Послано 3 буквы")));
    f().yourName->clear();
    EXPECT_EQ(closeModals([&] { f().runMenuAction(kMenuJoin); }),
              QStringList{QString::fromUtf8("Придумайте кликуху")});
    EXPECT_EQ(closeModals([&] { f().runMenuAction(kMenuCreate); }),
              QStringList{QString::fromUtf8("Придумайте название игры")});
    // gameInfo adds its line only in Russian.
    server.send(toClient::gameInfo({0, '0', 40}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f().msg->count() == 1; }));
    EXPECT_EQ(f().msg->item(0)->text(),
              QString::fromUtf8("Установлен тип игры: ЗА ТЕРРИТОРИЮ с продолжительностью 40 мин."));
    server.client->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kNotConnected; }));
    EXPECT_TRUE(lines(f().systemMsg).contains(QString::fromUtf8("Соединение разорвано")));
}

TEST_F(ClientTest, ClickHighlightsAndDoubleClickRuns)
{
    f().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f()));
    QTest::mouseClick(f().menuItem(kMenuConnect + 0), Qt::LeftButton);
    EXPECT_EQ(st().status, kNotConnected); // a click only highlights
    QTest::mouseClick(f().menuItem(kMenuAbout), Qt::LeftButton);
    EXPECT_EQ(f().menu().menuIndex(), kMenuAbout);
    EXPECT_EQ(st().status, kNotConnected);
    QTest::mouseDClick(f().menuItem(kMenuConnect), Qt::LeftButton);
    EXPECT_EQ(f().menu().menuIndex(), kMenuConnect);
    EXPECT_EQ(st().status, kConnecting);
    ASSERT_TRUE(server.waitForClient());
}

TEST_F(ClientTest, EnterOpensAModalWindowOnce)
{
    f().show();
    f().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f()));
    f().focusButton->setFocus();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(f().windowHandle(), Qt::Key_Down); // to " About"
    ASSERT_EQ(f().menu().menuIndex(), kMenuAbout);
    const QStringList opened =
        closeModals([&] { QTest::keyClick(f().windowHandle(), Qt::Key_Return); }, true);
    EXPECT_EQ(opened, QStringList{"TMyAbout"});
}

TEST_F(ClientTest, OutOfRangeGameSettingsAreIgnored)
{
    connectToServer();
    f().gameType->setCurrentIndex(1);
    f().gameTime->setValue(30);
    server.send(toClient::gameInfo({0, '7', 500}) + toClient::gameInfo({0, '0', 0}) +
                toClient::listEnd());
    ASSERT_TRUE(QTest::qWaitFor([&] { return count("List ended.") == 1; }));
    EXPECT_EQ(f().gameType->currentIndex(), 0); // the second message's type
    EXPECT_EQ(f().gameTime->value(), 30);       // neither duration fits 1..120
    EXPECT_EQ(st().status, kGamesRequested);    // no violation
}

TEST_F(ClientTest, MapFileThatCannotBeWrittenCostsOneLine)
{
    st().globalMapName = QDir(temp.path()).filePath("no-such-folder/vorlan.map");
    connectToServer();
    server.send(toClient::mapBegin() + toClient::mapData({smallMap()}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return st().status == kMapReceived; }));
    int cannot = 0;
    for (const QString& l : lines(f().systemMsg))
        cannot += l.startsWith("Cannot write the map file");
    EXPECT_EQ(cannot, 1);
    ASSERT_TRUE(st().map);
    EXPECT_EQ(st().map->width, 3); // the game goes on with the received map
    EXPECT_TRUE(f().playersPanel->isVisibleTo(&f()));
}

TEST_F(ClientTest, QuittingWhileConnectedClosesTheConnection)
{
    connectToServer();
    server.send(toClient::gameEntry({"half", "x", 1}).left(5)); // half a message pending
    QTest::qWait(50);
    client.reset();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return server.client->state() == QAbstractSocket::UnconnectedState; }));
}

TEST(Connection, GoingAwayWhileOpenEndsSilently)
{
    ScriptedServer server;
    struct Texts : ProtocolHandler
    {
        int count = 0;
        void textMessage(const TextMessage&) override { ++count; }
    } texts;
    auto c = std::make_unique<Connection>(texts);
    int ended = 0;
    QObject::connect(c.get(), &Connection::ended, [&] { ++ended; });
    c->open("127.0.0.1");
    ASSERT_TRUE(server.waitForClient());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return c->socket().state() == QAbstractSocket::ConnectedState; }));
    server.send(hex("0071"
                    "0005"
                    "4142")); // a text message, half of it
    ASSERT_TRUE(QTest::qWaitFor([&] { return c->assembler().receivedLength() == 6; }));
    c.reset();
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(texts.count, 0);
}
