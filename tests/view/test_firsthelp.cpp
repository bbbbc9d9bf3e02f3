#include "modal.h"
#include "view/firsthelp.h"

#include <gtest/gtest.h>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>

using namespace vorlan;

namespace {

QStringList lines(const QTextEdit* memo)
{
    return memo->toPlainText().split(QLatin1Char('\n'));
}

} // namespace

TEST(FirstHelp, WindowAndTexts)
{
    TForm8 form;
    EXPECT_EQ(form.objectName(), "TForm8");
    EXPECT_EQ(form.windowTitle(), "First help");
    EXPECT_EQ(form.size(), QSize(628, 319));
    EXPECT_EQ(form.Button1->text(), "Go");
    EXPECT_EQ(form.Memo1->geometry(), form.Memo2->geometry());
    EXPECT_EQ(form.Memo2->geometry(), form.rect());
    EXPECT_TRUE(form.Memo2->isReadOnly());
    EXPECT_TRUE(form.Memo2->font().bold());
    for (const QTextEdit* memo : {form.Memo1, form.Memo2}) {
        EXPECT_LE(memo->font().pixelSize(), 16);
        // Every line centred, and none wider than the window.
        const QFontMetrics fm(memo->font());
        for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next()) {
            EXPECT_EQ(b.blockFormat().alignment(), Qt::AlignHCenter) << b.text().toStdString();
            EXPECT_LT(fm.horizontalAdvance(b.text()), form.width()) << b.text().toStdString();
        }
    }
    EXPECT_EQ(form.Memo2->lineWrapMode(), QTextEdit::NoWrap);

    const QStringList english = lines(form.Memo2);
    ASSERT_EQ(english.size(), 12);
    EXPECT_EQ(english[0], "Short instructions:");
    EXPECT_EQ(english[1], "");
    EXPECT_EQ(english[4], "Working with menu: to move press Plus(+) and Minus (-) on the ");
    EXPECT_EQ(english[5], "                     Numeric Keypad, to use press Enter");
    EXPECT_EQ(english[7], "To move from city to city  press Shift+Arrows.");
    EXPECT_EQ(english[9], "To show/hide monitor press F4");
    EXPECT_EQ(english[11], "Remaining information see in Help section.");

    const QStringList russian = lines(form.Memo1);
    ASSERT_EQ(russian.size(), 13);
    EXPECT_EQ(russian[0], QString::fromUtf8("Памятка для игры:"));
    EXPECT_EQ(russian[4],
              QString::fromUtf8("Работа с меню: КЛАВИШИ ПЛЮС(+) и МИНУС(-) НА ДОП.КЛАВИАТУРЕ."));
    EXPECT_EQ(russian[9], QString::fromUtf8("Показать/убрать  монитор F4"));
    EXPECT_EQ(russian[11], QString::fromUtf8("Остальное ищите в меню \"помощь\""));
    EXPECT_EQ(russian[12], "");
}

TEST(FirstHelp, OfferedOnceToANamelessUser)
{
    TForm8 form;
    QDialog language;
    QLineEdit yourName;
    bool shown = false;
    QStringList opened = closeModals([&] { shown = form.offer(yourName, &language, false); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(opened, QStringList{"TForm8"});
    EXPECT_EQ(yourName.text(), "Unknown");
    EXPECT_FALSE(form.Memo2->isHidden()); // English on top
    EXPECT_EQ(form.Button1->text(), "Go");

    // Not again in this run, even with the name emptied.
    yourName.clear();
    opened = closeModals([&] { shown = form.offer(yourName, &language, false); });
    EXPECT_FALSE(shown);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(yourName.text(), "");
}

TEST(FirstHelp, RussianShowsTheRussianText)
{
    TForm8 form;
    QDialog language;
    QLineEdit yourName;
    // Closed with Esc, as the cancel button.
    const QStringList opened =
        closeModals([&] { form.offer(yourName, &language, true); }, /*byKey=*/true);
    EXPECT_EQ(opened, QStringList{"TForm8"});
    EXPECT_TRUE(form.Memo2->isHidden());
    EXPECT_FALSE(form.Memo1->isHidden());
    EXPECT_EQ(form.Button1->text(), QString::fromUtf8("Я запомнил"));
    EXPECT_EQ(yourName.text(), "Unknown");
}

TEST(FirstHelp, NotDueWithANameOrWhileTheLanguageDialogIsOpen)
{
    TForm8 form;
    QDialog language;
    QLineEdit yourName;
    yourName.setText("Vasya");
    EXPECT_FALSE(form.isDue(yourName, &language));
    yourName.clear();
    EXPECT_FALSE(form.isDue(yourName, nullptr)); // the language dialog not made yet
    language.show();
    EXPECT_FALSE(form.isDue(yourName, &language));
    EXPECT_FALSE(form.offer(yourName, &language, false));
    EXPECT_FALSE(form.shown());
    language.hide();
    EXPECT_TRUE(form.isDue(yourName, &language));
}

TEST(FirstHelp, GoClosesTheWindow)
{
    TForm8 form;
    QDialog language;
    QLineEdit yourName;
    QTimer::singleShot(50, [&] { form.Button1->click(); });
    EXPECT_TRUE(form.offer(yourName, &language, false));
    EXPECT_FALSE(form.isVisible());
}
