#include "market.h"

#include "datafiles.h"
#include "map.h"
#include "rules.h"
#include "view/blockpictures.h"
#include "view/emblembox.h"

#include <algorithm>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <QVBoxLayout>

namespace vorlan {

namespace {

constexpr int kMaxHowMany = 50000;
constexpr int kMaxPrice = 500000;
constexpr int kAmountChars = 8;

QSpinBox* amountBox(const char* name, int max, int value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, max);
    box->setValue(value);
    box->setEnabled(false);
    box->findChild<QLineEdit*>()->setMaxLength(kAmountChars);
    return box;
}

QLineEdit* figureBox(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setEnabled(false);
    return edit;
}

QLabel* label(const char* name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

std::optional<MarketFunds> marketFunds(const Map& map)
{
    const Player* me = map.me();
    if (!me)
        return std::nullopt;
    return MarketFunds{me->cityGold, me->cityArmy};
}

MarketOrder marketOrder(int operation, int32_t howMany, int32_t price, int recipient)
{
    switch (operation) {
    case kMarketBuy:
        return {kMarketCodeBuy, howMany, price};
    case kMarketSell:
        return {kMarketCodeSell, howMany, price};
    case kMarketGift:
        return {char(kMarketCodeGiftTo0 + std::clamp(recipient, 0, kMaxOwners - 1)), howMany,
                price};
    default:
        return {kMarketCodeWithdraw, 0, 0};
    }
}

TForm6::TForm6(const BlockPictures& pictures, QWidget* parent)
    : QDialog(parent), emblems_(emblemImages(pictures))
{
    build();
    retranslate(Language::English);
}

TForm6::TForm6(QWidget* parent) : TForm6(BlockPictures(dataFolders()), parent) {}

void TForm6::build()
{
    setObjectName(QStringLiteral("TForm6"));

    marketOper = new QGroupBox(this);
    marketOper->setObjectName(QStringLiteral("marketOper"));
    auto* operations = new QVBoxLayout(marketOper);
    marketOperButtons = new QButtonGroup(this);
    for (int i = 0; i < kMarketOperations; ++i) {
        auto* b = new QRadioButton(marketOper);
        operations->addWidget(b);
        marketOperButtons->addButton(b, i);
    }
    marketOperButtons->button(kMarketCancel)->setChecked(true);

    Label1 = label("Label1", this);
    howMany = amountBox("howMany", kMaxHowMany, 100, this);
    Label2 = label("Label2", this);
    price = amountBox("price", kMaxPrice, 1, this);
    labelSell = label("labelSell", this);
    soldiers = figureBox("soldiers", this);
    labelMoney = label("labelMoney", this);
    money = figureBox("money", this);
    Label3 = label("Label3", this);
    imageYouPrefer = new EmblemBox(emblems_, this);
    imageYouPrefer->setObjectName(QStringLiteral("imageYouPrefer"));
    imageYouPrefer->setMinimumWidth(56);
    // Showing the recipient for a gift must not make the dialog jump.
    for (QWidget* w : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(imageYouPrefer)}) {
        QSizePolicy sp = w->sizePolicy();
        sp.setRetainSizeWhenHidden(true);
        w->setSizePolicy(sp);
        w->hide();
    }

    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QGridLayout;
    fields->setColumnStretch(1, 1);
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(howMany, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(price, 1, 1);
    fields->addWidget(labelSell, 2, 0);
    fields->addWidget(soldiers, 2, 1);
    fields->addWidget(labelMoney, 3, 0);
    fields->addWidget(money, 3, 1);
    fields->addWidget(Label3, 4, 0);
    fields->addWidget(imageYouPrefer, 4, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* all = new QVBoxLayout(this);
    all->addWidget(marketOper);
    all->addLayout(fields);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);

    connect(marketOperButtons, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            marketOperClick();
    });
    // A click on the operation already chosen recomputes it as well.
    connect(marketOperButtons, &QButtonGroup::idPressed, this,
            [this](int id) { operationPressedWasChecked_ = id == operation(); });
    connect(marketOperButtons, &QButtonGroup::idClicked, this, [this](int) {
        if (operationPressedWasChecked_)
            marketOperClick();
        operationPressedWasChecked_ = false;
    });
    connect(howMany, &QSpinBox::valueChanged, this, &TForm6::marketOperClick1);
    connect(price, &QSpinBox::valueChanged, this, &TForm6::marketOperClick1);
}

int TForm6::runFor(const Map& map, bool rus)
{
    prepare(marketFunds(map), rus);
    return exec();
}

void TForm6::prepare(std::optional<MarketFunds> funds, bool rus)
{
    funds_ = funds;
    rus_ = rus;
    marketOperClick();
}

int TForm6::operation() const
{
    return marketOperButtons->checkedId();
}

void TForm6::setOperation(int op)
{
    if (QAbstractButton* b = marketOperButtons->button(op)) {
        if (b->isChecked())
            marketOperClick();
        else
            b->setChecked(true);
    }
}

std::optional<MarketOrder> TForm6::order() const
{
    if (result() != QDialog::Accepted)
        return std::nullopt;
    return currentOrder();
}

MarketOrder TForm6::currentOrder() const
{
    return marketOrder(operation(), howMany->value(), price->value(),
                       imageYouPrefer->currentIndex());
}

void TForm6::marketOperClick()
{
    const Language lang = languageOf(rus_);
    Label1->setText(tr2(lang, "How many ?", "Скоко?"));
    Label2->setText(tr2(lang, "Gold for one soldier", "Цена одного солдата"));
    Label3->hide();
    imageYouPrefer->hide();
    if (!funds_) {
        marketOperClick1();
        return;
    }
    const MarketFunds f = *funds_;
    switch (operation()) {
    case kMarketBuy:
        howMany->setEnabled(true);
        price->setEnabled(true);
        labelSell->setText(tr2(lang, "You can buy", "Можете купить"));
        labelMoney->setText(tr2(lang, "Gold you have", "У вас денег"));
        money->setText(QString::number(f.cityGold));
        break;
    case kMarketSell:
        howMany->setValue(f.cityArmy);
        howMany->setEnabled(true);
        price->setEnabled(true);
        labelSell->setText(tr2(lang, "You can sell", "Можете продать"));
        labelMoney->setText(tr2(lang, "Gold you'll receive", "Получите денег"));
        soldiers->setText(QString::number(f.cityArmy));
        break;
    case kMarketGift:
        if (imageYouPrefer->currentIndex() < 0)
            imageYouPrefer->setCurrentIndex(0);
        Label3->setText(tr2(lang, "Whom to gift", "Кого одарить"));
        Label3->show();
        imageYouPrefer->show();
        howMany->setEnabled(true);
        price->setEnabled(true);
        labelSell->setText(tr2(lang, "Soldiers max to gift", "Можете подарить солдат"));
        labelMoney->setText(tr2(lang, "Gold max to gift", "Можете подарить денег"));
        Label1->setText(tr2(lang, "Soldiers to gift", "Подарить солдат"));
        Label2->setText(tr2(lang, "Gold to gift", "Подарить золота"));
        howMany->setValue(f.cityArmy);
        soldiers->setText(QString::number(f.cityArmy));
        money->setText(QString::number(f.cityGold));
        break;
    default:
        howMany->setEnabled(false);
        price->setEnabled(false);
        soldiers->clear();
        money->clear();
        break;
    }
    marketOperClick1();
}

void TForm6::marketOperClick1()
{
    if (!funds_)
        return;
    const MarketFunds f = *funds_;
    const int op = operation();
    if (op == kMarketBuy || op == kMarketSell) {
        if (howMany->value() <= 0)
            howMany->setValue(1);
        if (price->value() <= 0)
            price->setValue(1);
        // 64 bits: the gold a sale brings can exceed what 32 bits hold.
        if (op == kMarketBuy)
            soldiers->setText(QString::number(int64_t(f.cityGold) / price->value()));
        else
            money->setText(QString::number(int64_t(price->value()) * f.cityArmy));
    }
    // A gift may be 0 of either; the entries cannot go below 0, so there is
    // nothing to correct then.
}

void TForm6::retranslate(Language lang)
{
    rus_ = lang == Language::Russian;
    const auto t = [lang](const char* english, const char* russian) {
        return tr2(lang, english, russian);
    };
    setWindowTitle(t("Market", "Торговля"));
    marketOper->setTitle(t("Choose operation type", "Выберите тип операции"));
    const QString items[kMarketOperations] = {
        t("Cancel market operation", "Отменить операцию"),
        t("Buy soldiers", "Купить солдат"),
        t("Sell soldiers", "Продать солдат"),
        t("Gift soldiers and gold", "Подарить солдат или золото"),
    };
    for (int i = 0; i < kMarketOperations; ++i)
        marketOperButtons->button(i)->setText(items[i]);
    Label1->setText(t("How many ?", "Скоко?"));
    Label2->setText(t("Gold for one soldier", "Цена одного солдата"));
    labelSell->setText(t("You can sell:", "Можете продать"));
    labelMoney->setText(t("Money you'll receive", "Получите денег"));
    Label3->setText(t("Whom to gift", "Кого одарить"));
    imageYouPrefer->setToolTip(
        t("Select icon you want to use in the game. If somebody already uses this icon, "
          "you will receive first available",
          "Выберите эмблему, которую хотите использовать в игре. "
          "Если её уже кто-то использует, вы получите первую свободную"));
    Button1->setText(t("Ok", "Принять"));
    Button2->setText(t("Cancel", "Отменить"));
    // The new item list starts at its first item.
    setOperation(kMarketCancel);
}

} // namespace vorlan
