#include "firsthelp.h"

#include <algorithm>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>

namespace vorlan {

namespace {

const QColor kBackground(82, 0, 164);
constexpr int kWidth = 628;
constexpr int kHeight = 319;
constexpr int kTextMargin = 8; // the document margin and a little air

// Bold, 16 pixels high; smaller only where a font this wide would not show
// the longest line whole in the window.
QFont fittingFont(QFont f, const QStringList& lines, int width)
{
    f.setBold(true);
    for (int px = 16; px >= 10; --px) {
        f.setPixelSize(px);
        const QFontMetrics fm(f);
        int widest = 0;
        for (const QString& l : lines)
            widest = std::max(widest, fm.horizontalAdvance(l));
        if (widest <= width)
            break;
    }
    return f;
}

QTextEdit* memo(QWidget* parent, const char* name, const QStringList& lines)
{
    auto* m = new QTextEdit(parent);
    m->setObjectName(QString::fromLatin1(name));
    m->setReadOnly(true);
    m->setLineWrapMode(QTextEdit::NoWrap);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setFocusPolicy(Qt::NoFocus);
    m->setFrameShape(QFrame::NoFrame);
    m->setFont(fittingFont(m->font(), lines, kWidth - 2 * kTextMargin));
    m->setStyleSheet(QStringLiteral("QTextEdit { background-color: %1; color: white; }")
                         .arg(kBackground.name()));
    m->document()->setDocumentMargin(kTextMargin / 2);
    m->setPlainText(lines.join(QLatin1Char('\n')));
    // Every line centred.
    QTextCursor all(m->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);
    return m;
}

} // namespace

QStringList TForm8::englishLines()
{
    return {QStringLiteral("Short instructions:"),
            QString(),
            QStringLiteral("Please remember the following non-trivial things:"),
            QString(),
            QStringLiteral("Working with menu: to move press Plus(+) and Minus (-) on the "),
            QStringLiteral("                     Numeric Keypad, to use press Enter"),
            QString(),
            QStringLiteral("To move from city to city  press Shift+Arrows."),
            QString(),
            QStringLiteral("To show/hide monitor press F4"),
            QString(),
            QStringLiteral("Remaining information see in Help section.")};
}

QStringList TForm8::russianLines()
{
    return {QString::fromUtf8("Памятка для игры:"),
            QString(),
            QString::fromUtf8("Запомните следующие нетривиальные вещи:"),
            QString(),
            QString::fromUtf8("Работа с меню: КЛАВИШИ ПЛЮС(+) и МИНУС(-) НА ДОП.КЛАВИАТУРЕ."),
            QString::fromUtf8("А ТАКЖЕ Enter"),
            QString(),
            QString::fromUtf8("Переход из города в город - Shift+СТРЕЛОЧКИ"),
            QString(),
            QString::fromUtf8("Показать/убрать  монитор F4"),
            QString(),
            QString::fromUtf8("Остальное ищите в меню \"помощь\""),
            QString()};
}

TForm8::TForm8(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm8"));
    setWindowTitle(QStringLiteral("First help"));
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);

    // The two texts share the whole window; the English one lies on top.
    Memo1 = memo(this, "Memo1", russianLines());
    Memo2 = memo(this, "Memo2", englishLines());
    Memo1->setGeometry(rect());
    Memo2->setGeometry(rect());

    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    QFont bf = Button1->font();
    bf.setBold(true);
    Button1->setFont(bf);
    Button1->setGeometry((width() - 120) / 2, height() - 44, 120, 32);
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    Button1->raise();
    // Both the default and the cancel button: Enter and Esc close it alike.
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    Button1->setFocus();
    retranslate(Language::English);
}

void TForm8::retranslate(Language lang)
{
    // Both texts are always there; the Russian one shows when the English
    // one on top of it is hidden.
    Memo2->setHidden(lang == Language::Russian);
    Button1->setText(tr2(lang, "Go", "Я запомнил"));
}

bool TForm8::isDue(const QLineEdit& yourName, const QWidget* language) const
{
    return !shown_ && yourName.text().isEmpty() && language && !language->isVisible() &&
           !isVisible();
}

bool TForm8::offer(QLineEdit& yourName, const QWidget* language, bool rus)
{
    if (!isDue(yourName, language))
        return false;
    shown_ = true;
    retranslate(languageOf(rus));
    // Centred on the screen it opens on.
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
    yourName.setText(QStringLiteral("Unknown"));
    return true;
}

} // namespace vorlan
