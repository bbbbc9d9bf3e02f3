#pragma once

#include "view/texts.h"

#include <QDialog>

class QLineEdit;
class QTextEdit;
class QPushButton;

namespace vorlan {

// The first help: a one-page reminder of the keys, shown once to a user who
// has never entered a name. Memo1 holds the Russian text, Memo2 the English
// one lying on top of it.
class TForm8 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm8(QWidget* parent = nullptr);

    // Shows the help modally if it is due: not yet shown in this run, the
    // name field empty, the language dialog `language` created and neither
    // it nor this window visible. Afterwards the name field reads "Unknown". Returns
    // whether the help was shown.
    bool offer(QLineEdit& yourName, const QWidget* language, bool rus);

    // Whether offer() would show the help now.
    bool isDue(const QLineEdit& yourName, const QWidget* language) const;

    // The text and the button in the given language.
    void retranslate(Language lang);

    bool shown() const { return shown_; }

    // The lines of each text, empty lines included.
    static QStringList englishLines();
    static QStringList russianLines();

    QTextEdit* Memo1;
    QTextEdit* Memo2;
    QPushButton* Button1;

private:
    bool shown_ = false;
};

} // namespace vorlan
