#include "language.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vorlan {

TForm7::TForm7(QWidget* parent) : QDialog(parent, Qt::Tool), FormStorage1(QStringLiteral("TForm7"))
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Select language"));
    setFixedSize(226, 104);
    Lang = new QGroupBox(this);
    Lang->setObjectName(QStringLiteral("Lang"));
    Lang->setGeometry(8, 4, 130, 92);
    auto* box = new QVBoxLayout(Lang);
    langButtons = new QButtonGroup(this);
    const char* names[] = {"English", "Russian"};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(names[i]), Lang);
        box->addWidget(b);
        langButtons->addButton(b, i);
    }
    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(146, 64, 72, 28);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    // Anything but English or Russian stored counts as nothing stored.
    bool ok = false;
    const int stored = FormStorage1.value(QStringLiteral("Lang.ItemIndex"), -1).toInt(&ok);
    setLangIndex(ok && (stored == 0 || stored == 1) ? stored : -1);
}

int TForm7::langIndex() const
{
    return langButtons->checkedId();
}

void TForm7::setLangIndex(int index)
{
    if (QAbstractButton* b = langButtons->button(index)) {
        b->setChecked(true);
    } else {
        langButtons->setExclusive(false);
        for (QAbstractButton* other : langButtons->buttons())
            other->setChecked(false);
        langButtons->setExclusive(true);
    }
}

void TForm7::storeLanguage()
{
    FormStorage1.setValue(QStringLiteral("Lang.ItemIndex"), langIndex());
    FormStorage1.sync();
}

void TForm7::done(int result)
{
    // The choice counts however the dialog is closed: Ok, Esc or the close box.
    storeLanguage();
    QDialog::done(result);
}

bool TForm7::askOnFirstStart()
{
    if (langIndex() != -1)
        return false;
    setLangIndex(0);
    exec();
    return true;
}

} // namespace vorlan
