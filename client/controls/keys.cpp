#include "keys.h"

#include "appstate.h"
#include "controls/commands.h"
#include "controls/hotkeyedit.h"

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

// The controls top to bottom, as the window shows them; each control's
// caption comes from its command.
constexpr int kLeftColumn[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 10, 11, 14, 15, 16, 31};
constexpr int kRightColumn[] = {13, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30};

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

TForm9::TForm9(const AppState& state, QWidget* parent)
    : QDialog(parent), FormStorage1(QStringLiteral("TForm9")), state_(state)
{
    setObjectName(QStringLiteral("TForm9"));
    setWindowTitle(QStringLiteral("Redefine Keys"));
    setFixedSize(kWidth, kHeight);

    labelFont_ = QFont(QStringLiteral("Arial"));
    labelFont_.setBold(true);
    labelFont_.setPixelSize(11);

    auto place = [&](const int* column, int count, int labelX) {
        for (int i = 0; i < count; ++i) {
            const CommandInfo& command = *commandInfo(column[i]);
            const int n = command.hotKey();
            const int y = kTop + kRow * i;
            auto* edit = new HotKeyEdit(this);
            edit->setObjectName(QStringLiteral("HotKey%1").arg(n));
            edit->setGeometry(labelX + kLabelWidth + kLabelGap, y, kEditWidth, kEditHeight);
            edit->setRules(command.rules);
            hotKeys_[n - 1] = edit;
            connect(edit, &HotKeyEdit::changed, this,
                    [this, n](const Binding& b) { bindings_.set(n, b); });
            if (command.label == 0)
                continue;
            auto* label = new QLabel(this);
            label->setObjectName(QStringLiteral("Label%1").arg(command.label));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // The menu labels stand beside both keys of their row.
            const bool pair = i + 1 < count && commandInfo(column[i + 1])->label == 0;
            label->setGeometry(labelX, y, kLabelWidth, pair ? kRow + kEditHeight : kEditHeight);
            label->setBuddy(edit);
            labels_[command.label - 1] = label;
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
    retranslate(Language::English);
}

HotKeyEdit* TForm9::hotKey(int n) const
{
    return n >= 1 && n <= kBindingCount ? hotKeys_[n - 1] : nullptr;
}

QLabel* TForm9::label(int n) const
{
    return n >= 1 && n <= int(labels_.size()) ? labels_[n - 1] : nullptr;
}

void TForm9::retranslate(Language lang)
{
    lang_ = lang;
    // Each caption is its command's, in both languages.
    for (const CommandInfo& command : commandTable())
        if (command.label != 0)
            setFittedText(labels_[command.label - 1], tr2(lang, command.english, command.russian),
                          labelFont_);
}

void TForm9::Button1Click()
{
    const std::vector<int> cleared = bindings_.clearDuplicates();
    if (!cleared.empty()) {
        showBindings();
        QMessageBox::information(this, state_.appTitle,
                                 tr2(lang_, "Duplicates where found. You should reassign buttons.",
                                     "Были обнаружены кнопки - дубликаты, пожалуйста, "
                                     "переопределите недостающие."));
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
