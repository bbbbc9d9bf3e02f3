#include "sound.h"

#include "datafiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringDecoder>

namespace vorlan {

Sound::Sound(const SoundControls& controls, QWidget* window) : c_(controls), window_(window)
{
    MP.setObjectName(QStringLiteral("MP"));
    MPW.setObjectName(QStringLiteral("MPW"));
    connect(&MP, &MediaPlayer::notify, this, &Sound::nextTrack);
}

void Sound::openDevices()
{
    if (!MP.setDeviceType(MediaPlayer::DeviceType::MidiSequencer))
        c_.enableMIDI->setChecked(false);
    if (!MPW.setDeviceType(MediaPlayer::DeviceType::WaveAudio))
        c_.enableWAVE->setChecked(false);
}

bool Sound::startFile(MediaPlayer& player, const QString& fileName)
{
    player.setFileName(fileName);
    return player.open() && player.play();
}

void Sound::midiSwitch()
{
    const bool on = c_.enableMIDI->isChecked();
    for (QCheckBox* track : c_.tracks)
        track->setEnabled(on);
    if (!on) {
        MP.stop();
        return;
    }
    const bool started = startFile(MP, dataFile(QStringLiteral("s0.mid")));
    track_ = 0;
    if (!started) {
        c_.enableMIDI->setChecked(false);
        midiSwitch();
    }
}

void Sound::nextTrack()
{
    if (!c_.enableMIDI->isChecked() || MP.mode() != MediaPlayer::Mode::Stopped)
        return;
    for (int tries = 0; tries < kTracks; ++tries) {
        track_ = track_ % kTracks + 1;
        if (!c_.tracks[track_ - 1]->isChecked())
            continue;
        const QString name = QStringLiteral("s%1.mid").arg(track_);
        if (!startFile(MP, dataFile(name))) {
            c_.enableMIDI->setChecked(false);
            midiSwitch();
            QMessageBox::information(window_, window_ ? window_->windowTitle() : QString(),
                                     trackFailureText(rus_));
        }
        return;
    }
}

void Sound::waveSwitch()
{
    const bool on = c_.enableWAVE->isChecked();
    for (QCheckBox* box : c_.events)
        box->setEnabled(on);
    for (QCheckBox* box : c_.voices)
        box->setEnabled(on);
    if (!on) {
        MPW.stop();
        return;
    }
    if (!startFile(MPW, dataFile(QStringLiteral("kukly.wav")))) {
        c_.enableWAVE->setChecked(false);
        waveSwitch();
    }
}

void Sound::playWave(const QString& fileName)
{
    if (fileName == QLatin1String("kukly0.wav"))
        return;
    // The name may come from another player's voice message: it must name a
    // data file, never a path elsewhere.
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('/')) ||
        fileName.contains(QLatin1Char('\\')) || fileName.contains(QLatin1Char(':')))
        return;
    if (!startFile(MPW, dataFile(fileName))) {
        c_.enableWAVE->setChecked(false);
        waveSwitch();
    }
}

void Sound::playEvent(Event event)
{
    const int i = static_cast<int>(event);
    if (!c_.events[i]->isChecked() || !c_.enableWAVE->isChecked())
        return;
    // The attack sound waits for silence; the others interrupt.
    if (event == Event::YourAttack &&
        (MPW.mode() == MediaPlayer::Mode::Playing || MPW.mode() == MediaPlayer::Mode::Paused))
        return;
    playWave(eventSoundFile(event));
}

void Sound::playVoice(int n)
{
    if (n < 1 || n > kVoices)
        return;
    if (c_.enableWAVE->isChecked() && c_.voices[n - 1]->isChecked())
        playWave(soundFile(soundNumber(c_.voiceNames[n - 1])));
}

void Sound::startMusic()
{
    if (c_.enableMIDI->isChecked())
        MP.play();
}

void Sound::pauseMusic()
{
    if (c_.enableMIDI->isChecked())
        MP.pause();
}

bool Sound::midiEnabled() const
{
    return c_.enableMIDI->isChecked();
}

bool Sound::waveEnabled() const
{
    return c_.enableWAVE->isChecked();
}

int Sound::soundNumber(const QComboBox* list)
{
    return list->currentIndex() + 1;
}

QString Sound::soundFile(int number)
{
    return QStringLiteral("kukly%1.wav").arg(number);
}

QString Sound::eventSoundFile(Event event) const
{
    return soundFile(soundNumber(c_.eventNames[static_cast<int>(event)]));
}

QString Sound::trackFailureText(bool rus)
{
    if (rus)
        return QString::fromUtf8("Ошибка, пожалуйста, сообщите Kelno, что это случилось. Можно "
                                 "играть дальше, но MIDI-музыки не будет");
    return QStringLiteral("Bug, please tell Kelno that it happened. You can continue, but there "
                          "will be no midi music");
}

QStringList Sound::readSoundList(const QString& fileName, bool* ok)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (ok)
            *ok = false;
        return {};
    }
    QStringDecoder decode("windows-1251");
    const QString text = decode(file.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    // A final line break ends the last line; it starts no empty one.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (ok)
        *ok = true;
    return lines;
}

} // namespace vorlan
