#pragma once
// Small sound files made on the spot: WAVE tones and one-note MIDI tunes of
// a chosen length, so that tests can wait for a playback to end.

#include <cmath>
#include <cstdint>
#include <QByteArray>
#include <QFile>
#include <QString>

namespace soundfiles {

inline void put16(QByteArray& b, uint16_t v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}

inline void put32(QByteArray& b, uint32_t v)
{
    put16(b, uint16_t(v & 0xFFFF));
    put16(b, uint16_t(v >> 16));
}

inline void putBE32(QByteArray& b, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        b.append(char((v >> s) & 0xFF));
}

// 16-bit mono PCM at 22050 Hz: a sine of the given length.
inline bool writeTone(const QString& path, double seconds, double frequency = 440)
{
    const int rate = 22050;
    const auto frames = uint32_t(seconds * rate);
    QByteArray b("RIFF");
    put32(b, 36 + frames * 2);
    b.append("WAVEfmt ");
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, rate);
    put32(b, rate * 2);
    put16(b, 2);
    put16(b, 16);
    b.append("data");
    put32(b, frames * 2);
    for (uint32_t i = 0; i < frames; ++i)
        put16(b, uint16_t(int16_t(8000 * std::sin(2 * M_PI * frequency * i / rate))));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

// A Standard MIDI File (format 0, 120 beats a minute) with one piano note
// lasting the given time.
inline bool writeMidi(const QString& path, double seconds)
{
    const int ppq = 96;
    const auto ticks = uint32_t(seconds * 2 * ppq);
    QByteArray track;
    track.append('\0').append(char(0xC0)).append('\0'); // piano
    track.append('\0').append(char(0x90)).append(char(60)).append(char(100));
    // Delta time as a variable-length quantity.
    QByteArray delta;
    uint32_t v = ticks;
    delta.prepend(char(v & 0x7F));
    while (v >>= 7)
        delta.prepend(char(0x80 | (v & 0x7F)));
    track.append(delta).append(char(0x80)).append(char(60)).append('\0');
    track.append('\0').append(char(0xFF)).append(char(0x2F)).append('\0');
    QByteArray b("MThd");
    putBE32(b, 6);
    b.append('\0').append('\0').append('\0').append(char(1)).append('\0').append(char(ppq));
    b.append("MTrk");
    putBE32(b, uint32_t(track.size()));
    b.append(track);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

} // namespace soundfiles
