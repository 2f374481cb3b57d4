#!/usr/bin/env python3
"""Draws what a music file holds: its spectrogram and its chroma over time.

    python3 tools/assetgen/music_picture.py assets/sounds/ancient-wind.mp3 docs/music-chroma.png

Top: the spectrogram from 55 Hz to 4.4 kHz on a scale of semitones, with
octave lines at each A. Bottom: the twelve pitch classes, C at the bottom,
the notes of D major marked on the left. Bright is loud. Decodes with sox.
"""

import subprocess
import sys

import numpy as np
from PIL import Image, ImageDraw

RATE = 22050
WINDOW = 4096
HOP = RATE // 10
LOW_KEY, HIGH_KEY = 33, 97  # A1 .. C#7
D_MAJOR = {1, 2, 4, 6, 7, 9, 11}


def decode(path):
    raw = subprocess.run(["sox", path, "-t", "raw", "-e", "float", "-b", "32", "-c", "1",
                          "-r", str(RATE), "-"], check=True, capture_output=True).stdout
    return np.frombuffer(raw, dtype="<f4").astype(np.float64)


def semitone_energy(x):
    """[frame, key] energy, each key the sum of its FFT bins."""
    window = np.hanning(WINDOW)
    freqs = np.fft.rfftfreq(WINDOW, 1.0 / RATE)
    keys = 69 + 12 * np.log2(np.maximum(freqs, 1.0) / 440.0)
    bins = np.round(keys).astype(int)
    frames = []
    for start in range(0, len(x) - WINDOW, HOP):
        power = np.abs(np.fft.rfft(x[start:start + WINDOW] * window)) ** 2
        frames.append(np.bincount(np.clip(bins, 0, 127), weights=power, minlength=128))
    return np.array(frames)


def to_grey(values, floor_db=-45.0):
    db = 10 * np.log10(values / values.max() + 1e-12)
    return np.uint8(255 * np.clip(1 - db / floor_db, 0, 1))


def main(source, picture):
    energy = semitone_energy(decode(source))
    spectrum = energy[:, LOW_KEY:HIGH_KEY]
    chroma = np.zeros((len(energy), 12))
    for key in range(LOW_KEY, HIGH_KEY):
        chroma[:, key % 12] += energy[:, key]
    chroma /= chroma.sum(axis=1, keepdims=True) + 1e-12

    scale = 4  # pixels per key and per chroma step
    columns = len(energy)
    top = Image.fromarray(to_grey(spectrum).T[::-1]).resize((columns, spectrum.shape[1] * scale),
                                                              Image.NEAREST)
    bottom = Image.fromarray(np.uint8(255 * chroma.T[::-1] / chroma.max())).resize(
        (columns, 12 * 3 * scale), Image.NEAREST)
    margin = 40
    out = Image.new("RGB", (columns + margin, top.height + bottom.height + 10), (20, 20, 30))
    out.paste(Image.merge("RGB", (top, top, top)), (margin, 0))
    out.paste(Image.merge("RGB", (bottom, bottom, bottom)), (margin, top.height + 10))
    draw = ImageDraw.Draw(out)
    for key in range(LOW_KEY, HIGH_KEY, 12):
        y = (HIGH_KEY - 1 - key) * scale + scale // 2
        draw.line([(margin - 8, y), (margin - 2, y)], fill=(200, 160, 60))
        draw.text((2, y - 6), "A%d" % (key // 12 - 1), fill=(200, 160, 60))
    names = "C C# D D# E F F# G G# A A# B".split()
    for pc in range(12):
        y = top.height + 10 + (11 - pc) * 3 * scale + 3
        draw.text((2, y), names[pc], fill=(120, 200, 255) if pc in D_MAJOR else (110, 110, 110))
    for second in range(0, int(columns * HOP / RATE) + 1, 10):
        x = margin + int(second * RATE / HOP)
        draw.line([(x, out.height - 6), (x, out.height)], fill=(200, 160, 60))
    out.save(picture)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2])
