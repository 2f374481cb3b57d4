"""Music and sound effects, encoded with lame.

The music is our own score, played by FluidSynth (music.py). The effects are
synthesised sample by sample; the pitched ones are in the music's key, D major
(the lost run's phrase falls in D minor to the same home note), so an effect
answers the music instead of clashing with it.
"""

import os
import re

import numpy as np

import music
from common import rng, save_mp3

RATE = music.RATE
# The music's loudness over its loop: about 14 dB under the effects' peaks
# before the game halves its volume, so every effect stands out over it.
MUSIC_RMS_DB = -22.0


def db_to_gain(db):
    return 10.0 ** (db / 20.0)


def normalise_peak(x, db):
    return x * (db_to_gain(db) / np.max(np.abs(x)))


def note(name):
    names = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    base, octave = name[:-1], int(name[-1])
    semis = names[base[0]] + (1 if base.endswith("#") else -1 if base.endswith("b") else 0)
    return 440.0 * 2.0 ** ((semis + 12 * (octave - 4)) / 12.0)


# ------------------------------------------------------------------ music


def make_music():
    """The score played by FluidSynth (music.py), set to a fixed loudness."""
    out = music.render()
    rms = np.sqrt(np.mean(out ** 2))
    return out * (db_to_gain(MUSIC_RMS_DB) / rms)


# ------------------------------------------------------------------ effects


def envelope(n, attack, decay):
    tt = np.arange(n) / RATE
    return np.minimum(tt / attack, 1.0) * np.exp(-tt / decay)


def bell(f, seconds, decay):
    n = int(seconds * RATE)
    tt = np.arange(n) / RATE
    tone = (np.sin(2 * np.pi * f * tt) + 0.45 * np.sin(2 * np.pi * f * 2.76 * tt) * np.exp(-tt * 6)
            + 0.2 * np.sin(2 * np.pi * f * 5.4 * tt) * np.exp(-tt * 12))
    # A short release so a bell cut off early ends without a click.
    release = np.clip((seconds - tt) / 0.05, 0.0, 1.0)
    return tone * envelope(n, 0.002, decay) * release


def place(buffer, sound, at):
    start = int(at * RATE)
    end = min(len(buffer), start + len(sound))
    buffer[start:end] += sound[:end - start]


def fade_out(x, seconds):
    k = int(seconds * RATE)
    x[-k:] *= np.linspace(1.0, 0.0, k) ** 2
    return x


def make_chime():
    out = np.zeros(int(1.3 * RATE))
    place(out, bell(note("D6"), 1.2, 0.35), 0.0)
    place(out, bell(note("A6"), 1.2, 0.45), 0.08)
    place(out, 0.4 * bell(note("D7"), 1.0, 0.3), 0.16)
    return normalise_peak(fade_out(out, 0.15), -3.0)


def make_impact():
    gen = rng(4101)
    n = int(0.6 * RATE)
    tt = np.arange(n) / RATE
    freq = 45.0 + 70.0 * np.exp(-tt / 0.05)
    thump = np.sin(2 * np.pi * np.cumsum(freq) / RATE) * envelope(n, 0.002, 0.10)
    noise = np.cumsum(gen.standard_normal(n))            # brown noise: a dull thud
    noise -= np.convolve(noise, np.ones(200) / 200, mode="same")
    noise = noise / np.max(np.abs(noise)) * envelope(n, 0.001, 0.035)
    out = np.tanh(1.8 * (thump + 0.5 * noise))
    return normalise_peak(fade_out(out, 0.1), -3.0)


def soft_tone(f, seconds, vibrato=0.0, glide=0.0):
    n = int(seconds * RATE)
    tt = np.arange(n) / RATE
    inst = f * (1 + vibrato * np.sin(2 * np.pi * 5.0 * tt) * np.minimum(tt / 0.4, 1.0)) \
        * (1 - glide * (tt / seconds) ** 2)
    phase = 2 * np.pi * np.cumsum(inst) / RATE
    tone = np.sin(phase) + 0.3 * np.sin(3 * phase) + 0.1 * np.sin(5 * phase)
    env = np.minimum(tt / 0.04, 1.0) * np.minimum((seconds - tt) / 0.12, 1.0)
    return tone * np.clip(env, 0, 1)


def make_falling_phrase():
    out = np.zeros(int(2.7 * RATE))
    at = 0.0
    for name, length in (("A4", 0.42), ("G4", 0.42), ("F4", 0.42), ("D4", 1.3)):
        last = name == "D4"
        place(out, soft_tone(note(name), length + 0.05, vibrato=0.006 if last else 0.0,
                             glide=0.04 if last else 0.0), at)
        at += length
    # A held tone is loud for its peak: keep it level with the other effects.
    return normalise_peak(fade_out(out, 0.2), -9.0)


def brass(f, seconds):
    n = int(seconds * RATE)
    tt = np.arange(n) / RATE
    bright = 0.4 + 0.6 * np.exp(-tt / 0.25)
    tone = sum((bright ** (k - 1)) / k * np.sin(2 * np.pi * f * k * tt) for k in range(1, 11))
    env = np.minimum(tt / 0.025, 1.0) * np.minimum((seconds - tt) / 0.08, 1.0)
    return tone * np.clip(env, 0, 1)


def make_fanfare():
    out = np.zeros(int(3.4 * RATE))
    at = 0.0
    for name in ("A4", "D5", "F#5"):
        place(out, 0.8 * brass(note(name), 0.2), at)
        at += 0.17
    place(out, 0.8 * brass(note("A5"), 0.3), at)
    at += 0.32
    for name in ("D5", "F#5", "A5", "D6"):
        place(out, 0.5 * brass(note(name), 2.3) * np.exp(-np.arange(int(2.3 * RATE)) / RATE / 1.6), at)
    sparkle = [bell(note(x), 1.0, 0.3) * 0.25 for x in ("D7", "F#7", "A7")]
    for k, s in enumerate(sparkle):
        place(out, s, at + 0.05 + 0.08 * k)
    return normalise_peak(fade_out(out, 0.4), -3.0)


def make_tick():
    """A short woodblock-like tick for the last seconds: a bright, fast-decaying
    tone well below the effects' level, so it counts without alarming."""
    n = int(0.12 * RATE)
    tt = np.arange(n) / RATE
    body = np.sin(2 * np.pi * note("A5") * tt) + 0.35 * np.sin(2 * np.pi * note("E6") * 2.0 * tt)
    return normalise_peak(fade_out(body * envelope(n, 0.001, 0.018), 0.02), -12.0)


# The game's list of sound files, read from the header the game and its
# tests share, so a sound cannot be listed in one place and missed in another.
GAME_SOUNDS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "world",
                           "GameSounds.h")

MAKERS = {
    "ancient-wind.mp3": (make_music, 128),
    "collectcoin_longer.mp3": (make_chime, 96),
    "collide3.mp3": (make_impact, 96),
    "sad-lomar.mp3": (make_falling_phrase, 96),
    "win1.mp3": (make_fanfare, 96),
    "tick.mp3": (make_tick, 96),
}


def listed_sounds():
    with open(GAME_SOUNDS, encoding="utf-8") as f:
        return re.findall(r'^\s*"([A-Za-z0-9_.-]+\.mp3)",', f.read(), re.MULTILINE)


def generate(out):
    names = listed_sounds()
    if sorted(names) != sorted(MAKERS):
        raise SystemExit("sounds.py: world/GameSounds.h lists %s, the generator makes %s"
                         % (sorted(names), sorted(MAKERS)))
    for name in names:
        make, kbps = MAKERS[name]
        save_mp3(make(), RATE, f"{out}/sounds/{name}", kbps)
