#include "monitor.h"

#include "appstate.h"
#include "rankings.h"
#include "rules.h"
#include "view/blockpictures.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vorlan {

namespace {

constexpr int kDefaultRowHeight = 18;
constexpr int kPlayerRowHeight = 20;
constexpr int kFreeRowHeight = 1; // a free record leaves a thin line in place
constexpr int kEmblemInset = 2;
constexpr int kEmblemRole = Qt::UserRole + 1;

const QColor kPurple(128, 0, 128);
const QColor kFixed(72, 0, 88);
const QColor kGridLines(176, 112, 176);

constexpr int kWidths[TForm3::kColumns] = {20, 70, 80, 20, 80, 20, 80, 20, 80, 20, 45, 80};

// Each column's header and its hint, English and Russian side by side.
struct Header
{
    const char* english;
    const char* russian;
    const char* hintEnglish;
    const char* hintRussian;
};
constexpr Header kHeaders[TForm3::kColumns] = {
    {"", "", "The player's emblem", "Эмблема игрока"},
    {" Name", " Имя", "The player", "Игрок"},
    {"  Army", "  Армия", "Soldiers on his blocks, with him and in cities",
     "Солдаты на его клетках, с ним и в городах"},
    {"Pl", "М", "Place by army", "Место по армии"},
    {"  Gold", " Золото", "Gold with him and in cities", "Золото с ним и в городах"},
    {"Pl", "М", "Place by gold", "Место по золоту"},
    {"  Blocks", "  Клеток", "Blocks he holds", "Его клетки"},
    {"Pl", "М", "Place by blocks", "Место по клеткам"},
    {"  Killed", "  Убито", "Soldiers he killed", "Убитые им солдаты"},
    {"Pl", "М", "Place by soldiers killed", "Место по убитым"},
    {"Oper", "Опер", "His offer on the market", "Его предложение на рынке"},
    {"Number", "Количество", "Soldiers in his offer", "Солдат в предложении"},
};
constexpr int kOfferColumn = 10;
constexpr int kAmountColumn = 11;

// Room a cell needs beside its text (the item's margins and the grid line).
constexpr int kCellPadding = 10;

// Draws the player's emblem unscaled in the top-left corner of its cell.
class EmblemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        painter->fillRect(option.rect, kFixed);
        const QImage emblem = index.data(kEmblemRole).value<QImage>();
        if (emblem.isNull())
            return;
        painter->save();
        painter->setClipRect(option.rect);
        painter->drawImage(option.rect.topLeft() + QPoint(kEmblemInset, kEmblemInset), emblem);
        painter->restore();
    }
};

QTableWidgetItem* itemAt(QTableWidget* grid, int row, int col)
{
    QTableWidgetItem* item = grid->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled);
        grid->setItem(row, col, item);
    }
    return item;
}

} // namespace

QString marketOfferText(int32_t offer, bool rus)
{
    switch (offer) {
    case kOfferNone:
        return rus ? QString::fromUtf8("Нет") : QStringLiteral("None");
    case kOfferBuy:
        return rus ? QString::fromUtf8("Куплю") : QStringLiteral("Buy");
    case kOfferSell:
        return rus ? QString::fromUtf8("Продам") : QStringLiteral("Sell");
    default:
        return {};
    }
}

TForm3::TForm3(AppState& state, BlockPictures& pictures, QWidget* parent)
    : QDialog(parent, Qt::Tool), state_(state), pictures_(pictures)
{
    setObjectName(QStringLiteral("TForm3"));
    resize(643, 165);

    monitor = new QTableWidget(kPlayerRows, kColumns, this);
    monitor->setObjectName(QStringLiteral("monitor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(monitor);

    QFont font = monitor->font();
    font.setPixelSize(13);
    font.setBold(true);
    monitor->setFont(font);
    monitor->setStyleSheet(QStringLiteral("QTableWidget { background-color: %1; color: white;"
                                          " gridline-color: %2; }"
                                          "QHeaderView { background-color: %3; }"
                                          "QHeaderView::section { background-color: %3;"
                                          " color: white; font-weight: bold;"
                                          " border: 0px; border-right: 1px solid %2;"
                                          " border-bottom: 1px solid %2; padding-left: 1px; }")
                               .arg(kPurple.name(), kGridLines.name(), kFixed.name()));
    monitor->setShowGrid(true);
    monitor->setEditTriggers(QAbstractItemView::NoEditTriggers);
    monitor->setSelectionMode(QAbstractItemView::NoSelection);
    monitor->setFocusPolicy(Qt::StrongFocus);
    monitor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    monitor->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    monitor->setWordWrap(false);
    monitor->setTextElideMode(Qt::ElideNone); // a long name is cut at the cell's edge
    monitor->setItemDelegateForColumn(0, new EmblemDelegate(monitor));

    QHeaderView* rows = monitor->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(kFreeRowHeight);
    rows->setDefaultSectionSize(kDefaultRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* cols = monitor->horizontalHeader();
    cols->setSectionsMovable(true);
    cols->setSectionResizeMode(QHeaderView::Interactive);
    cols->setMinimumSectionSize(1);
    cols->setFixedHeight(kDefaultRowHeight);
    cols->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    cols->setHighlightSections(false);
    for (int c = 0; c < kColumns; ++c)
        monitor->setColumnWidth(c, kWidths[c]);

    monitor->installEventFilter(this);
    retranslate(Language::English);
}

void TForm3::retranslate(Language lang)
{
    setWindowTitle(tr2(lang, "Monitor", "Монитор игроков"));
    setToolTip(tr2(lang, "All players of the game", "Все игроки этой игры"));
    QStringList headers;
    for (const Header& h : kHeaders)
        headers << tr2(lang, h.english, h.russian);
    monitor->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < kColumns; ++c)
        monitor->horizontalHeaderItem(c)->setToolTip(
            tr2(lang, kHeaders[c].hintEnglish, kHeaders[c].hintRussian));
    // The Russian offer texts and last header are longer than their columns:
    // under Russian those two columns grow, and the window with them.
    const bool rus = lang == Language::Russian;
    const QFontMetrics m(monitor->font());
    auto fit = [&](int column, std::initializer_list<QString> texts) {
        int width = kWidths[column];
        for (const QString& t : texts)
            if (rus)
                width = std::max(width, m.horizontalAdvance(t) + kCellPadding);
        const int grown = width - monitor->columnWidth(column);
        monitor->setColumnWidth(column, width);
        return grown;
    };
    const int grown = fit(kOfferColumn, {headers[kOfferColumn], marketOfferText(0, rus),
                                         marketOfferText(1, rus), marketOfferText(2, rus)}) +
                      fit(kAmountColumn, {headers[kAmountColumn]});
    resize(width() + grown, height());
}

QString TForm3::cellText(int col, int row) const
{
    if (row == 0) {
        const QTableWidgetItem* h = monitor->horizontalHeaderItem(col);
        return h ? h->text() : QString();
    }
    const QTableWidgetItem* item = monitor->item(row - 1, col);
    return item ? item->text() : QString();
}

void TForm3::refreshMonitor(Map& map, bool rus)
{
    refreshTotals(map);
    // Row r always belongs to record r - 1; rows are never sorted.
    const int shown = std::min(recordsInUse(map), kPlayerRows);
    for (int i = 0; i < kPlayerRows; ++i) {
        const Player& p = map.players[i];
        const bool named = i < shown && !p.name.isEmpty();
        monitor->setRowHeight(i, named ? kPlayerRowHeight : kFreeRowHeight);
        if (!named)
            continue;
        QImage emblem = pictures_.original(i);
        if (emblem.isNull()) {
            emblem = QImage(16, 16, QImage::Format_RGB32);
            emblem.fill(BlockPictures::fallbackColor(i));
        }
        itemAt(monitor, i, 0)->setData(kEmblemRole, emblem);
        itemAt(monitor, i, 1)->setText(QStringLiteral(" ") + p.name);
        const int32_t figures[] = {p.armyTotal, p.armyPlace,   p.goldTotal,   p.goldPlace,
                                   p.blocks,    p.blocksPlace, p.killedTotal, p.killedPlace};
        for (int k = 0; k < 8; ++k)
            itemAt(monitor, i, 2 + k)->setText(QString::number(figures[k]));
        const QString offer = marketOfferText(p.marketOffer, rus);
        if (!offer.isNull())
            itemAt(monitor, i, 10)->setText(offer);
        itemAt(monitor, i, 11)->setText(QString::number(p.marketAmount));
    }
}

void TForm3::refreshMonitor()
{
    if (state_.map)
        refreshMonitor(*state_.map, state_.rus);
}

void TForm3::refreshIfVisible()
{
    if (isVisible())
        refreshMonitor();
}

void TForm3::showEvent(QShowEvent* event)
{
    refreshMonitor();
    QDialog::showEvent(event);
}

void TForm3::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        emit hidden();
}

void TForm3::setModifiers(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers m = event->modifiers();
    state_.Shifted = m.testFlag(Qt::ShiftModifier);
    state_.Ctrled = m.testFlag(Qt::ControlModifier);
    state_.Alted = m.testFlag(Qt::AltModifier);
}

void TForm3::keyPressEvent(QKeyEvent* event)
{
    setModifiers(event);
    QDialog::keyPressEvent(event);
}

void TForm3::keyReleaseEvent(QKeyEvent* event)
{
    setModifiers(event);
    QDialog::keyReleaseEvent(event);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == monitor &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
        setModifiers(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

} // namespace vorlan
