// The main window as the program starts it: caption, idle map, stored
// settings, language and the files it leaves behind.
#include "controls/keys.h"
#include "controls/menulabel.h"
#include "modal.h"
#include "options/optionsdialog.h"
#include "settings.h"
#include "teststate.h"
#include "view/client.h"
#include "view/formstorage.h"
#include "view/language.h"
#include "view/mainwindow.h"
#include "view/mappanel.h"
#include "view/monitor.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlan;

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        // A clean settings store for every test, the language already chosen.
        freshSettings();
    }

    std::unique_ptr<Client> start()
    {
        AppState s = testState(temp.path());
        auto c = std::make_unique<Client>(std::move(s));
        c->main().TimerPlusPlayer.stop(); // no first-run help in the middle of a test
        return c;
    }

    QTemporaryDir temp;
};

// While `action` runs, presses the keys one by one on the focus widget of
// the modal window open at the time, through the application as a desktop
// delivers them. Returns the object names or texts of the windows pressed on.
QStringList pressInModals(const std::function<void()>& action, std::vector<Qt::Key> keys)
{
    QStringList windows;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        QWidget* focus = QApplication::focusWidget();
        if (keys.empty() || !modal || !focus || focus->window() != modal)
            return;
        const auto* box = qobject_cast<QMessageBox*>(modal);
        windows << (box ? box->text() : modal->objectName());
        const Qt::Key key = keys.front();
        keys.erase(keys.begin());
        QTest::keyClick(focus, key);
    });
    poll.start();
    action();
    return windows;
}

} // namespace

TEST_F(MainWindowTest, StartsWithCaptionSizeAndTheIdleMap)
{
    auto c = start();
    TForm1& f = c->main();
    EXPECT_EQ(f.windowTitle(), "The Vorlane ( version beta2.0 )");
    EXPECT_EQ(f.size(), QSize(722, 518));
    EXPECT_EQ(f.palette().color(QPalette::Window), QColor(0, 128, 128));
    EXPECT_EQ(c->state().status, kNotConnected);
    EXPECT_EQ(f.menu().state(), MenuSet::NoConnect);
    EXPECT_EQ(f.location->itemText(0), "localhost");
    EXPECT_EQ(f.location->currentText(), "localhost");
    // The idle map beside the program is a sound map, drawn at size 16.
    ASSERT_TRUE(c->state().map);
    const Map& m = *c->state().map;
    ASSERT_TRUE(m.loaded()) << m.loadError().toStdString();
    EXPECT_EQ(m.myIndex, -1);
    EXPECT_EQ(m.blockWidth, 16);
    for (int i = 0; i + 1 < m.playerCount; ++i) {
        ASSERT_TRUE(m.contains(m.players[i].x, m.players[i].y)) << i;
        EXPECT_EQ(m.cell(m.players[i].x, m.players[i].y).kind, i) << "start of player " << i;
    }
    // The first block's frame is drawn in the map panel's image.
    EXPECT_EQ(f.mapPanel->canvas().pixelColor(1, 1), QColor(255, 255, 255));
    EXPECT_TRUE(f.systemMsg->count() == 0) << f.systemMsg->item(0)->text().toStdString();
    // Menu labels as the form places them.
    EXPECT_EQ(f.menuItem(kMenuConnect)->geometry(), QRect(3, 28, 97, 16));
    EXPECT_EQ(f.menuItem(kMenuLanguage)->geometry(), QRect(3, 44, 97, 16));
    EXPECT_FALSE(f.menuItem(kMenuJoin)->isVisibleTo(&f));
}

TEST_F(MainWindowTest, SettingsSurviveARestart)
{
    {
        auto c = start();
        TForm1& f = c->main();
        f.yourName->setText("Ann");
        f.imageYouPrefer->setCurrentIndex(5);
        f.location->addItem("vorlane.example");
        f.move(40, 30);
        f.close();
    }
    auto c = start();
    TForm1& f = c->main();
    EXPECT_EQ(f.yourName->text(), "Ann");
    EXPECT_EQ(f.imageYouPrefer->currentIndex(), 5);
    EXPECT_GE(f.location->findText("vorlane.example"), 0);
    EXPECT_EQ(f.location->itemText(0), "localhost");
    EXPECT_EQ(f.pos(), QPoint(40, 30));
}

TEST_F(MainWindowTest, NoEmblemChosenOnAFirstStart)
{
    auto c = start();
    EXPECT_EQ(c->main().imageYouPrefer->currentIndex(), -1);
}

TEST_F(MainWindowTest, ClosingDeletesTheTemporaryMapFile)
{
    auto c = start();
    QFile f(c->state().globalMapName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    c->main().close();
    EXPECT_FALSE(QFile::exists(c->state().globalMapName));
}

TEST_F(MainWindowTest, ResizingFitsTheMapPanelToTheWindow)
{
    auto c = start();
    TForm1& f = c->main();
    f.show();
    f.resize(900, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.mapPanel->width(), 900 - 104 - 6);
    EXPECT_EQ(f.mapPanel->height(), 700 - f.msg->height() - 3);
    EXPECT_EQ(f.msg->width(), 900 - 104 - 6);
    EXPECT_EQ(f.mapPanel->canvas().size(), f.mapPanel->size());
}

TEST_F(MainWindowTest, StoredRussianAppliesAtStart)
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, FormStorage::programName())
        .setValue("TForm7/Lang.ItemIndex", 1);
    auto c = start();
    TForm1& f = c->main();
    EXPECT_TRUE(c->state().rus);
    EXPECT_EQ(f.windowTitle(), QString::fromUtf8("Ворлан! Бета версия 2.0"));
    EXPECT_EQ(f.menuItem(kMenuConnect)->text(), QString::fromUtf8(" Коннект"));
    EXPECT_EQ(f.Label1->text(), QString::fromUtf8("Выбери-ка Ворлан-сервер"));
    EXPECT_EQ(f.gameType->itemText(1), QString::fromUtf8("Игра за золото"));
    EXPECT_EQ(f.gameType->currentIndex(), 0);
    for (QFrame* panel : {f.gamesPanel, f.playersPanel})
        for (QLabel* l : panel->findChildren<QLabel*>())
            EXPECT_LE(l->geometry().right(), panel->width()) << l->objectName().toStdString();
    f.logSystem("Disconnected...", QString::fromUtf8("Соединение разорвано"));
    EXPECT_EQ(f.systemMsg->item(f.systemMsg->count() - 1)->text(),
              QString::fromUtf8("Соединение разорвано"));
}

TEST_F(MainWindowTest, LanguageChangeWaitsForARestart)
{
    auto c = start();
    TForm1& f = c->main();
    const QStringList shown = closeModals([&] { f.runMenuAction(kMenuLanguage); });
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1], "You need to restart the program");
    EXPECT_EQ(f.menuItem(kMenuConnect)->text(), " Connect");
}

TEST_F(MainWindowTest, GameLogKeepsTheLastHundredLines)
{
    auto c = start();
    TForm1& f = c->main();
    for (int i = 0; i < 130; ++i)
        f.logGame(QString::number(i));
    EXPECT_EQ(f.msg->count(), 100);
    EXPECT_EQ(f.msg->item(0)->text(), "30");
    EXPECT_EQ(f.msg->currentRow(), 99);
}

TEST_F(MainWindowTest, FirstStartAsksForTheLanguage)
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, FormStorage::programName()).clear();
    std::unique_ptr<Client> c;
    // The dialog comes up with English chosen; closing it keeps English.
    const QStringList shown = closeModals([&] { c = start(); });
    EXPECT_EQ(shown, QStringList{"TForm7"});
    EXPECT_FALSE(c->state().rus);
    EXPECT_EQ(QSettings(QSettings::NativeFormat, QSettings::UserScope, FormStorage::programName())
                  .value("TForm7/Lang.ItemIndex")
                  .toInt(),
              0);
}

TEST_F(MainWindowTest, LanguageChoiceIsStoredHoweverTheDialogCloses)
{
    auto c = start();
    TForm7* dialog = &c->language();
    auto stored = [] {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, FormStorage::programName())
            .value("TForm7/Lang.ItemIndex")
            .toInt();
    };
    dialog->langButtons->button(1)->setChecked(true);
    closeModals([&] { c->main().runMenuAction(kMenuLanguage); }, true); // Esc
    EXPECT_EQ(stored(), 1);
    dialog->langButtons->button(0)->setChecked(true);
    closeModals([&] { c->main().runMenuAction(kMenuLanguage); }); // the close box
    EXPECT_EQ(stored(), 0);
}

TEST_F(MainWindowTest, AStoredLanguageOtherThanTheThreeIsAFirstStart)
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, FormStorage::programName())
        .setValue("TForm7/Lang.ItemIndex", "abc");
    std::unique_ptr<Client> c;
    EXPECT_EQ(closeModals([&] { c = start(); }), QStringList{"TForm7"});
}

TEST_F(MainWindowTest, BossKeyDisguisesEveryVisibleWindow)
{
    auto c = start();
    TForm1& f = c->main();
    TForm3* monitor = &c->monitor();
    f.show();
    monitor->show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(f.windowHandle(), Qt::Key_F12);
    for (QWidget* w : {static_cast<QWidget*>(&f), static_cast<QWidget*>(monitor)}) {
        EXPECT_TRUE(w->isMinimized()) << w->objectName().toStdString();
        EXPECT_EQ(w->windowTitle(), "{C:} - Far");
    }
    EXPECT_FALSE(c->options().isVisible()); // a hidden window stays hidden
    // The next key press gives each window its own caption back.
    QTest::keyClick(monitor->windowHandle(), Qt::Key_Shift);
    EXPECT_EQ(f.windowTitle(), "The Vorlane ( version beta2.0 )");
    EXPECT_EQ(monitor->windowTitle(), "Monitor");
    EXPECT_EQ(c->state().appTitle, "The Vorlane");
}

TEST_F(MainWindowTest, DestroyedWithTheFocusOnTheChatLine)
{
    // Destroying the children moves the focus after the window's own members
    // are gone; no handler of the window may run then.
    auto c = start();
    TForm1& f = c->main();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.msgToSend->show();
    f.msgToSend->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        QWidget* w = QApplication::focusWidget();
        return w && (w == f.msgToSend || w->parentWidget() == f.msgToSend);
    }));
    c.reset();
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
}

TEST_F(MainWindowTest, TheLanguageChosenWithTheKeysGovernsEveryWindowFromTheNextStart)
{
    // Through the menu in command mode: the dialog, its choice, the notice.
    auto choose = [](Client& c, Qt::Key pick) {
        c.main().show();
        c.main().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&c.main()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); // to " Language"
        return pressInModals([&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); },
                             {pick, Qt::Key_Return, Qt::Key_Return});
    };
    auto c = start();
    EXPECT_EQ(choose(*c, Qt::Key_Down), // to Russian
              QStringList({"TForm7", "TForm7", "You need to restart the program"}));
    EXPECT_EQ(c->main().windowTitle(), "The Vorlane ( version beta2.0 )");

    c.reset();
    c = start();
    EXPECT_EQ(c->main().windowTitle(), QString::fromUtf8("Ворлан! Бета версия 2.0"));
    EXPECT_EQ(c->main().menuItem(kMenuConnect)->text(), QString::fromUtf8(" Коннект"));
    EXPECT_EQ(c->options().enableMIDI->text(), QString::fromUtf8("Включить MIDI"));
    EXPECT_EQ(c->monitor().windowTitle(), QString::fromUtf8("Монитор игроков"));
    EXPECT_EQ(c->keys().label(1)->text(), QString::fromUtf8("Оставить солдат:"));
    // The dialog opens with the focus on its first item, English.
    EXPECT_EQ(choose(*c, Qt::Key_Space),
              QStringList({"TForm7", "TForm7", QString::fromUtf8("Перезапустите программу")}));

    c.reset();
    c = start();
    EXPECT_EQ(c->main().windowTitle(), "The Vorlane ( version beta2.0 )");
    EXPECT_EQ(c->main().menuItem(kMenuConnect)->text(), " Connect");
    EXPECT_EQ(c->options().enableMIDI->text(), "Enable MIDI music");
    EXPECT_EQ(c->monitor().windowTitle(), "Monitor");
    EXPECT_EQ(c->keys().label(1)->text(), "Put soldiers:");
}
