"""The game's five pieces of music, composed by rule and written as General MIDI.

Each piece is a sequence of sections over chord progressions. The melody of a
section is made from motifs: each phrase of four bars states a rhythm, repeats
it a step away and closes with a cadence, landing on chord tones on strong
beats and moving by steps in between. Accompaniment parts (pads, broken chords,
bass, drums) follow the chords. A fixed seed per piece keeps the output the
same at every run.
"""

from midi import PPQ, Track, write

MAJOR = [0, 2, 4, 5, 7, 9, 11]
MINOR = [0, 2, 3, 5, 7, 8, 10]

# General MIDI programs (0-based) and drum keys used here.
PIANO, CELESTA, VIBES, BELLS, ORGAN = 0, 8, 11, 14, 19
CELLO, CONTRABASS, STRINGS, SLOW_STRINGS, PIZZICATO, HARP, TIMPANI = 42, 43, 48, 49, 45, 46, 47
ACOUSTIC_BASS, CHOIR = 32, 52
TRUMPET, TROMBONE, TUBA, HORN, BRASS = 56, 57, 58, 60, 61
OBOE, CLARINET, FLUTE = 68, 71, 73
KICK, SNARE, HIHAT, LOW_TOM, CRASH, RIDE = 36, 38, 42, 45, 49, 51


class Rng:
    """xorshift32: the same numbers on every platform and Python version."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def random(self):
        return self.next() / 4294967296.0

    def choice(self, items):
        return items[self.next() % len(items)]

    def chance(self, p):
        return self.random() < p


class Key:
    def __init__(self, tonic, minor=False):
        self.tonic = tonic
        self.minor = minor
        self.scale = MINOR if minor else MAJOR

    def pitch(self, degree, chord=None):
        octave, d = divmod(degree, 7)
        p = self.tonic + 12 * octave + self.scale[d]
        # The dominant chord of a minor key takes the leading tone.
        if self.minor and chord is not None and chord % 7 == 4 and d == 6:
            p += 1
        return p

    def chord_tones(self, root):
        return {root % 7, (root + 2) % 7, (root + 4) % 7}

    def voicing(self, root, center, major_third=False):
        """Three or four chord pitches placed close around center."""
        pcs = [self.pitch(root, root), self.pitch(root + 2, root), self.pitch(root + 4, root)]
        if major_third:
            pcs[1] = pcs[0] + 4
        out = []
        for p in pcs:
            while p < center - 6:
                p += 12
            while p >= center + 6:
                p -= 12
            out.append(p)
        return sorted(out)


class Section:
    def __init__(self, chords, melody=None, level=80, parts=(), voice=None, octave=0):
        self.chords = chords  # one chord root (scale degree) per bar
        self.melody = melody  # motif id: sections with the same id share a tune
        self.level = level  # loudness 0..127
        self.parts = sorted(parts)  # accompaniment parts that play, in a fixed order
        self.voice = voice  # melody track name
        self.octave = octave  # melody transposition in octaves


class Piece:
    def __init__(self, name, bpm, beats, key, seed, low, high, patterns, cadences):
        self.name = name
        self.bpm = bpm
        self.beats = beats
        self.key = key
        self.rng = Rng(seed)
        self.low, self.high = low, high  # melody range in scale degrees
        self.patterns = patterns  # rhythms of a bar, in beats; negative = rest
        self.cadences = cadences  # rhythms of a phrase's last bar
        self.tracks = {}
        self.meta = Track(name)
        self.meta.tempo(0, bpm)
        self.meta.time_signature(0, beats, 2)
        self.channels = iter([0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15])
        self.tunes = {}
        self.final_major = False
        self.master = 1.0

    def track(self, name, program, volume=100, pan=64, reverb=60, drums=False):
        t = Track(name, 9 if drums else next(self.channels))
        if not drums:
            t.program(0, program)
        # Channel volume; master evens out the loudness of the pieces.
        t.control(0, 7, max(1, min(127, round(volume * self.master))))
        t.control(0, 10, pan)
        t.control(0, 91, reverb)
        t.control(0, 93, 20)
        self.tracks[name] = t
        return t

    def ticks(self, beats):
        return round(beats * PPQ)

    def humanize(self, velocity, spread=6):
        return velocity + (self.rng.next() % (2 * spread + 1)) - spread

    # The tune -----------------------------------------------------------

    def nearest_chord_tone(self, current, chord, spread=True):
        tones = self.key.chord_tones(chord)
        candidates = [d for d in range(self.low, self.high + 1) if d % 7 in tones]
        candidates.sort(key=lambda d: abs(d - current))
        if spread and len(candidates) > 1 and self.rng.chance(0.35):
            return candidates[1]
        return candidates[0]

    def compose(self, chords, final):
        """A tune over chords: (beat, length, degree) notes, rests left out.

        Each phrase of four bars follows an arch: it rises from a chord tone to
        a peak and falls to its cadence, the first phrase of a pair to an open
        close, the second to the tonic. Strong beats take the chord tone
        nearest the arch; the notes between move by step towards it.
        """
        rng = self.rng
        notes = []
        current = self.nearest_chord_tone(rng.choice([0, 2, 4]), chords[0], spread=False)
        bar_length = self.beats
        rhythms = {}
        motif = []
        start = peak = end = current
        for bar, chord in enumerate(chords):
            pos = bar % 4
            phrase = bar // 4
            last_phrase = bar >= len(chords) - 4
            if pos == 0:
                start = current
                peak = min(self.high, start + rng.choice([3, 4, 5]))
                tonic_close = phrase % 2 == 1 or last_phrase
                end = rng.choice([0, 7]) if tonic_close else rng.choice([1, 4, 2])
                end = max(self.low, min(self.high, end))
            if pos == 3:
                rhythm = rng.choice(self.cadences)
            elif pos == 2:
                rhythm = rhythms[0]
            else:
                rhythm = rng.choice(self.patterns)
            rhythms[pos] = rhythm

            def arch(beat):
                x = (pos * bar_length + beat) / (4 * bar_length)
                if x < 0.6:
                    return start + (peak - start) * x / 0.6
                return peak + (end - peak) * (x - 0.6) / 0.4

            # The third bar repeats the first bar's motif from a new chord tone.
            if pos == 2 and motif:
                first = self.nearest_chord_tone(round(arch(0)), chord, spread=False)
                shift = first - motif[0]
                if all(self.low <= d + shift <= self.high for d in motif):
                    t = 0
                    i = 0
                    for dur in rhythm:
                        if dur > 0:
                            current = motif[min(i, len(motif) - 1)] + shift
                            notes.append((bar * self.beats + t, dur, current))
                            i += 1
                        t += abs(dur)
                    continue
            sounding = [x for x in rhythm if x > 0]
            t = 0
            k = 0
            bar_notes = []
            previous = None
            for dur in rhythm:
                if dur < 0:
                    t += -dur
                    continue
                strong = t == 0 or (self.beats == 4 and t == 2)
                closing = pos == 3 and k == len(sounding) - 1
                target = arch(t)
                if closing and (final and last_phrase or end % 7 == 0):
                    current = min((d for d in range(self.low, self.high + 1) if d % 7 == 0),
                                  key=lambda d: abs(d - target))
                elif strong or closing:
                    current = self.nearest_chord_tone(round(target), chord, spread=not closing)
                else:
                    diff = target - current
                    if abs(diff) < 0.5 or rng.chance(0.15):
                        step = rng.choice([1, -1])
                    else:
                        step = (1 if diff > 0 else -1) * (2 if abs(diff) >= 3 else 1)
                    current = max(self.low, min(self.high, current + step))
                if current == previous and not strong:
                    current = max(self.low, min(self.high, current + rng.choice([1, -1])))
                notes.append((bar * self.beats + t, dur, current))
                bar_notes.append(current)
                previous = current
                t += dur
                k += 1
            if pos == 0:
                motif = bar_notes
        return notes

    # Writing ------------------------------------------------------------

    def melody(self, section, start_bar, final):
        if section.melody is None or section.voice is None:
            return
        key = (section.melody, tuple(section.chords), final)
        if key not in self.tunes:
            self.tunes[key] = self.compose(section.chords, final)
        t = self.tracks[section.voice]
        for beat, length, degree in self.tunes[key]:
            chord = section.chords[int(beat // self.beats)]
            accent = 8 if beat % self.beats == 0 else 0
            pitch = self.key.pitch(degree, chord) + 12 * section.octave
            t.note(self.ticks(start_bar * self.beats + beat), self.ticks(length) - 20, pitch,
                   self.humanize(section.level + accent))

    def pad(self, name, section, start_bar, center, sustain=True, last=False):
        t = self.tracks[name]
        for i, chord in enumerate(section.chords):
            major = last and i == len(section.chords) - 1 and self.final_major
            tick = self.ticks((start_bar + i) * self.beats)
            for p in self.key.voicing(chord, center, major_third=major):
                if sustain:
                    t.note(tick, self.ticks(self.beats) - 10, p, section.level - 20)
                else:
                    for b in range(self.beats):
                        if b % 2 == 1 or self.beats == 3 and b > 0:
                            t.note(tick + self.ticks(b), self.ticks(0.5), p, section.level - 12)

    def arpeggio(self, name, section, start_bar, center, step=0.5, shape=(0, 1, 2, 3, 2, 1)):
        t = self.tracks[name]
        per_bar = int(self.beats / step)
        for i, chord in enumerate(section.chords):
            low = self.key.voicing(chord, center)
            tones = low + [low[0] + 12, low[1] + 12]
            for k in range(per_bar):
                p = tones[shape[k % len(shape)]]
                tick = self.ticks((start_bar + i) * self.beats + k * step)
                t.note(tick, self.ticks(step * 1.8), p,
                       self.humanize(section.level - 22 + (6 if k == 0 else 0), 4))

    def bass(self, name, section, start_bar, octave, style="root"):
        t = self.tracks[name]
        for i, chord in enumerate(section.chords):
            root = self.key.pitch(chord % 7, chord) + 12 * octave
            fifth = self.key.pitch(chord % 7 + 4, chord) + 12 * octave
            bar = (start_bar + i) * self.beats
            v = section.level - 5
            if style == "root":
                t.note(self.ticks(bar), self.ticks(self.beats) - 20, root, self.humanize(v))
            elif style == "march":
                t.note(self.ticks(bar), self.ticks(1) - 60, root, self.humanize(v + 5))
                t.note(self.ticks(bar + 2), self.ticks(1) - 60, fifth - 12, self.humanize(v))
            elif style == "walk":
                for b, p in enumerate([root, fifth - 12, root, fifth - 12 + 2]):
                    t.note(self.ticks(bar + b), self.ticks(1) - 40, p, self.humanize(v))
            elif style == "waltz":
                t.note(self.ticks(bar), self.ticks(2), root, self.humanize(v))

    def timpani(self, name, section, start_bar, roll_at_end=False):
        t = self.tracks[name]
        for i, chord in enumerate(section.chords):
            root = self.key.pitch(chord % 7, chord) - 24
            while root < 40:
                root += 12
            bar = (start_bar + i) * self.beats
            t.note(self.ticks(bar), self.ticks(1), root, self.humanize(section.level))
            if roll_at_end and i == len(section.chords) - 1:
                for k in range(int(self.beats * 4)):
                    t.note(self.ticks(bar + k * 0.25), self.ticks(0.25),
                           root, 50 + k * 3)

    def drums(self, name, section, start_bar, style):
        t = self.tracks[name]
        for i in range(len(section.chords)):
            bar = (start_bar + i) * self.beats
            v = section.level
            if i == 0 and style != "soft":
                t.note(self.ticks(bar), self.ticks(2), CRASH, v)
            if style == "march":
                t.note(self.ticks(bar), self.ticks(0.5), KICK, v)
                t.note(self.ticks(bar + 2), self.ticks(0.5), KICK, v - 10)
                for at, vel in [(0, 0), (0.75, -25), (1, -5), (2, 0), (2.5, -20), (2.75, -20),
                                (3, -5)]:
                    t.note(self.ticks(bar + at), self.ticks(0.25), SNARE, self.humanize(v - 15 + vel))
                if i == len(section.chords) - 1:
                    for k in range(8):
                        t.note(self.ticks(bar + 2 + k * 0.25), self.ticks(0.25), SNARE,
                               v - 30 + 4 * k)
            elif style == "soft":
                for k in range(self.beats * 2):
                    if k % 2 == 1:
                        t.note(self.ticks(bar + k * 0.5), self.ticks(0.25), HIHAT,
                               self.humanize(v - 45, 4))
                t.note(self.ticks(bar), self.ticks(0.5), LOW_TOM, v - 35)

    def bell(self, name, section, start_bar, every=2):
        t = self.tracks[name]
        for i, chord in enumerate(section.chords):
            if i % every == 0:
                p = self.key.pitch(chord % 7, chord) + 12
                t.note(self.ticks((start_bar + i) * self.beats), self.ticks(self.beats), p,
                       section.level - 15)

    def ending(self, bar, chord, center_tracks, level, hold_beats):
        """A held last chord on the named pads, with the tempo broadening."""
        tick = self.ticks(bar * self.beats)
        self.meta.tempo(self.ticks((bar - 2) * self.beats), self.bpm * 0.9)
        self.meta.tempo(self.ticks((bar - 1) * self.beats), self.bpm * 0.8)
        for name, center in center_tracks:
            for p in self.key.voicing(chord, center, major_third=self.final_major):
                self.tracks[name].note(tick, self.ticks(hold_beats), p, level)
        # A last note in the silence, so the file ends after the chord dies.
        self.meta.events.append((tick + self.ticks(hold_beats + 1), 1, b"\xFF\x01\x03end"))

    def save(self, path):
        write(path, [self.meta] + list(self.tracks.values()))


def bars_of(sections):
    return sum(len(s.chords) for s in sections)


def opening():
    """s0: a festive overture in D major for brass, strings and timpani."""
    p = Piece("Opening", 108, 4, Key(62), 0x5EED0, -1, 9,
              [[1, 1, 1, 1], [1.5, 0.5, 1, 1], [2, 1, 1], [1, 0.5, 0.5, 2], [0.5, 0.5, 1, 2]],
              [[3, -1], [2, 2], [4]])
    p.master = 0.67
    p.track("trumpet", TRUMPET, 110, 70)
    p.track("horn", HORN, 100, 50)
    p.track("strings", STRINGS, 90, 64)
    p.track("harp", HARP, 85, 80)
    p.track("bass", TUBA, 95, 60)
    p.track("timpani", TIMPANI, 100, 64)
    p.track("drums", 0, 80, 64, drums=True)
    A = [0, 4, 5, 3, 0, 3, 4, 0]
    B = [5, 2, 3, 0, 1, 4, 0, 4]
    form = [
        Section([0, 0, 3, 4], None, 70, {"strings", "timpani", "bass"}),
        Section(A, "a", 88, {"strings", "bass", "timpani"}, "trumpet"),
        Section(A, "a", 92, {"strings", "bass", "harp", "timpani"}, "horn", -1),
        Section(B, "b", 84, {"strings", "harp", "bass"}, "horn", -1),
        Section(A, "a", 100, {"strings", "bass", "timpani", "drums", "harp"}, "trumpet"),
        Section([3, 1, 4, 0], "c", 96, {"strings", "bass", "timpani"}, "trumpet"),
    ]
    play(p, form, {"strings": 60, "harp": 67}, bass_octave=-2, bass_style="march")
    end = bars_of(form)
    p.ending(end, 0, [("strings", 60), ("horn", 55)], 100, 8)
    p.timpani("timpani", Section([0], level=100), end, roll_at_end=True)
    return p


def dream():
    """s1 "Dream": a slow waltz in F major for flute, harp and celesta."""
    p = Piece("Dream", 80, 3, Key(65), 0xD4EA3, -2, 8,
              [[1, 1, 1], [2, 1], [1.5, 0.5, 1], [1, 2]],
              [[3], [2, -1], [2, 1]])
    p.master = 1.18
    p.track("flute", FLUTE, 100, 70)
    p.track("celesta", CELESTA, 100, 60)
    p.track("harp", HARP, 90, 50)
    p.track("strings", SLOW_STRINGS, 75, 64, reverb=90)
    p.track("cello", CELLO, 80, 45)
    A = [0, 5, 3, 4, 0, 3, 4, 0]
    B = [3, 4, 2, 5, 1, 4, 0, 4]
    form = [
        Section([0, 5, 3, 4], None, 64, {"harp", "cello"}),
        Section(A, "a", 80, {"harp", "cello", "strings"}, "flute"),
        Section(A, "a", 78, {"harp", "cello"}, "celesta", 1),
        Section(B, "b", 82, {"harp", "strings", "cello"}, "flute"),
        Section(A, "a", 76, {"harp", "cello", "strings"}, "flute"),
        Section([3, 1, 4, 0], "c", 70, {"harp", "strings", "cello"}, "celesta", 1),
    ]
    play(p, form, {"strings": 62, "harp": 60}, bass_octave=-2, bass_style="waltz",
         arp_step=0.5, arp_shape=(0, 1, 2, 3, 2, 1))
    end = bars_of(form)
    p.ending(end, 0, [("strings", 62), ("harp", 70)], 70, 6)
    return p


def gods_death():
    """s2 "Gods death": a slow lament in D minor for choir, organ and timpani."""
    p = Piece("Gods death", 63, 4, Key(62, minor=True), 0x60D5D, -3, 7,
              [[2, 2], [3, 1], [2, 1, 1], [4]],
              [[4], [3, -1]])
    p.master = 1.12
    p.track("choir", CHOIR, 105, 64, reverb=100)
    p.track("horn", HORN, 95, 50, reverb=90)
    p.track("organ", ORGAN, 70, 64, reverb=100)
    p.track("bass", CONTRABASS, 95, 60)
    p.track("timpani", TIMPANI, 100, 64)
    p.track("bells", BELLS, 75, 80, reverb=110)
    A = [0, 5, 2, 6, 0, 3, 4, 0]
    B = [5, 6, 2, 5, 3, 4, 0, 4]
    form = [
        Section([0, 4], None, 60, {"organ", "timpani", "bass"}),
        Section(A, "a", 78, {"organ", "bass", "timpani", "bells"}, "choir"),
        Section(B, "b", 84, {"organ", "bass", "timpani"}, "horn", -1),
        Section(A, "a", 92, {"organ", "bass", "timpani", "bells"}, "choir"),
        Section([5, 3, 4, 0], "c", 80, {"organ", "bass"}, "choir"),
    ]
    play(p, form, {"organ": 57}, bass_octave=-2, bass_style="root", bell_every=4)
    end = bars_of(form)
    p.ending(end, 0, [("organ", 57), ("choir", 62)], 85, 8)
    p.timpani("timpani", Section([0], level=90), end, roll_at_end=True)
    return p


def choose():
    """s3 "Choose": a questioning tune in A minor for oboe, clarinet and pizzicato."""
    p = Piece("Choose", 96, 4, Key(69, minor=True), 0xC4005, -3, 7,
              [[1, 1, 1, 1], [0.5, 0.5, 1, 1, 1], [1.5, 0.5, 2], [1, 1, 2], [-1, 1, 1, 1]],
              [[2, -2], [3, -1], [1, 1, 2]])
    p.track("oboe", OBOE, 100, 70)
    p.track("clarinet", CLARINET, 100, 55)
    p.track("pizzicato", PIZZICATO, 95, 80)
    p.track("strings", STRINGS, 70, 64)
    p.track("bass", ACOUSTIC_BASS, 95, 60)
    p.track("drums", 0, 70, 64, drums=True)
    A = [0, 6, 5, 6, 0, 3, 4, 0]
    B = [3, 0, 6, 2, 5, 3, 4, 4]
    form = [
        Section([0, 6, 5, 4], None, 66, {"pizzicato", "bass"}),
        Section(A, "a", 82, {"pizzicato", "bass", "drums"}, "oboe"),
        Section(B, "b", 84, {"pizzicato", "bass", "strings", "drums"}, "clarinet", -1),
        Section(A, "a", 86, {"pizzicato", "bass", "strings", "drums"}, "oboe"),
        Section(B, "b", 80, {"pizzicato", "bass", "strings"}, "oboe"),
        Section([3, 4, 4, 0], "c", 76, {"pizzicato", "bass", "strings"}, "clarinet", -1),
    ]
    play(p, form, {"strings": 60, "pizzicato": 64}, bass_octave=-3, bass_style="walk",
         arp_step=0.5, arp_shape=(0, 2, 1, 3, 0, 2, 1, 4), drum_style="soft")
    end = bars_of(form)
    p.ending(end, 0, [("strings", 60), ("clarinet", 57)], 75, 6)
    return p


def war_for_peace():
    """s4 "War in the name of peace": a march in C minor that ends in C major."""
    p = Piece("War in the name of peace", 116, 4, Key(60, minor=True), 0x3A4C4, -1, 9,
              [[1, 1, 1, 1], [0.75, 0.25, 1, 1, 1], [1.5, 0.5, 1, 1], [1, 0.75, 0.25, 2],
               [2, 0.75, 0.25, 1]],
              [[2, 1, -1], [3, -1], [2, 2]])
    p.final_major = True
    p.master = 0.75
    p.track("trumpet", TRUMPET, 110, 70)
    p.track("horn", HORN, 100, 50)
    p.track("trombone", TROMBONE, 95, 60)
    p.track("bass", TUBA, 100, 64)
    p.track("timpani", TIMPANI, 95, 64)
    p.track("drums", 0, 90, 64, drums=True)
    A = [0, 3, 4, 0, 5, 3, 4, 0]
    B = [2, 6, 0, 4, 5, 6, 2, 4]
    form = [
        Section([0, 0, 4, 4], None, 80, {"drums", "bass"}),
        Section(A, "a", 90, {"drums", "bass", "trombone"}, "trumpet"),
        Section(A, "a", 96, {"drums", "bass", "trombone", "timpani"}, "horn"),
        Section(B, "b", 88, {"drums", "bass", "trombone"}, "horn", -1),
        Section(A, "a", 104, {"drums", "bass", "trombone", "timpani"}, "trumpet"),
        Section([5, 3, 4, 0], "c", 96, {"drums", "bass", "trombone", "timpani"}, "trumpet"),
    ]
    play(p, form, {"trombone": 55}, bass_octave=-2, bass_style="march", drum_style="march",
         pad_sustain=False)
    end = bars_of(form)
    p.ending(end, 0, [("trombone", 55), ("horn", 64), ("trumpet", 72)], 105, 8)
    p.timpani("timpani", Section([0], level=100), end, roll_at_end=True)
    return p


def play(p, form, centers, bass_octave, bass_style, arp_step=0.5,
         arp_shape=(0, 1, 2, 3, 2, 1), drum_style="march", bell_every=2, pad_sustain=True):
    bar = 0
    for i, s in enumerate(form):
        final = i == len(form) - 1
        p.melody(s, bar, final)
        for part in s.parts:
            if part in ("strings", "organ", "trombone"):
                p.pad(part, s, bar, centers.get(part, 60), sustain=pad_sustain)
            elif part in ("harp", "pizzicato"):
                p.arpeggio(part, s, bar, centers.get(part, 64), arp_step, arp_shape)
            elif part in ("bass", "cello"):
                p.bass(part, s, bar, bass_octave, bass_style)
            elif part == "timpani":
                p.timpani(part, s, bar, roll_at_end=(i + 1 < len(form) and
                                                     form[i + 1].melody == "a" and
                                                     s.melody != "a"))
            elif part == "drums":
                p.drums(part, s, bar, drum_style)
            elif part == "bells":
                p.bell(part, s, bar, bell_every)
        bar += len(s.chords)


PIECES = [opening, dream, gods_death, choose, war_for_peace]


def write_music(folder):
    import os
    names = []
    for i, make in enumerate(PIECES):
        path = os.path.join(folder, "s%d.mid" % i)
        make().save(path)
        names.append(path)
    return names
