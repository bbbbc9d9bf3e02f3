// The options dialog: its controls and defaults, the stored settings, the
// Russian texts and presets, the bot library controls and the block size.
#include "appstate.h"
#include "datafolders.h"
#include "modal.h"
#include "options/optionsdialog.h"
#include "view/formstorage.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace vorlan;
using Mode = MediaPlayer::Mode;

namespace {

QSettings store()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, FormStorage::programName());
}

class OptionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        store().clear();
        // The program folder with the shipped music, sounds and wav.txt.
        state.dir = QDir::currentPath();
        lines = Sound::readSoundList("wav.txt");
        ASSERT_GE(lines.size(), 39) << "wav.txt beside the tests";
    }

    std::unique_ptr<TOptions> make() { return std::make_unique<TOptions>(state); }

    AppState state;
    QStringList lines;
};

} // namespace

TEST_F(OptionsTest, FirstStartHasTheDefaultsAndTheSoundsRunning)
{
    auto o = make();
    EXPECT_EQ(o->windowTitle(), "Options");
    EXPECT_EQ(o->size(), QSize(862, 393)); // wider than the form: whole phrases in the lists
    EXPECT_TRUE(o->windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(o->enableMIDI->isChecked());
    EXPECT_TRUE(o->enableWAVE->isChecked());
    for (QCheckBox* t : o->tracks)
        EXPECT_TRUE(t->isChecked() && t->isEnabled());
    for (QCheckBox* b : {o->yourAttack, o->yourAttackFailure, o->makingPost, o->enemyAttackFailure,
                         o->yourLoss, o->DirudBox})
        EXPECT_FALSE(b->isChecked()) << b->objectName().toStdString();
    for (int n = 1; n <= 8; ++n) {
        EXPECT_FALSE(o->cbv(n)->isChecked());
        EXPECT_EQ(o->cmbv(n)->count(), lines.size());
        EXPECT_EQ(o->cmbv(n)->currentIndex(), -1);
        EXPECT_FALSE(o->cmbv(n)->isEditable());
        EXPECT_EQ(o->voiceIndex(n), -1);
    }
    EXPECT_EQ(o->yourLossName->itemText(2), lines[2]);
    // Every phrase is seen whole in a closed list (the arrow takes about 30 pixels).
    for (const QString& line : lines)
        for (QComboBox* list : {o->cmbv(1), o->yourAttackName})
            EXPECT_LE(QFontMetrics(list->font()).horizontalAdvance(line) + 30, list->width())
                << line.toStdString();
    EXPECT_EQ(o->blockSize(), 16);
    EXPECT_FALSE(o->DirudName->isEnabled());
    EXPECT_TRUE(o->DirudName->text().isEmpty());
    EXPECT_TRUE(o->Button1->isDefault());
    // Music and the switch-on sound start with the dialog.
    EXPECT_EQ(o->sound().MP.fileName(), QDir(state.dir).filePath("s0.mid"));
    EXPECT_EQ(o->sound().MP.mode(), Mode::Playing);
    EXPECT_EQ(o->sound().MPW.fileName(), QDir(state.dir).filePath("kukly.wav"));
    // Every control can be found by its form name.
    for (const char* name :
         {"enableMIDI", "CB1", "CB4", "enableWAVE", "yourAttackName", "cbv8", "cmbv8", "DirudBox",
          "DirudName", "ResetIdiot", "SizeLabel", "Size", "Button1", "MPButtons", "MPWButtons"})
        EXPECT_NE(o->findChild<QWidget*>(name), nullptr) << name;
}

TEST_F(OptionsTest, SettingsSurviveARestart)
{
    {
        auto o = make();
        o->enableWAVE->setChecked(false);
        o->CB2->setChecked(false);
        o->yourAttack->setChecked(true);
        o->yourLoss->setChecked(true);
        o->makingPostName->setCurrentIndex(4);
        o->yourAttackName->setCurrentIndex(0);
        o->cbv(5)->setChecked(true);
        o->cmbv(5)->setCurrentIndex(20);
        o->DirudBox->setChecked(true);
        o->DirudName->setText("/opt/bots/libdirud.so");
        o->Size->setValue(24);
    }
    QSettings s = store();
    s.beginGroup("TOptions");
    QStringList keys = s.childKeys();
    keys.sort();
    QStringList expected = TOptions::storedProperties();
    expected.sort();
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(TOptions::storedProperties().size(), 35);
    EXPECT_EQ(s.value("cmbv5.Text").toString(), lines[20]);
    EXPECT_EQ(s.value("Size.Value").toInt(), 24);
    s.endGroup();

    auto o = make();
    EXPECT_FALSE(o->enableWAVE->isChecked());
    EXPECT_FALSE(o->yourAttack->isEnabled()); // WAVE off disables the boxes
    EXPECT_FALSE(o->CB2->isChecked());
    EXPECT_TRUE(o->CB3->isChecked());
    EXPECT_TRUE(o->yourAttack->isChecked());
    EXPECT_TRUE(o->yourLoss->isChecked());
    EXPECT_FALSE(o->makingPost->isChecked());
    EXPECT_EQ(o->makingPostName->currentIndex(), 4);
    EXPECT_EQ(o->yourAttackName->currentIndex(), 0);
    EXPECT_EQ(o->yourLossName->currentIndex(), -1);
    EXPECT_TRUE(o->cbv(5)->isChecked());
    EXPECT_EQ(o->voiceIndex(5), 20);
    EXPECT_EQ(o->voiceText(5), lines[20]);
    EXPECT_TRUE(o->DirudBox->isChecked());
    EXPECT_TRUE(o->DirudName->isEnabled());
    EXPECT_EQ(o->idiotLibrary(), "/opt/bots/libdirud.so");
    EXPECT_EQ(o->blockSize(), 24);
}

TEST_F(OptionsTest, ListsAreRestoredByTheirText)
{
    QSettings s = store();
    s.setValue("TOptions/yourAttackFailureName.Text", lines[2]);
    s.setValue("TOptions/yourLossName.Text", "a line that wav.txt does not have");
    s.setValue("TOptions/Size.Value", 200);
    s.sync();
    auto o = make();
    EXPECT_EQ(o->yourAttackFailureName->currentIndex(), 2);
    EXPECT_EQ(o->sound().eventSoundFile(Sound::Event::YourAttackFailure), "kukly3.wav");
    EXPECT_EQ(o->yourLossName->currentIndex(), -1);
    EXPECT_EQ(o->sound().eventSoundFile(Sound::Event::YourLoss), "kukly0.wav");
    EXPECT_EQ(o->blockSize(), 64);
}

TEST_F(OptionsTest, WithoutTheSoundListTheListsStayEmpty)
{
    // A data folder with the music and the switch-on sound but no wav.txt.
    QTemporaryDir elsewhere;
    for (const char* f : {"s0.mid", "kukly.wav"})
        ASSERT_TRUE(QFile::copy(QDir(state.dir).filePath(f), QDir(elsewhere.path()).filePath(f)));
    auto o = [&] {
        test::ScopedDataFolders only({elsewhere.path()});
        return make();
    }();
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(o->cmbv(n)->count(), 0);
    EXPECT_EQ(o->makingPostName->count(), 0);
    o->makingPost->setChecked(true);
    o->sound().playEvent(Sound::Event::MakingPost);
    EXPECT_TRUE(o->enableWAVE->isChecked());
    EXPECT_TRUE(o->enableMIDI->isChecked());
}

TEST_F(OptionsTest, ClickingAnEventBoxPreviewsItsSound)
{
    auto o = make();
    o->enemyAttackFailureName->setCurrentIndex(6);
    QTest::mouseClick(o->enemyAttackFailure, Qt::LeftButton, {},
                      QPoint(8, o->enemyAttackFailure->height() / 2));
    ASSERT_TRUE(o->enemyAttackFailure->isChecked());
    EXPECT_EQ(QFileInfo(o->sound().MPW.fileName()).fileName(), "kukly7.wav");
    EXPECT_EQ(o->sound().MPW.mode(), Mode::Playing);
    // Unchecking plays nothing.
    o->sound().MPW.stop();
    QTest::mouseClick(o->enemyAttackFailure, Qt::LeftButton, {},
                      QPoint(8, o->enemyAttackFailure->height() / 2));
    EXPECT_EQ(o->sound().MPW.mode(), Mode::Stopped);
}

TEST_F(OptionsTest, TheEnableBoxesRunTheirSwitchesWhenClicked)
{
    auto o = make();
    o->enableMIDI->click();
    EXPECT_FALSE(o->CB1->isEnabled());
    EXPECT_EQ(o->sound().MP.mode(), Mode::Stopped);
    o->enableWAVE->click();
    EXPECT_FALSE(o->cbv(1)->isEnabled());
    EXPECT_TRUE(o->cmbv(1)->isEnabled());
    o->enableMIDI->click();
    EXPECT_EQ(o->sound().MP.mode(), Mode::Playing);
    // The player's pause button holds the music and lets it go on.
    o->MPButtons->pauseButton->click();
    EXPECT_EQ(o->sound().MP.mode(), Mode::Paused);
    o->MPButtons->pauseButton->click();
    EXPECT_EQ(o->sound().MP.mode(), Mode::Playing);
}

TEST_F(OptionsTest, RussianTextsAndPresets)
{
    auto o = make();
    EXPECT_EQ(o->CB1->text(), "\"Dream\"");
    EXPECT_EQ(o->CB4->text(), "\"War in the name of peace\"");
    o->retranslate(Language::Russian);
    const std::pair<QWidget*, const char*> texts[] = {
        {o->enableMIDI, "Включить MIDI"},
        {o->enableWAVE, "Включить WAVE"},
        {o->CB1, "Сон"},
        {o->CB2, "Гибель богов"},
        {o->CB3, "Выбирай"},
        {o->CB4, "Война во имя мира"},
        {o->yourAttack, "Твоя атака"},
        {o->yourAttackFailure, "Провал атаки"},
        {o->enemyAttackFailure, "Провал врага"},
        {o->makingPost, "Уст. гарнизона"},
        {o->yourLoss, "Твои потери"},
        {o->DirudBox, "Исп. дурака"},
    };
    for (const auto& [w, text] : texts)
        EXPECT_EQ(qobject_cast<QAbstractButton*>(w)->text(), QString::fromUtf8(text));
    EXPECT_EQ(o->SizeLabel->text(), QString::fromUtf8("Размер клетки"));

    o->presetRussianSounds();
    for (QCheckBox* b : {o->yourAttackFailure, o->makingPost, o->enemyAttackFailure, o->yourLoss})
        EXPECT_TRUE(b->isChecked());
    EXPECT_FALSE(o->yourAttack->isChecked());
    EXPECT_EQ(o->yourAttackFailureName->currentIndex(), 7);
    EXPECT_EQ(o->makingPostName->currentIndex(), 8);
    EXPECT_EQ(o->enemyAttackFailureName->currentIndex(), 33);
    EXPECT_EQ(o->yourLossName->currentIndex(), 15);
    const int voices[] = {2, 3, 8, 12, 20, 31, 25, 38};
    for (int n = 1; n <= 8; ++n) {
        EXPECT_TRUE(o->cbv(n)->isChecked());
        EXPECT_EQ(o->voiceIndex(n), voices[n - 1]);
    }
    // The presets are kept like any choice.
    EXPECT_EQ(store().value("TOptions/cmbv8.Text").toString(), lines[38]);
    EXPECT_TRUE(store().value("TOptions/yourLoss.Checked").toBool());
}

TEST_F(OptionsTest, PresetsBeyondAShortListChooseNothing)
{
    QTemporaryDir elsewhere;
    QFile f(QDir(elsewhere.path()).filePath("wav.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("a\r\nb\r\nc\r\nd\r\n");
    f.close();
    auto o = [&] {
        test::ScopedDataFolders only({elsewhere.path()});
        return make();
    }();
    o->presetRussianSounds();
    EXPECT_EQ(o->voiceIndex(1), 2);
    EXPECT_EQ(o->voiceIndex(2), 3);
    EXPECT_EQ(o->voiceIndex(3), -1);
    EXPECT_EQ(o->yourLossName->currentIndex(), -1);
    EXPECT_EQ(o->sound().eventSoundFile(Sound::Event::YourLoss), "kukly0.wav");
}

TEST_F(OptionsTest, TheBotControlsAskForTheLibraryToBeReleased)
{
    store().setValue("TOptions/DirudBox.Checked", true);
    store().setValue("TOptions/DirudName.Text", "libdirud.so");
    store().sync();
    auto o = make();
    ASSERT_TRUE(o->DirudName->isEnabled());
    QSignalSpy release(o.get(), &TOptions::botLibraryReleaseRequested);
    o->DirudName->setText("other.so");
    o->ResetIdiot->click();
    ASSERT_EQ(release.count(), 1);
    EXPECT_EQ(release.takeFirst().at(0).toString(), "other.so");
    o->DirudBox->click();
    EXPECT_FALSE(o->DirudBox->isChecked());
    EXPECT_FALSE(o->DirudName->isEnabled());
    EXPECT_FALSE(o->DirudNameBrowse->isEnabled());
    ASSERT_EQ(release.count(), 1);
    EXPECT_EQ(release.takeFirst().at(0).toString(), "other.so");
    EXPECT_FALSE(o->idiotAllowed());
    // Checking it again only enables the name.
    o->DirudBox->click();
    EXPECT_TRUE(o->DirudName->isEnabled());
    EXPECT_EQ(release.count(), 0);
    EXPECT_TRUE(o->idiotAllowed());
}

TEST_F(OptionsTest, TheLibraryIsChosenAmongExistingFiles)
{
    auto o = make();
    std::unique_ptr<QFileDialog> d(o->createLibraryDialog());
    EXPECT_EQ(d->windowTitle(), "Idiot DLL");
    EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
    ASSERT_EQ(d->nameFilters().size(), 1);
    EXPECT_TRUE(d->nameFilters()[0].startsWith("Idiot dll (*.dll"));
    EXPECT_FALSE(d->defaultSuffix().isEmpty());
    // The browse button opens it; closing it leaves the name alone.
    o->DirudBox->click();
    o->DirudName->setText("keep.so");
    const QStringList shown = closeModals([&] { o->DirudNameBrowse->click(); });
    EXPECT_EQ(shown, QStringList{"DirudNameDialog"});
    EXPECT_EQ(o->DirudName->text(), "keep.so");
}

TEST_F(OptionsTest, TheBlockSizeStaysInRangeAndIsAnnounced)
{
    auto o = make();
    QSignalSpy changed(o.get(), &TOptions::blockSizeChanged);
    o->Size->setValue(3);
    EXPECT_EQ(o->blockSize(), 8);
    o->Size->setValue(99);
    EXPECT_EQ(o->blockSize(), 64);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 8);
    EXPECT_EQ(changed.at(1).at(0).toInt(), 64);
    o->Size->setValue(64);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(OptionsTest, KeysOnTheDialogSetTheModifierFlags)
{
    auto o = make();
    o->show();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier);
    QApplication::sendEvent(o->Button1, &press);
    EXPECT_TRUE(state.Shifted);
    EXPECT_TRUE(state.Ctrled);
    EXPECT_FALSE(state.Alted);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::AltModifier);
    QApplication::sendEvent(o.get(), &release);
    EXPECT_FALSE(state.Shifted);
    EXPECT_FALSE(state.Ctrled);
    EXPECT_TRUE(state.Alted);
}

TEST_F(OptionsTest, ClosingTheDialogStoresTheSettings)
{
    auto o = make();
    o->yourAttack->setChecked(true);
    const QStringList shown = closeModals([&] { o->exec(); });
    EXPECT_EQ(shown, QStringList{"TOptions"});
    EXPECT_TRUE(store().value("TOptions/yourAttack.Checked").toBool());
    EXPECT_FALSE(store().contains("TOptions/Left"));
}
