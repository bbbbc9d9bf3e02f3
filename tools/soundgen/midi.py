"""Standard MIDI File writer (format 1) for the music generator."""

import struct

PPQ = 480  # ticks per quarter note


def _vlq(value):
    """A variable-length quantity, as MIDI files store delta times."""
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


class Track:
    """One track: timed events, serialised sorted by time with note-offs first."""

    def __init__(self, name, channel=0):
        self.name = name
        self.channel = channel
        self.events = []  # (tick, order, bytes)
        self._meta(0, 0x03, name.encode("ascii"))

    def _meta(self, tick, kind, data):
        self.events.append((tick, 1, bytes([0xFF, kind]) + _vlq(len(data)) + data))

    def tempo(self, tick, bpm):
        micros = round(60_000_000 / bpm)
        self._meta(tick, 0x51, micros.to_bytes(3, "big"))

    def time_signature(self, tick, numerator, denominator_power):
        self._meta(tick, 0x58, bytes([numerator, denominator_power, 24, 8]))

    def program(self, tick, program):
        self.events.append((tick, 2, bytes([0xC0 | self.channel, program])))

    def control(self, tick, controller, value):
        self.events.append((tick, 2, bytes([0xB0 | self.channel, controller, value])))

    def note(self, tick, length, pitch, velocity):
        pitch = max(0, min(127, int(pitch)))
        velocity = max(1, min(127, int(velocity)))
        length = max(1, int(length))
        self.events.append((int(tick), 3, bytes([0x90 | self.channel, pitch, velocity])))
        self.events.append((int(tick) + length, 0, bytes([0x80 | self.channel, pitch, 0])))

    def encode(self):
        body = bytearray()
        now = 0
        for tick, _, data in sorted(self.events, key=lambda e: (e[0], e[1])):
            body += _vlq(tick - now) + data
            now = tick
        body += _vlq(0) + b"\xFF\x2F\x00"  # end of track
        return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def write(path, tracks):
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), PPQ)
    with open(path, "wb") as f:
        f.write(header)
        for t in tracks:
            f.write(t.encode())
