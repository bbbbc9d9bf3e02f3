#include "ingame.h"

#include "controls/chat.h"
#include "datafiles.h"
#include "mainwindow.h"
#include "view/mappanel.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

namespace vorlan {

Session& InGame::session() const
{
    return main_.session();
}

void InGame::gameStarted(int speed)
{
    main_.gameSpeed->setValue(speed);
    main_.Timer2.setInterval(stepInterval(speed));
    main_.msgToSend->hide();
    main_.msgToSendLabel->hide();
    main_.playersPanel->hide();
    main_.connectPanel->hide();
    main_.focusButton->setFocus();
    main_.mapPanel->show();
    main_.mapPanel->paintMap();
    main_.focusButton->setFocus();
    main_.startMusic();
}

void InGame::ownPlayer(int index)
{
    main_.yourImage->setPixmap(QPixmap(dataFile(QString::number(index) + QStringLiteral(".bmp"))));
    main_.mapPanel->paintCursor();
}

void InGame::blockChanged(int x, int y)
{
    main_.mapPanel->paintBlock(x, y);
}

void InGame::cursorChanged()
{
    main_.mapPanel->paintCursor();
}

void InGame::playersChanged()
{
    main_.chat().repaintGrid();
}

void InGame::totalsChanged()
{
    main_.refreshMonitorIfVisible();
}

void InGame::showHud(const Hud& hud)
{
    if (hud.known) {
        main_.yourArmyText->setText(hud.yourArmy);
        main_.yourGoldText->setText(hud.yourGold);
        main_.armyText->setText(hud.army);
        main_.goldText->setText(hud.gold);
    }
    main_.roundToText->setText(QString::number(hud.roundTo));
    main_.leaveIfMoreText->setText(QString::number(hud.leaveIfMore));
}

void InGame::armyChanged(int player, int32_t change)
{
    main_.chat().showArmyChange(player, change);
}

void InGame::timeLeft(const QString& minutes)
{
    main_.msgToSendLabel->hide();
    main_.msgToSend->hide();
    main_.playersPanel->hide();
    main_.timeLeft->setText(minutes);
    main_.timeLeft->show();
    if (minutes == QLatin1String("0")) {
        main_.timeLeft->hide();
        main_.msgToSendLabel->move(main_.msgToSendLabel->x(), 72);
        main_.msgToSend->move(main_.msgToSend->x(), 98);
        main_.msg->resize(main_.msg->width(), 45);
        main_.pauseMusic();
    }
}

void InGame::pausedChanged(bool paused)
{
    main_.pauseButton->setIcon(
        QIcon(dataFile(paused ? QStringLiteral("play.bmp") : QStringLiteral("pause.bmp"))));
    if (session().state().map)
        main_.mapPanel->paintMap();
}

void InGame::synced()
{
    main_.startMusic();
}

bool InGame::voice(const QString& number)
{
    if (!main_.waveEnabled())
        return false;
    main_.playWave(QStringLiteral("kukly") + number + QStringLiteral(".wav"));
    return true;
}

void InGame::gameOver(const Map& finalMap, int gameType)
{
    main_.showResults(finalMap, gameType);
}

} // namespace vorlan
