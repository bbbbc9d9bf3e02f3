#include "orders.h"

#include "view/mainwindow.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vorlan {

QString Orders::texts(const char* english, const char* russian) const
{
    return QString::fromUtf8(session_.state().rus ? russian : english);
}

void Orders::openEntry(EntryMode mode)
{
    session_.openEntry(mode);
    switch (mode) {
    case kEntryPutArmy:
        main_.Label12->setText(texts("Put army", "Оставить солдат"));
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
        main_.deltaArmyText->setText(QString::number(session_.leaveIfMore));
        break;
    case kEntryDefinedValue:
        main_.Label12->setText(texts("Put army default", "Ост.по умолч."));
        main_.deltaArmyText->setText(QString::number(session_.definedValue));
        break;
    case kEntryNone:
        return;
    }
    main_.deltaArmyText->setFocus();
}

void Orders::deltaArmyTextEnter()
{
    if (session_.entryMode == kEntryNone)
        main_.focusButton->setFocus();
    else
        main_.deltaArmyText->selectAll();
}

bool Orders::deltaArmyTextKeyDown(QKeyEvent& event)
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (!enter)
        return false;
    bool ok = false;
    int32_t value = main_.deltaArmyText->text().trimmed().toInt(&ok);
    if (!ok) {
        main_.deltaArmyText->setText(QStringLiteral("0"));
        value = 0;
    }
    session_.enterAmount(value);
    main_.Label12->clear();
    main_.focusButton->setFocus();
    return true;
}

void Orders::getAllSoldiers()
{
    main_.Label12->setText(texts("Get all army", "Забрать всю"));
    session_.getAllSoldiers();
}

} // namespace vorlan
