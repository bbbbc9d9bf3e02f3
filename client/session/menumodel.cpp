#include "menumodel.h"

namespace vorlan {

namespace {

constexpr MenuModel::Mask maskOf(std::initializer_list<int> items)
{
    MenuModel::Mask m{};
    for (int i : items)
        m[i] = true;
    return m;
}

constexpr MenuModel::Mask kNoConnect = maskOf({0, 15, 16, 17, 18, 19, 21});
constexpr MenuModel::Mask kLobby = maskOf({1, 2, 3, 15, 16, 17, 18, 19, 20});
constexpr MenuModel::Mask kMasterWaiting = maskOf({4, 15, 16, 17, 18, 19, 20});
constexpr MenuModel::Mask kJoinedWaiting = maskOf({15, 16, 17, 18, 19, 20});
constexpr MenuModel::Mask kInGame = maskOf({5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 18, 20});

const char* const kEnglish[kMenuItemCount] = {
    " Connect",      " Refresh", " Join game",       " Create game", " START !",    " Send message",
    " Put soldiers", " Put all", " Get soldiers",    " Round to",    " Auto limit", " Put gold",
    " Get gold",     " Market",  " Players Monitor", " Language",    " Options",    "Redefine keys",
    " Help",         " About",   " Disconnect",      " Exit",
};

const char* const kRussian[kMenuItemCount] = {
    " Коннект",        " Обновить",        " Вступить в игру", " Создать игру",
    " СТАРТ !",        " Послать мессагу", " Оставить солдат", " Оставить всех",
    " Забрать солдат", " Округлять до",    " Авто лимит",      " Оставить золото",
    " Забрать золото", " Торговля",        " Монитор игроков", " Сменить язык",
    " Опции",          "Измен. кнопки",    " Помощь",          " О программе",
    " Дисконнект",     " Выход",
};

} // namespace

const MenuModel::Mask& MenuModel::mask(MenuSet set)
{
    switch (set) {
    case MenuSet::NoConnect:
        return kNoConnect;
    case MenuSet::Lobby:
        return kLobby;
    case MenuSet::MasterWaiting:
        return kMasterWaiting;
    case MenuSet::JoinedWaiting:
        return kJoinedWaiting;
    case MenuSet::InGame:
        return kInGame;
    }
    return kNoConnect;
}

QString MenuModel::text(int item, bool rus)
{
    if (item < 0 || item >= kMenuItemCount)
        return {};
    return QString::fromUtf8(rus ? kRussian[item] : kEnglish[item]);
}

void MenuModel::setMenuState(MenuSet set)
{
    state_ = set;
    menuIndex_ = 0;
    while (menuIndex_ < kMenuItemCount - 1 && !visible(menuIndex_))
        ++menuIndex_;
}

int MenuModel::row(int item) const
{
    if (!visible(item))
        return -1;
    int k = 0;
    for (int i = 0; i < item; ++i)
        k += visible(i);
    return k;
}

bool MenuModel::select(int item)
{
    if (!visible(item))
        return false;
    menuIndex_ = item;
    return true;
}

void MenuModel::next()
{
    for (int step = 1; step <= kMenuItemCount; ++step) {
        const int i = (menuIndex_ + step) % kMenuItemCount;
        if (visible(i)) {
            menuIndex_ = i;
            return;
        }
    }
}

void MenuModel::previous()
{
    for (int step = 1; step <= kMenuItemCount; ++step) {
        const int i = (menuIndex_ - step + kMenuItemCount) % kMenuItemCount;
        if (visible(i)) {
            menuIndex_ = i;
            return;
        }
    }
}

} // namespace vorlan
