"""The night-flight music: our own score, written as MIDI and played by FluidSynth
with a General MIDI SoundFont.

A flute carries a tune in D major over strings, a harp's broken chords, a
bass and a soft shaker, 32 bars at 96 beats a minute: 80 seconds. To loop
without a seam, the score is played twice and the second pass is kept: the
reverb and the notes still sounding from the first pass are in its opening,
exactly as they are when the game plays the file round again. FluidSynth's
chorus is off: its sweep would not be at the same point after one pass.

Needs fluidsynth, fluid-soundfont-gm and python3-mido (regenerating only).
"""

import os
import subprocess
import tempfile

import numpy as np

from common import need_tool

RATE = 44100
BEATS_PER_MINUTE = 96
BEATS_PER_BAR = 4
BARS = 32
LOOP_BEATS = BARS * BEATS_PER_BAR
LOOP_SECONDS = LOOP_BEATS * 60.0 / BEATS_PER_MINUTE
TICKS_PER_BEAT = 480
SOUNDFONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"

# The key the effects answer in (sounds.py).
KEY = "D major"

NOTE_OFFSETS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def midi(name):
    """'F#4' -> 66 (C4 is 60)."""
    semis = NOTE_OFFSETS[name[0]] + name.count("#") - name.count("b")
    return semis + 12 * (int(name[-1]) + 1)


# ------------------------------------------------------------------ score

# One chord per bar; "Em A" splits its bar in two.
PROGRESSION = (
    "D Bm G A D Bm Em A "            # the tune
    "D Bm G A D Bm Em|A D "          # the tune again, coming home
    "G A F#m Bm G A Bm A "           # the middle, away from home
    "D Bm G A D Bm Em|A D").split()  # the tune, home, and round again

CHORDS = {  # root position, lowest note first
    "D": ("D3", "F#3", "A3"), "Bm": ("B2", "D3", "F#3"), "G": ("G2", "B2", "D3"),
    "A": ("A2", "C#3", "E3"), "Em": ("E3", "G3", "B3"), "F#m": ("F#2", "A2", "C#3"),
}

# The tune: (note, beats) per bar, "r" a rest; four beats in every bar.
TUNE_A = [
    [("A4", 1.5), ("F#4", 0.5), ("A4", 1), ("D5", 1)],
    [("C#5", 1.5), ("B4", 0.5), ("F#4", 2)],
    [("G4", 1), ("B4", 1), ("D5", 1), ("E5", 1)],
    [("C#5", 3), ("A4", 1)],
    [("A4", 1.5), ("F#4", 0.5), ("A4", 1), ("D5", 1)],
    [("F#5", 1.5), ("E5", 0.5), ("D5", 2)],
    [("B4", 1), ("D5", 1), ("C#5", 1), ("B4", 1)],
    [("A4", 3), ("r", 1)],
]
TUNE_A_HOME = [
    [("D5", 1.5), ("E5", 0.5), ("F#5", 1), ("A5", 1)],
    [("F#5", 1.5), ("E5", 0.5), ("D5", 2)],
    [("B4", 1), ("D5", 1), ("G5", 1.5), ("F#5", 0.5)],
    [("E5", 3), ("C#5", 1)],
    [("D5", 1.5), ("E5", 0.5), ("F#5", 1), ("A5", 1)],
    [("B5", 1.5), ("A5", 0.5), ("F#5", 2)],
    [("E5", 1), ("G5", 1), ("E5", 1), ("C#5", 1)],
    [("D5", 3), ("r", 1)],
]
TUNE_B = [
    [("B4", 2), ("D5", 1), ("B4", 1)],
    [("C#5", 2), ("E5", 1), ("C#5", 1)],
    [("A4", 1), ("C#5", 1), ("F#5", 2)],
    [("D5", 3), ("r", 1)],
    [("G5", 1.5), ("F#5", 0.5), ("E5", 1), ("D5", 1)],
    [("E5", 1.5), ("D5", 0.5), ("C#5", 1), ("A4", 1)],
    [("B4", 1), ("C#5", 1), ("D5", 1), ("F#5", 1)],
    [("E5", 3), ("r", 1)],
]
TUNE = TUNE_A + TUNE_A_HOME + TUNE_B + TUNE_A_HOME

# General MIDI programs (numbered from 0) and the channel of each part.
FLUTE, CELESTA, STRINGS, HARP, BASS = 73, 8, 48, 46, 32
DRUMS = 9
SHAKER, SIDE_STICK, KICK = 82, 37, 36


def bar_chords():
    """(start beat, beats, chord name) for every chord of the loop."""
    out = []
    for bar, token in enumerate(PROGRESSION):
        names = token.split("|")
        beats = BEATS_PER_BAR / len(names)
        for k, name in enumerate(names):
            out.append((bar * BEATS_PER_BAR + k * beats, beats, name))
    return out


def tune_notes():
    notes = []
    for bar, cells in enumerate(TUNE):
        at = bar * BEATS_PER_BAR
        assert sum(b for _, b in cells) == BEATS_PER_BAR, f"bar {bar + 1} of the tune"
        for name, beats in cells:
            if name != "r":
                # Slightly detached, a breath between notes.
                notes.append((at, midi(name), beats * 0.92, 88 if at % 2 == 0 else 80))
            at += beats
    return notes


def score():
    """{(channel, program): [(start beat, key, beats, velocity)]}."""
    parts = {(0, FLUTE): tune_notes(), (1, CELESTA): [], (2, STRINGS): [], (3, HARP): [],
             (4, BASS): [], (DRUMS, 0): []}
    # A celesta an octave above the tune's last return: a little sparkle.
    for at, key, beats, _ in parts[(0, FLUTE)]:
        if at >= 24 * BEATS_PER_BAR:
            parts[(1, CELESTA)].append((at, key + 12, min(beats, 1.0), 42))

    for at, beats, name in bar_chords():
        tones = [midi(x) for x in CHORDS[name]]
        # Strings hold the chord an octave up, softly.
        for key in tones:
            parts[(2, STRINGS)].append((at, key + 12, beats, 46))
        # Harp: broken chord in eighths, rising then turning.
        pattern = [tones[0], tones[1], tones[2], tones[0] + 12, tones[1] + 12, tones[0] + 12,
                   tones[2], tones[1]]
        for k in range(int(beats * 2)):
            parts[(3, HARP)].append((at + 0.5 * k, pattern[k % 8], 0.9, 52 if k % 2 == 0 else 40))
        # Bass: the root, again on the "and", then the fifth.
        # Between B1 and A2, where the bass is warm but clear.
        root = tones[0] - 12 if tones[0] - 12 >= midi("B1") else tones[0]
        if beats >= BEATS_PER_BAR:
            steps = [(0, root, 1.4), (1.5, root, 0.45), (2, root + 7, 1.9)]
        else:
            steps = [(0, root, 1.4), (1.5, root + 7, 0.45)]
        for offset, key, length in steps:
            parts[(4, BASS)].append((at + offset, key, length, 78))

    # Light rhythm: a shaker in eighths, a side stick on two and four, and
    # a soft kick once the tune has been heard alone.
    for beat in range(LOOP_BEATS):
        drums = parts[(DRUMS, 0)]
        drums.append((beat, SHAKER, 0.25, 34))
        drums.append((beat + 0.5, SHAKER, 0.25, 22))
        bar = beat // BEATS_PER_BAR
        if beat % 2 == 1 and bar >= 8:
            drums.append((beat, SIDE_STICK, 0.25, 30))
        if beat % BEATS_PER_BAR == 0 and bar >= 8:
            drums.append((beat, KICK, 0.25, 48))
    return parts


def write_midi(path, passes):
    import mido

    song = mido.MidiFile(ticks_per_beat=TICKS_PER_BEAT)
    for (channel, program), notes in sorted(score().items()):
        events = []  # (tick, order, message): note-offs before note-ons at a tick
        for p in range(passes):
            for at, key, beats, velocity in notes:
                start = round((at + p * LOOP_BEATS) * TICKS_PER_BEAT)
                end = round((at + beats + p * LOOP_BEATS) * TICKS_PER_BEAT)
                events.append((start, 1, mido.Message("note_on", channel=channel, note=key,
                                                      velocity=velocity)))
                events.append((end, 0, mido.Message("note_off", channel=channel, note=key)))
        events.sort(key=lambda e: (e[0], e[1], e[2].note))
        track = mido.MidiTrack()
        track.append(mido.MetaMessage("set_tempo", tempo=mido.bpm2tempo(BEATS_PER_MINUTE)))
        if channel != DRUMS:
            track.append(mido.Message("program_change", channel=channel, program=program))
        # Place the parts across the stereo field (pan) and set their level.
        pan = {0: 64, 1: 80, 2: 52, 3: 84, 4: 64, DRUMS: 70}[channel]
        track.append(mido.Message("control_change", channel=channel, control=10, value=pan))
        track.append(mido.Message("control_change", channel=channel, control=91, value=70))
        last = 0
        for tick, _, message in events:
            track.append(message.copy(time=tick - last))
            last = tick
        song.tracks.append(track)
    song.save(path)


def render(seconds_after=6.0):
    """The loop as float samples, n x 2."""
    need_tool("fluidsynth")
    if not os.path.exists(SOUNDFONT):
        raise SystemExit(f"assetgen: needs the SoundFont {SOUNDFONT} (fluid-soundfont-gm)")
    loop = int(round(LOOP_SECONDS * RATE))
    with tempfile.TemporaryDirectory() as tmp:
        score_path = os.path.join(tmp, "night.mid")
        raw_path = os.path.join(tmp, "night.raw")
        write_midi(score_path, passes=3)
        # Raw 32-bit float, stereo interleaved: no dither, no clipping.
        subprocess.run(["fluidsynth", "-ni", "-q", "-F", raw_path, "-T", "raw", "-O", "float",
                        "-E", "little", "-r", str(RATE), "-g", "0.5",
                        "-o", "synth.chorus.active=0", "-o", "synth.cpu-cores=1",
                        SOUNDFONT, score_path], check=True, stdout=subprocess.DEVNULL)
        samples = np.fromfile(raw_path, dtype="<f4").reshape(-1, 2)
    if len(samples) < 2 * loop + int(seconds_after * RATE):
        raise SystemExit("assetgen: fluidsynth's rendering of the score is too short")
    # The second pass: everything still ringing from the first is in it.
    return samples[loop:2 * loop].astype(np.float64)
