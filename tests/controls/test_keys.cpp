#include "appstate.h"
#include "controls/commands.h"
#include "controls/hotkeyedit.h"
#include "controls/keys.h"
#include "keys_support.h"
#include "modal.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <set>

using namespace vorlan;

namespace {

int storedHotKey(int n)
{
    return FormStorage(QStringLiteral("TForm9")).value(KeyBindings::hotKeyProperty(n), -1).toInt();
}

class KeyWindow : public ::testing::Test
{
protected:
    void SetUp() override { clearStored(); }
    void TearDown() override { clearStored(); }

    AppState state;

    // Clicks "Ok" and returns the texts of the message boxes it showed.
    static QStringList clickOk(TForm9& form)
    {
        return closeModals([&] { QTest::mouseClick(form.Button1, Qt::LeftButton); });
    }
};

} // namespace

TEST_F(KeyWindow, HoldsTheThirtyOneControlsWithTheirDefaults)
{
    TForm9 form(state);
    EXPECT_EQ(form.windowTitle(), "Redefine Keys");
    EXPECT_EQ(form.size(), QSize(542, 470));
    for (int n = 1; n <= kBindingCount; ++n) {
        auto* edit = form.findChild<HotKeyEdit*>(QStringLiteral("HotKey%1").arg(n));
        ASSERT_NE(edit, nullptr) << n;
        EXPECT_EQ(edit, form.hotKey(n));
        EXPECT_EQ(edit->binding(), KeyBindings::defaultBinding(n)) << n;
        EXPECT_EQ(edit->size(), QSize(100, 19)) << n;
        EXPECT_EQ(form.bindings().binding(n), KeyBindings::defaultBinding(n)) << n;
    }
    EXPECT_EQ(form.hotKey(3)->text(), "Shift+F5");
    EXPECT_EQ(form.hotKey(28)->text(), "Num -");
    EXPECT_EQ(form.hotKey(29)->text(), "Ctrl+Down");
    EXPECT_EQ(form.hotKey(0), nullptr);
    EXPECT_EQ(form.hotKey(32), nullptr);
    EXPECT_TRUE(form.Button1->isDefault());
    EXPECT_EQ(form.Button1->text(), "Ok");
    EXPECT_EQ(form.Button2->text(), "Cancel");
}

TEST_F(KeyWindow, ColumnsRowsAndLabels)
{
    TForm9 form(state);
    auto column = [&](std::initializer_list<int> keys) {
        const int x = form.hotKey(*keys.begin())->x();
        int y = form.hotKey(*keys.begin())->y();
        for (int n : keys) {
            EXPECT_EQ(form.hotKey(n)->x(), x) << n;
            EXPECT_EQ(form.hotKey(n)->y(), y) << n;
            y += 24;
        }
        return x;
    };
    const int left = column({1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 10, 11, 14, 15, 16, 31});
    const int right = column({13, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30});
    EXPECT_LT(left + 100, right - 150);
    EXPECT_LE(right + 100, form.width());
    EXPECT_EQ(form.hotKey(1)->y(), form.hotKey(13)->y());

    // Each label right-aligned, 150 wide, just left of its control.
    const std::pair<int, int> beside[] = {{1, 1},   {9, 9},   {10, 12}, {12, 10},
                                          {11, 11}, {13, 13}, {18, 18}, {26, 26},
                                          {27, 27}, {29, 29}, {31, 28}};
    for (auto [hotKey, labelNo] : beside) {
        QLabel* l = form.findChild<QLabel*>(QStringLiteral("Label%1").arg(labelNo));
        ASSERT_NE(l, nullptr) << labelNo;
        EXPECT_EQ(l, form.label(labelNo));
        EXPECT_EQ(l->width(), 150);
        EXPECT_TRUE(l->alignment() & Qt::AlignRight);
        EXPECT_TRUE(l->font().bold());
        EXPECT_LE(l->geometry().right(), form.hotKey(hotKey)->x());
        EXPECT_GE(l->geometry().right(), form.hotKey(hotKey)->x() - 8);
        EXPECT_EQ(l->y(), form.hotKey(hotKey)->y()) << labelNo;
    }
    EXPECT_EQ(form.findChildren<QLabel*>().size(), 29);
    EXPECT_EQ(form.label(12)->text(), "Send to allies:");
    EXPECT_EQ(form.label(15)->text(), "Show/Hide  garrisons:");
    EXPECT_EQ(form.label(27)->text(), "Menu Down:");
    EXPECT_EQ(form.label(29)->text(), "Menu Up:");
    // The menu labels stand beside both keys of their row.
    EXPECT_GE(form.label(27)->geometry().bottom(), form.hotKey(28)->geometry().bottom());
    // The buttons lie below both columns.
    EXPECT_GT(form.Button1->y(), form.hotKey(31)->geometry().bottom());
    EXPECT_LE(form.Button1->geometry().bottom(), form.height());
}

TEST_F(KeyWindow, RussianCaptions)
{
    TForm9 form(state);
    form.retranslate(Language::Russian);
    EXPECT_EQ(form.label(1)->text(), QString::fromUtf8("Оставить солдат:"));
    EXPECT_EQ(form.label(8)->text(), QString::fromUtf8("Оставлять если больше:"));
    EXPECT_EQ(form.label(10)->text(), QString::fromUtf8("Послать мессагу всем:"));
    EXPECT_EQ(form.label(13)->text(), QString::fromUtf8("ПРИШЕЛ НАЧАЛЬНИК:"));
    EXPECT_EQ(form.label(19)->text(), QString::fromUtf8("Голосовая кнопа 1:"));
    EXPECT_EQ(form.label(26)->text(), QString::fromUtf8("Голосовая кнопа 8:"));
    EXPECT_EQ(form.label(27)->text(), QString::fromUtf8("Меню - вверх:"));
    EXPECT_EQ(form.label(28)->text(), QString::fromUtf8("Пауза:"));
    EXPECT_EQ(form.label(29)->text(), QString::fromUtf8("Меню - вниз:"));
    // Every caption fits its label.
    for (int n = 1; n <= 29; ++n) {
        QLabel* l = form.label(n);
        EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()), l->width()) << n;
    }
}

TEST_F(KeyWindow, EachControlShowsItsCommand)
{
    TForm9 form(state);
    std::set<QLabel*> captioned;
    for (const CommandInfo& c : commandTable()) {
        HotKeyEdit* edit = form.hotKey(c.hotKey());
        EXPECT_EQ(edit->binding(), c.defaultBinding) << c.name;
        // The control refuses what its command's rules refuse.
        QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
        EXPECT_EQ(edit->hotKey(), c.rules.apply(kScShift | vk::Home)) << c.name;
        if (c.label == 0)
            continue;
        QLabel* l = form.label(c.label);
        EXPECT_EQ(l->buddy(), edit) << c.name;
        EXPECT_EQ(l->text(), QString::fromUtf8(c.english)) << c.name;
        captioned.insert(l);
    }
    EXPECT_EQ(captioned.size(), form.findChildren<QLabel*>().size());
    form.retranslate(Language::Russian);
    for (const CommandInfo& c : commandTable()) {
        if (c.label != 0) {
            EXPECT_EQ(form.label(c.label)->text(), QString::fromUtf8(c.russian)) << c.name;
        }
    }
}

TEST(HotKeyEdit, RecordsTheNextCombination)
{
    HotKeyEdit edit;
    std::vector<Binding> seen;
    QObject::connect(&edit, &HotKeyEdit::changed, [&](const Binding& b) { seen.push_back(b); });
    QTest::keyClick(&edit, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(edit.hotKey(), kScShift | F(5));
    EXPECT_EQ(edit.text(), "Shift+F5");
    QTest::keyClick(&edit, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(edit.binding(), (Binding{kScCtrl | vk::Up, true}));
    QTest::keyClick(&edit, Qt::Key_Up, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(edit.binding(), (Binding{kScCtrl | vk::Up, false}));
    QTest::keyClick(&edit, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(edit.hotKey(), vk::Subtract);
    // Alt combinations are kept, though they never fire.
    QTest::keyClick(&edit, Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(edit.hotKey(), kScAlt | 'X');
    // Russian letters are kept as the key they sit on.
    QKeyEvent ze(QEvent::KeyPress, 0x0417, Qt::ControlModifier, QStringLiteral("\x1a"));
    QApplication::sendEvent(&edit, &ze);
    EXPECT_EQ(edit.hotKey(), kScCtrl | 'P');
    EXPECT_EQ(seen.size(), 6u);
    // Backspace clears.
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.hotKey(), 0);
    EXPECT_EQ(edit.text(), "None");
    EXPECT_EQ(seen.size(), 7u);
}

TEST(HotKeyEdit, ModifiersAloneAreShownNotRecorded)
{
    HotKeyEdit edit;
    edit.setBinding(Binding{F(1)});
    // Sent one by one: each event carries the modifiers held before it.
    auto send = [&](QEvent::Type type, int key, Qt::KeyboardModifiers mods) {
        QKeyEvent e(type, key, mods);
        QApplication::sendEvent(&edit, &e);
    };
    send(QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(edit.text(), "Ctrl+");
    send(QEvent::KeyPress, Qt::Key_Shift, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "Ctrl+Shift+");
    EXPECT_EQ(edit.hotKey(), F(1));
    send(QEvent::KeyRelease, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(edit.text(), "Ctrl+");
    send(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "F1");
    EXPECT_EQ(edit.hotKey(), F(1));
    // The main key ends the preview.
    send(QEvent::KeyPress, Qt::Key_Alt, Qt::NoModifier);
    send(QEvent::KeyPress, Qt::Key_F3, Qt::AltModifier);
    EXPECT_EQ(edit.text(), "Alt+F3");
}

TEST(HotKeyEdit, RulesReplaceRefusedCombinations)
{
    HotKeyEdit menu;
    menu.setRules(KeyBindings::rules(27));
    QTest::keyClick(&menu, Qt::Key_Up);
    EXPECT_EQ(menu.hotKey(), kScCtrl | vk::Up);
    QTest::keyClick(&menu, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(menu.hotKey(), kScCtrl | vk::Home);
    QTest::keyClick(&menu, Qt::Key_Home, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(menu.hotKey(), kScShift | kScCtrl | vk::Home);

    HotKeyEdit pause;
    pause.setRules(KeyBindings::rules(31));
    QTest::keyClick(&pause, Qt::Key_Q, Qt::ShiftModifier);
    EXPECT_EQ(pause.hotKey(), 'Q');
    QTest::keyClick(&pause, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(pause.hotKey(), kScCtrl | 'Q');

    HotKeyEdit plain;
    QTest::keyClick(&plain, Qt::Key_Q, Qt::ShiftModifier);
    EXPECT_EQ(plain.hotKey(), kScShift | 'Q');
}

TEST_F(KeyWindow, EditsTakeEffectAtOnceAndDialogKeysAreNotRecorded)
{
    TForm9 form(state);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.hotKey(5)->setFocus();
    QTest::keyClick(form.hotKey(5), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(form.bindings().binding(5).shortcut, kScCtrl | 'G');
    QKeyEvent ctrlG(QEvent::KeyPress, Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(form.bindings().matches(5, KeyPress::fromEvent(ctrlG)));

    // Plain Tab moves on without recording.
    QTest::keyClick(form.hotKey(5), Qt::Key_Tab);
    EXPECT_EQ(form.bindings().binding(5).shortcut, kScCtrl | 'G');
    EXPECT_TRUE(form.hotKey(6)->hasFocus());
    // Esc is the dialog's: it cancels, and the edit is gone.
    QTest::keyClick(form.hotKey(6), Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(form.bindings().binding(5).shortcut, kScShift | F(1));
    EXPECT_EQ(form.hotKey(5)->hotKey(), kScShift | F(1));
    EXPECT_EQ(storedHotKey(5), -1);
}

TEST_F(KeyWindow, EnterInAControlPressesOk)
{
    TForm9 form(state);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.hotKey(1)->setFocus();
    QTest::keyClick(form.hotKey(1), Qt::Key_F11);
    QTest::keyClick(form.hotKey(1), Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(storedHotKey(1), F(11));
}

TEST_F(KeyWindow, OkStoresAllValues)
{
    {
        TForm9 form(state);
        form.show();
        form.hotKey(13)->setBinding(Binding{kScCtrl | 'B'});
        EXPECT_TRUE(clickOk(form).isEmpty());
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    for (int n = 1; n <= kBindingCount; ++n)
        EXPECT_NE(storedHotKey(n), -1) << n;
    EXPECT_EQ(storedHotKey(13), kScCtrl | 'B');
    EXPECT_EQ(storedHotKey(28), vk::Subtract);
    // The next run starts from the stored values.
    TForm9 next(state);
    EXPECT_EQ(next.bindings().binding(13).shortcut, kScCtrl | 'B');
    EXPECT_EQ(next.hotKey(13)->text(), "Ctrl+B");
    EXPECT_EQ(next.bindings().binding(27), KeyBindings::defaultBinding(27));
}

TEST_F(KeyWindow, OkWithDuplicatesClearsTheLaterOneAndStaysOpen)
{
    TForm9 form(state);
    form.show();
    form.hotKey(5)->setBinding(Binding{F(1)});
    EXPECT_EQ(clickOk(form),
              QStringList{QStringLiteral("Duplicates where found. You should reassign buttons.")});
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.hotKey(1)->hotKey(), F(1));
    EXPECT_EQ(form.hotKey(5)->hotKey(), 0);
    EXPECT_EQ(form.hotKey(5)->text(), "None");
    EXPECT_FALSE(form.bindings().binding(5).assigned());
    EXPECT_EQ(storedHotKey(1), -1); // nothing stored

    // Ok again without reassigning: the cleared binding is stored as 0.
    EXPECT_TRUE(clickOk(form).isEmpty());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(storedHotKey(5), 0);
    TForm9 next(state);
    EXPECT_FALSE(next.bindings().binding(5).assigned());
    EXPECT_EQ(next.bindings().binding(1).shortcut, F(1));
}

TEST_F(KeyWindow, MenuKeyCheckedBeforeItsSecondKey)
{
    TForm9 form(state);
    form.show();
    form.hotKey(29)->setBinding(Binding{vk::Subtract});
    EXPECT_EQ(clickOk(form).size(), 1);
    EXPECT_EQ(form.hotKey(29)->hotKey(), vk::Subtract);
    EXPECT_EQ(form.hotKey(28)->hotKey(), 0);
}

TEST_F(KeyWindow, RussianDuplicateMessage)
{
    state.appTitle = QString::fromUtf8("Ворлан !");
    TForm9 form(state);
    form.retranslate(Language::Russian);
    form.show();
    form.hotKey(31)->setBinding(Binding{F(12)});
    EXPECT_EQ(clickOk(form),
              QStringList{QString::fromUtf8("Были обнаружены кнопки - дубликаты, "
                                            "пожалуйста, переопределите недостающие.")});
    EXPECT_EQ(form.hotKey(31)->hotKey(), 0);
    EXPECT_EQ(form.hotKey(13)->hotKey(), F(12));
}

TEST_F(KeyWindow, CancelRestoresTheStoredValues)
{
    {
        TForm9 form(state);
        form.hotKey(2)->setBinding(Binding{kScAlt | 'A'});
        form.Button1Click();
    }
    TForm9 form(state);
    form.show();
    form.hotKey(2)->setBinding(Binding{F(11)});
    form.hotKey(3)->setBinding({});
    EXPECT_EQ(form.bindings().binding(2).shortcut, F(11));
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(form.hotKey(2)->hotKey(), kScAlt | 'A');
    EXPECT_EQ(form.bindings().binding(2).shortcut, kScAlt | 'A');
    EXPECT_EQ(form.bindings().binding(3).shortcut, kScShift | F(5));
    EXPECT_EQ(storedHotKey(2), kScAlt | 'A');
}

TEST_F(KeyWindow, CancelOnAFirstRunGoesBackToTheDefaults)
{
    TForm9 form(state);
    form.show();
    form.hotKey(27)->setBinding(Binding{'U'});
    form.close();
    EXPECT_EQ(form.bindings().binding(27), KeyBindings::defaultBinding(27));
    EXPECT_EQ(form.hotKey(27)->text(), "Ctrl+Up");
    EXPECT_EQ(storedHotKey(27), -1);
}

TEST_F(KeyWindow, StoredValuesOverrideEveryDefault)
{
    FormStorage s(QStringLiteral("TForm9"));
    s.setValue(KeyBindings::hotKeyProperty(28), kScCtrl | vk::Prior);
    s.setValue(KeyBindings::modifiersProperty(28), "[hkCtrl,hkExt]");
    s.setValue(KeyBindings::hotKeyProperty(30), 0);
    s.sync();
    TForm9 form(state);
    EXPECT_EQ(form.bindings().binding(28), (Binding{kScCtrl | vk::Prior, true}));
    EXPECT_EQ(form.hotKey(28)->text(), "Ctrl+PgUp");
    EXPECT_FALSE(form.bindings().binding(30).assigned());
    EXPECT_EQ(form.bindings().binding(29), KeyBindings::defaultBinding(29));
}
