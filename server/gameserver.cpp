#include "gameserver.h"

#include "ai/agent.h"
#include "encoders.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace vorlan {

// One connected client, or a computer player (a session with an agent and no
// socket): its receive assembler and where it is in the lobby.
struct GameServer::Session final : ClientMessageHandler
{
    Session(GameServer& server, int id) : server(server), id(id), assembler(*this) {}

    void hello() override {}
    void listGamesRequest() override { server.listGames(*this); }
    void joinGame(const JoinGame& m) override { server.joinGame(*this, m); }
    void createGame(const CreateGame& m) override { server.createGame(*this, m); }
    void mapReady() override { server.mapReady(*this); }
    void startGame(const StartGame& m) override { server.startGame(*this, m); }
    void gameSettings(const GameSettings& m) override { server.gameSettings(*this, m); }
    void startedAck() override { server.startedAck(*this); }
    void step(const Step& m) override
    {
        server.inGame(*this, "order", [&](Game& g, int seat) { g.order(seat, m); });
    }
    void chat(const Chat& m) override
    {
        server.inGame(*this, "chat", [&](Game& g, int seat) { g.chat(seat, m); });
    }
    void market(const Market& m) override
    {
        server.inGame(*this, "market order", [&](Game& g, int seat) { g.market(seat, m); });
    }
    void pauseToggle() override
    {
        server.inGame(*this, "pause", [&](Game& g, int seat) { g.togglePause(seat); });
    }
    void protocolViolation(const QString& what) override { server.violation(*this, what); }

    GameServer& server;
    const int id;
    int game = -1; ///< number of the game joined or created, -1 in the lobby
    int seat = -1;
    bool awaitingMap = false; ///< mapBegin sent, mapReady not yet received
    bool mapSent = false;
    bool closing = false; ///< a violation: nothing more is read
    ClientMessageAssembler assembler;
    std::unique_ptr<ai::Agent> agent; ///< set for a computer player
};

GameServer::GameServer(ServerOutput& out) : out_(out), seed_(QRandomGenerator::global()->generate())
{}

GameServer::~GameServer() = default;

bool GameServer::addMap(const QString& name, const QByteArray& file, QString* error)
{
    QString why;
    const Map map = Map::fromBytes(file, &why);
    if (why.isEmpty() && map.playerCount - 1 < 1)
        why = QStringLiteral("no start positions");
    for (int i = 0; why.isEmpty() && i < map.playerCount - 1; ++i)
        if (!map.contains(map.players[i].x, map.players[i].y))
            why = QStringLiteral("start position %1 lies outside the grid").arg(i);
    if (why.isEmpty() && file.size() > kMaxMapDataBytes)
        why = QStringLiteral("%1 bytes, at most %2 can be sent")
                  .arg(file.size())
                  .arg(kMaxMapDataBytes);
    if (why.isEmpty() && (name.isEmpty() || clientText(name) != name))
        why = QStringLiteral("the name cannot be shown by a client");
    if (why.isEmpty() && maps_.count(name))
        why = QStringLiteral("a map of that name is already offered");
    if (error)
        *error = why;
    if (!why.isEmpty())
        return false;
    maps_[name] = file;
    mapNames_.push_back(name);
    return true;
}

int GameServer::loadMaps(const QString& dir)
{
    int n = 0;
    const QDir d(dir);
    for (const QString& entry : d.entryList({QStringLiteral("*.map")}, QDir::Files, QDir::Name)) {
        QFile f(d.filePath(entry));
        QString why;
        if (!f.open(QIODevice::ReadOnly))
            why = f.errorString();
        else if (addMap(QFileInfo(entry).completeBaseName(), f.read(kMaxMapDataBytes + 1), &why))
            ++n;
        if (!why.isEmpty())
            log(QStringLiteral("map %1 not offered: %2").arg(d.filePath(entry), why));
    }
    return n;
}

void GameServer::setComputerPlayers(int count, AgentFactory make)
{
    computers_ = std::clamp(count, 0, kMaxSeats);
    makeAgent_ = std::move(make);
}

int GameServer::computerCount(int number) const
{
    const auto room = rooms_.find(number);
    if (room == rooms_.end())
        return 0;
    int n = 0;
    for (int c : room->second.clients) {
        const auto it = sessions_.find(c);
        n += c != 0 && it != sessions_.end() && it->second->agent ? 1 : 0;
    }
    return n;
}

bool GameServer::hasHumans(const Room& room) const
{
    for (int c : room.clients) {
        const auto it = sessions_.find(c);
        if (c != 0 && it != sessions_.end() && !it->second->agent)
            return true;
    }
    return false;
}

void GameServer::send(int client, const QByteArray& message)
{
    const auto it = sessions_.find(client);
    if (it != sessions_.end() && it->second->agent)
        it->second->agent->receive(message);
    else
        out_.send(client, message);
}

int GameServer::clientConnected()
{
    const int id = nextClient_++;
    sessions_.emplace(id, std::make_unique<Session>(*this, id));
    return id;
}

void GameServer::receive(int client, QByteArrayView bytes)
{
    retired_.clear();
    const auto it = sessions_.find(client);
    if (it == sessions_.end() || it->second->closing)
        return;
    it->second->assembler.feed(bytes);
}

void GameServer::clientGone(int client)
{
    retired_.clear();
    const auto it = sessions_.find(client);
    if (it == sessions_.end())
        return;
    Session& s = *it->second;
    if (Room* room = roomOf(s)) {
        const int number = s.game;
        Game& g = *room->game;
        room->clients[s.seat] = 0;
        if (g.state() == Game::State::Waiting && s.seat == room->master) {
            // Nobody else can start it: close it for those still waiting.
            g.leave(s.seat);
            const QByteArray text = toClient::textMessage(
                {QStringLiteral("The game master has left; the game is closed.")});
            for (int c : room->clients) {
                if (c != 0) {
                    send(c, text);
                    send(c, toClient::gameOver());
                }
            }
            closeRoom(number);
        } else {
            g.leave(s.seat);
            // Computer players never keep a game running on their own.
            if (!hasHumans(*room)) {
                if (g.state() == Game::State::Running) {
                    log(QStringLiteral("game %1: no human player is left").arg(number));
                    g.finish();
                }
                closeRoom(number);
            }
        }
    }
    log(QStringLiteral("client %1 gone").arg(client));
    sessions_.erase(client);
}

void GameServer::stepGame(int number)
{
    retired_.clear();
    const auto it = rooms_.find(number);
    if (it == rooms_.end())
        return;
    Game& g = *it->second.game;
    const int played = g.stepNumber();
    g.step();
    afterGameChange(number);
    if (g.stepNumber() == played) // paused or over: no new step to act on
        return;
    // Each computer player answers the step with its bytes, read like a
    // client's.
    for (int seatIndex = 0; seatIndex < kMaxSeats; ++seatIndex) {
        const auto room = rooms_.find(number);
        if (room == rooms_.end())
            return;
        const auto session = sessions_.find(room->second.clients[seatIndex]);
        if (session == sessions_.end() || !session->second->agent || session->second->closing)
            continue;
        Session& computer = *session->second;
        const QByteArray bytes = computer.agent->act();
        if (!bytes.isEmpty())
            computer.assembler.feed(bytes);
    }
}

const Game* GameServer::game(int number) const
{
    const auto it = rooms_.find(number);
    return it == rooms_.end() ? nullptr : it->second.game.get();
}

GameServer::Room* GameServer::roomOf(const Session& s)
{
    const auto it = rooms_.find(s.game);
    return it == rooms_.end() ? nullptr : &it->second;
}

void GameServer::listGames(Session& s)
{
    int listed = 0;
    for (const auto& [number, room] : rooms_) {
        if (room.game->state() != Game::State::Waiting || listed == kMaxListedGames)
            continue;
        send(s.id, toClient::gameEntry({room.game->name(), room.game->mapName(), number}));
        ++listed;
    }
    for (const QString& name : mapNames_)
        send(s.id, toClient::mapEntry({name}));
    send(s.id, toClient::listEnd());
}

void GameServer::refuse(Session& s, const QString& why)
{
    log(QStringLiteral("client %1: %2").arg(s.id).arg(why));
    send(s.id, toClient::textMessage({clientText(why)}));
}

void GameServer::createGame(Session& s, const CreateGame& m)
{
    if (s.game >= 0)
        return refuse(s, QStringLiteral("You are already in a game."));
    const QString name = clientText(m.gameName.trimmed());
    if (name.isEmpty())
        return refuse(s, QStringLiteral("A new game needs a name."));
    for (const auto& [number, room] : rooms_)
        if (room.game->name() == name)
            return refuse(s, QStringLiteral("A game named %1 exists already.").arg(name));
    const auto map = maps_.find(m.mapName);
    if (map == maps_.end())
        return refuse(s, QStringLiteral("There is no map named %1.").arg(m.mapName));
    int number = 0;
    while (number <= kMaxGameNumber && rooms_.count(number))
        ++number;
    if (number > kMaxGameNumber)
        return refuse(s, QStringLiteral("The server runs as many games as it can."));

    Room& room = rooms_[number];
    room.game = std::make_unique<Game>(
        number, name, map->first, map->second,
        [this, number](int seat, const QByteArray& message) {
            const auto it = rooms_.find(number);
            if (it != rooms_.end() && seat >= 0 && seat < kMaxSeats && it->second.clients[seat])
                send(it->second.clients[seat], message);
        },
        [this](const QString& line) { log(line); });
    room.game->setMinuteMs(minuteMs_);
    const int seatIndex = room.game->addPlayer(m.playerName, m.emblem);
    room.master = seatIndex;
    log(QStringLiteral("client %1 created game %2 \"%3\" on map %4")
            .arg(s.id)
            .arg(number)
            .arg(name, map->first));
    seat(s, room, number, seatIndex);
}

void GameServer::joinGame(Session& s, const JoinGame& m)
{
    if (s.game >= 0)
        return refuse(s, QStringLiteral("You are already in a game."));
    const int number = m.gameNumber & 0xff;
    const auto it = rooms_.find(number);
    if (it == rooms_.end() || it->second.game->state() != Game::State::Waiting)
        return refuse(s, QStringLiteral("That game is no longer waiting for players."));
    const int seatIndex = it->second.game->addPlayer(m.playerName, m.emblem);
    if (seatIndex < 0)
        return refuse(s, QStringLiteral("That game is full."));
    log(QStringLiteral("client %1 joined game %2").arg(s.id).arg(number));
    seat(s, it->second, number, seatIndex);
}

void GameServer::seat(Session& s, Room& room, int number, int seatIndex)
{
    s.game = number;
    s.seat = seatIndex;
    room.clients[seatIndex] = s.id;
    const Game& g = *room.game;
    const QByteArray joined = toClient::playerJoined({g.map().players[seatIndex].name});
    for (int i = 0; i < kMaxSeats; ++i) {
        if (!room.clients[i])
            continue;
        if (i != seatIndex)
            send(room.clients[i], joined);
        send(s.id, toClient::playerJoined({g.map().players[i].name}));
    }
    s.awaitingMap = true;
    send(s.id, toClient::mapBegin());
}

void GameServer::mapReady(Session& s)
{
    Room* room = roomOf(s);
    if (!room || !s.awaitingMap) {
        log(QStringLiteral("client %1: mapReady without a map on the way ignored").arg(s.id));
        return;
    }
    const Game& g = *room->game;
    s.awaitingMap = false;
    s.mapSent = true;
    send(s.id, toClient::mapData({g.mapFile()}));
    // The client empties its players list when the map arrives: fill it again.
    for (int i = 0; i < kMaxSeats; ++i)
        if (room->clients[i])
            send(s.id, toClient::playerJoined({g.map().players[i].name}));
    send(s.id, toClient::gameInfo(g.info()));
    if (g.state() == Game::State::Running)
        send(s.id, toClient::gameStart({g.speed()}));
}

void GameServer::startGame(Session& s, const StartGame& m)
{
    Room* room = roomOf(s);
    if (!room || s.seat != room->master || room->game->state() != Game::State::Waiting ||
        m.speed < 0 || m.speed >= int(kStepIntervalMs.size())) {
        log(QStringLiteral("client %1: startGame (speed %2) ignored").arg(s.id).arg(m.speed));
        return;
    }
    room->requestedSpeed = m.speed;
}

void GameServer::gameSettings(Session& s, const GameSettings& m)
{
    Room* room = roomOf(s);
    if (!room || s.seat != room->master || room->requestedSpeed < 0 ||
        room->game->state() != Game::State::Waiting ||
        !Game::validSettings(room->requestedSpeed, m.gameType, m.minutes)) {
        log(QStringLiteral("client %1: gameSettings ignored").arg(s.id));
        return;
    }
    seatComputers(*room, s.game);
    Game& g = *room->game;
    g.start(room->requestedSpeed, m.gameType, m.minutes);
    for (int c : room->clients) {
        const auto it = sessions_.find(c);
        if (c == 0 || it == sessions_.end() || !it->second->mapSent)
            continue; // gets gameStart with its map
        send(c, toClient::gameInfo(g.info()));
        send(c, toClient::gameStart({g.speed()}));
        // A computer acknowledges at once, as a client does on gameStart.
        if (it->second->agent)
            startedAck(*it->second);
    }
    out_.setGameTimer(g.number(), g.intervalMs());
}

void GameServer::seatComputers(Room& room, int number)
{
    if (!makeAgent_)
        return;
    Game& g = *room.game;
    const uint32_t gameSeed = seed_ + uint32_t(startedGames_++) * kMaxSeats;
    for (int k = 1; k <= computers_; ++k) {
        const int seatIndex = g.addPlayer(QStringLiteral("Computer %1").arg(k), -1);
        if (seatIndex < 0)
            return; // every seat is taken
        std::unique_ptr<ai::Agent> agent = makeAgent_(gameSeed + uint32_t(k));
        if (!agent) {
            g.leave(seatIndex);
            return;
        }
        const int id = nextClient_++;
        Session& computer =
            *sessions_.emplace(id, std::make_unique<Session>(*this, id)).first->second;
        computer.agent = std::move(agent);
        log(QStringLiteral("computer player %1 (client %2) takes seat %3 of game %4")
                .arg(k)
                .arg(id)
                .arg(seatIndex)
                .arg(number));
        seat(computer, room, number, seatIndex);
        mapReady(computer);
    }
}

void GameServer::startedAck(Session& s)
{
    Room* room = roomOf(s);
    if (!room || !s.mapSent || room->game->state() != Game::State::Running) {
        log(QStringLiteral("client %1: startedAck ignored").arg(s.id));
        return;
    }
    room->game->sync(s.seat);
}

void GameServer::inGame(Session& s, const char* what, const std::function<void(Game&, int)>& act)
{
    Room* room = roomOf(s);
    if (!room) {
        log(QStringLiteral("client %1: %2 outside a game ignored")
                .arg(s.id)
                .arg(QLatin1String(what)));
        return;
    }
    const int number = s.game;
    act(*room->game, s.seat);
    afterGameChange(number);
}

void GameServer::violation(Session& s, const QString& what)
{
    s.closing = true;
    if (s.agent) {
        // No socket to close: the seat stays in the game and does nothing.
        log(QStringLiteral("computer player (client %1): %2 It plays no more.")
                .arg(s.id)
                .arg(what));
        return;
    }
    log(QStringLiteral("client %1: %2 Disconnected.").arg(s.id).arg(what));
    out_.disconnect(s.id);
}

void GameServer::afterGameChange(int number)
{
    const auto it = rooms_.find(number);
    if (it != rooms_.end() && it->second.game->state() == Game::State::Over)
        closeRoom(number);
}

void GameServer::closeRoom(int number)
{
    const auto it = rooms_.find(number);
    if (it == rooms_.end())
        return;
    if (it->second.game->state() != Game::State::Waiting)
        out_.setGameTimer(number, 0);
    for (auto sit = sessions_.begin(); sit != sessions_.end();) {
        Session& session = *sit->second;
        if (session.game != number) {
            ++sit;
        } else if (session.agent) {
            // A computer player exists for its game only.
            retired_.push_back(std::move(sit->second));
            sit = sessions_.erase(sit);
        } else {
            session.game = -1;
            session.seat = -1;
            session.awaitingMap = false;
            session.mapSent = false;
            ++sit;
        }
    }
    rooms_.erase(it);
    log(QStringLiteral("game %1 closed").arg(number));
}

} // namespace vorlan
