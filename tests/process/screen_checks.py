"""Checks of the game's screenshots by what a player must see, with tolerances
rather than exact pixels, so that any conforming renderer passes.

Usage: screen_checks.py CHECK SHOT [ARGS...]; prints what it measured and
exits 0 when the check holds, 1 when it does not, 2 on a broken screenshot.

Regions are given in image rows from the top; the HUD places its texts from
the bottom-left corner of a 1080 by 720 frame, which fixes where they are.
"""

import sys

import numpy as np
from PIL import Image

WIDTH, HEIGHT = 1080, 720


def hud_box(x, y, chars, glyph):
    """Rows and columns of a HUD text drawn at (x, y) from the bottom left."""
    top = HEIGHT - int(round(y + glyph))
    return (max(top, 0), min(HEIGHT - int(round(y)), HEIGHT),
            max(int(x), 0), min(int(round(x + chars * glyph)), WIDTH))


REGIONS = {
    "score": hud_box(10, HEIGHT - 85, 6, 32),  # "SCORE:" and its digits below
    "timer": hud_box(WIDTH - 220, HEIGHT - 85, 6, 32),
    "timer_digits": hud_box(WIDTH - 220, HEIGHT - 85, 5, 32),
    "fps": hud_box(10, 50, 8, 16),
    "digit": hud_box((WIDTH - 192) / 2, (HEIGHT - 192) / 2, 1, 192),
    "title": hud_box(0, (HEIGHT - 96) / 2, WIDTH // 96, 96),
    "hint": hud_box((WIDTH - 22 * 22.4) / 2, HEIGHT - 110, 22, 22.4),
    "subtitle": hud_box(0, (HEIGHT - 64) / 2 - 128, WIDTH // 64, 64),
}
# Corner texts span two lines: the label and the value under it.
REGIONS["score"] = (REGIONS["score"][0] - 35, REGIONS["score"][1], *REGIONS["score"][2:])
REGIONS["timer"] = (REGIONS["timer"][0] - 35, REGIONS["timer"][1], *REGIONS["timer"][2:])


def load(path):
    """A plain (P3) or raw (P6) PPM, or any image PIL reads, as RGB rows."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"P3":
        # The header's four fields (magic, width, height, maximum), then the
        # values; comment lines may come between header fields.
        header, at = [], 0
        while len(header) < 4:
            end = data.index(b"\n", at)
            line = data[at:end].split(b"#")[0]
            header += line.split()
            at = end + 1
        width, height = int(header[1]), int(header[2])
        values = np.fromstring(data[at:].decode("ascii"), dtype=np.int32, sep=" ")
        if values.size != width * height * 3 or values.max(initial=0) > 255:
            raise ValueError("%s: %d values for %dx%d" % (path, values.size, width, height))
        return values.reshape(height, width, 3)
    return np.asarray(Image.open(path).convert("RGB"), dtype=np.int32)


def text_mask(img):
    """The HUD font's cream fill: bright, warm, neither the blue of the sky,
    the water and the wings nor the saturated yellow of the rings."""
    r, g, b = img[..., 0], img[..., 1], img[..., 2]
    return (r > 200) & (g > 185) & (b > 105) & (b < 235) & (r - b >= 20)


def region(img, name):
    top, bottom, left, right = REGIONS[name]
    return img[top:bottom, left:right]


def text_pixels(img, name):
    return int(text_mask(region(img, name)).sum())


def sky_mask(img):
    r, g, b = img[..., 0], img[..., 1], img[..., 2]
    return (b >= r) & (b >= g) & ((r + g + b) < 135)


# Text matches (intersection over union with the font's glyphs) above this
# show the text; below MATCH_HIDDEN it is not there.
MATCH_SHOWN = 0.5
# Share of a corner label's glyphs that must show in a flight frame.
MATCH_COVERED = 0.7
MATCH_HIDDEN = 0.2


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def check_tutorial(shot, picture_path, best_run=False):
    """The tutorial picture fitted into the frame, centred, black around it
    (but for the best run's line along the bottom edge, when there is one)."""
    if best_run:
        shot = shot.copy()
        shot[HEIGHT - 10 - 24 - 2:HEIGHT - 10 + 2] = 0
    picture = Image.open(picture_path).convert("RGB")
    aspect = picture.width / picture.height
    if WIDTH / HEIGHT >= aspect:
        fitted_w, fitted_h = HEIGHT * aspect, HEIGHT
    else:
        fitted_w, fitted_h = WIDTH, WIDTH / aspect
    left = (WIDTH - fitted_w) / 2
    top = (HEIGHT - fitted_h) / 2
    expected = np.asarray(picture.resize((int(round(fitted_w)), int(round(fitted_h))), Image.BOX),
                          dtype=np.int32)
    # Compare inside a margin of four pixels, where rounding cannot matter.
    rows = slice(int(top) + 4, int(top + fitted_h) - 4)
    cols = slice(int(left) + 4, int(left + fitted_w) - 4)
    inner = shot[rows, cols]
    reference = expected[rows.start - int(round(top)):rows.stop - int(round(top)),
                         cols.start - int(round(left)):cols.stop - int(round(left))]
    difference = float(np.abs(inner - reference).mean())
    print("tutorial: mean difference %.2f" % difference)
    if difference > 8.0:
        fail("the frame is not the tutorial picture (mean difference %.1f)" % difference)
    bars = [shot[:max(int(top) - 2, 0)], shot[int(top + fitted_h) + 2:],
            shot[:, :max(int(left) - 2, 0)], shot[:, int(left + fitted_w) + 2:]]
    brightest = max(int(bar.max(initial=0)) for bar in bars)
    print("tutorial: brightest pixel around it %d" % brightest)
    if brightest > 24:
        fail("the space around the picture is not black (%d)" % brightest)


def check_flight(shot, font_path):
    """A frame of the flight: the HUD's corner texts, a dark night sky above,
    bright rings with a glow around them."""
    for slot, label in (("score-label", "SCORE:"), ("timer-label", "TIMER:")):
        cover = text_cover(shot, font_path, slot, label)
        print("flight: %s covered %.2f" % (label, cover))
        if cover < MATCH_COVERED:
            fail("no %s in its corner (covered %.2f)" % (label, cover))
    for name, least in (("score", 300), ("timer", 300), ("fps", 30)):
        count = text_pixels(shot, name)
        print("flight: %s text pixels %d" % (name, count))
        if count < least:
            fail("no %s text in its corner (%d text pixels)" % (name, count))
    # The sky between the two corner texts.
    sky = float(sky_mask(shot[0:70, 230:850]).mean())
    print("flight: dark sky share at the top %.2f" % sky)
    if sky < 0.6:
        fail("no dark sky at the top (%.2f)" % sky)
    r, g, b = shot[..., 0], shot[..., 1], shot[..., 2]
    cores = (r > 170) & (g > 170) & (b < 150)
    print("flight: ring core pixels %d" % cores.sum())
    if cores.sum() < 200:
        fail("no bright rings (%d pixels)" % cores.sum())
    # The glow: next to the cores the frame is brighter and yellower than a
    # little farther out.
    brightness = (r + g + b) / 3
    tint = (r + g) / 2 - b
    near = dilate(cores, 8) & ~dilate(cores, 2)
    far = dilate(cores, 30) & ~dilate(cores, 20)
    print("flight: brightness near the rings %.1f, farther out %.1f" %
          (brightness[near].mean(), brightness[far].mean()))
    print("flight: yellow near the rings %.1f, farther out %.1f" % (tint[near].mean(), tint[far].mean()))
    if brightness[near].mean() < brightness[far].mean() + 8:
        fail("no glow around the rings")
    if tint[near].mean() < tint[far].mean() + 8:
        fail("the light around the rings is not the rings' colour")


def dilate(mask, pixels):
    """The mask grown by the given number of pixels (a diamond)."""
    grown = mask.copy()
    for _ in range(pixels):
        step = grown.copy()
        step[1:] |= grown[:-1]
        step[:-1] |= grown[1:]
        step[:, 1:] |= grown[:, :-1]
        step[:, :-1] |= grown[:, 1:]
        grown = step
    return grown


def glyph_fill(font_path, char, size):
    """The fill of one glyph of the 8 by 8 font sheet (row 0 at the top holds
    the space and the seven characters after it), enlarged to size pixels
    the way nearest sampling draws it. Characters outside the sheet's
    table draw as the digit 0."""
    if font_path not in _sheets:
        _sheets[font_path] = np.asarray(Image.open(font_path).convert("RGBA"), dtype=np.int32)
    sheet = _sheets[font_path]
    code = ord(char)
    if not (code in (32, 33) or 48 <= code <= 58 or 64 <= code <= 90):
        code = ord("0")
    row, col = divmod(code - 32, 8)
    cell = sheet.shape[0] // 8
    glyph = sheet[row * cell:(row + 1) * cell, col * cell:(col + 1) * cell]
    fill = (glyph[..., 3] > 128) & (glyph[..., 0] > 150)
    image = Image.fromarray((fill * 255).astype(np.uint8)).resize((size, size), Image.NEAREST)
    return np.asarray(image) > 127


_sheets = {}

# Where the HUD draws each slot for a text of n bytes: (x, y, glyph size),
# x and y of the lower-left corner from the bottom left of the frame.
SLOTS = {
    "title": lambda n: ((WIDTH - n * 96) / 2, (HEIGHT - 96) / 2, 96),
    "subtitle": lambda n: ((WIDTH - n * 64) / 2, (HEIGHT - 64) / 2 - 128, 64),
    "hint": lambda n: ((WIDTH - n * 22.4) / 2, HEIGHT - 110, 22.4),
    "score-label": lambda n: (10, HEIGHT - 50, 32),
    "timer-label": lambda n: (WIDTH - 220, HEIGHT - 50, 32),
    "digit": lambda n: ((WIDTH - 192) / 2, (HEIGHT - 192) / 2, 192),
    "fps": lambda n: (10, 50, 16),
    "best": lambda n: ((WIDTH - n * 24) / 2, 10, 24),
}


def text_masks(shot, font_path, slot, text):
    """The glyphs' fill as text drawn in the slot would have it, and the
    frame's text-coloured pixels over the same box."""
    x, y, glyph = SLOTS[slot](len(text))
    size = int(round(glyph))
    top = HEIGHT - int(round(y)) - size
    expected = np.zeros((size, int(round(len(text) * glyph)) + size), dtype=bool)
    for i, char in enumerate(text):
        left = int(round(i * glyph))
        expected[:, left:left + size] |= glyph_fill(font_path, char, size)
    left = int(round(x))
    seen = text_mask(shot[max(top, 0):top + size, max(left, 0):left + expected.shape[1]])
    expected = expected[:seen.shape[0], :seen.shape[1]]
    return expected, seen


def text_match(shot, font_path, slot, text):
    """How well the frame's text fill in the slot matches text drawn there:
    intersection over union of the two masks, 0 to 1."""
    expected, seen = text_masks(shot, font_path, slot, text)
    union = (expected | seen).sum()
    return float((expected & seen).sum() / union) if union else 0.0


def text_cover(shot, font_path, slot, text):
    """The share of the text's glyph fill that the frame shows in text
    colour, 0 to 1. Unlike text_match it is not lowered by bright things
    behind the text (the moon can sit behind a corner label in flight)."""
    expected, seen = text_masks(shot, font_path, slot, text)
    total = expected.sum()
    return float((expected & seen).sum() / total) if total else 0.0


def countdown_digit(shot, font_path):
    """The countdown digit in the middle of the frame, or None."""
    scores = {digit: text_match(shot, font_path, "digit", str(digit)) for digit in range(10)}
    best = max(scores, key=scores.get)
    return best if scores[best] > 0.5 else None


def main():
    check, shot_path, *args = sys.argv[1:]
    try:
        shot = load(shot_path)
    except (OSError, ValueError) as error:
        print("FAIL: unreadable screenshot:", error)
        sys.exit(2)
    if shot.shape[:2] != (HEIGHT, WIDTH):
        print("FAIL: screenshot of %dx%d" % (shot.shape[1], shot.shape[0]))
        sys.exit(2)

    if check == "tutorial":
        # tutorial SHOT PICTURE [best-run]
        check_tutorial(shot, args[0], args[1:] == ["best-run"])
    elif check == "flight":
        # flight SHOT FONT
        check_flight(shot, args[0])
    elif check == "digit":
        # digit SHOT FONT: prints the countdown digit, or "none".
        digit = countdown_digit(shot, args[0])
        print("none" if digit is None else digit)
    elif check in ("shows", "hides"):
        # shows|hides SHOT FONT SLOT TEXT: the HUD slot reads TEXT, or not.
        font_path, slot, text = args
        match = text_match(shot, font_path, slot, text)
        print("%s '%s': match %.2f" % (slot, text, match))
        if check == "shows" and match < MATCH_SHOWN:
            fail("the %s does not read '%s' (match %.2f)" % (slot, text, match))
        if check == "hides" and match > MATCH_HIDDEN:
            fail("the %s still reads '%s' (match %.2f)" % (slot, text, match))
    elif check in ("same-region", "changed-region"):
        # same-region|changed-region SHOT OTHER REGION: the slot reads the
        # same in both frames, or not.
        other, name = load(args[0]), args[1]
        changed = int((np.abs(region(shot, name) - region(other, name)).max(axis=2) > 24).sum())
        print("%s: %d pixels changed" % (name, changed))
        if check == "same-region" and changed > 20:
            fail("the %s slot changed" % name)
        if check == "changed-region" and changed <= 20:
            fail("the %s slot did not change" % name)
    elif check == "added-light":
        # added-light SHOT OTHER MINIMUM: SHOT shows a thing OTHER does not,
        # drawn by adding light (the ghost): at least MINIMUM pixels brighter
        # in every channel within one 48-pixel square. The water's shimmer
        # and the particles, which move between any two frames, change single
        # pixels here and there, never a patch.
        other, minimum = load(args[0]), int(args[1])
        brighter = ((shot - other) > 12).all(axis=2).astype(np.int32)
        sums = np.pad(brighter.cumsum(0).cumsum(1), ((1, 0), (1, 0)))
        side = 48
        patches = (sums[side:, side:] - sums[:-side, side:] - sums[side:, :-side]
                   + sums[:-side, :-side])
        row, col = np.unravel_index(int(patches.argmax()), patches.shape)
        most = int(patches[row, col])
        print("added light: %d pixels brighter in the square at (%d, %d)" % (most, col, row))
        if most < minimum:
            fail("no patch of added light (%d pixels, at least %d wanted)" % (most, minimum))
    elif check == "sky-share":
        # Prints the share (in percent) of dark night sky in the band above
        # the middle of the frame, where a level camera sees sky and the
        # chase camera, looking down on the player, sees the ground.
        print(int(round(100 * float(sky_mask(shot[100:280]).mean()))))
    elif check == "same-frame":
        # same-frame SHOT OTHER: the two frames match within what two builds
        # of the same renderer may differ by (rounding, not content).
        other = load(args[0])
        if other.shape != shot.shape:
            fail("frames of different sizes")
        difference = np.abs(shot - other)
        mse = float((difference.astype(np.float64) ** 2).mean())
        psnr = float("inf") if mse == 0 else 10 * np.log10(255.0 ** 2 / mse)
        print("mean difference %.3f, largest %d, PSNR %.1f dB"
              % (difference.mean(), difference.max(), psnr))
        if difference.mean() > 1.0 or psnr < 35:
            fail("the frames differ")
    elif check == "black-above-title":
        # The band between the corner texts and the title is black.
        brightest = int(shot[150:290].max())
        print("brightest pixel above the title %d" % brightest)
        if brightest > 24:
            fail("the screen is not black around its texts")
    else:
        print("unknown check", check)
        sys.exit(2)


if __name__ == "__main__":
    main()
