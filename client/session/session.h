#pragma once
// The client's game session without windows: the connection to the server,
// the lobby's lists, the game's Map, every message of the server and every
// order rule. The windows show what it tells them (sessionview.h) and hand it
// what the player asks for; a test drives it with no window at all.

#include "appstate.h"
#include "connection.h"
#include "rules.h"
#include "sessionview.h"

#include <array>
#include <optional>
#include <QStringList>

namespace vorlan {

// What typed into the number entry is for.
enum EntryMode : int
{
    kEntryNone = 0,
    kEntryPutArmy = 1,
    kEntryGetArmy = 2,
    kEntryPutGold = 3,
    kEntryGetGold = 4,
    kEntryLeaveIfMore = 5,
    kEntryDefinedValue = 8,
};

// Who a chat line goes to.
enum ChatMode : int
{
    kChatNone = 0,
    kChatAll = 2,
    kChatAllies = 3,
    kChatEnemies = 4
};

// Step interval for a game speed 0..4 (an unknown speed counts as normal).
int stepInterval(int speed);
// The control texts are known by their exact form only, so that no chat line
// can pass for one. The minutes of "TIME LEFT:" and digits only, as a whole
// number; null for any other text.
QString timeLeftMinutes(const QString& text);
// The number of "voice:" and one to three digits; null for any other text.
QString voiceNumber(const QString& text);
// "120", "120(+5)", "120(-5)": a value with its last change.
QString withChange(int32_t value, int32_t change);

// The player's marks of the others: allies and enemies are the recipients
// of chat lines and voices, and nobody carrying soldiers walks into an ally.
struct ChatMarks
{
    static constexpr int kPlayers = 8;
    std::array<bool, kPlayers> ally{};
    std::array<bool, kPlayers> enemy{};

    // Every player an ally, no enemies.
    void reset();
    bool isAlly(int player) const { return valid(player) && ally[size_t(player)]; }
    bool isEnemy(int player) const { return valid(player) && enemy[size_t(player)]; }
    // Marks or unmarks one player; a mark on one side clears the other.
    void toggle(bool allySide, int player);
    // Marks every player on one side.
    void markAll(bool allySide);
    static bool valid(int player) { return player >= 0 && player < kPlayers; }
};

class Session final : public ProtocolHandler
{
public:
    Session(AppState& state, SessionView& view, LobbyView& lobby, GameView& game);

    AppState& state() { return state_; }
    const AppState& state() const { return state_; }
    Connection& connection() { return connection_; }

    // ---- Connection
    void open(const QString& host);
    // Ends an open connection (as a disconnection), or goes back to the idle
    // state when none is open.
    void close();

    // ---- The lobby
    void refresh();
    // Join the listed game at row, or create one; a missing name, game or
    // map is refused with a warning and nothing is sent (false).
    bool join(const QString& name, int row, int emblem);
    bool create(const QString& gameName, const std::optional<QString>& mapName, const QString& name,
                int emblem);
    // The master starts the game with its settings.
    void start(int speed);
    // The game's settings as the master chose them, or the server set them.
    void setGameSettings(int gameType, int minutes);
    int gameType() const { return gameType_; }
    int gameMinutes() const { return gameMinutes_; }
    const std::array<QString, kMaxListedGames>& mapsNamesArray() const { return mapsNamesArray_; }
    const std::array<int32_t, kMaxListedGames>& mapsNumsArray() const { return mapsNumsArray_; }
    int listedGames() const { return listedGames_; }

    // ---- Orders. Every message goes through send(): those the message table
    // marks step-gated leave only while the step guard is up, one per step.
    bool send(const QByteArray& message);
    // The step timer: the guard goes up again.
    void newStep() { state_.newStepCanBeSent = true; }
    bool stepGuardUp() const { return state_.newStepCanBeSent; }
    bool sendStep(char subCode, int32_t argument);

    // Arrow moves: dx, dy one of the four unit steps.
    void move(int dx, int dy);
    // Shift+arrow: from a city to the next city that way.
    void cityStep(int dx, int dy);
    bool canMoveTo(int dx, int dy);
    // A character typed in command mode: digits put, shifted digits get.
    void typeCharacter(const QString& text);
    // The number entry opens for a mode, and its amount is entered.
    void openEntry(EntryMode mode);
    void enterAmount(int32_t value);
    void clearEntry() { entryMode = kEntryNone; }
    void putAll();
    void getAllSoldiers();
    void cycleRoundTo();
    // Asks the server to pause or go on; false outside a game.
    bool togglePause();
    void sendMarketOrder(char operation, int32_t quantity, int32_t price);

    // ---- Chat
    ChatMarks& marks() { return marks_; }
    const ChatMarks& marks() const { return marks_; }
    // A line from the player named `ownName` to the recipients of `mode`;
    // in the lobby it goes to everybody. False (nothing sent) without a map.
    bool sendChat(ChatMode mode, const QString& ownName, const QString& line);
    // Voice button n (1..8): voiceIndex is the chosen voice (0-based) and
    // voiceText its line. Buttons 7 and 8 speak to allies, the others to
    // enemies; never to the own player.
    void sendVoice(int n, int voiceIndex, const QString& voiceText, const QString& ownName);

    // What the status panel shows now (its sound rule included).
    void refreshHud();

    static constexpr int32_t kInitialLeaveIfMore = 100; ///< before the server confirms one

    int entryMode = kEntryNone;
    int32_t definedValue = 0;
    int32_t roundTo = 0;
    int32_t leaveIfMore = kInitialLeaveIfMore;

    // ---- The server's messages
    void gameEntryName(const GameEntryName& m) override;
    void gameEntryMap(const GameEntryMap& m) override;
    void mapEntry(const MapEntry& m) override;
    void listEnd() override;
    void playerJoined(const PlayerJoined& m) override;
    void mapBegin() override;
    void mapData(const MapData& m) override;
    void gameInfo(const GameInfo& m) override;
    void stepNumber(const StepNumber& m) override;
    void gameStart(const GameStart& m) override;
    void cellUpdate(const CellUpdate& m) override;
    void playerUpdate(const PlayerUpdate& m) override;
    void youAre(const YouAre& m) override;
    void leaveIfMoreNotice(const LeaveIfMoreNotice& m) override;
    void roundToNotice(const RoundToNotice& m) override;
    void armyChangeNotice(const ArmyChangeNotice& m) override;
    void eventCame() override;
    void textMessage(const TextMessage& m) override;
    void gameOver() override;
    void protocolViolation(const QString& what) override;

private:
    QString text(const char* english, const char* russian) const;
    void log(const char* english, const char* russian);
    bool refuse(const char* english, const char* russian); ///< a warning; false
    void clearGames();
    void onConnected();
    void onEnded(Connection::End how);
    // Forgets the game: the orders' settings, the marks and the lists.
    void resetGame();
    QString stamp() const;

    AppState& state_;
    SessionView& view_;
    LobbyView& lobby_;
    GameView& game_;
    Connection connection_;
    ChatMarks marks_;
    std::array<QString, kMaxListedGames> mapsNamesArray_;
    std::array<int32_t, kMaxListedGames> mapsNumsArray_{};
    int listedGames_ = 0;
    bool dropNextMapPart_ = false; ///< the name part of this entry found no slot
    QStringList players_;          ///< in the waiting room
    int gameType_ = 0;
    int gameMinutes_ = kDefaultGameMinutes;
    bool foreignBlockWarned_ = false;
    QString pendingViolation_; ///< logged after "Error occured."
};

} // namespace vorlan
