#include "commands.h"

#include "chat.h"
#include "menumodel.h"
#include "orders.h"

#include <array>
#include <iterator>

namespace vorlan {

namespace {

template <int Code> void menuAction(CommandTarget& t)
{
    t.runMenuAction(Code);
}

template <int Mode> void chat(CommandTarget& t)
{
    t.openChat(Mode);
}

template <int N> void voice(CommandTarget& t)
{
    t.sendVoice(N);
}

void definedValue(CommandTarget& t)
{
    t.openEntry(kEntryDefinedValue);
}
void getAll(CommandTarget& t)
{
    t.getAllSoldiers();
}
void bot(CommandTarget& t)
{
    t.startStopBot();
}
void pause(CommandTarget& t)
{
    t.pause();
}
void garrisons(CommandTarget& t)
{
    t.toggleGarrisons();
}
void disguise(CommandTarget& t)
{
    t.putOnDisguise();
}

constexpr int F(int n)
{
    return vk::F1 + n - 1;
}
constexpr int kShift = kScShift;
constexpr int kCtrl = kScCtrl;
// The menu keys refuse a key without modifiers or with Shift alone.
constexpr unsigned kRefused = HotKeyRules::NoModifier | HotKeyRules::ShiftOnly;
constexpr HotKeyRules kAny{};
constexpr HotKeyRules kCtrlOnly{kRefused, kScCtrl};
constexpr HotKeyRules kPlainOnly{kRefused, 0};

using C = Command;
using S = Scope;
using H = Handling;

// The order is the dispatcher's: within one scope, the first row that
// matches runs first.
constexpr CommandInfo kCommands[] = {
    // clang-format off
    {C::BossKey, "BossKey", {F(12)}, kAny, 13, "BOSS HAVE COME:", "ПРИШЕЛ НАЧАЛЬНИК:", S::Anytime, H::Ends, disguise},
    {C::MenuNext, "MenuNext", {kCtrl | vk::Down, true}, kCtrlOnly, 29, "Menu Up:", "Меню - вниз:", S::Anytime, H::Handled, menuAction<kMenuNext>},
    {C::MenuNextSecond, "MenuNextSecond", {vk::Add}, kPlainOnly, 0, "", "", S::Anytime, H::Handled, menuAction<kMenuNext>},
    {C::MenuPrevious, "MenuPrevious", {kCtrl | vk::Up, true}, kCtrlOnly, 27, "Menu Down:", "Меню - вверх:", S::Anytime, H::Handled, menuAction<kMenuPrevious>},
    {C::MenuPreviousSecond, "MenuPreviousSecond", {vk::Subtract}, kPlainOnly, 0, "", "", S::Anytime, H::Handled, menuAction<kMenuPrevious>},
    {C::Pause, "Pause", {'P'}, kPlainOnly, 28, "Pause:", "Пауза:", S::Anytime, H::Handled, pause},
    {C::ShowMonitor, "ShowMonitor", {F(4)}, kAny, 14, "Show monitor:", "Монитор вкл/выкл:", S::InGame, H::Handled, menuAction<kMenuMonitor>},
    {C::SendToAllies, "SendToAllies", {F(7)}, kAny, 12, "Send to allies:", "Послать союзникам:", S::CommandMode, H::Handled, chat<kChatAllies>},
    {C::Market, "Market", {F(9)}, kAny, 17, "Market operations:", "Рыночные операции:", S::CommandMode, H::Handled, menuAction<kMenuMarket>},
    {C::SendToAll, "SendToAll", {F(8)}, kAny, 10, "Send msg to all:", "Послать мессагу всем:", S::CommandMode, H::Handled, menuAction<kMenuSendMessage>},
    {C::PutSoldiers, "PutSoldiers", {F(1)}, kAny, 1, "Put soldiers:", "Оставить солдат:", S::CommandMode, H::Handled, menuAction<kMenuPutSoldiers>},
    {C::PutDefinedValue, "PutDefinedValue", {F(2)}, kAny, 2, "Put defined value:", "Оставить опр. кол-во:", S::CommandMode, H::Handled, menuAction<kMenuPutAll>},
    {C::PutGold, "PutGold", {F(3)}, kAny, 4, "Put gold:", "Оставить золото:", S::CommandMode, H::Handled, menuAction<kMenuPutGold>},
    {C::LeaveIfMore, "LeaveIfMore", {F(5)}, kAny, 8, "Leave if more:", "Оставлять если больше:", S::CommandMode, H::Handled, menuAction<kMenuAutoLimit>},
    {C::RoundTo, "RoundTo", {F(6)}, kAny, 9, "Round to:", "Округлять до:", S::CommandMode, H::Handled, menuAction<kMenuRoundTo>},
    {C::Voice1, "Voice1", {kCtrl | F(1)}, kAny, 19, "Voice button 1:", "Голосовая кнопа 1:", S::Always, H::Passes, voice<1>},
    {C::Voice2, "Voice2", {kCtrl | F(2)}, kAny, 20, "Voice button 2:", "Голосовая кнопа 2:", S::Always, H::Passes, voice<2>},
    {C::Voice3, "Voice3", {kCtrl | F(3)}, kAny, 21, "Voice button 3:", "Голосовая кнопа 3:", S::Always, H::Passes, voice<3>},
    {C::Voice4, "Voice4", {kCtrl | F(4)}, kAny, 22, "Voice button 4:", "Голосовая кнопа 4:", S::Always, H::Passes, voice<4>},
    {C::Voice5, "Voice5", {kCtrl | F(5)}, kAny, 23, "Voice button 5:", "Голосовая кнопа 5:", S::Always, H::Passes, voice<5>},
    {C::Voice6, "Voice6", {kCtrl | F(6)}, kAny, 24, "Voice button 6:", "Голосовая кнопа 6:", S::Always, H::Passes, voice<6>},
    {C::Voice7, "Voice7", {kCtrl | F(7)}, kAny, 25, "Voice button 7:", "Голосовая кнопа 7:", S::Always, H::Passes, voice<7>},
    {C::Voice8, "Voice8", {kCtrl | F(8)}, kAny, 26, "Voice button 8:", "Голосовая кнопа 8:", S::Always, H::Passes, voice<8>},
    {C::SetDefinedValue, "SetDefinedValue", {kShift | F(5)}, kAny, 3, "Set defined value:", "Уст. опр. кол-во:", S::AlwaysButNeedsGame, H::Handled, definedValue},
    {C::StartStopBot, "StartStopBot", {kShift | F(6)}, kAny, 16, "Start/Stop Idiot:", "Старт/стоп дурака:", S::Always, H::Handled, bot},
    {C::SendToEnemies, "SendToEnemies", {kShift | F(7)}, kAny, 11, "Send to enemies:", "Послать врагам:", S::AlwaysButNeedsGame, H::Handled, chat<kChatEnemies>},
    {C::GetSoldiers, "GetSoldiers", {kShift | F(1)}, kAny, 5, "Get soldiers:", "Забрать солдат:", S::AlwaysButNeedsGame, H::Handled, menuAction<kMenuGetSoldiers>},
    {C::GetAllSoldiers, "GetAllSoldiers", {kShift | F(2)}, kAny, 6, "Get all soldiers:", "Забрать всех солдат:", S::Always, H::Handled, getAll},
    {C::GetGold, "GetGold", {kShift | F(3)}, kAny, 7, "Get gold:", "Забрать золото:", S::AlwaysButNeedsGame, H::Handled, menuAction<kMenuGetGold>},
    {C::ShowGarrisons, "ShowGarrisons", {kShift | F(4)}, kAny, 15, "Show/Hide  garrisons:", "Гарнизоны вкл/выкл:", S::Always, H::Handled, garrisons},
    // Edited, checked and stored like the others; the options window opens from the menu.
    {C::OptionsWindow, "OptionsWindow", {kCtrl | 'M'}, kAny, 18, "Options windows:", "Вызов опций:", S::Never, H::Passes, nullptr},
    // clang-format on
};

static_assert(std::size(kCommands) == kBindingCount);

// Each control once, so that the lookup below can index by control number.
constexpr bool everyControlOnce()
{
    bool seen[kBindingCount + 1] = {};
    for (const CommandInfo& c : kCommands) {
        if (c.hotKey() < 1 || c.hotKey() > kBindingCount || seen[c.hotKey()])
            return false;
        seen[c.hotKey()] = true;
    }
    return true;
}
static_assert(everyControlOnce());

} // namespace

std::span<const CommandInfo> commandTable()
{
    return kCommands;
}

const CommandInfo* commandInfo(int hotKey)
{
    static const auto byControl = [] {
        std::array<const CommandInfo*, kBindingCount + 1> index{};
        for (const CommandInfo& c : kCommands)
            index[c.hotKey()] = &c;
        return index;
    }();
    return hotKey >= 1 && hotKey <= kBindingCount ? byControl[hotKey] : nullptr;
}

const CommandInfo& commandInfo(Command c)
{
    return *commandInfo(hotKeyOf(c));
}

} // namespace vorlan
