#pragma once
// The server's lobby and sessions without sockets: connected clients, the
// maps offered, the games waiting and running. A front end (TcpFront) feeds
// it the bytes of each client and carries out what it asks of ServerOutput;
// tests drive it directly.

#include "assembler.h"
#include "game.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <QByteArray>
#include <QByteArrayView>
#include <QElapsedTimer>
#include <QString>
#include <vector>

namespace vorlan {

namespace ai {
class Agent;
}

constexpr int kJoinNumbers = 256;      ///< a client joins a waiting game by one byte
constexpr int kMaxGames = 1024;        ///< waiting and running games on one server
constexpr int kMaxGamesPerAddress = 4; ///< waiting or running games created from one address
constexpr int kChatBurstLines = 20;    ///< chat lines a client may send at once (a voice
                                       ///< message to seven players is fourteen)
constexpr int kChatLinesPerSecond = 4; ///< and then on average
constexpr int kListBurst = 5;          ///< list requests a client may send at once
constexpr int kListsPerSecond = 1;     ///< and then on average; more are ignored
constexpr int kLoggedPerWindow = 3;    ///< ignored-order lines logged per client per window
constexpr int kLogWindowMs = 60000;    ///< the rest are counted and summed up in one line

// A client's text as it may appear in the log: quoted, with control
// characters, quotes and backslashes escaped, so it cannot forge a line.
QString logText(const QString& text);

// Why a player name (or, with forGame, a game name) is refused; empty when
// it is fine. Refused: empty, over 127 bytes, control characters, a control
// text, and for a player a ':' (it would let him write lines in another
// player's name).
QString nameProblem(const QString& name, bool forGame = false);

class ServerOutput
{
public:
    virtual ~ServerOutput() = default;
    virtual void send(int client, const QByteArray& message) = 0;
    // Close the client's connection after what was sent. The front then
    // calls clientGone, but never from inside this call.
    virtual void disconnect(int client) = 0;
    // Run stepGame(game) every intervalMs; 0 stops it.
    virtual void setGameTimer(int game, int intervalMs) = 0;
    virtual void log(const QString& line) = 0;
};

class GameServer
{
public:
    explicit GameServer(ServerOutput& out);
    ~GameServer();
    GameServer(const GameServer&) = delete;
    GameServer& operator=(const GameServer&) = delete;

    // Offers a map. Refused (false, with the reason) when the bytes are not
    // a map with at least one start position, or too long to send, or the
    // name is taken.
    bool addMap(const QString& name, const QByteArray& file, QString* error = nullptr);
    // Offers every *.map file of the folder, by name; returns how many.
    int loadMaps(const QString& dir);
    const std::vector<QString>& mapNames() const { return mapNames_; }

    // Computer players: when its master starts a game, up to `count` of them
    // take its free seats ("Computer 1", ...). Each is a session without a
    // socket: its orders go through the very path a client's bytes take, and
    // what the game sends to its seat goes to the agent made for it.
    using AgentFactory = std::function<std::unique_ptr<ai::Agent>(uint32_t seed)>;
    void setComputerPlayers(int count, AgentFactory make);
    // Seeds the computer players' choices (repeatable games in tests).
    void setSeed(uint32_t seed) { seed_ = seed; }
    // List requests a client may send at once and then a second (tests
    // that need long answers raise them).
    void setListRate(int burst, int perSecond)
    {
        listBurst_ = burst;
        listsPerSecond_ = perSecond;
    }
    // With hold, output to a player of a running game waits and leaves in
    // one piece with the game's next step, or as soon as his own message
    // has been handled: over sockets that is one write per client and step
    // instead of one per order of each of the eight players. Without (the
    // default), every message leaves as it is made.
    void setHoldUntilStep(bool hold) { holdUntilStep_ = hold; }
    // The length of a game minute of every game created from now on.
    void setMinuteMs(int ms) { minuteMs_ = ms; }

    // A new connection from the address given (games per address are
    // capped); returns its client id.
    int clientConnected(const QString& address = {});
    void receive(int client, QByteArrayView bytes);
    void clientGone(int client);
    void stepGame(int number);

    const Game* game(int number) const;
    int gameCount() const { return int(rooms_.size()); }
    bool hasClient(int client) const { return sessions_.count(client) != 0; }
    // In the lobby: connected and in no game.
    bool inLobby(int client) const;
    // Seats of the game played by computer players.
    int computerCount(int number) const;

private:
    struct Session;
    struct Room
    {
        std::unique_ptr<Game> game;
        std::array<int, kMaxSeats> clients{}; ///< client id per seat, 0 for none
        int master = -1;                      ///< seat of the creator
        int requestedSpeed = -1;              ///< from startGame, until gameSettings
        QString address;                      ///< of the creator
        // What the lobby list shows and a join names: unique among the
        // waiting games only, so a server runs more games than one byte counts.
        int joinNumber = 0;
    };
    friend struct Session;

    void log(const QString& line) { out_.log(line); }
    Room* roomOf(const Session& s);
    void listGames(Session& s);
    void createGame(Session& s, const CreateGame& m);
    void joinGame(Session& s, const JoinGame& m);
    void seat(Session& s, Room& room, int number, int seat);
    void mapReady(Session& s);
    void startGame(Session& s, const StartGame& m);
    void gameSettings(Session& s, const GameSettings& m);
    void startedAck(Session& s);
    void inGame(Session& s, const char* what, const std::function<void(Game&, int)>& act);
    void seatComputers(Room& room, int number);
    bool hasHumans(const Room& room) const;
    void send(int client, const QByteArray& message);
    bool holdsOutput(const Room* room) const;
    void release(Session& s);
    void releaseRoom(int number);
    void refuse(Session& s, const QString& why);
    void violation(Session& s, const QString& what);
    void chat(Session& s, const Chat& m);
    void lobbyChat(Session& s, const Chat& m);
    bool chatAllowed(Session& s);
    bool listAllowed(Session& s);
    // An ignored order or a refusal: logged, at most kLoggedPerWindow per
    // client per window, the rest counted.
    void noteIgnored(Session& s, const QString& line);
    void flushIgnored(Session& s);
    int64_t nowMs() const { return clock_.elapsed(); }
    void closeRoom(int number);
    void afterGameChange(int number);

    ServerOutput& out_;
    std::vector<QString> mapNames_;
    std::map<QString, QByteArray> maps_;
    std::map<int, std::unique_ptr<Session>> sessions_;
    std::map<int, Room> rooms_; ///< by game number (the server's own, in the log)
    // Computer sessions of closed games, freed at the next call from outside
    // (one of them may be running the handler that closed the game).
    std::vector<std::unique_ptr<Session>> retired_;
    int nextClient_ = 1;
    int computers_ = 0;
    AgentFactory makeAgent_;
    uint32_t seed_ = 0;
    int startedGames_ = 0;
    int minuteMs_ = kMinuteMs;
    QElapsedTimer clock_;
    int listBurst_ = kListBurst, listsPerSecond_ = kListsPerSecond;
    bool holdUntilStep_ = false;
};

} // namespace vorlan
