#pragma once

#include "view/texts.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace vorlan {

class Map;

// The results window shown when a game ends: each player in the row of his
// place in the game's ranking, with his blocks or his gold.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kRows = 9; ///< the header row and eight places

    explicit TForm2(QWidget* parent = nullptr);

    // Computes the places of `map`, fills the table for the game type (the
    // index of the game type list: 0 territory, 1 gold) and the language, and
    // shows the window modally. The map is not used once the window is open.
    int showResults(Map& map, int gameType, bool rus);

    // The filling step alone.
    void fill(Map& map, int gameType, bool rus);

    // Caption and button in the given language (the table's header follows
    // the language it is filled in).
    void retranslate(Language lang);

    QString cellText(int col, int row) const;

    QLabel* Image1;
    QTableWidget* table;
    QPushButton* cool;

private:
    Language lang_ = Language::English;
};

} // namespace vorlan
