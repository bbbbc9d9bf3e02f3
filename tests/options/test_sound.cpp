// The sound rules: the MIDI and WAVE switches, the rotation of music tracks,
// which event and voice sounds play when, and what a failure switches off.
#include "datafolders.h"
#include "modal.h"
#include "options/sound.h"
#include "soundfiles.h"

#include <gtest/gtest.h>
#include <optional>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlan;
using Mode = MediaPlayer::Mode;

namespace {

// Runs with SDL_AUDIODRIVER naming a driver that does not exist.
struct NoAudioDriver
{
    NoAudioDriver() : saved(qgetenv("SDL_AUDIODRIVER")) { qputenv("SDL_AUDIODRIVER", "none-here"); }
    ~NoAudioDriver() { qputenv("SDL_AUDIODRIVER", saved); }
    QByteArray saved;
};

class SoundTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.isValid() && sounds.isValid());
        // Music and the switch-on sound in one folder, the event sounds in the
        // next one searched.
        folders.emplace(QStringList{program.path(), sounds.path()});
        for (int i = 0; i <= 4; ++i)
            ASSERT_TRUE(soundfiles::writeMidi(inProgram(QStringLiteral("s%1.mid").arg(i)), 0.1));
        ASSERT_TRUE(soundfiles::writeTone(inProgram("kukly.wav"), 0.1));
        ASSERT_TRUE(soundfiles::writeTone(inSounds("kukly1.wav"), 3.0));
        for (int i = 2; i <= 5; ++i)
            ASSERT_TRUE(soundfiles::writeTone(inSounds(QStringLiteral("kukly%1.wav").arg(i)), 0.3));

        c.enableMIDI = box(true);
        c.enableWAVE = box(true);
        for (auto& b : c.tracks)
            b = box(true);
        for (auto& b : c.events)
            b = box(false);
        for (auto& b : c.voices)
            b = box(false);
        const QStringList lines{"one", "two", "three", "four", "five"};
        for (auto& l : c.eventNames)
            l = list(lines);
        for (auto& l : c.voiceNames)
            l = list(lines);
    }

    void TearDown() override
    {
        sound.reset();
        folders.reset();
    }

    QString inProgram(const QString& name) const { return QDir(program.path()).filePath(name); }
    QString inSounds(const QString& name) const { return QDir(sounds.path()).filePath(name); }

    QCheckBox* box(bool checked)
    {
        auto* b = new QCheckBox(&window);
        b->setChecked(checked);
        return b;
    }

    QComboBox* list(const QStringList& lines)
    {
        auto* l = new QComboBox(&window);
        l->addItems(lines);
        l->setCurrentIndex(-1);
        return l;
    }

    // The start-up of the sound part: devices, then the WAVE and MIDI switches.
    Sound& start()
    {
        sound = std::make_unique<Sound>(c, &window);
        sound->openDevices();
        sound->waveSwitch();
        sound->midiSwitch();
        return *sound;
    }

    static QString base(const QString& path) { return QFileInfo(path).fileName(); }

    // The music files that follow each other until count have played.
    QStringList rotation(int count)
    {
        QStringList played;
        QObject::connect(&sound->MP, &MediaPlayer::notify, &window, [&] {
            if (sound->MP.mode() == Mode::Playing)
                played << base(sound->MP.fileName());
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return played.size() >= count; }, 8000 * count));
        QObject::disconnect(&sound->MP, nullptr, &window, nullptr);
        return played;
    }

    QTemporaryDir program;
    QTemporaryDir sounds;
    std::optional<test::ScopedDataFolders> folders;
    QWidget window;
    SoundControls c;
    std::unique_ptr<Sound> sound;
};

} // namespace

TEST_F(SoundTest, SwitchingMidiOnStartsTheOpeningMusicAndOffStopsIt)
{
    Sound& s = start();
    EXPECT_EQ(s.MP.fileName(), inProgram("s0.mid"));
    EXPECT_EQ(s.MP.mode(), Mode::Playing);
    EXPECT_EQ(s.currentTrack(), 0);
    EXPECT_TRUE(c.tracks[2]->isEnabled());
    c.enableMIDI->setChecked(false);
    s.midiSwitch();
    EXPECT_EQ(s.MP.mode(), Mode::Stopped);
    for (QCheckBox* t : c.tracks)
        EXPECT_FALSE(t->isEnabled());
    // Nothing follows a stopped opening while MIDI is off.
    QTest::qWait(300);
    EXPECT_EQ(base(s.MP.fileName()), "s0.mid");
    EXPECT_EQ(s.MP.mode(), Mode::Stopped);
}

TEST_F(SoundTest, TheTracksFollowInTurnAfterTheOpening)
{
    start();
    EXPECT_EQ(rotation(5), QStringList({"s1.mid", "s2.mid", "s3.mid", "s4.mid", "s1.mid"}));
}

TEST_F(SoundTest, OnlyTheCheckedTrackRepeats)
{
    for (int i : {0, 1, 3})
        c.tracks[i]->setChecked(false);
    start();
    EXPECT_EQ(rotation(3), QStringList({"s3.mid", "s3.mid", "s3.mid"}));
    EXPECT_EQ(sound->currentTrack(), 3);
}

TEST_F(SoundTest, WithNoTrackCheckedTheOpeningIsTheLastMusic)
{
    for (QCheckBox* t : c.tracks)
        t->setChecked(false);
    QStringList shown = closeModals([&] {
        start();
        QSignalSpy ended(&sound->MP, &MediaPlayer::notify);
        ASSERT_TRUE(ended.wait(10000));
        QTest::qWait(300);
    });
    EXPECT_TRUE(shown.isEmpty()) << shown.join(' ').toStdString();
    EXPECT_EQ(base(sound->MP.fileName()), "s0.mid");
    EXPECT_EQ(sound->MP.mode(), Mode::Stopped);
    EXPECT_TRUE(c.enableMIDI->isChecked());
}

TEST_F(SoundTest, AMissingOpeningSwitchesMidiOffWithoutAMessage)
{
    QFile::remove(inProgram("s0.mid"));
    QStringList shown = closeModals([&] {
        start();
        QTest::qWait(100);
    });
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_FALSE(c.enableMIDI->isChecked());
    for (QCheckBox* t : c.tracks)
        EXPECT_FALSE(t->isEnabled());
    // WAVE is another matter.
    EXPECT_TRUE(c.enableWAVE->isChecked());
}

TEST_F(SoundTest, ATrackThatFailsSwitchesMidiOffWithTheMessageOnce)
{
    for (int i : {0, 2, 3})
        c.tracks[i]->setChecked(false);
    QFile::remove(inProgram("s2.mid"));
    QStringList shown = closeModals([&] {
        start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !c.enableMIDI->isChecked(); }, 10000));
        QTest::qWait(300);
    });
    EXPECT_EQ(shown, QStringList{Sound::trackFailureText(false)});
    EXPECT_EQ(shown.value(0), "Bug, please tell Kelno that it happened. You can continue, but "
                              "there will be no midi music");
    EXPECT_FALSE(c.enableMIDI->isChecked());
    EXPECT_FALSE(c.tracks[1]->isEnabled());
    // The user may switch it on again: the opening plays.
    c.enableMIDI->setChecked(true);
    sound->midiSwitch();
    EXPECT_EQ(sound->MP.mode(), Mode::Playing);
    EXPECT_EQ(sound->currentTrack(), 0);
    EXPECT_NE(Sound::trackFailureText(true), Sound::trackFailureText(false));
}

TEST_F(SoundTest, SwitchingWaveOnPlaysItsSoundAndOffDisablesTheBoxesOnly)
{
    Sound& s = start();
    EXPECT_EQ(s.MPW.fileName(), inProgram("kukly.wav"));
    // The music's start-up in start() may outlast this short sound on the
    // dummy driver; switched on again, it is seen playing at once.
    s.waveSwitch();
    EXPECT_EQ(s.MPW.mode(), Mode::Playing);
    c.enableWAVE->setChecked(false);
    s.waveSwitch();
    EXPECT_EQ(s.MPW.mode(), Mode::Stopped);
    for (QCheckBox* b : c.events)
        EXPECT_FALSE(b->isEnabled());
    for (QCheckBox* b : c.voices)
        EXPECT_FALSE(b->isEnabled());
    for (QComboBox* l : c.voiceNames)
        EXPECT_TRUE(l->isEnabled());
    for (QComboBox* l : c.eventNames)
        EXPECT_TRUE(l->isEnabled());
    c.enableWAVE->setChecked(true);
    s.waveSwitch();
    EXPECT_TRUE(c.events[0]->isEnabled() && c.voices[7]->isEnabled());
}

TEST_F(SoundTest, AMissingSwitchOnSoundSwitchesWaveOff)
{
    QFile::remove(inProgram("kukly.wav"));
    start();
    EXPECT_FALSE(c.enableWAVE->isChecked());
    EXPECT_FALSE(c.events[2]->isEnabled());
    EXPECT_TRUE(c.enableMIDI->isChecked());
}

TEST_F(SoundTest, WithoutADeviceBothKindsAreOff)
{
    NoAudioDriver none;
    Sound& s = start();
    EXPECT_FALSE(c.enableMIDI->isChecked());
    EXPECT_FALSE(c.enableWAVE->isChecked());
    EXPECT_FALSE(c.tracks[0]->isEnabled());
    EXPECT_FALSE(c.voices[0]->isEnabled());
    EXPECT_EQ(s.MP.mode(), Mode::NotReady);
    // Switching on again finds no device and goes off once more.
    c.enableWAVE->setChecked(true);
    s.waveSwitch();
    EXPECT_FALSE(c.enableWAVE->isChecked());
}

TEST_F(SoundTest, PlayWaveSkipsTheNoSoundNameAndSwitchesOffOnAFailure)
{
    Sound& s = start();
    s.playWave("kukly0.wav");
    EXPECT_EQ(s.MPW.fileName(), inProgram("kukly.wav"));
    s.playWave("kukly3.wav");
    EXPECT_EQ(base(s.MPW.fileName()), "kukly3.wav");
    EXPECT_EQ(s.MPW.mode(), Mode::Playing);
    // A name from another player's message never leaves the folder.
    s.playWave("../kukly3.wav");
    s.playWave(QDir(sounds.path()).filePath("kukly4.wav"));
    EXPECT_EQ(base(s.MPW.fileName()), "kukly3.wav");
    EXPECT_TRUE(c.enableWAVE->isChecked());
    s.playWave("kukly99.wav");
    EXPECT_FALSE(c.enableWAVE->isChecked());
    EXPECT_FALSE(c.events[0]->isEnabled());
    EXPECT_EQ(s.MPW.mode(), Mode::NotReady);
}

TEST_F(SoundTest, AnEventPlaysOnlyWithItsBoxWaveAndAChosenSound)
{
    Sound& s = start();
    const QString before = s.MPW.fileName();
    const auto loss = Sound::Event::YourLoss;
    s.playEvent(loss); // box off
    c.events[int(loss)]->setChecked(true);
    s.playEvent(loss); // no sound chosen: kukly0.wav is never opened
    EXPECT_EQ(s.MPW.fileName(), before);
    EXPECT_TRUE(c.enableWAVE->isChecked());
    c.eventNames[int(loss)]->setCurrentIndex(2);
    EXPECT_EQ(s.eventSoundFile(loss), "kukly3.wav");
    s.playEvent(loss);
    EXPECT_EQ(base(s.MPW.fileName()), "kukly3.wav");
    // With WAVE off nothing plays, though the box is checked.
    c.enableWAVE->setChecked(false);
    s.waveSwitch();
    c.eventNames[int(loss)]->setCurrentIndex(3);
    s.playEvent(loss);
    EXPECT_EQ(base(s.MPW.fileName()), "kukly3.wav");
}

TEST_F(SoundTest, TheAttackWaitsForSilenceAndTheOthersInterrupt)
{
    Sound& s = start();
    const auto attack = Sound::Event::YourAttack;
    const auto failure = Sound::Event::YourAttackFailure;
    c.events[int(attack)]->setChecked(true);
    c.eventNames[int(attack)]->setCurrentIndex(1);
    c.events[int(failure)]->setChecked(true);
    c.eventNames[int(failure)]->setCurrentIndex(2);
    s.playWave("kukly1.wav"); // three seconds
    s.playEvent(attack);
    EXPECT_EQ(base(s.MPW.fileName()), "kukly1.wav");
    s.MPW.pause();
    s.playEvent(attack);
    EXPECT_EQ(base(s.MPW.fileName()), "kukly1.wav");
    s.MPW.play();
    s.playEvent(failure);
    EXPECT_EQ(base(s.MPW.fileName()), "kukly3.wav");
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.MPW.mode() == Mode::Stopped; }, 3000));
    s.playEvent(attack);
    EXPECT_EQ(base(s.MPW.fileName()), "kukly2.wav");
    EXPECT_EQ(s.MPW.mode(), Mode::Playing);
}

TEST_F(SoundTest, AVoiceButtonPlaysItsSoundWhenItsBoxIsChecked)
{
    Sound& s = start();
    c.voiceNames[2]->setCurrentIndex(4);
    s.playVoice(3);
    EXPECT_EQ(s.MPW.fileName(), inProgram("kukly.wav"));
    c.voices[2]->setChecked(true);
    s.playVoice(3);
    EXPECT_EQ(base(s.MPW.fileName()), "kukly5.wav");
    s.playVoice(0);
    s.playVoice(9);
    EXPECT_EQ(base(s.MPW.fileName()), "kukly5.wav");
    c.enableWAVE->setChecked(false);
    s.waveSwitch();
    c.voiceNames[2]->setCurrentIndex(3);
    s.playVoice(3);
    EXPECT_EQ(base(s.MPW.fileName()), "kukly5.wav");
}

TEST_F(SoundTest, MusicPausesAndGoesOnOnlyWhileMidiIsOnAndErrorsAreIgnored)
{
    ASSERT_TRUE(soundfiles::writeMidi(inProgram("s0.mid"), 5));
    Sound& s = start();
    s.pauseMusic();
    EXPECT_EQ(s.MP.mode(), Mode::Paused);
    s.pauseMusic();
    EXPECT_EQ(s.MP.mode(), Mode::Paused);
    s.startMusic();
    EXPECT_EQ(s.MP.mode(), Mode::Playing);
    c.enableMIDI->setChecked(false);
    s.midiSwitch();
    s.startMusic();
    EXPECT_EQ(s.MP.mode(), Mode::Stopped);
    // Pausing a stopped player fails, and MIDI stays on all the same.
    c.enableMIDI->setChecked(true);
    s.pauseMusic();
    EXPECT_NE(s.MP.error(), MediaPlayer::Error::None);
    EXPECT_TRUE(c.enableMIDI->isChecked());
}

TEST(SoundList, LinesAreWindows1251WithEitherLineEnd)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("wav.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // "Ура!" in Windows-1251, an empty line, and a last line without a break.
    f.write("\xD3\xF0\xE0!\r\n\r\nStop\nlast");
    f.close();
    bool ok = false;
    EXPECT_EQ(Sound::readSoundList(path, &ok),
              QStringList({QString::fromUtf8("Ура!"), "", "Stop", "last"}));
    EXPECT_TRUE(ok);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("one\r\ntwo\r\n");
    f.close();
    EXPECT_EQ(Sound::readSoundList(path), QStringList({"one", "two"}));
    EXPECT_TRUE(Sound::readSoundList(path + ".missing", &ok).isEmpty());
    EXPECT_FALSE(ok);
}
