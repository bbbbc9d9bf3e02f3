#include "keys.h"

#include "controls/hotkeyedit.h"
#include "net/appstate.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace vorlan {

namespace {

constexpr int kWidth = 542;
constexpr int kHeight = 470;
constexpr int kTop = 12;
constexpr int kRow = 24;
constexpr int kLabelWidth = 150;
constexpr int kEditWidth = 100;
constexpr int kEditHeight = 19;
constexpr int kLeftLabel = 10;
constexpr int kRightLabel = 278;
constexpr int kLabelGap = 4;

struct Row
{
    int hotKey;
    int label; // 0: no label of its own (the second key of a menu row)
};

// Top to bottom, as the window shows them.
constexpr Row kLeftColumn[] = {
    {1, 1}, {2, 2},   {3, 3},   {4, 4},   {5, 5},   {6, 6},   {7, 7},   {8, 8},
    {9, 9}, {12, 10}, {10, 12}, {11, 11}, {14, 14}, {15, 15}, {16, 16}, {31, 28},
};
constexpr Row kRightColumn[] = {
    {13, 13}, {17, 17}, {18, 18}, {19, 19}, {20, 20}, {21, 21}, {22, 22}, {23, 23},
    {24, 24}, {25, 25}, {26, 26}, {27, 27}, {28, 0},  {29, 29}, {30, 0},
};

const char* const kEnglish[29] = {
    "Put soldiers:",
    "Put defined value:",
    "Set defined value:",
    "Put gold:",
    "Get soldiers:",
    "Get all soldiers:",
    "Get gold:",
    "Leave if more:",
    "Round to:",
    "Send msg to all:",
    "Send to enemies:",
    "Send to allies:",
    "BOSS HAVE COME:",
    "Show monitor:",
    "Show/Hide  garrisons:",
    "Start/Stop Idiot:",
    "Market operations:",
    "Options windows:",
    "Voice button 1:",
    "Voice button 2:",
    "Voice button 3:",
    "Voice button 4:",
    "Voice button 5:",
    "Voice button 6:",
    "Voice button 7:",
    "Voice button 8:",
    "Menu Down:",
    "Pause:",
    "Menu Up:",
};

const char* const kRussian[29] = {
    "Оставить солдат:",   "Оставить опр. кол-во:", "Уст. опр. кол-во:",   "Оставить золото:",
    "Забрать солдат:",    "Забрать всех солдат:",  "Забрать золото:",     "Оставлять если больше:",
    "Округлять до:",      "Послать мессагу всем:", "Послать врагам:",     "Послать союзникам:",
    "ПРИШЕЛ НАЧАЛЬНИК:",  "Монитор вкл/выкл:",     "Гарнизоны вкл/выкл:", "Старт/стоп дурака:",
    "Рыночные операции:", "Вызов опций:",          "Голосовая кнопа 1:",  "Голосовая кнопа 2:",
    "Голосовая кнопа 3:", "Голосовая кнопа 4:",    "Голосовая кнопа 5:",  "Голосовая кнопа 6:",
    "Голосовая кнопа 7:", "Голосовая кнопа 8:",    "Меню - вверх:",       "Пауза:",
    "Меню - вниз:",
};

// A caption wider than its label (bold faces differ between systems) is
// set a little smaller rather than cut off.
void setFittedText(QLabel* label, const QString& text, const QFont& font)
{
    QFont f = font;
    while (QFontMetrics(f).horizontalAdvance(text) > label->width() && f.pixelSize() > 8)
        f.setPixelSize(f.pixelSize() - 1);
    label->setFont(f);
    label->setText(text);
}

} // namespace

TForm9::TForm9(QWidget* parent, const AppState* state)
    : QDialog(parent), FormStorage1(QStringLiteral("TForm9")), state_(state)
{
    setObjectName(QStringLiteral("TForm9"));
    setWindowTitle(QStringLiteral("Redefine Keys"));
    setFixedSize(kWidth, kHeight);

    labelFont_ = QFont(QStringLiteral("Arial"));
    labelFont_.setBold(true);
    labelFont_.setPixelSize(11);

    auto place = [&](const Row* rows, int count, int labelX) {
        for (int i = 0; i < count; ++i) {
            const Row& row = rows[i];
            const int y = kTop + kRow * i;
            auto* edit = new HotKeyEdit(this);
            edit->setObjectName(QStringLiteral("HotKey%1").arg(row.hotKey));
            edit->setGeometry(labelX + kLabelWidth + kLabelGap, y, kEditWidth, kEditHeight);
            edit->setRules(KeyBindings::rules(row.hotKey));
            hotKeys_[row.hotKey - 1] = edit;
            connect(edit, &HotKeyEdit::changed, this,
                    [this, n = row.hotKey](const Binding& b) { bindings_.set(n, b); });
            if (row.label == 0)
                continue;
            auto* label = new QLabel(this);
            label->setObjectName(QStringLiteral("Label%1").arg(row.label));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // The menu labels stand beside both keys of their row.
            const bool pair = i + 1 < count && rows[i + 1].label == 0;
            label->setGeometry(labelX, y, kLabelWidth, pair ? kRow + kEditHeight : kEditHeight);
            setFittedText(label, QString::fromUtf8(kEnglish[row.label - 1]), labelFont_);
            label->setBuddy(edit);
            labels_[row.label - 1] = label;
        }
    };
    place(kLeftColumn, int(std::size(kLeftColumn)), kLeftLabel);
    place(kRightColumn, int(std::size(kRightColumn)), kRightLabel);

    // Tab walks the controls in their number order.
    for (int n = 1; n < kBindingCount; ++n)
        setTabOrder(hotKeys_[n - 1], hotKeys_[n]);

    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(kWidth / 2 - 88, kHeight - 44, 80, 27);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(kWidth / 2 + 8, kHeight - 44, 80, 27);
    setTabOrder(hotKeys_[kBindingCount - 1], Button1);
    setTabOrder(Button1, Button2);
    connect(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm9::Button2Click);

    // The menu's second keys start at Num - and Num + (they are part of the
    // defaults); whatever is stored overrides every default.
    restoreStored();
}

HotKeyEdit* TForm9::hotKey(int n) const
{
    return n >= 1 && n <= kBindingCount ? hotKeys_[n - 1] : nullptr;
}

QLabel* TForm9::label(int n) const
{
    return n >= 1 && n <= int(labels_.size()) ? labels_[n - 1] : nullptr;
}

void TForm9::applyRussian()
{
    rus_ = true;
    for (size_t i = 0; i < labels_.size(); ++i)
        setFittedText(labels_[i], QString::fromUtf8(kRussian[i]), labelFont_);
}

bool TForm9::russian() const
{
    return rus_ || (state_ && state_->rus);
}

void TForm9::Button1Click()
{
    const std::vector<int> cleared = bindings_.clearDuplicates();
    if (!cleared.empty()) {
        showBindings();
        const QString text =
            russian() ? QString::fromUtf8("Были обнаружены кнопки - дубликаты, пожалуйста, "
                                          "переопределите недостающие.")
                      : QStringLiteral("Duplicates where found. You should reassign buttons.");
        QMessageBox::information(this, state_ ? state_->appTitle : windowTitle(), text);
        // The window stays open so that the cleared keys can be assigned.
        return;
    }
    bindings_.store(FormStorage1);
    FormStorage1.sync();
    accept();
}

void TForm9::Button2Click()
{
    reject();
}

void TForm9::reject()
{
    restoreStored();
    QDialog::reject();
}

void TForm9::restoreStored()
{
    bindings_.load(FormStorage1);
    showBindings();
}

void TForm9::showBindings()
{
    const KeyBindings values = bindings_;
    for (int n = 1; n <= kBindingCount; ++n)
        hotKeys_[n - 1]->setBinding(values.binding(n));
}

void TForm9::showEvent(QShowEvent* event)
{
    // Centred on the screen, not on the main window.
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    QDialog::showEvent(event);
}

} // namespace vorlan
