#pragma once

#include "session.h"

#include <array>
#include <cstdint>
#include <QString>

class QKeyEvent;
class QStyledItemDelegate;

namespace vorlan {

class TForm1;
class BlockPictures;

// The chat entry and the grid of recipients (`chatOptions`) as the main
// window shows them: per player the session's ally or enemy mark and, fading,
// his last army change.
class ChatControls
{
public:
    static constexpr int kMarkRows = 8; ///< rows 1..8 are players 0..7
    static constexpr int kAllRow = 9;   ///< row 9 sets a whole column
    static constexpr int kAllyColumn = 1;
    static constexpr int kEnemyColumn = 2;
    static constexpr int kChangeColumn = 3;
    static constexpr int kFreshChange = 7; ///< ticks a change stays in view

    ChatControls(TForm1& main, Session& session, BlockPictures& pictures);

    // Every player marked as an ally, no enemies, no changes shown.
    void resetMarks();
    bool isAlly(int player) const { return session_.marks().isAlly(player); }
    bool isEnemy(int player) const { return session_.marks().isEnemy(player); }
    // The grid's mark cells, from the session's marks.
    void showMarks();
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
    // Voice button n (1..8) with the chosen voice (0-based) and its line.
    void sendVoice(int n, int voiceIndex, const QString& voiceText);

    void showArmyChange(int player, int32_t change);
    // One tick of the fading of the army changes.
    void ageChanges();
    void repaintGrid();

    int chatMode = kChatNone;
    // Fading counters of rows 0..9 (only 1..8 are used).
    std::array<int, 10> changeAge{};

private:
    void setCell(int column, int row, const QString& text);

    TForm1& main_;
    Session& session_;
};

} // namespace vorlan
