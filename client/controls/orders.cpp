#include "orders.h"

#include "chat.h"
#include "net/appstate.h"
#include "net/connection.h"
#include "net/encoders.h"
#include "net/mainwindow.h"
#include "rules.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vorlan {

QString withChange(int32_t value, int32_t change)
{
    QString s = QString::number(value);
    if (change > 0)
        s += QStringLiteral("(+%1)").arg(change);
    else if (change < 0)
        s += QStringLiteral("(%1)").arg(change);
    return s;
}

Orders::Orders(TForm1& main, AppState& state) : main_(main), state_(state) {}

QString Orders::texts(const char* english, const char* russian) const
{
    return QString::fromUtf8(state_.rus ? russian : english);
}

bool Orders::sendStep(char subCode, int32_t argument)
{
    return sendStepGated(state_.newStepCanBeSent, step(subCode, argument),
                         [this](const QByteArray& m) { main_.connection().write(m); });
}

bool Orders::canMoveTo(int dx, int dy)
{
    const Map* map = state_.map.get();
    const Player* me = map ? map->me() : nullptr;
    if (!me)
        return false;
    const int tx = me->x + dx, ty = me->y + dy;
    if (!map->contains(tx, ty))
        return false;
    const int k = map->cell(tx, ty).kind;
    if (k <= kLastOwner && k != map->myIndex && me->army > 0)
        main_.playEvent(Sound::Event::YourAttack);
    if (k == kImpassable)
        return false;
    if (k == kNeutral || k == kGoldMine || k == kCity)
        return true;
    if (me->army == 0)
        return true;
    // Carrying soldiers, nobody walks into an ally's block.
    const bool ally =
        main_.chat().isAlly(k) && !map->players[k].name.isEmpty() && k != map->myIndex;
    return !ally;
}

void Orders::move(int dx, int dy)
{
    const Map* map = state_.map.get();
    const Player* me = map ? map->me() : nullptr;
    if (!me)
        return;
    static const struct
    {
        int dx, dy;
        char code;
    } moves[] = {{-1, 0, kStepLeft}, {1, 0, kStepRight}, {0, -1, kStepUp}, {0, 1, kStepDown}};
    for (const auto& m : moves) {
        if (m.dx != dx || m.dy != dy)
            continue;
        const bool insideAfter = map->contains(me->x + dx, me->y + dy);
        if (insideAfter && canMoveTo(dx, dy))
            sendStep(m.code, 0);
        return;
    }
}

void Orders::cityStep(int dx, int dy)
{
    const Map* map = state_.map.get();
    const Player* me = map ? map->me() : nullptr;
    if (!me || !map->contains(me->x, me->y) || map->cell(me->x, me->y).kind != kCity)
        return;
    const char code = dx < 0   ? kStepCityLeft
                      : dx > 0 ? kStepCityRight
                      : dy < 0 ? kStepCityUp
                               : kStepCityDown;
    sendStep(code, 0);
}

void Orders::focusButtonKeyPress(const QString& text)
{
    if (text.size() != 1)
        return;
    const QChar c = text.front();
    if (c >= QLatin1Char('1') && c <= QLatin1Char('9')) {
        sendStep(kStepPutSoldiers, 10 * (c.unicode() - '0'));
    } else if (c == QLatin1Char('0')) {
        sendStep(kStepPutSoldiers, 100);
    } else {
        const QString shifted = QStringLiteral("!@#$%^&*()");
        const qsizetype i = shifted.indexOf(c);
        if (i >= 0)
            sendStep(kStepGetSoldiers, int32_t(10 * (i + 1)));
    }
}

void Orders::openEntry(EntryMode mode)
{
    entryMode = mode;
    switch (mode) {
    case kEntryPutArmy:
        main_.Label12->setText(texts("Put army", "Оставить солдат"));
        main_.playEvent(Sound::Event::MakingPost);
        break;
    case kEntryGetArmy:
        main_.Label12->setText(texts("Get army", "Забрать солдат"));
        break;
    case kEntryPutGold:
        main_.Label12->setText(texts("Put gold", "Остав. золото"));
        break;
    case kEntryGetGold:
        main_.Label12->setText(texts("Get gold", "Забрать зол."));
        break;
    case kEntryLeaveIfMore:
        main_.Label12->setText(texts("Enter value", "Введите число"));
        main_.deltaArmyText->setText(QString::number(leaveIfMore));
        break;
    case kEntryDefinedValue:
        main_.Label12->setText(texts("Put army default", "Ост.по умолч."));
        main_.deltaArmyText->setText(QString::number(definedValue));
        break;
    case kEntryNone:
        return;
    }
    main_.deltaArmyText->setFocus();
}

void Orders::deltaArmyTextEnter()
{
    if (entryMode == kEntryNone)
        main_.focusButton->setFocus();
    else
        main_.deltaArmyText->selectAll();
}

bool Orders::deltaArmyTextKeyDown(QKeyEvent& event)
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    bool ok = false;
    int32_t value = main_.deltaArmyText->text().trimmed().toInt(&ok);
    if (!ok) {
        if (!enter)
            return false;
        main_.deltaArmyText->setText(QStringLiteral("0"));
        value = 0;
    }
    if (!enter)
        return false;
    switch (entryMode) {
    case kEntryPutArmy:
        sendStep(kStepPutSoldiers, value);
        break;
    case kEntryGetArmy:
        sendStep(kStepGetSoldiers, value);
        break;
    case kEntryPutGold:
        sendStep(kStepPutGold, value);
        break;
    case kEntryGetGold:
        sendStep(kStepGetGold, value);
        break;
    case kEntryLeaveIfMore:
        sendStep(kStepLeaveIfMore, value);
        leaveIfMore = value;
        if (Map* map = state_.map.get(); map && map->me())
            map->me()->leaveIfMore = value;
        refreshHud();
        break;
    case kEntryDefinedValue:
        definedValue = value;
        break;
    default:
        break;
    }
    entryMode = kEntryNone;
    main_.Label12->clear();
    main_.focusButton->setFocus();
    return true;
}

void Orders::putAll()
{
    sendStep(kStepPutSoldiers, definedValue);
    main_.playEvent(Sound::Event::MakingPost);
}

void Orders::getAllSoldiers()
{
    main_.Label12->setText(texts("Get all army", "Забрать всю"));
    sendStep(kStepGetSoldiers, 0);
}

void Orders::cycleRoundTo()
{
    switch (roundTo) {
    case 0:
        sendStep(kStepRoundTo, 30);
        break;
    case 30:
        sendStep(kStepRoundTo, 100);
        break;
    case 100:
        sendStep(kStepRoundTo, 0);
        break;
    default:
        break;
    }
    refreshHud();
}

void Orders::refreshHud()
{
    const Map* map = state_.map.get();
    const Player* me = map ? map->me() : nullptr;
    if (!me)
        return; // nothing to show before the server names the own player
    main_.yourArmyText->setText(withChange(me->army, me->armyChange));
    main_.yourGoldText->setText(withChange(me->gold, me->goldChange));
    const int kind = map->contains(me->x, me->y) ? map->cell(me->x, me->y).kind : kImpassable;
    if (kind == kGoldMine || kind == map->myIndex) {
        if (kind == map->myIndex)
            foreignBlockWarned = false;
        const Cell& c = map->cell(me->x, me->y);
        main_.armyText->setText(QString::number(c.army));
        main_.goldText->setText(QString::number(c.gold));
    } else if (kind == kCity) {
        main_.armyText->setText(QString::number(me->cityArmy));
        main_.goldText->setText(QString::number(me->cityGold));
    } else {
        main_.armyText->setText(QStringLiteral("------"));
        main_.goldText->setText(QStringLiteral("------"));
        if (!foreignBlockWarned)
            main_.playEvent(Sound::Event::YourAttackFailure);
        foreignBlockWarned = true;
    }
    main_.roundToText->setText(QString::number(roundTo));
    main_.leaveIfMoreText->setText(QString::number(leaveIfMore));
}

} // namespace vorlan
