"""Short sound effects made by synthesis, and WAVE file input and output.

Every effect is a list of float samples in -1..1 at RATE, built from sine
partials, filtered noise and envelopes; write_wave stores 16-bit mono PCM.
"""

import math
import struct
import wave

RATE = 22050


class Noise:
    """White noise from xorshift32, the same at every run."""

    def __init__(self, seed=0x1234567):
        self.state = seed

    def __call__(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x / 2147483648.0 - 1.0


def silence(seconds):
    return [0.0] * int(seconds * RATE)


def mix(*parts):
    """Adds (start_seconds, samples) pairs into one buffer."""
    length = max(int(start * RATE) + len(s) for start, s in parts)
    out = [0.0] * length
    for start, s in parts:
        offset = int(start * RATE)
        for i, v in enumerate(s):
            out[offset + i] += v
    return out


def envelope(n, attack, decay_rate=0.0, release=0.02, sustain_seconds=None):
    """Attack ramp, exponential decay, and a short release at the end."""
    env = []
    a = max(1, int(attack * RATE))
    r = max(1, int(release * RATE))
    for i in range(n):
        t = i / RATE
        v = min(1.0, i / a)
        v *= math.exp(-decay_rate * t)
        if i > n - r:
            v *= (n - i) / r
        env.append(v)
    return env


def tone(freq, seconds, partials=((1, 1.0),), attack=0.01, decay=3.0, vibrato=0.0,
         vibrato_rate=5.5, glide_to=None):
    """A note of harmonic or inharmonic partials (ratio, amplitude)."""
    n = int(seconds * RATE)
    env = envelope(n, attack, decay)
    # Partials above the Nyquist frequency would fold back as noise.
    top = max(freq, glide_to or freq) * (1 + vibrato)
    partials = [(r, a) for r, a in partials if top * r < 0.45 * RATE]
    out = []
    phases = [0.0] * len(partials)
    for i in range(n):
        t = i / RATE
        f = freq
        if glide_to is not None:
            f = freq * (glide_to / freq) ** (i / n)
        if vibrato:
            f *= 1.0 + vibrato * math.sin(2 * math.pi * vibrato_rate * t)
        v = 0.0
        for k, (ratio, amp) in enumerate(partials):
            phases[k] += 2 * math.pi * f * ratio / RATE
            v += amp * math.sin(phases[k])
        out.append(v * env[i])
    return out


def lowpass(samples, cutoff):
    """One-pole low-pass filter."""
    rc = 1.0 / (2 * math.pi * cutoff)
    alpha = (1.0 / RATE) / (rc + 1.0 / RATE)
    out = []
    y = 0.0
    for x in samples:
        y += alpha * (x - y)
        out.append(y)
    return out


def highpass(samples, cutoff):
    low = lowpass(samples, cutoff)
    return [x - y for x, y in zip(samples, low)]


def noise_burst(seconds, decay, seed, cutoff=None, high=None):
    gen = Noise(seed)
    n = int(seconds * RATE)
    env = envelope(n, 0.002, decay)
    s = [gen() * env[i] for i in range(n)]
    if cutoff:
        s = lowpass(s, cutoff)
    if high:
        s = highpass(s, high)
    return s


def echo(samples, delay, feedback, repeats=3):
    d = int(delay * RATE)
    out = samples + [0.0] * (d * repeats)
    for r in range(1, repeats + 1):
        gain = feedback ** r
        for i, v in enumerate(samples):
            out[i + d * r] += v * gain
    return out


def normalize(samples, peak=0.85):
    top = max(abs(v) for v in samples) or 1.0
    return [v * peak / top for v in samples]


def fade(samples, fade_in=0.005, fade_out=0.03):
    n = len(samples)
    a = max(1, int(fade_in * RATE))
    b = max(1, int(fade_out * RATE))
    out = list(samples)
    for i in range(min(a, n)):
        out[i] *= i / a
    for i in range(min(b, n)):
        out[n - 1 - i] *= i / b
    return out


def write_wave(path, samples):
    frames = bytearray()
    for v in samples:
        frames += struct.pack("<h", max(-32767, min(32767, int(round(v * 32767)))))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


def read_wave(path):
    """16-bit mono samples of a WAVE file, resampled to RATE if need be."""
    with wave.open(path, "rb") as w:
        channels, width, rate = w.getnchannels(), w.getsampwidth(), w.getframerate()
        data = w.readframes(w.getnframes())
    if width != 2:
        raise ValueError("%s: only 16-bit samples are read" % path)
    values = struct.unpack("<%dh" % (len(data) // 2), data)
    samples = [sum(values[i:i + channels]) / (channels * 32768.0)
               for i in range(0, len(values), channels)]
    if rate != RATE:
        step = rate / RATE
        samples = [samples[min(len(samples) - 1, int(i * step))]
                   for i in range(int(len(samples) / step))]
    return samples


# Timbres ---------------------------------------------------------------

BRASS = ((1, 1.0), (2, 0.7), (3, 0.5), (4, 0.35), (5, 0.25), (6, 0.15), (7, 0.1))
BELL = ((0.5, 0.5), (1, 1.0), (1.19, 0.45), (1.56, 0.35), (2.0, 0.3), (2.51, 0.25),
        (2.66, 0.2), (3.01, 0.15), (4.1, 0.08))
GONG = ((1, 1.0), (1.47, 0.6), (1.98, 0.5), (2.44, 0.4), (2.93, 0.3), (3.6, 0.2), (4.3, 0.12))
CHIME = ((1, 1.0), (2.76, 0.4), (5.4, 0.15), (8.93, 0.05))


def snare(seed, level=1.0, seconds=0.18):
    body = tone(190, seconds, ((1, 1.0), (1.6, 0.4)), attack=0.001, decay=30)
    rattle = noise_burst(seconds, 18, seed, high=1200)
    return [level * (0.5 * b + 0.7 * r) for b, r in zip(body, rattle)]


def switch_on():
    """The sound heard when WAVE sounds are switched on: a two-note chime."""
    a = tone(1318.5, 0.7, CHIME, attack=0.003, decay=6)
    b = tone(1975.5, 0.6, CHIME, attack=0.003, decay=6)
    return mix((0, a), (0.12, b))


def war_horn():
    s = tone(110, 1.4, BRASS, attack=0.12, decay=0.6, vibrato=0.006)
    s2 = tone(165, 0.9, BRASS, attack=0.1, decay=1.0, vibrato=0.006)
    return lowpass(mix((0, s), (0.45, [v * 0.7 for v in s2])), 1800)


def drum_roll():
    parts = []
    t = 0.0
    gap = 0.09
    i = 0
    while t < 1.0:
        parts.append((t, snare(100 + i, 0.5 + 0.5 * t)))
        t += gap
        gap = max(0.035, gap * 0.9)
        i += 1
    crash = noise_burst(0.8, 4, 77, high=3000)
    parts.append((t, [v * 0.8 for v in crash]))
    return mix(*parts)


def swords():
    def clash(seed, f):
        ring = tone(f, 0.6, ((1, 1.0), (1.34, 0.8), (2.03, 0.6), (2.71, 0.4), (3.49, 0.3)),
                    attack=0.001, decay=9)
        scrape = noise_burst(0.08, 40, seed, high=2500)
        return mix((0, [v * 0.5 for v in ring]), (0, scrape))

    return mix((0, clash(5, 1730)), (0.22, clash(6, 1950)), (0.38, clash(7, 1610)))


def alarm():
    parts = []
    for i in range(4):
        f = 880 if i % 2 == 0 else 660
        parts.append((i * 0.2, tone(f, 0.19, ((1, 1.0), (3, 0.3), (5, 0.12)), attack=0.005,
                                    decay=1.0)))
    return mix(*parts)


def fanfare():
    notes = [(0.0, 392.0, 0.16), (0.17, 392.0, 0.16), (0.34, 392.0, 0.16), (0.51, 523.3, 0.7),
             (0.51, 659.3, 0.7), (0.51, 784.0, 0.7)]
    return lowpass(mix(*[(t, [v * 0.6 for v in tone(f, d, BRASS, attack=0.03, decay=1.5,
                                                     vibrato=0.004)])
                         for t, f, d in notes]), 3500)


def bell():
    return tone(440, 2.0, BELL, attack=0.002, decay=2.2)


def march():
    parts = []
    for i, (t, lv) in enumerate([(0, 1.0), (0.3, 0.6), (0.45, 0.6), (0.6, 1.0), (0.9, 0.6),
                                 (1.05, 0.6), (1.2, 1.0)]):
        parts.append((t, snare(300 + i, lv)))
    for t, f, d in [(0, 523.3, 0.28), (0.3, 523.3, 0.14), (0.45, 587.3, 0.14),
                    (0.6, 659.3, 0.55), (1.2, 784.0, 0.5)]:
        parts.append((t, [v * 0.5 for v in tone(f, d, BRASS, attack=0.02, decay=1.0)]))
    return mix(*parts)


def gong():
    s = tone(98, 2.6, GONG, attack=0.01, decay=1.2, vibrato=0.002, vibrato_rate=3)
    hit = noise_burst(0.05, 50, 9, cutoff=2000)
    return mix((0, s), (0, [v * 0.4 for v in hit]))


def falling():
    whistle = tone(2200, 1.2, ((1, 1.0), (2, 0.1)), attack=0.05, decay=0.3, glide_to=320)
    thud = tone(70, 0.5, ((1, 1.0), (2, 0.3)), attack=0.002, decay=8)
    return mix((0, [v * 0.6 for v in whistle]), (1.15, thud))


def explosion():
    boom = lowpass(lowpass(noise_burst(1.8, 2.2, 13, cutoff=500), 500), 800)
    crack = noise_burst(0.12, 30, 14, cutoff=5000)
    rumble = tone(45, 1.6, ((1, 1.0), (1.5, 0.5)), attack=0.005, decay=2.5)
    return mix((0, [v * 8 for v in boom]), (0, [v * 0.4 for v in crack]),
               (0, [v * 0.5 for v in rumble]))


EFFECTS = {
    "switch_on": switch_on,
    "horn": war_horn,
    "drum_roll": drum_roll,
    "swords": swords,
    "alarm": alarm,
    "fanfare": fanfare,
    "bell": bell,
    "march": march,
    "gong": gong,
    "falling": falling,
    "explosion": explosion,
}


def effect(name):
    return fade(normalize(EFFECTS[name]()))
