#include "chat.h"

#include "view/blockpictures.h"
#include "view/mainwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace vorlan {

namespace {

const QColor kGridBlue(0, 0, 128);

// Draws the recipients grid: emblems, white crosses for marks, the header
// letters, and the army changes in a colour that fades with their age.
class ChatGridDelegate : public QStyledItemDelegate
{
public:
    ChatGridDelegate(ChatControls& chat, AppState& state, BlockPictures& pictures, QObject* parent)
        : QStyledItemDelegate(parent), chat_(chat), state_(state), pictures_(pictures)
    {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const QRect r = option.rect;
        const int row = index.row(), column = index.column();
        p->fillRect(r, kGridBlue);
        const Map* map = state_.map.get();
        if (row >= 1 && row <= ChatControls::kMarkRows && column <= ChatControls::kEnemyColumn &&
            map) {
            const Player& player = map->players[row - 1];
            const bool named = !player.name.isEmpty();
            if (column == 0 && (named || chat_.changeAge[row] > 1))
                p->drawImage(r.adjusted(1, 1, -1, -1), pictures_.original(row - 1));
            if (column > 0 && named && !index.data().toString().isEmpty()) {
                p->setPen(QPen(Qt::white, 2));
                const QRect in = r.adjusted(3, 3, -3, -3);
                p->drawLine(in.topLeft(), in.bottomRight());
                p->drawLine(in.topRight(), in.bottomLeft());
            }
        }
        const bool header = (row == 0 && (column == 1 || column == 2)) ||
                            (row == ChatControls::kAllRow && column == 0);
        if (header) {
            p->setPen(Qt::white);
            p->drawText(r.adjusted(3, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                        index.data().toString());
        }
        if (column == ChatControls::kChangeColumn && row >= 1 && row <= ChatControls::kMarkRows) {
            int& age = chat_.changeAge[row];
            if (age == 0) {
                // Aged out: the change disappears.
                if (auto* table = qobject_cast<const QTableWidget*>(option.widget))
                    if (QTableWidgetItem* item = table->item(row, column))
                        const_cast<QTableWidgetItem*>(item)->setText(QString());
                age = 1;
            }
            const QColor colour = age == 1               ? QColor(0, 0, 0)
                                  : age == 2 || age == 3 ? QColor(128, 128, 128)
                                  : age == 4             ? QColor(192, 192, 192)
                                                         : QColor(255, 255, 255);
            p->setPen(colour);
            p->drawText(r.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                        index.data().toString());
        }
        if (option.state & QStyle::State_HasFocus) {
            p->setPen(QPen(Qt::white, 1, Qt::DotLine));
            p->drawRect(r.adjusted(0, 0, -1, -1));
        }
    }

private:
    ChatControls& chat_;
    AppState& state_;
    BlockPictures& pictures_;
};

} // namespace

ChatControls::ChatControls(TForm1& main, Session& session, BlockPictures& pictures)
    : main_(main), session_(session)
{
    main_.chatOptions->setItemDelegate(
        new ChatGridDelegate(*this, session_.state(), pictures, main_.chatOptions));
    resetMarks();
}

void ChatControls::setCell(int column, int row, const QString& text)
{
    QTableWidget* grid = main_.chatOptions;
    if (QTableWidgetItem* item = grid->item(row, column))
        item->setText(text);
    else
        grid->setItem(row, column, new QTableWidgetItem(text));
}

void ChatControls::showMarks()
{
    const ChatMarks& marks = session_.marks();
    for (int r = 1; r <= kMarkRows; ++r) {
        setCell(kAllyColumn, r, marks.isAlly(r - 1) ? QStringLiteral("1") : QString());
        setCell(kEnemyColumn, r, marks.isEnemy(r - 1) ? QStringLiteral("1") : QString());
    }
}

void ChatControls::resetMarks()
{
    session_.marks().reset();
    showMarks();
}

void ChatControls::mark(int column, int row)
{
    if (column == kAllyColumn || column == kEnemyColumn) {
        const bool ally = column == kAllyColumn;
        if (row == kAllRow)
            session_.marks().markAll(ally);
        else if (row >= 1 && row <= kMarkRows)
            session_.marks().toggle(ally, row - 1);
        showMarks();
    }
    repaintGrid();
}

void ChatControls::fixHeaderCells()
{
    QTableWidget* grid = main_.chatOptions;
    for (int r = 0; r <= kAllRow; ++r) {
        for (int c = 0; c <= kChangeColumn; ++c) {
            if (r != 0 && c != 0)
                continue;
            if (!grid->item(r, c))
                grid->setItem(r, c, new QTableWidgetItem);
            grid->item(r, c)->setFlags(Qt::NoItemFlags);
        }
    }
    grid->setCurrentCell(1, kAllyColumn);
}

bool ChatControls::chatOptionsKeyDown(QKeyEvent& event)
{
    QTableWidget* grid = main_.chatOptions;
    if (event.key() == Qt::Key_Space && event.modifiers() == Qt::NoModifier) {
        mark(grid->currentColumn(), grid->currentRow());
        return true;
    }
    repaintGrid();
    return false;
}

void ChatControls::repaintGrid()
{
    main_.chatOptions->viewport()->update();
}

void ChatControls::openChat(ChatMode mode)
{
    chatMode = mode;
    QComboBox* entry = main_.msgToSend;
    entry->setCurrentIndex(entry->count() - 1);
    entry->show();
    const bool rus = session_.state().rus;
    QString caption;
    switch (mode) {
    case kChatAll:
        caption = rus ? QStringLiteral("Послать всем (или всех?)") : QStringLiteral("Send to All");
        break;
    case kChatAllies:
        caption =
            rus ? QStringLiteral("Послать мессагу союзникам") : QStringLiteral("Send to Allies");
        break;
    case kChatEnemies:
        caption = rus ? QStringLiteral("Попугать врагов") : QStringLiteral("Send to Enemies");
        break;
    default:
        break;
    }
    main_.msgToSendLabel->setText(caption);
    main_.msgToSendLabel->show();
    entry->setFocus();
    entry->lineEdit()->selectAll(); // the offered line goes as it is, or typing replaces it
}

bool ChatControls::msgToSendKeyDown(QKeyEvent& event)
{
    const bool inGame = session_.state().gameStarted;
    // Command mode first, so that hiding the entry does not pass the focus on.
    if (event.key() == Qt::Key_Escape && inGame) {
        main_.focusButton->setFocus();
        main_.msgToSend->hide();
        main_.msgToSendLabel->hide();
        return true;
    }
    if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter)
        return false;
    const QString line = main_.msgToSend->currentText();
    if (!session_.sendChat(ChatMode(chatMode), main_.yourName->text(), line))
        return true;
    if (inGame) {
        main_.focusButton->setFocus();
        main_.msgToSend->hide();
        main_.msgToSendLabel->hide();
    }
    // The last item keeps the line just sent.
    QComboBox* entry = main_.msgToSend;
    entry->setItemText(entry->count() - 1, line);
    entry->setCurrentIndex(entry->count() - 1);
    chatMode = kChatNone;
    return true;
}

void ChatControls::msgToSendExit()
{
    if (!session_.state().gameStarted)
        return;
    main_.msgToSend->hide();
    main_.msgToSendLabel->hide();
    chatMode = kChatNone;
    // A key that opened the amount entry from the chat line keeps it there.
    if (QApplication::focusWidget() != main_.deltaArmyText)
        main_.focusButton->setFocus();
}

void ChatControls::sendVoice(int n, int voiceIndex, const QString& voiceText)
{
    session_.sendVoice(n, voiceIndex, voiceText, main_.yourName->text());
}

void ChatControls::showArmyChange(int player, int32_t change)
{
    if (player < 0 || player >= kMarkRows)
        return;
    setCell(kChangeColumn, player + 1, QString::number(change));
    changeAge[player + 1] = kFreshChange;
    repaintGrid();
}

void ChatControls::ageChanges()
{
    for (int r = 1; r <= kMarkRows; ++r)
        if (changeAge[r] > 0)
            --changeAge[r];
    repaintGrid();
}

} // namespace vorlan
