#include "lobby.h"

#include "connection.h"
#include "encoders.h"
#include "mainwindow.h"
#include "view/mappanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSaveFile>
#include <QSlider>
#include <QSpinBox>

namespace vorlan {

Lobby::Lobby(TForm1& main, AppState& state, Connection& connection)
    : main_(main), state_(state), connection_(connection)
{}

void Lobby::clearGames()
{
    main_.gamesList->clear();
    dropNextMapPart_ = false;
}

void Lobby::gameEntryName(const GameEntryName& m)
{
    // Games beyond the last slot are not listed; their map part goes too.
    if (main_.gamesList->count() >= kMaxListedGames) {
        dropNextMapPart_ = true;
        return;
    }
    dropNextMapPart_ = false;
    main_.gamesList->addItem(m.gameName);
    main_.gamesList->setCurrentRow(0);
}

void Lobby::gameEntryMap(const GameEntryMap& m)
{
    if (dropNextMapPart_) {
        dropNextMapPart_ = false;
        return;
    }
    const int k = main_.gamesList->count() - 1;
    if (k < 0 || k >= kMaxListedGames)
        return; // the list was emptied between the two parts
    mapsNamesArray_[k] = m.mapName;
    mapsNumsArray_[k] = m.gameNumber;
}

void Lobby::mapEntry(const MapEntry& m)
{
    // A combo box selects its first item by itself; the player must pick.
    const int selected = main_.mapsList->currentIndex();
    main_.mapsList->addItem(m.mapName);
    main_.mapsList->setCurrentIndex(selected);
}

void Lobby::listEnd()
{
    main_.logSystem(QStringLiteral("List ended."), QStringLiteral("Получен список от сервера."));
}

void Lobby::playerJoined(const PlayerJoined& m)
{
    if (main_.playersList->findItems(m.name, Qt::MatchExactly).isEmpty())
        main_.playersList->addItem(m.name);
}

void Lobby::mapBegin()
{
    main_.pauseMusicForMap();
    main_.logSystem(QStringLiteral("Receiving map..."), QStringLiteral("Получаю карту..."));
    main_.update();
    connection_.write(mapReady());
}

void Lobby::mapData(const MapData& m)
{
    QSaveFile file(state_.globalMapName);
    if (!file.open(QIODevice::WriteOnly) || file.write(m.file) != m.file.size() || !file.commit())
        main_.logSystem(QStringLiteral("Cannot write the map file %1: %2")
                            .arg(state_.globalMapName, file.errorString()),
                        QStringLiteral("Не могу записать карту %1: %2")
                            .arg(state_.globalMapName, file.errorString()));
    main_.logSystem(QStringLiteral("map received."), QStringLiteral("карта получена."));

    main_.gamesPanel->hide();
    main_.playersList->clear();
    main_.playersPanel->show();
    state_.gameStarted = false;
    for (QWidget* w : {static_cast<QWidget*>(main_.gameSpeed), static_cast<QWidget*>(main_.Label14),
                       static_cast<QWidget*>(main_.Label18)})
        w->setVisible(state_.master);
    main_.setMenuState(state_.master ? MenuSet::MasterWaiting : MenuSet::JoinedWaiting);
    state_.status = kMapReceived;
    main_.msg->show();

    // The map is built from the bytes just received, which are the file's
    // contents, so that a file that could not be written costs nothing.
    state_.map.reset();
    QString error;
    auto map = std::make_unique<Map>(Map::fromBytes(m.file, &error));
    if (!error.isEmpty())
        main_.logSystem(QStringLiteral("The map of this game is not usable: %1").arg(error),
                        QStringLiteral("Карта этой игры негодна: %1").arg(error));
    map->blockWidth = map->blockHeight = main_.blockSize();
    state_.map = std::move(map);

    main_.Image1->hide();
    main_.mapPanel->hide();
    main_.fitWindowTo(mapPanelSize(*state_.map));
    main_.mapPanel->resize(mapPanelSize(*state_.map));
    main_.msgToSend->show();
    main_.msgToSendLabel->setText(state_.rus ? QStringLiteral("Послать всем (или всех?)")
                                             : QStringLiteral("Send to All"));
    main_.msgToSendLabel->show();
}

void Lobby::gameInfo(const GameInfo& m)
{
    state_.restartClock(m.elapsedSeconds);
    if (m.gameType == kGameForTerritory || m.gameType == kGameForGold)
        main_.gameType->setCurrentIndex(m.gameType - '0');
    if (m.minutes >= main_.gameTime->minimum() && m.minutes <= main_.gameTime->maximum())
        main_.gameTime->setValue(m.minutes);
    if (state_.rus) {
        main_.logGame(QStringLiteral("Установлен тип игры:") +
                      (main_.gameType->currentIndex() == 0 ? QStringLiteral(" ЗА ТЕРРИТОРИЮ ")
                                                           : QStringLiteral("ЗА ЗОЛОТО ")) +
                      QStringLiteral("с продолжительностью ") +
                      QString::number(main_.gameTime->value()) + QStringLiteral(" мин."));
    }
}

void Lobby::refresh()
{
    clearGames();
    connection_.write(listGamesRequest());
    main_.logSystem(QStringLiteral("Receiving games. "), QStringLiteral("Получаем список игр"));
}

bool Lobby::writeWhole(const QByteArray& message)
{
    return connection_.write(message) == message.size();
}

void Lobby::warn(const char* english, const char* russian)
{
    QMessageBox::information(&main_, state_.appTitle,
                             state_.rus ? QString::fromUtf8(russian) : QString::fromUtf8(english));
}

int Lobby::emblemIndex() const
{
    // No emblem chosen counts as the first one.
    return std::max(main_.imageYouPrefer->currentIndex(), 0);
}

void Lobby::join()
{
    const QString name = main_.yourName->text();
    if (name.isEmpty() || name == QLatin1String("Unknown"))
        return warn("Enter name!", "Придумайте кликуху");
    const int row = main_.gamesList->currentRow();
    if (row < 0 || row >= kMaxListedGames)
        return warn("Enter game name!", "Поставьте название игры");
    state_.master = false;
    if (writeWhole(joinGame(mapsNumsArray_[row], name, emblemIndex())))
        state_.status = kJoinRequested;
    main_.msg->resize(main_.msg->width(), 45);
}

void Lobby::create()
{
    if (main_.gameName->text().isEmpty())
        return warn("Enter game name!", "Придумайте название игры");
    const QString name = main_.yourName->text();
    if (name.isEmpty() || name == QLatin1String("Unknown"))
        return warn("Enter name!", "Придумайте кликуху");
    if (main_.mapsList->currentIndex() < 0)
        return warn("Select map!", "Выберите карту!");
    state_.master = true;
    if (writeWhole(createGame(main_.gameName->text(), main_.mapsList->currentText(), name,
                              emblemIndex()))) {
        state_.status = kCreateRequested;
        main_.setMenuState(MenuSet::MasterWaiting);
    }
}

void Lobby::start()
{
    main_.msgToSendLabel->move(main_.msgToSendLabel->x(), 72);
    main_.msgToSend->move(main_.msgToSend->x(), 98);
    main_.msg->resize(main_.msg->width(), 45);
    if (!state_.gameStarted)
        connection_.write(startGame(main_.gameSpeed->value()));
    state_.gameStarted = true;
    main_.setMenuState(MenuSet::InGame);
    connection_.write(gameSettings(main_.gameType->currentIndex(), main_.gameTime->value()));
}

} // namespace vorlan
