#!/usr/bin/env python3
"""Makes the game's music and sounds into a folder (normally assets/).

  soundgen.py OUT_DIR

Writes s0.mid .. s4.mid (the opening music and the four rotation tracks),
kukly.wav (heard when WAVE sounds are switched on), kukly1.wav .. kuklyN.wav
(event sounds and voice messages) and wav.txt, whose line N names kuklyN.wav
and is the phrase a voice button sends. wav.txt is Windows-1251 with CR LF
line ends. Voices are spoken by espeak-ng, which must be installed.
"""

import os
import subprocess
import sys
import tempfile

# No compiled files are left in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import music  # noqa: E402
import synth  # noqa: E402

# Line N of wav.txt and kuklyN.wav, in order: (text, effect) or
# (text, language, espeak-ng voice variant, speed, pitch).
# Some lines are chosen by the Russian presets of the options dialog:
# 8 attack failure, 9 making a post, 16 own loss, 34 enemy loss, and the
# voice buttons 3, 4, 9, 13, 21, 32, 26, 39.
SOUNDS = [
    ("Боевой рог (war horn)", "horn"),
    ("Барабанная дробь (drum roll)", "drum_roll"),
    ("Сдавайся!", "ru", "m3", 150, 45),
    ("Тебе конец!", "ru", "m1", 145, 35),
    ("Surrender!", "en", "m3", 150, 45),
    ("You are finished!", "en", "m1", 150, 35),
    ("Звон мечей (swords)", "swords"),
    ("Тревога (alarm)", "alarm"),
    ("Здесь стоим насмерть!", "ru", "m7", 140, 40),
    ("We stand here to the death!", "en", "m7", 145, 40),
    ("Фанфары (fanfare)", "fanfare"),
    ("Ха-ха-ха!", "ru", "m2", 150, 60),
    ("Давай дружить!", "ru", "f2", 155, 55),
    ("Let's be friends!", "en", "f2", 155, 55),
    ("Oops!", "en", "m4", 160, 60),
    ("Караул, грабят!", "ru", "m4", 165, 65),
    ("Help, I am being robbed!", "en", "m4", 165, 65),
    ("Колокол (bell)", "bell"),
    ("Марш (march)", "march"),
    ("I want to buy soldiers!", "en", "m2", 155, 50),
    ("Продам солдат недорого!", "ru", "m2", 155, 50),
    ("Selling soldiers cheap!", "en", "m5", 160, 50),
    ("Гонг (gong)", "gong"),
    ("Attack!", "en", "m6", 150, 35),
    ("Help me, friends!", "en", "f3", 160, 60),
    ("Помогите, братцы!", "ru", "f3", 160, 60),
    ("Who are you?", "en", "m5", 150, 50),
    ("Падение (falling)", "falling"),
    ("Взрыв (explosion)", "explosion"),
    ("Wait for me!", "en", "f1", 160, 55),
    ("Подожди меня!", "ru", "f1", 160, 55),
    ("Ты кто такой?", "ru", "m5", 145, 45),
    ("Hurray!", "en", "m6", 150, 55),
    ("Ура-а-а!", "ru", "m6", 140, 55),
    ("Мы победим!", "ru", "m7", 145, 40),
    ("We will win!", "en", "m7", 145, 40),
    ("Стоп, стоп, стоп!", "ru", "m1", 165, 45),
    ("Stop, stop, stop!", "en", "m1", 165, 45),
    ("Вперёд, в атаку!", "ru", "m6", 150, 40),
    ("Отступаем!", "ru", "m3", 150, 40),
    ("Retreat!", "en", "m3", 150, 40),
    ("Ой!", "ru", "f2", 160, 70),
    ("Ha-ha-ha!", "en", "m2", 150, 60),
]


def trim(samples, threshold=0.01):
    first = next((i for i, v in enumerate(samples) if abs(v) > threshold), 0)
    last = next((i for i in range(len(samples) - 1, -1, -1) if abs(samples[i]) > threshold),
                len(samples) - 1)
    return samples[max(0, first - 200):last + 400]


def speak(text, language, variant, speed, pitch):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "voice.wav")
        subprocess.run(["espeak-ng", "-v", "%s+%s" % (language, variant), "-s", str(speed),
                        "-p", str(pitch), "-w", path, text], check=True)
        samples = synth.read_wave(path)
    # A little room around the voice.
    samples = synth.echo(trim(samples), 0.06, 0.18, repeats=2)
    return synth.fade(synth.normalize(samples, 0.8), 0.003, 0.04)


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    music.write_music(out)
    synth.write_wave(os.path.join(out, "kukly.wav"), synth.effect("switch_on"))
    lines = []
    for number, entry in enumerate(SOUNDS, start=1):
        text = entry[0]
        samples = synth.effect(entry[1]) if len(entry) == 2 else speak(*entry)
        synth.write_wave(os.path.join(out, "kukly%d.wav" % number), samples)
        lines.append(text)
    with open(os.path.join(out, "wav.txt"), "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("cp1251"))
    print("soundgen: %d pieces of music, %d sounds and wav.txt written to %s"
          % (len(music.PIECES), len(SOUNDS) + 1, out))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
