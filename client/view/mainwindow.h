#pragma once

#include "appstate.h"
#include "formstorage.h"
#include "menumodel.h"
#include "options/sound.h"
#include "view/texts.h"
#include "view/windows.h"

#include <array>
#include <memory>
#include <QTimer>
#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QTableWidget;
class QToolButton;

namespace vorlan {

class BlockPictures;
class BotHost;
class ChatControls;
class Connection;
class InGame;
class Orders;
class Dispatcher;
class Lobby;
class Session;
class MapPanel;
class TNewLabel;

// The main window: the left menu panel, the connection panel with the
// system messages, the lobby and waiting room, the chat, the status line and
// the map. It owns the session, whose state and rules it shows: the frame
// here, the lobby and the game in Lobby and InGame.
class TForm1 : public QWidget, public SessionView
{
    Q_OBJECT

public:
    static inline const QColor kTeal{0, 128, 128};

    // Builds the window with the idle map and the menu, in English.
    TForm1(AppState& state, BlockPictures& pictures, const Windows& windows);
    ~TForm1() override;

    AppState& state() { return state_; }

    // Appends a line to the system messages and scrolls it into view.
    void logSystem(const QString& english, const QString& russian);
    void logSystem(const QString& line);

    // What the session tells the frame.
    void systemLine(const QString& line) override { logSystem(line); }
    void gameLine(const QString& line) override { logGame(line); }
    void warn(const QString& text) override;
    void playSound(SoundEvent event) override { playEvent(event); }
    void showMenu(MenuSet set) override { setMenuState(set); }
    void connected() override;
    void disconnected() override;
    // Grows the window, within the screen, so that a map panel of this size
    // is seen whole.
    void fitWindowTo(QSize panel);

    // Appends a line to the game log, keeping the last 100 lines.
    void logGame(const QString& line);

    // Replaces the current map (the idle map when fileName is the idle map's).
    // A map that cannot be read becomes an empty grid, with one system line.
    void loadMap(const QString& fileName);

    const Windows& windows() const { return windows_; }

    // Every text of the window and its menu, and the application's title, in
    // the given language.
    void retranslate(Language lang);

    Session& session() { return *session_; }
    Connection& connection();
    Lobby& lobby() { return *lobby_; }
    void connectToServer();
    void disconnectFromServer();
    void resetToIdle();

    Orders& orders() { return *orders_; }
    ChatControls& chat() { return *chat_; }
    InGame& inGame() { return *inGame_; }
    BotHost& bot() { return *bot_; }

    // Settings of the options dialog that the game reads.
    int blockSize() const;
    bool waveEnabled() const;

    // Sound and music, carried out by the options dialog's players.
    void pauseMusicForMap();
    void startMusic();
    void pauseMusic();
    void playEvent(Sound::Event event);
    // Voice button n (1..8): to the marked players, and heard here.
    void sendVoice(int n);
    void playWave(const QString& fileName);

    // Other windows
    void refreshMonitorIfVisible();
    void showResults(const Map& finalMap, int gameType);

    // Timers and the pause button
    void Timer2Timer();
    void Timer3Timer();
    void TimerPlusPlayerTimer();
    void pauseButtonClick();
    void startStopBot();
    void offerFirstHelp();
    void runMarket();
    void refreshTotalsForBot(Map& map);

    // Menu
    void setMenuState(MenuSet set);
    void runMenuAction(int code);
    const MenuModel& menu() const { return menu_; }
    TNewLabel* menuItem(int i) const { return menuItems_[i]; }

    // Controls, by their form names.
    QFrame* Panel1;
    QFrame* connectPanel;
    QLabel* Label1;
    QComboBox* location;
    QListWidget* systemMsg;
    QListWidget* msg;
    QLabel* msgToSendLabel;
    QComboBox* msgToSend;
    MapPanel* mapPanel;
    QLabel* Image1;
    QFrame* gamesPanel;
    QLabel* Label2;
    QListWidget* gamesList;
    QLabel* Label6;
    QLineEdit* mapNameText;
    QLabel* Label3;
    QLineEdit* gameName;
    QLabel* Label4;
    QComboBox* mapsList;
    QLabel* Label5;
    QLineEdit* yourName;
    QLabel* Label17;
    QComboBox* imageYouPrefer;
    QFrame* playersPanel;
    QLabel* Label13;
    QListWidget* playersList;
    QLabel* Label14;
    QSlider* gameSpeed;
    QLabel* Label18;
    QLabel* gameTypeLabel;
    QComboBox* gameType;
    QLabel* gameTimeLabel;
    QSpinBox* gameTime;
    QLabel* Label19;
    QLabel* timeLeft;
    QLabel* ImagePlayer;
    QLabel* ImageBlock;
    QLabel* ImageLeave;
    QLabel* ImageRound;
    QLabel* yourArmyText;
    QLabel* yourGoldText;
    QLabel* armyText;
    QLabel* goldText;
    QLabel* leaveIfMoreText;
    QLabel* roundToText;
    QPushButton* focusButton;
    QLabel* yourImage;
    QToolButton* pauseButton;
    QLabel* TimeText;
    QLabel* Label12;
    QLineEdit* deltaArmyText;
    QTableWidget* chatOptions;
    QTimer Timer2;
    QTimer Timer3;
    QTimer TimerPlusPlayer;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void FormCreate();
    void linkWindows();
    void createMenuItems();
    // The speed legend under the track bar, fitted to its width.
    void setSpeedLegend(const QString& text);
    void FormResize();
    void restoreSettings();
    void storeSettings();
    void showGamePanels(bool show);
    void updateHighlight();
    void showLanguageDialog();
    void showHelp();

    AppState& state_;
    BlockPictures& pictures_;
    FormStorage FormStorage1;
    const Windows windows_;
    Dispatcher* dispatcher_ = nullptr;
    std::unique_ptr<Lobby> lobby_;
    std::unique_ptr<InGame> inGame_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<Orders> orders_;
    std::unique_ptr<ChatControls> chat_;
    std::unique_ptr<BotHost> bot_;
    MenuModel menu_;
    std::array<TNewLabel*, kMenuItemCount> menuItems_{};
};

} // namespace vorlan
