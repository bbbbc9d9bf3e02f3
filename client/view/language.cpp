#include "language.h"

#include "controls/keys.h"
#include "net/datafiles.h"
#include "net/mainwindow.h"
#include "options/about.h"
#include "options/market.h"
#include "options/optionsdialog.h"
#include "view/mappanel.h"
#include "view/monitor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vorlan {

TForm7::TForm7(TForm1& main, QWidget* parent)
    : QDialog(parent, Qt::Tool), main_(main), FormStorage1(QStringLiteral("TForm7"))
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
    FormCreate();
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

void TForm7::FormCreate()
{
    AppState& state = main_.state();
    const Windows& w = main_.windows();
    // Anything but English or Russian stored counts as nothing stored.
    bool ok = false;
    const int stored = FormStorage1.value(QStringLiteral("Lang.ItemIndex"), -1).toInt(&ok);
    setLangIndex(ok && (stored == 0 || stored == 1) ? stored : -1);
    main_.loadMap(dataFile(QStringLiteral("coolgame.map")));
    main_.createMenuItems();

    // First start: English preselected, and the player chooses.
    if (langIndex() == -1) {
        setLangIndex(0);
        exec();
        if (langIndex() == 1) {
            state.rus = true;
            if (w.options)
                w.options->applyRussianSoundPresets();
        }
    }
    if (langIndex() == 1) {
        state.rus = true;
        main_.applyMenuTexts();
        if (w.market)
            w.market->applyRussian();
        if (w.about)
            w.about->applyRussian();
        if (w.options)
            w.options->applyRussian();
        applyRussianMainTexts();
        if (w.monitor)
            w.monitor->applyRussian();
        if (w.keys)
            w.keys->applyRussian();
    } else {
        main_.applyMenuTexts();
    }
    main_.gameType->setCurrentIndex(0);
    main_.mapPanel->paintMap();
}

void TForm7::applyRussianMainTexts()
{
    TForm1& f = main_;
    auto ru = [](const char* text) { return QString::fromUtf8(text); };
    f.setWindowTitle(ru("Ворлан! Бета версия 2.0"));
    f.Label1->setText(ru("Выбери-ка Ворлан-сервер"));
    f.Label2->setText(ru("Список игр"));
    f.Label3->setText(ru("Имя новой игры"));
    f.Label4->setText(ru("Список карт"));
    f.Label5->setText(ru("Ваша кликуха"));
    f.Label6->setText(ru("Карта тек. игры"));
    f.Label17->setText(ru("Эмблема твоего клана"));
    f.Label13->setText(ru("Собирающиеся поиграть"));
    f.Label14->setText(ru("Скорость работы кулаков"));
    f.setSpeedLegend(ru("Черепахи   Малая   Обычная   Высокая  Космическая"));
    f.systemMsg->setToolTip(ru("Системные сообщения"));
    f.gamesList->setToolTip(ru("Выберите нужную вам игру или создайте новую"));
    f.gameTypeLabel->setText(ru("Выберите тип игры"));
    f.gameTimeLabel->setText(ru("Продолжительность игры"));
    f.gameType->setItemText(0, ru("Игра за территорию"));
    f.gameType->setItemText(1, ru("Игра за золото"));
    f.chatOptions->item(0, 1)->setText(ru("С"));
    f.chatOptions->item(0, 2)->setText(ru("В"));
    f.chatOptions->item(9, 0)->setText(ru("С"));
    f.state().appTitle = ru("Ворлан !");
    // A caption longer than the room left in its panel gets a smaller font.
    for (QLabel* l : {f.Label1, f.Label2, f.Label3, f.Label4, f.Label5, f.Label6, f.Label17,
                      f.Label13, f.Label14, f.gameTypeLabel, f.gameTimeLabel}) {
        l->adjustSize();
        const int room = l->parentWidget()->width() - l->x() - 4;
        QFont font = l->font();
        while (l->width() > room && font.pointSizeF() > 6) {
            font.setPointSizeF(font.pointSizeF() - 0.5);
            l->setFont(font);
            l->adjustSize();
        }
    }
}

} // namespace vorlan
