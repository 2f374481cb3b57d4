"""Music and sound effects, synthesised sample by sample and encoded with lame.

The music is built to loop: every tone has a whole number of cycles in the
loop, the wind is noise shaped in the frequency domain over the whole loop,
and chimes that ring past the end wrap around to the start. Its last sample
therefore flows into its first without a click.
"""

import os
import re

import numpy as np

from common import rng, save_mp3

RATE = 44100
MUSIC_SECONDS = 72.0


def db_to_gain(db):
    return 10.0 ** (db / 20.0)


def normalise_peak(x, db):
    return x * (db_to_gain(db) / np.max(np.abs(x)))


def loop_freq(f, seconds):
    """The nearest frequency with a whole number of cycles in the loop."""
    return round(f * seconds) / seconds


def note(name):
    names = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    base, octave = name[:-1], int(name[-1])
    semis = names[base[0]] + (1 if base.endswith("#") else -1 if base.endswith("b") else 0)
    return 440.0 * 2.0 ** ((semis + 12 * (octave - 4)) / 12.0)


def shaped_noise(gen, n, lo, hi, tilt=1.0):
    """Noise with energy between lo and hi Hz, falling as 1/f^tilt; periodic over n."""
    spectrum = np.fft.rfft(gen.standard_normal(n))
    f = np.fft.rfftfreq(n, 1.0 / RATE)
    band = 1.0 / (1.0 + (lo / np.maximum(f, 1e-3)) ** 4) / (1.0 + (f / hi) ** 4)
    weight = band / np.maximum(f, 20.0) ** (tilt / 2.0)
    out = np.fft.irfft(spectrum * weight, n)
    return out / np.max(np.abs(out))


# ------------------------------------------------------------------ music


def periodic_lfo(t, seconds, cycles, phase):
    return 0.5 + 0.5 * np.sin(2 * np.pi * cycles * t / seconds + phase)


def make_music(seconds=MUSIC_SECONDS):
    gen = rng(4001)
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    out = np.zeros((n, 2))

    # Wind: two decorrelated noise beds with slow gusts, plus a faint howl.
    # Every swell is at its lowest at the loop point, where the file wraps.
    calm = -np.pi / 2
    gust = 0.25 + 0.75 * (0.5 * periodic_lfo(t, seconds, 3, calm) + 0.3 * periodic_lfo(t, seconds, 7, calm)
                          + 0.2 * periodic_lfo(t, seconds, 11, calm))
    for ch in range(2):
        bed = 0.8 * shaped_noise(gen, n, 90.0, 800.0, tilt=1.0) + 0.2 * shaped_noise(gen, n, 1500.0, 5000.0)
        out[:, ch] += 0.22 * bed * gust
    for f_howl, cycles in ((410.0, 5), (620.0, 4)):
        howl = shaped_noise(gen, n, f_howl * 0.97, f_howl * 1.03, tilt=0.0)
        swell = periodic_lfo(t, seconds, cycles, calm) ** 2
        pan = periodic_lfo(t, seconds, 2, gen.random() * 6.28)
        out[:, 0] += 0.05 * howl * swell * pan
        out[:, 1] += 0.05 * howl * swell * (1 - pan)

    # Pad: four slow chords (D minor, B flat, C, A minor) cross-fading in a circle.
    chords = [["D2", "A2", "D3", "F3", "A3"], ["Bb1", "F2", "D3", "F3", "Bb3"],
              ["C2", "G2", "E3", "G3", "C4"], ["A1", "E2", "C3", "E3", "A3"]]
    span = seconds / len(chords)
    weights = []
    for k in range(len(chords)):
        centre = (k + 0.5) * span
        d = np.abs((t - centre + seconds / 2) % seconds - seconds / 2)
        weights.append(np.cos(np.clip(d / (span * 0.9), 0, 1) * np.pi / 2) ** 2)
    total = np.sum(weights, axis=0)
    for chord, w in zip(chords, weights):
        w = w / total
        for i, name in enumerate(chord):
            f = note(name)
            amp = 0.11 / (1 + 0.25 * i)
            for detune, side in ((-0.07, 0), (0.07, 1)):
                fd = loop_freq(f + detune * f / 100.0, seconds)
                phase = gen.random() * 2 * np.pi
                wave = (np.sin(2 * np.pi * fd * t + phase)
                        + 0.25 * np.sin(2 * np.pi * 2 * fd * t + phase * 1.3)
                        + 0.08 * np.sin(2 * np.pi * 3 * fd * t + phase * 0.7))
                out[:, side] += amp * w * wave

    # Chimes: a soft pentatonic bell now and then, ringing over the loop point.
    scale = [note(x) for x in ("D5", "F5", "G5", "A5", "C6", "D6")]
    at = 1.5
    while at < seconds:
        f = scale[int(gen.integers(len(scale)))]
        length = int(4.0 * RATE)
        tt = np.arange(length) / RATE
        bell = (np.sin(2 * np.pi * f * tt) + 0.35 * np.sin(2 * np.pi * f * 2.01 * tt) * np.exp(-tt * 1.5)
                + 0.12 * np.sin(2 * np.pi * f * 3.98 * tt) * np.exp(-tt * 3.0))
        bell *= np.exp(-tt * 1.1) * np.minimum(tt / 0.01, 1.0) * 0.06
        pan = gen.uniform(0.2, 0.8)
        idx = (int(at * RATE) + np.arange(length)) % n
        np.add.at(out[:, 0], idx, bell * pan)
        np.add.at(out[:, 1], idx, bell * (1 - pan))
        at += gen.uniform(3.0, 7.0)

    return normalise_peak(out, -3.0)


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
    place(out, bell(note("E6"), 1.2, 0.35), 0.0)
    place(out, bell(note("B6"), 1.2, 0.45), 0.08)
    place(out, 0.4 * bell(note("E7"), 1.0, 0.3), 0.16)
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
    for name in ("G4", "C5", "E5"):
        place(out, 0.8 * brass(note(name), 0.2), at)
        at += 0.17
    place(out, 0.8 * brass(note("G5"), 0.3), at)
    at += 0.32
    for name in ("C5", "E5", "G5", "C6"):
        place(out, 0.5 * brass(note(name), 2.3) * np.exp(-np.arange(int(2.3 * RATE)) / RATE / 1.6), at)
    sparkle = [bell(note(x), 1.0, 0.3) * 0.25 for x in ("C7", "E7", "G7")]
    for k, s in enumerate(sparkle):
        place(out, s, at + 0.05 + 0.08 * k)
    return normalise_peak(fade_out(out, 0.4), -3.0)


def make_tick():
    """A short woodblock-like tick for the last seconds: a bright, fast-decaying
    tone well below the effects' level, so it counts without alarming."""
    n = int(0.12 * RATE)
    tt = np.arange(n) / RATE
    body = np.sin(2 * np.pi * note("E6") * tt) + 0.35 * np.sin(2 * np.pi * note("B6") * 2.0 * tt)
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
