#include "player.h"

#include <array>
#include <mutex>
#include <QFile>
#include <QFileInfo>
#include <SDL.h>
#include <SDL_mixer.h>

namespace vorlan {

namespace {

constexpr int kFrequency = 44100;
constexpr int kChannels = 2;
constexpr int kBufferFrames = 2048;
// WAVE players each own one mixing channel.
constexpr int kMixChannels = 8;

// General MIDI soundfonts where the distribution installs them, best first.
constexpr const char* kSoundFonts[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

// The audio device is opened by the first player that needs it and closed
// with the last one. Only the GUI thread opens and closes it.
int deviceUsers = 0;

// Who hears the mixer's end-of-play callbacks, which come from SDL's audio
// thread (or from a halt on the calling thread). Never call into the mixer
// while holding this lock: the audio thread takes it under the mixer's own.
std::mutex routeMutex;
MediaPlayer* musicOwner = nullptr;
std::array<MediaPlayer*, kMixChannels> channelOwners{};

void useInstalledSoundFont()
{
    // A soundfont chosen through the environment wins.
    if (!qEnvironmentVariableIsEmpty("SDL_SOUNDFONTS"))
        return;
    for (const char* path : kSoundFonts) {
        if (QFileInfo::exists(QString::fromLatin1(path))) {
            Mix_SetSoundFonts(path);
            return;
        }
    }
}

bool hasMidiDecoder()
{
    for (int i = 0; i < Mix_GetNumMusicDecoders(); ++i) {
        if (qstrcmp(Mix_GetMusicDecoder(i), "MIDI") == 0)
            return true;
    }
    return false;
}

QString sdlError()
{
    return QString::fromUtf8(SDL_GetError());
}

} // namespace

MediaPlayer::MediaPlayer(QObject* parent) : QObject(parent) {}

MediaPlayer::~MediaPlayer()
{
    close();
    releaseDevice();
}

int MediaPlayer::deviceUsers()
{
    return vorlan::deviceUsers;
}

bool MediaPlayer::setDeviceType(DeviceType type)
{
    close();
    releaseDevice();
    if (type == DeviceType::None)
        return succeed();
    if (vorlan::deviceUsers == 0) {
        // SDL would otherwise catch SIGINT and SIGTERM for an event loop the
        // program does not run, and a desktop's logout could not end it.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return fail(Error::NoDevice, sdlError());
        Mix_Init(MIX_INIT_MID);
        useInstalledSoundFont();
        if (Mix_OpenAudio(kFrequency, MIX_DEFAULT_FORMAT, kChannels, kBufferFrames) != 0) {
            const QString why = QString::fromUtf8(Mix_GetError());
            Mix_Quit();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return fail(Error::NoDevice, why);
        }
        Mix_AllocateChannels(kMixChannels);
        Mix_ChannelFinished(&MediaPlayer::channelFinished);
        Mix_HookMusicFinished(&MediaPlayer::musicFinished);
    }
    ++vorlan::deviceUsers;
    type_ = type;
    if (type == DeviceType::MidiSequencer && !hasMidiDecoder()) {
        releaseDevice();
        return fail(Error::NoMidiDevice, QStringLiteral("no MIDI synthesiser"));
    }
    if (type == DeviceType::WaveAudio) {
        std::lock_guard lock(routeMutex);
        for (int c = 0; c < kMixChannels; ++c) {
            if (!channelOwners[c]) {
                channelOwners[c] = this;
                channel_ = c;
                break;
            }
        }
    }
    if (type == DeviceType::WaveAudio && channel_ < 0) {
        releaseDevice();
        return fail(Error::NoDevice, QStringLiteral("no free mixing channel"));
    }
    return succeed();
}

void MediaPlayer::releaseDevice()
{
    if (type_ == DeviceType::None)
        return;
    {
        std::lock_guard lock(routeMutex);
        if (musicOwner == this)
            musicOwner = nullptr;
        if (channel_ >= 0)
            channelOwners[channel_] = nullptr;
    }
    channel_ = -1;
    type_ = DeviceType::None;
    if (--vorlan::deviceUsers == 0) {
        Mix_HookMusicFinished(nullptr);
        Mix_ChannelFinished(nullptr);
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

bool MediaPlayer::open()
{
    close();
    if (type_ == DeviceType::None)
        return fail(Error::NoDevice, QStringLiteral("no device"));
    const QByteArray path = QFile::encodeName(fileName_);
    if (type_ == DeviceType::MidiSequencer) {
        // The synthesiser takes any bytes for a tune and ends it at once;
        // a sequencer opens only MIDI files (plain or in a RIFF wrapper).
        QFile file(fileName_);
        const QByteArray magic = file.open(QIODevice::ReadOnly) ? file.read(4) : QByteArray();
        if (magic != "MThd" && magic != "RIFF")
            return fail(Error::CannotOpen, QStringLiteral("not a MIDI file: ") + fileName_);
        music_ = Mix_LoadMUS(path.constData());
        if (!music_)
            return fail(Error::CannotOpen, QString::fromUtf8(Mix_GetError()));
    } else {
        chunk_ = Mix_LoadWAV(path.constData());
        if (!chunk_)
            return fail(Error::CannotOpen, QString::fromUtf8(Mix_GetError()));
    }
    return succeed();
}

bool MediaPlayer::play()
{
    switch (mode()) {
    case Mode::NotReady:
        return fail(Error::NotOpen, QStringLiteral("no file open"));
    case Mode::Playing:
        return succeed();
    case Mode::Paused:
        if (music_)
            Mix_ResumeMusic();
        else
            Mix_Resume(channel_);
        return succeed();
    case Mode::Stopped:
        break;
    }
    if (music_) {
        // The mixer has one music stream: whoever held it hears its end first.
        if (!ownsMusic() && Mix_PlayingMusic())
            Mix_HaltMusic();
        {
            std::lock_guard lock(routeMutex);
            musicOwner = this;
        }
        if (Mix_PlayMusic(music_, 0) != 0)
            return fail(Error::CannotPlay, QString::fromUtf8(Mix_GetError()));
    } else if (Mix_PlayChannel(channel_, chunk_, 0) < 0) {
        return fail(Error::CannotPlay, QString::fromUtf8(Mix_GetError()));
    }
    return succeed();
}

bool MediaPlayer::pause()
{
    switch (mode()) {
    case Mode::NotReady:
        return fail(Error::NotOpen, QStringLiteral("no file open"));
    case Mode::Stopped:
        return fail(Error::NotPlaying, QStringLiteral("nothing is playing"));
    case Mode::Paused:
        return succeed();
    case Mode::Playing:
        break;
    }
    if (music_)
        Mix_PauseMusic();
    else
        Mix_Pause(channel_);
    return succeed();
}

bool MediaPlayer::stop()
{
    const Mode m = mode();
    if (m == Mode::NotReady)
        return fail(Error::NotOpen, QStringLiteral("no file open"));
    if (m != Mode::Stopped) {
        if (music_)
            Mix_HaltMusic();
        else
            Mix_HaltChannel(channel_);
    }
    return succeed();
}

void MediaPlayer::close()
{
    if (music_) {
        if (ownsMusic())
            Mix_HaltMusic();
        Mix_FreeMusic(music_);
        music_ = nullptr;
    }
    if (chunk_) {
        Mix_HaltChannel(channel_);
        Mix_FreeChunk(chunk_);
        chunk_ = nullptr;
    }
}

bool MediaPlayer::ownsMusic() const
{
    std::lock_guard lock(routeMutex);
    return musicOwner == this;
}

MediaPlayer::Mode MediaPlayer::mode() const
{
    if (music_) {
        // The mixer has one music stream; another sequencer may have taken it.
        if (!ownsMusic() || !Mix_PlayingMusic())
            return Mode::Stopped;
        return Mix_PausedMusic() ? Mode::Paused : Mode::Playing;
    }
    if (chunk_) {
        if (!Mix_Playing(channel_))
            return Mode::Stopped;
        return Mix_Paused(channel_) ? Mode::Paused : Mode::Playing;
    }
    return Mode::NotReady;
}

bool MediaPlayer::fail(Error error, const QString& text)
{
    error_ = error;
    errorText_ = text;
    return false;
}

bool MediaPlayer::succeed()
{
    error_ = Error::None;
    errorText_.clear();
    return true;
}

void MediaPlayer::postNotify()
{
    // Always queued, so that the handler runs on the player's thread after
    // the mixer has let go of its lock.
    QMetaObject::invokeMethod(this, &MediaPlayer::notify, Qt::QueuedConnection);
}

void MediaPlayer::musicFinished()
{
    std::lock_guard lock(routeMutex);
    if (musicOwner)
        musicOwner->postNotify();
}

void MediaPlayer::channelFinished(int channel)
{
    std::lock_guard lock(routeMutex);
    if (channel >= 0 && channel < kMixChannels && channelOwners[channel])
        channelOwners[channel]->postNotify();
}

} // namespace vorlan
