#pragma once

#include "view/formstorage.h"
#include "view/texts.h"

#include <QDialog>

class QPushButton;
class QButtonGroup;
class QGroupBox;

namespace vorlan {

// The language dialog ("Select language"): the choice between English and
// Russian, kept in the settings store. Its own texts are the same in both
// languages.
class TForm7 : public QDialog
{
    Q_OBJECT

public:
    // Restores the stored choice.
    explicit TForm7(QWidget* parent = nullptr);

    // The stored choice: -1 nothing stored yet, 0 English, 1 Russian.
    int langIndex() const;
    void setLangIndex(int index);
    void storeLanguage();
    void done(int result) override;

    // On a first start (nothing stored) asks for the language, English
    // preselected; returns whether it asked.
    bool askOnFirstStart();
    // The language chosen.
    Language language() const { return languageOf(langIndex() == 1); }

    QGroupBox* Lang;
    QButtonGroup* langButtons;
    QPushButton* Button1;

private:
    FormStorage FormStorage1;
};

} // namespace vorlan
