#pragma once

#include <array>
#include <QString>

namespace vorlan {

constexpr int kMenuItemCount = 22;
constexpr int kMenuNext = 100;     ///< action code: highlight the next visible item
constexpr int kMenuPrevious = 101; ///< action code: highlight the previous visible item

// Action codes of the menu items; the index of an item is its code.
enum MenuAction : int
{
    kMenuConnect = 0,
    kMenuRefresh = 1,
    kMenuJoin = 2,
    kMenuCreate = 3,
    kMenuStart = 4,
    kMenuSendMessage = 5,
    kMenuPutSoldiers = 6,
    kMenuPutAll = 7,
    kMenuGetSoldiers = 8,
    kMenuRoundTo = 9,
    kMenuAutoLimit = 10,
    kMenuPutGold = 11,
    kMenuGetGold = 12,
    kMenuMarket = 13,
    kMenuMonitor = 14,
    kMenuLanguage = 15,
    kMenuOptions = 16,
    kMenuRedefineKeys = 17,
    kMenuHelp = 18,
    kMenuAbout = 19,
    kMenuDisconnect = 20,
    kMenuExit = 21,
};

// Which items a phase of the connection shows.
enum class MenuSet
{
    NoConnect,
    Lobby,
    MasterWaiting,
    JoinedWaiting,
    InGame
};

// The in-game menu without its widgets: which items are visible and which
// one is highlighted. Every search over the items is bounded, and each set
// has at least one visible item.
class MenuModel
{
public:
    using Mask = std::array<bool, kMenuItemCount>;

    static const Mask& mask(MenuSet set);
    static QString text(int item, bool rus);

    MenuModel() { setMenuState(MenuSet::NoConnect); }

    // Applies a set; the highlight goes to its lowest visible item.
    void setMenuState(MenuSet set);
    MenuSet state() const { return state_; }

    bool visible(int item) const
    {
        return item >= 0 && item < kMenuItemCount && mask(state_)[item];
    }
    // Row of a visible item among the visible ones (0 for the first), -1 if hidden.
    int row(int item) const;

    int menuIndex() const { return menuIndex_; }
    // Highlights a visible item (a click); hidden items are refused.
    bool select(int item);
    // Moves the highlight to the next / previous visible item, wrapping.
    void next();
    void previous();

private:
    MenuSet state_ = MenuSet::NoConnect;
    int menuIndex_ = 0;
};

} // namespace vorlan
