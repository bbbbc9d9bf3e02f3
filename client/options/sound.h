#pragma once

#include "player.h"
#include "sessionview.h"

#include <array>
#include <QObject>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QWidget;

namespace vorlan {

// The controls of the options dialog that decide what sounds: the two
// enable boxes, the music tracks, the five events and the eight voice
// buttons with their sound lists.
struct SoundControls
{
    QCheckBox* enableMIDI = nullptr;
    QCheckBox* enableWAVE = nullptr;
    std::array<QCheckBox*, 4> tracks{};     ///< CB1..CB4
    std::array<QCheckBox*, 5> events{};     ///< in the order of Sound::Event
    std::array<QComboBox*, 5> eventNames{}; ///< the sound of each event
    std::array<QCheckBox*, 8> voices{};     ///< cbv1..cbv8
    std::array<QComboBox*, 8> voiceNames{}; ///< cmbv1..cmbv8
};

// Music and sound effects. Two players do all of it: MP plays the music,
// the opening piece and then the checked tracks in turn; MPW plays the
// WAVE sounds of game events and voice buttons. A device or file that fails
// switches its kind of sound off, and the user may switch it on again.
class Sound : public QObject
{
    Q_OBJECT

public:
    using Event = SoundEvent;
    static constexpr int kEvents = 5;
    static constexpr int kTracks = 4;
    static constexpr int kVoices = 8;

    // Every sound and music file is a data file (dataFile); window parents
    // the one message this part shows.
    Sound(const SoundControls& controls, QWidget* window);

    MediaPlayer MP;
    MediaPlayer MPW;

    // Gives the players their devices; a player that fails unchecks its
    // enable box.
    void openDevices();

    // The switches, run when their box is clicked and once at start-up.
    void midiSwitch();
    void waveSwitch();
    // MP ended a playback: the next checked track.
    void nextTrack();
    int currentTrack() const { return track_; }

    // Plays a sound file by its name among the data files; "kukly0.wav"
    // (no sound chosen) plays nothing. A failure switches WAVE off.
    void playWave(const QString& fileName);
    // An event's sound, if its box and WAVE are on. The attack sound never
    // cuts off another sound.
    void playEvent(Event event);
    // The local sound of voice button n (1..8), after its message was sent.
    void playVoice(int n);

    // The game has started: the music goes on. Errors are ignored.
    void startMusic();
    // The map transfer began or the time ran out. Errors are ignored.
    void pauseMusic();

    bool midiEnabled() const;
    bool waveEnabled() const;

    // The sound number a list chooses: its line + 1, 0 with no line chosen.
    static int soundNumber(const QComboBox* list);
    static QString soundFile(int number);
    QString eventSoundFile(Event event) const;

    // The message shown when the next track fails to start.
    void setRussian(bool rus) { rus_ = rus; }
    static QString trackFailureText(bool rus);

    // The lines of the sound list file ("wav.txt", Windows-1251); empty when
    // it cannot be read.
    static QStringList readSoundList(const QString& fileName, bool* ok = nullptr);

private:
    bool startFile(MediaPlayer& player, const QString& fileName);

    SoundControls c_;
    QWidget* window_;
    int track_ = 0;
    bool rus_ = false;
};

} // namespace vorlan
