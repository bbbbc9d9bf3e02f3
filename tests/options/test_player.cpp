// The media player over the audio device: opening, errors, pausing, and the
// end-of-play notice arriving on the thread that owns the player.
#include "options/player.h"
#include "soundfiles.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

using namespace vorlan;
using Mode = MediaPlayer::Mode;
using Error = MediaPlayer::Error;
using Device = MediaPlayer::DeviceType;

namespace {

class PlayerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString file(const QString& name) const { return QDir(dir.path()).filePath(name); }

    QTemporaryDir dir;
};

// Runs with SDL_AUDIODRIVER naming a driver that does not exist.
struct NoAudioDriver
{
    NoAudioDriver() : saved(qgetenv("SDL_AUDIODRIVER")) { qputenv("SDL_AUDIODRIVER", "none-here"); }
    ~NoAudioDriver() { qputenv("SDL_AUDIODRIVER", saved); }
    QByteArray saved;
};

} // namespace

TEST_F(PlayerTest, TheDeviceIsSharedAndClosedWithTheLastPlayer)
{
    ASSERT_EQ(MediaPlayer::deviceUsers(), 0);
    {
        MediaPlayer music;
        MediaPlayer wave;
        ASSERT_TRUE(music.setDeviceType(Device::MidiSequencer))
            << music.errorString().toStdString();
        ASSERT_TRUE(wave.setDeviceType(Device::WaveAudio)) << wave.errorString().toStdString();
        EXPECT_EQ(MediaPlayer::deviceUsers(), 2);
        EXPECT_EQ(music.mode(), Mode::NotReady);
        EXPECT_EQ(music.error(), Error::None);
        // Changing the type lets go of the device first.
        ASSERT_TRUE(wave.setDeviceType(Device::WaveAudio));
        EXPECT_EQ(MediaPlayer::deviceUsers(), 2);
        wave.setDeviceType(Device::None);
        EXPECT_EQ(MediaPlayer::deviceUsers(), 1);
    }
    EXPECT_EQ(MediaPlayer::deviceUsers(), 0);
}

TEST_F(PlayerTest, WithoutAnAudioDeviceEveryOperationReportsAnError)
{
    NoAudioDriver none;
    MediaPlayer p;
    EXPECT_FALSE(p.setDeviceType(Device::WaveAudio));
    EXPECT_EQ(p.error(), Error::NoDevice);
    EXPECT_FALSE(p.errorString().isEmpty());
    EXPECT_EQ(MediaPlayer::deviceUsers(), 0);
    ASSERT_TRUE(soundfiles::writeTone(file("a.wav"), 0.1));
    p.setFileName(file("a.wav"));
    EXPECT_FALSE(p.open());
    EXPECT_EQ(p.error(), Error::NoDevice);
    EXPECT_FALSE(p.play());
    EXPECT_EQ(p.error(), Error::NotOpen);
    EXPECT_EQ(p.mode(), Mode::NotReady);
    MediaPlayer m;
    EXPECT_FALSE(m.setDeviceType(Device::MidiSequencer));
    EXPECT_EQ(m.error(), Error::NoDevice);
}

TEST_F(PlayerTest, MissingAndBrokenFilesDoNotOpen)
{
    MediaPlayer wave;
    ASSERT_TRUE(wave.setDeviceType(Device::WaveAudio));
    wave.setFileName(file("missing.wav"));
    EXPECT_FALSE(wave.open());
    EXPECT_EQ(wave.error(), Error::CannotOpen);
    EXPECT_EQ(wave.mode(), Mode::NotReady);
    EXPECT_FALSE(wave.play());
    EXPECT_EQ(wave.error(), Error::NotOpen);
    EXPECT_FALSE(wave.stop());
    EXPECT_EQ(wave.error(), Error::NotOpen);

    // Neither player takes a file it cannot decode.
    for (const char* name : {"junk.wav", "junk.mid"}) {
        QFile junk(file(name));
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write("this is not sound at all, only words");
    }
    wave.setFileName(file("junk.wav"));
    EXPECT_FALSE(wave.open());
    EXPECT_EQ(wave.error(), Error::CannotOpen);
    MediaPlayer music;
    ASSERT_TRUE(music.setDeviceType(Device::MidiSequencer));
    music.setFileName(file("junk.mid"));
    EXPECT_FALSE(music.open());
    EXPECT_EQ(music.error(), Error::CannotOpen);
    music.setFileName(file("missing.mid"));
    EXPECT_FALSE(music.open());
    EXPECT_EQ(music.error(), Error::CannotOpen);
    // A good file after a bad one clears the error.
    ASSERT_TRUE(soundfiles::writeMidi(file("good.mid"), 0.2));
    music.setFileName(file("good.mid"));
    EXPECT_TRUE(music.open());
    EXPECT_EQ(music.error(), Error::None);
    EXPECT_EQ(music.mode(), Mode::Stopped);
}

TEST_F(PlayerTest, AWaveEndsWithANoticeOnTheOwnersThread)
{
    ASSERT_TRUE(soundfiles::writeTone(file("short.wav"), 0.15));
    MediaPlayer p;
    ASSERT_TRUE(p.setDeviceType(Device::WaveAudio));
    p.setFileName(file("short.wav"));
    ASSERT_TRUE(p.open());
    QThread* noticeThread = nullptr;
    Mode modeAtNotice = Mode::NotReady;
    QObject::connect(&p, &MediaPlayer::notify, [&] {
        noticeThread = QThread::currentThread();
        modeAtNotice = p.mode();
    });
    QSignalSpy spy(&p, &MediaPlayer::notify);
    ASSERT_TRUE(p.play());
    EXPECT_EQ(p.mode(), Mode::Playing);
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(noticeThread, QCoreApplication::instance()->thread());
    EXPECT_EQ(modeAtNotice, Mode::Stopped);
    // Played again from the start.
    ASSERT_TRUE(p.play());
    EXPECT_EQ(p.mode(), Mode::Playing);
    ASSERT_TRUE(spy.wait(5000));
}

TEST_F(PlayerTest, PauseHoldsThePlaybackAndPlayGoesOn)
{
    ASSERT_TRUE(soundfiles::writeTone(file("long.wav"), 3.0));
    MediaPlayer p;
    ASSERT_TRUE(p.setDeviceType(Device::WaveAudio));
    p.setFileName(file("long.wav"));
    ASSERT_TRUE(p.open());
    EXPECT_FALSE(p.pause());
    EXPECT_EQ(p.error(), Error::NotPlaying);
    QSignalSpy spy(&p, &MediaPlayer::notify);
    ASSERT_TRUE(p.play());
    ASSERT_TRUE(p.pause());
    EXPECT_EQ(p.mode(), Mode::Paused);
    EXPECT_TRUE(p.pause());
    EXPECT_EQ(p.mode(), Mode::Paused);
    ASSERT_TRUE(p.play());
    EXPECT_EQ(p.mode(), Mode::Playing);
    // Stopping ends the playback: the notice comes at once, not after 3 s.
    ASSERT_TRUE(p.stop());
    EXPECT_EQ(p.mode(), Mode::Stopped);
    ASSERT_TRUE(spy.wait(1000));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(p.stop());
}

TEST_F(PlayerTest, MidiPlaysToItsEndAndNotifies)
{
    ASSERT_TRUE(soundfiles::writeMidi(file("tune.mid"), 0.3));
    MediaPlayer p;
    ASSERT_TRUE(p.setDeviceType(Device::MidiSequencer));
    p.setFileName(file("tune.mid"));
    ASSERT_TRUE(p.open()) << p.errorString().toStdString();
    QSignalSpy spy(&p, &MediaPlayer::notify);
    ASSERT_TRUE(p.play());
    EXPECT_EQ(p.mode(), Mode::Playing);
    ASSERT_TRUE(p.pause());
    EXPECT_EQ(p.mode(), Mode::Paused);
    ASSERT_TRUE(p.play());
    ASSERT_TRUE(spy.wait(10000));
    EXPECT_EQ(p.mode(), Mode::Stopped);
}

TEST_F(PlayerTest, OneMusicStreamGoesToTheSequencerThatPlayedLast)
{
    ASSERT_TRUE(soundfiles::writeMidi(file("long.mid"), 5));
    MediaPlayer first;
    MediaPlayer second;
    for (MediaPlayer* p : {&first, &second}) {
        ASSERT_TRUE(p->setDeviceType(Device::MidiSequencer));
        p->setFileName(file("long.mid"));
        ASSERT_TRUE(p->open());
    }
    QSignalSpy firstEnded(&first, &MediaPlayer::notify);
    QSignalSpy secondEnded(&second, &MediaPlayer::notify);
    ASSERT_TRUE(first.play());
    ASSERT_TRUE(second.play());
    EXPECT_EQ(first.mode(), Mode::Stopped);
    EXPECT_EQ(second.mode(), Mode::Playing);
    ASSERT_TRUE(firstEnded.wait(1000));
    EXPECT_EQ(secondEnded.count(), 0);
    // Closing the one that lost the stream leaves the other playing.
    first.close();
    EXPECT_EQ(first.mode(), Mode::NotReady);
    EXPECT_EQ(second.mode(), Mode::Playing);
}
