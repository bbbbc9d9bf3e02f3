#include "lobby.h"

#include "mainwindow.h"
#include "view/mappanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QSpinBox>

namespace vorlan {

Session& Lobby::session() const
{
    return main_.session();
}

void Lobby::gamesCleared()
{
    main_.gamesList->clear();
}

void Lobby::gameListed(const QString& gameName)
{
    main_.gamesList->addItem(gameName);
    main_.gamesList->setCurrentRow(0);
}

void Lobby::mapListed(const QString& mapName)
{
    // A combo box selects its first item by itself; the player must pick.
    const int selected = main_.mapsList->currentIndex();
    main_.mapsList->addItem(mapName);
    main_.mapsList->setCurrentIndex(selected);
}

void Lobby::playerJoined(const QString& name)
{
    main_.playersList->addItem(name);
}

void Lobby::mapComing()
{
    main_.pauseMusicForMap();
    main_.update();
}

void Lobby::waitingRoom(bool master)
{
    main_.gamesPanel->hide();
    main_.playersList->clear();
    main_.playersPanel->show();
    for (QWidget* w : {static_cast<QWidget*>(main_.gameSpeed), static_cast<QWidget*>(main_.Label14),
                       static_cast<QWidget*>(main_.Label18)})
        w->setVisible(master);
    main_.msg->show();
    const Map& map = *session().state().map;
    main_.Image1->hide();
    main_.mapPanel->hide();
    main_.fitWindowTo(mapPanelSize(map));
    main_.mapPanel->resize(mapPanelSize(map));
    main_.msgToSend->show();
    main_.msgToSendLabel->setText(session().state().rus ? QStringLiteral("Послать всем (или всех?)")
                                                        : QStringLiteral("Send to All"));
    main_.msgToSendLabel->show();
}

void Lobby::gameSettings(int gameType, int minutes)
{
    main_.gameType->setCurrentIndex(gameType);
    main_.gameTime->setValue(minutes);
}

int Lobby::blockSize() const
{
    return main_.blockSize();
}

int Lobby::emblemIndex() const
{
    // No emblem chosen counts as the first one.
    return std::max(main_.imageYouPrefer->currentIndex(), 0);
}

void Lobby::join()
{
    if (session().join(main_.yourName->text(), main_.gamesList->currentRow(), emblemIndex()))
        main_.msg->resize(main_.msg->width(), 45);
}

void Lobby::create()
{
    std::optional<QString> map;
    if (main_.mapsList->currentIndex() >= 0)
        map = main_.mapsList->currentText();
    session().create(main_.gameName->text(), map, main_.yourName->text(), emblemIndex());
}

void Lobby::start()
{
    main_.msgToSendLabel->move(main_.msgToSendLabel->x(), 72);
    main_.msgToSend->move(main_.msgToSend->x(), 98);
    main_.msg->resize(main_.msg->width(), 45);
    session().setGameSettings(main_.gameType->currentIndex(), main_.gameTime->value());
    session().start(main_.gameSpeed->value());
}

} // namespace vorlan
