#pragma once

#include <cstdint>
#include <QString>

class QKeyEvent;

namespace vorlan {

class TForm1;
struct AppState;

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

// The player's orders: moving, putting and getting soldiers and gold, the
// auto limit and "Round to", each one step message under the step guard,
// and the status panels that show what he carries and what lies under him.
class Orders
{
public:
    Orders(TForm1& main, AppState& state);

    // Sends one step message if the guard allows it; the guard goes down
    // either way. Returns whether it was sent.
    bool sendStep(char subCode, int32_t argument);

    // Arrow moves in command mode: dx, dy one of the four unit steps.
    void move(int dx, int dy);
    // Shift+arrow: from a city to the next city that way.
    void cityStep(int dx, int dy);
    bool canMoveTo(int dx, int dy);

    // A character typed on the focus button: digits put, shifted digits get.
    void focusButtonKeyPress(const QString& text);

    // The typed-amount entries (menu actions and keys).
    void openEntry(EntryMode mode);
    // Enter in the number entry; returns true when it took the key.
    bool deltaArmyTextKeyDown(QKeyEvent& event);
    void deltaArmyTextEnter();

    void putAll();
    void getAllSoldiers();
    void cycleRoundTo();

    void refreshHud();

    // Forgets a pending entry (every command key in a game does this).
    void clearEntry() { entryMode = kEntryNone; }

    static constexpr int32_t kInitialLeaveIfMore = 100; ///< before the server confirms one

    int entryMode = kEntryNone;
    int32_t definedValue = 0;
    int32_t roundTo = 0;
    int32_t leaveIfMore = kInitialLeaveIfMore;
    bool foreignBlockWarned = false;

private:
    QString texts(const char* english, const char* russian) const;

    TForm1& main_;
    AppState& state_;
};

// "120", "120(+5)", "120(-5)": a value with its last change.
QString withChange(int32_t value, int32_t change);

} // namespace vorlan
