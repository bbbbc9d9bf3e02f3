// The shipped music and sounds beside the program: every file the sound
// rules name exists and is what its player expects, of a sensible length.
#include "options/sound.h"

#include <gtest/gtest.h>
#include <map>
#include <QFile>
#include <QFileInfo>
#include <set>
#include <stdexcept>

using namespace vorlan;

namespace {

uint32_t be(const QByteArray& b, qsizetype at, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | uint8_t(b.at(at + i));
    return v;
}

uint32_t le(const QByteArray& b, qsizetype at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | uint8_t(b.at(at + i));
    return v;
}

struct MidiInfo
{
    int tracks = 0;
    int notes = 0;
    std::set<int> programs;
    double seconds = 0;
};

// Reads a Standard MIDI File strictly: chunk sizes, running status, meta
// and system events, and the tempo map for the playing time.
MidiInfo readMidi(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot open");
    const QByteArray b = f.readAll();
    if (b.left(4) != "MThd" || be(b, 4, 4) != 6)
        throw std::runtime_error("no header");
    const int ntracks = int(be(b, 10, 2));
    const int division = int(be(b, 12, 2));
    if (division & 0x8000)
        throw std::runtime_error("time code division");
    MidiInfo info;
    std::map<uint32_t, uint32_t> tempo{{0, 500000}};
    uint32_t lastTick = 0;
    qsizetype at = 14;
    for (int t = 0; t < ntracks; ++t) {
        if (b.mid(at, 4) != "MTrk")
            throw std::runtime_error("no track");
        const qsizetype end = at + 8 + be(b, at + 4, 4);
        if (end > b.size())
            throw std::runtime_error("track past the end");
        at += 8;
        uint32_t tick = 0;
        int status = 0;
        bool ended = false;
        auto vlq = [&] {
            uint32_t v = 0;
            for (int i = 0; i < 4; ++i) {
                const uint8_t c = uint8_t(b.at(at++));
                v = (v << 7) | (c & 0x7F);
                if (!(c & 0x80))
                    return v;
            }
            throw std::runtime_error("long quantity");
        };
        while (at < end && !ended) {
            tick += vlq();
            int c = uint8_t(b.at(at));
            if (c & 0x80) {
                status = c;
                ++at;
            } else if (!status) {
                throw std::runtime_error("data without status");
            }
            if (status == 0xFF) {
                const int type = uint8_t(b.at(at++));
                const uint32_t len = vlq();
                if (type == 0x51)
                    tempo[tick] = be(b, at, 3);
                ended = type == 0x2F;
                at += len;
                status = 0;
            } else if (status == 0xF0 || status == 0xF7) {
                at += vlq();
                status = 0;
            } else {
                const int kind = status & 0xF0;
                const int data = kind == 0xC0 || kind == 0xD0 ? 1 : 2;
                if (kind == 0x90 && uint8_t(b.at(at + 1)) > 0)
                    ++info.notes;
                if (kind == 0xC0)
                    info.programs.insert(uint8_t(b.at(at)));
                at += data;
            }
        }
        if (!ended || at != end)
            throw std::runtime_error("track without its end");
        lastTick = std::max(lastTick, tick);
        ++info.tracks;
    }
    // Playing time through the tempo changes.
    uint32_t from = 0;
    uint32_t current = 500000;
    for (const auto& [tick, micros] : tempo) {
        if (tick > lastTick)
            break;
        info.seconds += double(tick - from) * current / division / 1e6;
        from = tick;
        current = micros;
    }
    info.seconds += double(lastTick - from) * current / division / 1e6;
    return info;
}

// The playing time of a 16-bit PCM WAVE file, or -1 if it is anything else.
double waveSeconds(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray b = f.readAll();
    if (b.left(4) != "RIFF" || b.mid(8, 8) != "WAVEfmt " || le(b, 20, 2) != 1 ||
        le(b, 34, 2) != 16 || b.mid(36, 4) != "data")
        return -1;
    const uint32_t rate = le(b, 24, 4);
    const uint32_t channels = le(b, 22, 2);
    const uint32_t bytes = le(b, 40, 4);
    if (rate == 0 || channels == 0 || 44 + qsizetype(bytes) != b.size())
        return -1;
    return double(bytes) / (rate * channels * 2);
}

} // namespace

TEST(ShippedSounds, TheFiveMusicFilesAreGeneralMidiOfAMinuteOrTwo)
{
    for (int i = 0; i <= 4; ++i) {
        const QString name = QStringLiteral("s%1.mid").arg(i);
        MidiInfo m;
        ASSERT_NO_THROW(m = readMidi(name)) << name.toStdString();
        EXPECT_GE(m.seconds, 60) << name.toStdString();
        EXPECT_LE(m.seconds, 150) << name.toStdString();
        EXPECT_GE(m.tracks, 5) << name.toStdString();
        EXPECT_GE(m.notes, 200) << name.toStdString();
        EXPECT_GE(m.programs.size(), 3u) << name.toStdString();
    }
}

TEST(ShippedSounds, EveryLineOfTheListHasItsSound)
{
    bool ok = false;
    const QStringList lines = Sound::readSoundList("wav.txt", &ok);
    ASSERT_TRUE(ok);
    // The Russian presets choose lines up to the 39th.
    ASSERT_GE(lines.size(), 39);
    for (int n = 1; n <= lines.size(); ++n) {
        const QString line = lines[n - 1];
        EXPECT_FALSE(line.trimmed().isEmpty()) << n;
        // A voice phrase travels in a chat message with the sender's name.
        EXPECT_LE(line.size(), 80) << n; // one byte a character on the wire
        const double seconds = waveSeconds(Sound::soundFile(n));
        EXPECT_GT(seconds, 0.2) << n;
        EXPECT_LT(seconds, 4.0) << n;
    }
    EXPECT_FALSE(QFileInfo::exists(Sound::soundFile(lines.size() + 1)));
    EXPECT_FALSE(QFileInfo::exists(Sound::soundFile(0)));
    const double on = waveSeconds("kukly.wav");
    EXPECT_GT(on, 0.1);
    EXPECT_LT(on, 2.0);
}
