#pragma once

#include "net/formstorage.h"

#include <QDialog>

class QPushButton;
class QRadioButton;
class QButtonGroup;
class QGroupBox;

namespace vorlan {

class TForm1;

// The language dialog ("Select language"). Its creation step also readies
// the main window: the idle map, the menu items and the language's texts.
class TForm7 : public QDialog
{
    Q_OBJECT

public:
    TForm7(TForm1& main, QWidget* parent = nullptr);

    // The stored choice: -1 nothing stored yet, 0 English, 1 Russian.
    int langIndex() const;
    void setLangIndex(int index);
    void storeLanguage();
    void done(int result) override;

    QGroupBox* Lang;
    QButtonGroup* langButtons;
    QPushButton* Button1;

private:
    void FormCreate();
    void applyRussianMainTexts();

    TForm1& main_;
    FormStorage FormStorage1;
};

} // namespace vorlan
