#pragma once

#include <array>
#include <cstdint>
#include <QString>

class QKeyEvent;
class QStyledItemDelegate;

namespace vorlan {

class TForm1;
class BlockPictures;
struct AppState;

// Who a line goes to.
enum ChatMode : int
{
    kChatNone = 0,
    kChatAll = 2,
    kChatAllies = 3,
    kChatEnemies = 4
};

// Chat lines and voice messages, and the grid of recipients (`chatOptions`):
// per player an ally or enemy mark and, fading, his last army change.
class ChatControls
{
public:
    static constexpr int kMarkRows = 8; ///< rows 1..8 are players 0..7
    static constexpr int kAllRow = 9;   ///< row 9 sets a whole column
    static constexpr int kAllyColumn = 1;
    static constexpr int kEnemyColumn = 2;
    static constexpr int kChangeColumn = 3;
    static constexpr int kFreshChange = 7; ///< ticks a change stays in view

    ChatControls(TForm1& main, AppState& state, BlockPictures& pictures);

    // Every player marked as an ally, no enemies, no changes shown.
    void resetMarks();
    bool isAlly(int player) const { return hasMark(kAllyColumn, player); }
    bool isEnemy(int player) const { return hasMark(kEnemyColumn, player); }
    // A press on the grid's cell (column, row).
    void mark(int column, int row);
    // The header row and column can never become the grid's current cell.
    void fixHeaderCells();
    // A key in the grid: Space marks the current cell like a press; true
    // when the key was used.
    bool chatOptionsKeyDown(QKeyEvent& event);

    void openChat(ChatMode mode);
    // Enter or Esc in the entry; true when the key was used.
    bool msgToSendKeyDown(QKeyEvent& event);
    // The entry lost the focus during a game: it closes, and command mode
    // returns unless the focus went to the amount entry.
    void msgToSendExit();
    void sendToPlayer(int32_t recipient, const QString& text);
    // Voice button n (1..8): voiceIndex is the chosen voice (0-based) and
    // voiceText its line. Buttons 7 and 8 speak to allies, the others to
    // enemies; never to the own player.
    void sendVoice(int n, int voiceIndex, const QString& voiceText);

    void showArmyChange(int player, int32_t change);
    // One tick of the fading of the army changes.
    void ageChanges();
    void repaintGrid();

    int chatMode = kChatNone;
    // Fading counters of rows 0..9 (only 1..8 are used).
    std::array<int, 10> changeAge{};

private:
    bool hasMark(int column, int player) const;
    void setCell(int column, int row, const QString& text);

    TForm1& main_;
    AppState& state_;
};

} // namespace vorlan
