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


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def check_tutorial(shot, picture_path):
    """The tutorial picture fitted into the frame, centred, black around it."""
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


def check_flight(shot):
    """A frame of the flight: the HUD's corner texts, a dark night sky above,
    bright rings with a glow around them."""
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
    glow = ~cores & (r > 50) & (g > 50) & (r + g > 2 * b + 50)
    print("flight: ring cores %d, glow %d" % (cores.sum(), glow.sum()))
    if cores.sum() < 200:
        fail("no bright rings (%d pixels)" % cores.sum())
    if glow.sum() < cores.sum():
        fail("the rings have no glow (%d glow pixels for %d core pixels)" % (glow.sum(), cores.sum()))


def glyph_masks(font_path, scale):
    """The fill of the digit glyphs of the font sheet, enlarged as drawn."""
    sheet = np.asarray(Image.open(font_path).convert("RGBA"), dtype=np.int32)
    cell = sheet.shape[0] // 8
    masks = {}
    for digit in range(10):
        index = ord(str(digit)) - 32
        row, col = divmod(index, 8)
        glyph = sheet[row * cell:(row + 1) * cell, col * cell:(col + 1) * cell]
        fill = (glyph[..., 3] > 128) & (glyph[..., 0] > 150)
        size = int(32 * scale)
        image = Image.fromarray((fill * 255).astype(np.uint8)).resize((size, size), Image.NEAREST)
        masks[digit] = np.asarray(image) > 127
    return masks


def countdown_digit(shot, font_path):
    """The countdown digit in the middle of the frame, or None."""
    seen = text_mask(region(shot, "digit"))
    if seen.sum() < 800:
        return None
    best, best_score = None, 0.0
    for digit, mask in glyph_masks(font_path, 6).items():
        h = min(mask.shape[0], seen.shape[0])
        w = min(mask.shape[1], seen.shape[1])
        union = (mask[:h, :w] | seen[:h, :w]).sum()
        score = (mask[:h, :w] & seen[:h, :w]).sum() / union if union else 0.0
        if score > best_score:
            best, best_score = digit, score
    return best if best_score > 0.5 else None


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
        check_tutorial(shot, args[0])
    elif check == "flight":
        check_flight(shot)
    elif check == "digit":
        # Prints the digit, or "none".
        digit = countdown_digit(shot, args[0])
        print("none" if digit is None else digit)
    elif check in ("text", "no-text"):
        # text REGION LEAST / no-text REGION MOST: text pixels of a HUD slot.
        name, limit = args[0], int(args[1])
        count = text_pixels(shot, name)
        print("%s: %d text pixels" % (name, count))
        if check == "text" and count < limit:
            fail("no text in the %s slot (%d text pixels)" % (name, count))
        if check == "no-text" and count > limit:
            fail("text in the %s slot (%d text pixels)" % (name, count))
    elif check == "same-region":
        # same-region OTHER REGION: the slot reads the same in both frames.
        other, name = load(args[0]), args[1]
        changed = int((np.abs(region(shot, name) - region(other, name)).max(axis=2) > 24).sum())
        print("%s: %d pixels changed" % (name, changed))
        if changed > 20:
            fail("the %s slot changed" % name)
    elif check == "changed-region":
        other, name = load(args[0]), args[1]
        changed = int((np.abs(region(shot, name) - region(other, name)).max(axis=2) > 24).sum())
        print("%s: %d pixels changed" % (name, changed))
        if changed <= 20:
            fail("the %s slot did not change" % name)
    elif check == "sky-share":
        # Prints the share (in percent) of dark night sky in the band above
        # the middle of the frame, where a level camera sees sky and the
        # chase camera, looking down on the player, sees the ground.
        print(int(round(100 * float(sky_mask(shot[100:280]).mean()))))
    elif check == "loading":
        count = text_pixels(shot, "title")
        clear = shot[150:290]
        print("loading: %d title text pixels, brightest pixel above it %d" % (count, clear.max()))
        if count < 1500:
            fail("no title on the loading screen")
        if clear.max() > 24:
            fail("the loading screen is not black")
    else:
        print("unknown check", check)
        sys.exit(2)


if __name__ == "__main__":
    main()
