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
    void listGamesRequest() override
    {
        if (server.listAllowed(*this))
            server.listGames(*this);
    }
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
    void chat(const Chat& m) override { server.chat(*this, m); }
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
    QByteArray held;                  ///< output waiting for the next step of a running game
    std::unique_ptr<ai::Agent> agent; ///< set for a computer player
    QString address;
    QString lobbyName; ///< taken from the first lobby chat line
    double chatTokens = kChatBurstLines;
    int64_t chatAt = 0; ///< when chatTokens was last filled up
    double listTokens = kListBurst;
    int64_t listAt = 0;
    int64_t ignoredSince = 0; ///< start of the log window
    int ignoredLogged = 0, ignoredCounted = 0;
};

QString logText(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7f ||
                   c.category() == QChar::Other_Format || c.category() == QChar::Separator_Line ||
                   c.category() == QChar::Separator_Paragraph) {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString nameProblem(const QString& name, bool forGame)
{
    const QString what = forGame ? QStringLiteral("A game name") : QStringLiteral("A name");
    if (name.trimmed().isEmpty())
        return QStringLiteral("%1 must not be empty.").arg(what);
    if (toWireText(name, 4 * kMaxOutboundStringBytes).size() > kMaxNameBytes)
        return QStringLiteral("%1 must not be longer than %2 bytes.").arg(what).arg(kMaxNameBytes);
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("%1 must not contain control characters.").arg(what);
    if (containsControlText(name) || name.contains(QLatin1String("voice")))
        return QStringLiteral("%1 must not contain a text the game uses for itself.").arg(what);
    if (!forGame && name.contains(QLatin1Char(':')))
        return QStringLiteral("A name must not contain ':'.");
    return {};
}

GameServer::GameServer(ServerOutput& out) : out_(out), seed_(QRandomGenerator::global()->generate())
{
    clock_.start();
}

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
    if (it == sessions_.end()) {
        out_.send(client, message);
        return;
    }
    Session& s = *it->second;
    if (s.agent) {
        s.agent->receive(message);
    } else if (!s.held.isEmpty() || holdsOutput(roomOf(s))) {
        s.held += message;
    } else {
        out_.send(client, message);
    }
}

bool GameServer::holdsOutput(const Room* room) const
{
    return holdUntilStep_ && room && room->game->state() == Game::State::Running &&
           !room->game->paused();
}

void GameServer::release(Session& s)
{
    if (!s.held.isEmpty()) {
        out_.send(s.id, s.held);
        s.held.clear();
    }
}

void GameServer::releaseRoom(int number)
{
    const auto room = rooms_.find(number);
    if (room == rooms_.end())
        return;
    for (int client : room->second.clients) {
        const auto it = sessions_.find(client);
        if (it != sessions_.end())
            release(*it->second);
    }
}

int GameServer::clientConnected(const QString& address)
{
    const int id = nextClient_++;
    Session& s = *sessions_.emplace(id, std::make_unique<Session>(*this, id)).first->second;
    s.address = address;
    s.ignoredSince = s.chatAt = s.listAt = nowMs();
    s.listTokens = listBurst_;
    return id;
}

bool GameServer::inLobby(int client) const
{
    const auto it = sessions_.find(client);
    return it != sessions_.end() && it->second->game < 0 && !it->second->agent;
}

void GameServer::receive(int client, QByteArrayView bytes)
{
    retired_.clear();
    const auto it = sessions_.find(client);
    if (it == sessions_.end() || it->second->closing)
        return;
    it->second->assembler.feed(bytes);
    // The sender hears the answer to his order now, the others with the
    // next step; a game that stopped stepping holds nothing back.
    const auto sender = sessions_.find(client);
    if (sender == sessions_.end())
        return;
    release(*sender->second);
    if (const Room* room = roomOf(*sender->second); room && !holdsOutput(room))
        releaseRoom(sender->second->game);
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
            } else if (!holdsOutput(room)) {
                releaseRoom(number);
            }
        }
    }
    flushIgnored(s);
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
    const bool stepped = g.stepNumber() != played; // not paused
    afterGameChange(number);                       // may close the game: g is gone then
    if (!stepped || !rooms_.count(number)) {
        releaseRoom(number);
        return;
    }
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
    releaseRoom(number);
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
        send(s.id, toClient::gameEntry({room.game->name(), room.game->mapName(), room.joinNumber}));
        ++listed;
    }
    for (const QString& name : mapNames_)
        send(s.id, toClient::mapEntry({name}));
    send(s.id, toClient::listEnd());
}

void GameServer::refuse(Session& s, const QString& why)
{
    noteIgnored(s, QStringLiteral("client %1 refused: %2").arg(s.id).arg(logText(why)));
    send(s.id, toClient::textMessage({serverText(why)}));
}

void GameServer::noteIgnored(Session& s, const QString& line)
{
    const int64_t now = nowMs();
    if (now - s.ignoredSince >= kLogWindowMs) {
        flushIgnored(s);
        s.ignoredSince = now;
        s.ignoredLogged = 0;
    }
    if (s.ignoredLogged < kLoggedPerWindow) {
        ++s.ignoredLogged;
        log(line);
    } else {
        ++s.ignoredCounted;
    }
}

void GameServer::flushIgnored(Session& s)
{
    if (s.ignoredCounted > 0)
        log(QStringLiteral("... %1 more ignored orders or refusals from client %2")
                .arg(s.ignoredCounted)
                .arg(s.id));
    s.ignoredCounted = 0;
}

bool GameServer::chatAllowed(Session& s)
{
    const int64_t now = nowMs();
    s.chatTokens = std::min<double>(kChatBurstLines, s.chatTokens + double(now - s.chatAt) *
                                                                        kChatLinesPerSecond / 1000);
    s.chatAt = now;
    if (s.chatTokens < 1) {
        noteIgnored(s, QStringLiteral("client %1: chat faster than %2 lines a second dropped")
                           .arg(s.id)
                           .arg(kChatLinesPerSecond));
        return false;
    }
    s.chatTokens -= 1;
    return true;
}

bool GameServer::listAllowed(Session& s)
{
    const int64_t now = nowMs();
    s.listTokens = std::min<double>(listBurst_,
                                    s.listTokens + double(now - s.listAt) * listsPerSecond_ / 1000);
    s.listAt = now;
    if (s.listTokens < 1) {
        noteIgnored(s, QStringLiteral("client %1: list request beyond %2 a second ignored")
                           .arg(s.id)
                           .arg(listsPerSecond_));
        return false;
    }
    s.listTokens -= 1;
    return true;
}

void GameServer::chat(Session& s, const Chat& m)
{
    if (!chatAllowed(s))
        return;
    Room* room = roomOf(s);
    if (!room || room->game->state() == Game::State::Waiting)
        return lobbyChat(s, m);
    const int number = s.game;
    room->game->chat(s.seat, m);
    afterGameChange(number);
}

void GameServer::lobbyChat(Session& s, const Chat& m)
{
    const QString text = clientText(m.text);
    QString name;
    if (Room* room = roomOf(s)) {
        name = room->game->map().players[s.seat].name;
    } else if (!s.lobbyName.isEmpty()) {
        name = s.lobbyName;
    } else {
        // A lobby client has told nobody his name: his first line does, if
        // the name is fit and not someone else's.
        const QString wanted = text.section(QLatin1Char(':'), 0, 0);
        bool taken = !nameProblem(wanted).isEmpty() || !text.contains(QLatin1Char(':'));
        for (const auto& [id, other] : sessions_) {
            const Room* room = roomOf(*other);
            if (other->lobbyName == wanted ||
                (room && room->game->map().players[other->seat].name == wanted))
                taken = true;
        }
        if (!taken)
            name = s.lobbyName = wanted;
    }
    if (!honestChatLine(text, name) || text.startsWith(kVoicePrefix)) {
        noteIgnored(s,
                    QStringLiteral("client %1: lobby chat not in his own name dropped").arg(s.id));
        return;
    }
    const QByteArray message = toClient::textMessage({text});
    for (const auto& [id, other] : sessions_) {
        const Room* room = roomOf(*other);
        if (!other->agent && !other->closing &&
            (!room || room->game->state() == Game::State::Waiting))
            send(id, message);
    }
}

void GameServer::createGame(Session& s, const CreateGame& m)
{
    if (s.game >= 0)
        return refuse(s, QStringLiteral("You are already in a game."));
    const QString name = m.gameName.trimmed();
    if (const QString why = nameProblem(name, true); !why.isEmpty())
        return refuse(s, why);
    if (const QString why = nameProblem(m.playerName); !why.isEmpty())
        return refuse(s, why);
    for (const auto& [number, room] : rooms_)
        if (room.game->name() == name)
            return refuse(s, QStringLiteral("A game named %1 exists already.").arg(name));
    const auto map = maps_.find(m.mapName);
    if (map == maps_.end())
        return refuse(s, QStringLiteral("There is no map named %1.").arg(m.mapName));
    int fromAddress = 0;
    for (const auto& [number, room] : rooms_)
        fromAddress += room.address == s.address ? 1 : 0;
    if (fromAddress >= kMaxGamesPerAddress)
        return refuse(s, QStringLiteral("Your address has %1 games on this server already.")
                             .arg(kMaxGamesPerAddress));
    if (int(rooms_.size()) >= kMaxGames)
        return refuse(s, QStringLiteral("The server runs as many games as it can."));
    std::array<bool, kJoinNumbers> joinTaken{};
    for (const auto& [number, room] : rooms_)
        if (room.game->state() == Game::State::Waiting)
            joinTaken[size_t(room.joinNumber)] = true;
    const auto freeJoin = std::find(joinTaken.begin(), joinTaken.end(), false);
    if (freeJoin == joinTaken.end())
        return refuse(s, QStringLiteral("The server has as many games waiting as it can."));
    int number = 0;
    while (rooms_.count(number))
        ++number;

    Room& room = rooms_[number];
    room.joinNumber = int(freeJoin - joinTaken.begin());
    room.game = std::make_unique<Game>(
        number, name, map->first, map->second,
        [this, number](int seat, const QByteArray& message) {
            const auto it = rooms_.find(number);
            if (it != rooms_.end() && seat >= 0 && seat < kMaxSeats && it->second.clients[seat])
                send(it->second.clients[seat], message);
        },
        [this](const QString& line) { log(line); });
    room.game->setMinuteMs(minuteMs_);
    room.address = s.address;
    room.game->setIgnoredLog([this, number](int seat, const QString& line) {
        const auto it = rooms_.find(number);
        const int client =
            it == rooms_.end() || seat < 0 || seat >= kMaxSeats ? 0 : it->second.clients[seat];
        const auto session = sessions_.find(client);
        if (session != sessions_.end())
            noteIgnored(*session->second, line);
        else
            log(line);
    });
    const int seatIndex = room.game->addPlayer(m.playerName, m.emblem);
    room.master = seatIndex;
    log(QStringLiteral("client %1 created game %2 %3 on map %4, listed as %5")
            .arg(s.id)
            .arg(number)
            .arg(logText(name), logText(map->first))
            .arg(room.joinNumber));
    seat(s, room, number, seatIndex);
}

void GameServer::joinGame(Session& s, const JoinGame& m)
{
    if (s.game >= 0)
        return refuse(s, QStringLiteral("You are already in a game."));
    const int joinNumber = m.gameNumber & 0xff;
    const auto it = std::find_if(rooms_.begin(), rooms_.end(), [joinNumber](const auto& r) {
        return r.second.joinNumber == joinNumber && r.second.game->state() == Game::State::Waiting;
    });
    if (it == rooms_.end())
        return refuse(s, QStringLiteral("That game is no longer waiting for players."));
    const int number = it->first;
    if (const QString why = nameProblem(m.playerName); !why.isEmpty())
        return refuse(s, why);
    const Game& g = *it->second.game;
    for (int i = 0; i < g.capacity(); ++i)
        if (g.seatTaken(i) && g.map().players[i].name == m.playerName)
            return refuse(s, QStringLiteral("A player of that game has that name already."));
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
        noteIgnored(
            s, QStringLiteral("client %1: mapReady without a map on the way ignored").arg(s.id));
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
        noteIgnored(
            s, QStringLiteral("client %1: startGame (speed %2) ignored").arg(s.id).arg(m.speed));
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
        noteIgnored(s, QStringLiteral("client %1: gameSettings ignored").arg(s.id));
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
        noteIgnored(s, QStringLiteral("client %1: startedAck ignored").arg(s.id));
        return;
    }
    room->game->sync(s.seat);
}

void GameServer::inGame(Session& s, const char* what, const std::function<void(Game&, int)>& act)
{
    Room* room = roomOf(s);
    if (!room) {
        noteIgnored(s, QStringLiteral("client %1: %2 outside a game ignored")
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
    release(s);
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
    releaseRoom(number);
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
            // Back in the lobby under the name he had, which nobody there
            // may take from him.
            session.lobbyName = it->second.game->map().players[session.seat].name;
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
