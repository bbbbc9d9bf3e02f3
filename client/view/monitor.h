#pragma once

#include "view/texts.h"

#include <QDialog>

class QTableWidget;

namespace vorlan {

struct AppState;
class BlockPictures;
class Map;

// The monitor: every player of the current game with his total army, gold
// and blocks, the soldiers he killed, his place in each of these and his
// standing market offer. Refreshing it is also what computes the totals and
// places of the player records.
class TForm3 : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kColumns = 12;
    static constexpr int kPlayerRows = 8;

    TForm3(AppState& state, BlockPictures& pictures, QWidget* parent = nullptr);

    // Recomputes the totals and places of `map` and writes the rows of its
    // named players; rows of free records shrink to a 1-pixel line.
    void refreshMonitor(Map& map, bool rus);
    // The same on the current map, when there is one.
    void refreshMonitor();
    // Refreshes only while the window is shown (after map repaints, growth
    // and player updates).
    void refreshIfVisible();

    // Caption, hints and header row in the given language.
    void retranslate(Language lang);

    // The text of a cell; row 0 is the header row, row r the record r - 1.
    QString cellText(int col, int row) const;

    // The grid: its header is row 0, its rows 0..7 the records 0..7.
    QTableWidget* monitor;

signals:
    // The window was hidden: the keyboard focus belongs back on the map.
    void hidden();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setModifiers(const QKeyEvent* event);

    AppState& state_;
    BlockPictures& pictures_;
};

// The market offer as the monitor writes it, or a null string for a code
// that has no text (the cell then keeps what it showed).
QString marketOfferText(int32_t offer, bool rus);

} // namespace vorlan
