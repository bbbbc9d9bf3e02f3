#include "results.h"

#include "datafiles.h"
#include "rankings.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace vorlan {

namespace {

constexpr int kColumnWidth = 120;
constexpr int kRowHeight = 25;

const QColor kBackground(61, 33, 97);
const QColor kPurple(128, 0, 128);
const QColor kBlue(0, 0, 255);
const QColor kLime(0, 255, 0);
const QColor kRed(255, 0, 0);

void setCell(QTableWidget* table, int row, int col, const QString& text)
{
    QTableWidgetItem* item = table->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled);
        table->setItem(row, col, item);
    }
    item->setText(text);
    item->setBackground(row == 0 ? kBlue : kPurple);
}

} // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm2"));
    setFixedSize(648, 507);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 13, 305, 481);
    Image1->setPixmap(QPixmap(dataFile(QStringLiteral("results.png"))));

    table = new QTableWidget(kRows, 2, this);
    table->setObjectName(QStringLiteral("table"));
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->verticalHeader()->setMinimumSectionSize(1);
    table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setMinimumSectionSize(1);
    table->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideNone);
    table->setFrameShape(QFrame::NoFrame);
    QFont font = table->font();
    font.setPixelSize(16);
    font.setBold(true);
    table->setFont(font);
    table->setStyleSheet(
        QStringLiteral("QTableWidget { background-color: %1; color: %2; gridline-color: %3; }")
            .arg(kPurple.name(), kLime.name(), kBackground.name()));
    // Exactly the two columns and nine rows, with the grid lines.
    table->setGeometry(360, 80, 2 * kColumnWidth + 1, kRows * kRowHeight + 1);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < 2; ++c)
            setCell(table, r, c, QString());

    cool = new QPushButton(this);
    cool->setObjectName(QStringLiteral("cool"));
    cool->setGeometry(340, 400, 281, 41);
    QFont bf = cool->font();
    bf.setPixelSize(19);
    bf.setBold(true);
    cool->setFont(bf);
    QPalette bp = cool->palette();
    bp.setColor(QPalette::ButtonText, kRed);
    cool->setPalette(bp);
    cool->setDefault(true);
    connect(cool, &QPushButton::clicked, this, &QDialog::accept);
    retranslate(Language::English);
}

void TForm2::retranslate(Language lang)
{
    lang_ = lang;
    setWindowTitle(tr2(lang, "Game finished", "Игра закончена со следующими результатами:"));
    cool->setText(tr2(lang, "OK, That's COOL !", "О'кей, это было круто"));
}

QString TForm2::cellText(int col, int row) const
{
    const QTableWidgetItem* item = table->item(row, col);
    return item ? item->text() : QString();
}

void TForm2::fill(Map& map, int gameType, bool rus)
{
    refreshTotals(map);
    const bool gold = gameType == kGoldGame;
    retranslate(languageOf(rus));
    setCell(table, 0, 0, tr2(lang_, "", "Борцы"));
    setCell(table, 0, 1,
            gold ? tr2(lang_, "Gold", "Золотишко") : tr2(lang_, "Territory", "Территория"));
    // Rows left from an earlier game of this run would read as this game's.
    for (int r = 1; r < kRows; ++r) {
        setCell(table, r, 0, QString());
        setCell(table, r, 1, QString());
    }
    const std::vector<int> order = finishingOrder(map, gameType);
    for (size_t k = 0; k < order.size() && int(k) + 1 < kRows; ++k) {
        const Player& p = map.players[order[k]];
        setCell(table, int(k) + 1, 0, p.name);
        setCell(table, int(k) + 1, 1, QString::number(resultValue(p, gameType)));
    }
}

int TForm2::showResults(Map& map, int gameType, bool rus)
{
    fill(map, gameType, rus);
    return exec();
}

} // namespace vorlan
