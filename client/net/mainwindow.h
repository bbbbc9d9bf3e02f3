#pragma once

#include "appstate.h"
#include "controls/menumodel.h"
#include "formstorage.h"

#include <array>
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
class MapPanel;
class TNewLabel;

// The main window: the left menu panel, the connection panel with the
// system messages, the lobby and waiting room, the chat, the status line and
// the map. It owns the current Map through the application state.
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    static inline const QColor kTeal{0, 128, 128};

    TForm1(AppState& state, BlockPictures& pictures, QWidget* parent = nullptr);
    ~TForm1() override;

    AppState& state() { return state_; }

    // Appends a line to the system messages and scrolls it into view.
    void logSystem(const QString& english, const QString& russian);
    void logSystem(const QString& line);
    // Appends a line to the game log, keeping the last 100 lines.
    void logGame(const QString& line);

    // Replaces the current map (the idle map when fileName is the idle map's).
    // A map that cannot be read becomes an empty grid, with one system line.
    void loadMap(const QString& fileName);

    // Menu
    void createMenuItems();
    void applyMenuTexts();
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

signals:
    // A menu action that another part of the program carries out.
    void menuActionRequested(int code);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void FormCreate();
    void FormResize();
    void restoreSettings();
    void storeSettings();
    void showGamePanels(bool show);
    void updateHighlight();
    void resetChatOptions();

    AppState& state_;
    BlockPictures& pictures_;
    FormStorage FormStorage1;
    MenuModel menu_;
    std::array<TNewLabel*, kMenuItemCount> menuItems_{};
    int highlighted_ = -1;
};

} // namespace vorlan
