#pragma once

#include <QObject>
#include <QString>

struct _Mix_Music;
struct Mix_Chunk;

namespace vorlan {

// One media player over the shared audio device: a MIDI sequencer that plays
// music files, or a WAVE device that plays short sounds on a channel of its
// own. Every operation reports success and leaves its outcome in error();
// notify() tells, on the player's own (GUI) thread, that a playback has ended,
// whether it ran out or was stopped.
class MediaPlayer : public QObject
{
    Q_OBJECT

public:
    enum class DeviceType
    {
        None,
        MidiSequencer,
        WaveAudio,
    };
    enum class Mode
    {
        NotReady, ///< no file open
        Stopped,
        Playing,
        Paused,
    };
    enum class Error
    {
        None,
        NoDevice,     ///< the audio device could not be opened, or has no MIDI
        NotOpen,      ///< the operation needs an open file
        CannotOpen,   ///< the file is missing or cannot be decoded
        CannotPlay,   ///< the device refused to start the file
        NotPlaying,   ///< pausing needs a playback
        NoMidiDevice, ///< the device plays no MIDI
    };

    explicit MediaPlayer(QObject* parent = nullptr);
    ~MediaPlayer() override;

    // Opens the audio device for this kind of playback. Fails when there is
    // no device (or, for the sequencer, no MIDI synthesiser).
    bool setDeviceType(DeviceType type);
    DeviceType deviceType() const { return type_; }

    void setFileName(const QString& fileName) { fileName_ = fileName; }
    const QString& fileName() const { return fileName_; }

    // Loads fileName(), closing what was open.
    bool open();
    // Starts the open file from its beginning, or resumes it when paused.
    bool play();
    // Holds the playback where it is; play() goes on from there.
    bool pause();
    // Ends the playback; the file stays open.
    bool stop();
    void close();

    Mode mode() const;
    Error error() const { return error_; }
    QString errorString() const { return errorText_; }

    // The number of players holding the audio device (for tests).
    static int deviceUsers();

signals:
    void notify();

private:
    bool fail(Error error, const QString& text);
    bool succeed();
    bool ownsMusic() const;
    void postNotify();
    void releaseDevice();

    static void musicFinished();
    static void channelFinished(int channel);

    DeviceType type_ = DeviceType::None;
    QString fileName_;
    _Mix_Music* music_ = nullptr;
    Mix_Chunk* chunk_ = nullptr;
    int channel_ = -1;
    Error error_ = Error::None;
    QString errorText_;
};

} // namespace vorlan
