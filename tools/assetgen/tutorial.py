"""The start screen: a moonlit lake with rings leading to the golden gate,
the title, the goal of the game and every key.
"""

import os

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from common import FONT_DIR, blur, normalise, ramp, rng, smoothstep, spectral_noise

W, H = 1920, 1080
HORIZON = 770
MOON = (250.0, 170.0, 62.0)
GATE = (470.0, 772.0)

GOLD = (255, 206, 110)
PALE = (236, 240, 255)
CYAN = (140, 235, 255)


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


# ------------------------------------------------------------------ scene


def ridge_line(gen, base, amplitude, roughness):
    n = spectral_noise(gen, 2048, roughness, low=2.0)[0, :W]
    return base - amplitude * normalise(n)


def paint_scene(gen):
    y, x = np.mgrid[0:H, 0:W].astype(float)
    up = smoothstep(HORIZON, 0, y)[..., None]
    img = ramp(up[..., 0], [(0.0, (0.09, 0.11, 0.24)), (0.35, (0.04, 0.06, 0.15)),
                            (1.0, (0.01, 0.015, 0.05))])
    # The galaxy: a faint cloudy band across the sky.
    clouds = spectral_noise(gen, 2048, 1.8, low=3.0)[:H, :W]
    band = np.exp(-(((x * 0.45 - y) - 260) / 170.0) ** 2) * smoothstep(0.45, 0.8, clouds)
    img += band[..., None] * np.array([0.16, 0.15, 0.24])
    # Stars: many faint, a few bright with a small glow.
    stars = np.zeros((H, W))
    count = 2600
    sx, sy = gen.uniform(0, W, count), gen.uniform(0, HORIZON - 20, count)
    bright = 0.1 + 0.9 * gen.random(count) ** 6
    np.add.at(stars, (sy.astype(int), sx.astype(int)), bright * 2.2)
    stars = blur(stars, 0.7) + blur(stars * (stars > 1.2), 3.0) * 0.5
    img += np.minimum(stars, 1.0)[..., None] * np.array([0.95, 0.95, 1.0])
    # The moon and its halo.
    mx, my, mr = MOON
    d = np.hypot(x - mx, y - my)
    disc = smoothstep(mr + 1, mr - 1, d)
    maria = spectral_noise(gen, 256, 2.2, low=2.0)
    my0, mx0 = int(my - 128), int(mx - 128)
    patch = np.zeros((H, W))
    patch[max(my0, 0):my0 + 256, max(mx0, 0):mx0 + 256] = maria[max(-my0, 0):, max(-mx0, 0):]
    limb = np.sqrt(np.clip(1 - (d / mr) ** 2, 0, 1))
    moon_col = (0.75 - 0.25 * smoothstep(0.45, 0.7, patch)) * (0.6 + 0.4 * limb)
    img = img * (1 - disc[..., None]) + (moon_col * disc)[..., None] * np.array([1.0, 0.97, 0.88])
    img += (0.35 * np.exp(-(d / (mr * 2.2)) ** 2) + 0.10 * np.exp(-d / 400))[..., None] \
        * (1 - disc[..., None]) * np.array([0.5, 0.58, 0.8])

    # Three ranges of hills, the far ones hazy.
    for base, amp, rough, colour in ((HORIZON - 10, 170, 2.0, (0.07, 0.09, 0.19)),
                                     (HORIZON, 110, 2.3, (0.04, 0.055, 0.12)),
                                     (HORIZON + 5, 60, 2.6, (0.02, 0.03, 0.07))):
        line = ridge_line(gen, base, amp, rough)
        # Keep a low saddle where the gate stands.
        line = np.maximum(line, HORIZON - 25 + 0 * line) * smoothstep(120, 0, np.abs(np.arange(W) - GATE[0])) \
            + line * (1 - smoothstep(120, 0, np.abs(np.arange(W) - GATE[0])))
        mask = (y >= line[None, :]) & (y < HORIZON + 8)
        img[mask] = colour

    # The lake mirrors the sky, darker, broken by ripples, with the moon's glitter path.
    below = y >= HORIZON + 8
    mirror_y = np.clip(2 * (HORIZON + 8) - y, 0, H - 1).astype(int)
    ripple = spectral_noise(gen, 2048, 1.4, low=30.0)[:H, :W]
    reflected = img[mirror_y, x.astype(int)] * 0.45
    glitter = np.exp(-((x - mx) / (28 + (y - HORIZON) * 0.12)) ** 2) * smoothstep(0.6, 0.8, ripple)
    water = reflected + glitter[..., None] * np.array([0.7, 0.75, 0.85]) * 0.45
    water *= (0.85 + 0.3 * ripple)[..., None]
    img[below] = water[below]
    return np.clip(img, 0, 1)


def glow_layer(draw_fn, radius):
    """Draws with draw_fn on a transparent layer and returns it with a soft glow under it."""
    layer = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    draw_fn(ImageDraw.Draw(layer))
    halo = layer.filter(ImageFilter.GaussianBlur(radius))
    out = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    out.alpha_composite(halo)
    out.alpha_composite(halo)
    out.alpha_composite(layer)
    return out


def paint_rings_and_gate(canvas):
    gx, gy = GATE

    def gate(d):
        w, h = 40, 62
        d.rectangle((gx - w - 8, gy - 4, gx + w + 8, gy + 4), fill=(150, 140, 120, 255))
        d.rectangle((gx - w, gy - h, gx - w + 9, gy), fill=(200, 190, 170, 255))
        d.rectangle((gx + w - 9, gy - h, gx + w, gy), fill=(200, 190, 170, 255))
        d.arc((gx - w, gy - h - w, gx + w, gy - h + w), 180, 360, fill=GOLD + (255,), width=9)
        for k, colour in enumerate(((70, 50, 180), (100, 100, 235), (150, 170, 255), (210, 245, 255))):
            inset = 9 + k * 7
            d.rectangle((gx - w + inset, gy - h + k * 8, gx + w - inset, gy - 4 - k * 5),
                        fill=colour + (235,))
            d.pieslice((gx - w + inset, gy - h - w + inset + k * 8, gx + w - inset,
                        gy - h + w - inset + k * 8), 180, 360, fill=colour + (235,))
        d.polygon([(gx, gy - h - w - 40), (gx - 9, gy - h - w - 22), (gx, gy - h - w - 8),
                   (gx + 9, gy - h - w - 22)], fill=(220, 250, 255, 255))

    canvas.alpha_composite(glow_layer(gate, 18))

    def rings(d):
        # Rings float towards the gate, growing as they come nearer.
        for k in range(6):
            t = (k / 5.0) ** 1.5                  # nearer rings stand further apart
            cx = gx + 75 + t * 330
            cy = gy - 55 + t * 115
            r = 15 + t * 62
            width = max(3, int(3 + t * 8))
            d.ellipse((cx - r * 0.55, cy - r, cx + r * 0.55, cy + r), outline=GOLD + (255,), width=width)

    canvas.alpha_composite(glow_layer(rings, 12))


# ------------------------------------------------------------------ text


def text_centre(d, cx, y, text, fnt, fill):
    left, _, right, _ = d.textbbox((0, 0), text, font=fnt)
    d.text((cx - (right - left) / 2 - left, y), text, font=fnt, fill=fill)


def keycap(d, x, y, label, fnt, min_width=58):
    left, top, right, bottom = d.textbbox((0, 0), label, font=fnt)
    w = max(min_width, right - left + 30)
    d.rounded_rectangle((x, y, x + w, y + 56), radius=10, fill=(30, 36, 70, 235),
                        outline=(170, 185, 235, 255), width=3)
    d.rounded_rectangle((x + 5, y + 5, x + w - 5, y + 47), radius=7, outline=(60, 70, 120, 255), width=2)
    d.text((x + (w - (right - left)) / 2 - left, y + 25 - (bottom + top) / 2), label, font=fnt, fill=PALE)
    return x + w + 10


def padcap(d, x, y, label, fnt, min_width=56):
    """A gamepad button: fully rounded, so it reads apart from the keys."""
    left, top, right, bottom = d.textbbox((0, 0), label, font=fnt)
    w = max(min_width, right - left + 34)
    d.rounded_rectangle((x, y, x + w, y + 56), radius=28, fill=(36, 52, 44, 235),
                        outline=(150, 225, 180, 255), width=3)
    d.text((x + (w - (right - left)) / 2 - left, y + 25 - (bottom + top) / 2), label, font=fnt, fill=PALE)
    return x + w + 10


def panel(canvas, box):
    layer = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    d.rounded_rectangle(box, radius=26, fill=(6, 10, 28, 190), outline=(120, 140, 210, 200), width=3)
    canvas.alpha_composite(layer)


def paint_text(canvas):
    title = font("DejaVuSerif-Bold.ttf", 150)

    def draw_title(d):
        text_centre(d, W / 2, 30, "V E L T R A", title, GOLD + (255,))

    canvas.alpha_composite(glow_layer(draw_title, 14))
    d = ImageDraw.Draw(canvas)
    text_centre(d, W / 2, 205, "a night flight through the golden rings",
                font("DejaVuSerif-Italic.ttf", 40), PALE + (255,))

    heading = font("DejaVuSerif-Bold.ttf", 44)
    body = font("DejaVuSans.ttf", 32)
    bold = font("DejaVuSans-Bold.ttf", 27)

    panel(canvas, (70, 280, 930, 612))
    d = ImageDraw.Draw(canvas)
    d.text((110, 298), "THE GOAL", font=heading, fill=GOLD)
    lines = [("Fly through the glowing rings:", "each ring scores a point."),
             ("Reach the golden gate before", "the two-minute timer runs out."),
             ("Do not touch the ground,", "the water or the wall.")]
    y = 368
    for first, second in lines:
        d.ellipse((112, y + 12, 126, y + 26), fill=CYAN)
        d.text((145, y), first, font=body, fill=PALE)
        d.text((145, y + 38), second, font=body, fill=PALE)
        y += 80

    panel(canvas, (990, 280, 1850, 1040))
    d = ImageDraw.Draw(canvas)
    d.text((1030, 298), "KEYS", font=heading, fill=GOLD)
    punctuation = font("DejaVuSans-Bold.ttf", 44)
    arrows = font("DejaVuSans-Bold.ttf", 30)
    small = font("DejaVuSans-Bold.ttf", 22)
    # Each row: keys, then what may stand for them ("or"), then the action.
    # Gamepad buttons are drawn round; the stick and the D-pad steer like
    # the arrow keys.
    rows = [
        ([("W", bold), ("S", bold)], [("\u2191", arrows, keycap), ("\u2193", arrows, keycap)],
         "climb / dive"),
        ([("A", bold), ("D", bold)], [("\u2190", arrows, keycap), ("\u2192", arrows, keycap)],
         "turn left / right"),
        ([("SPACE", bold)], [("A", bold, padcap), ("START", small, padcap)], "start, pause, restart"),
        ([("H", bold)], None, "hide or show the HUD"),
        ([("G", bold)], None, "show or hide the ghost"),
        ([("1", bold)], [("Y", bold, padcap)], "switch the camera"),
        ([("ENTER", bold)], None, "fullscreen on / off"),
        ([("F1", bold)], None, "wireframe view"),
        ([(".", punctuation), (",", punctuation)], None, "volume up / down"),
        ([("F12", bold)], None, "save a screenshot"),
        ([("ESC", bold)], None, "quit the game"),
    ]
    y = 366
    for keys, alt, label in rows:
        x = 1030
        for text, fnt in keys:
            x = keycap(d, x, y, text, fnt)
        if alt:
            d.text((x + 2, y + 10), "or", font=body, fill=(170, 180, 215))
            x += 50
            for text, fnt, cap in alt:
                x = cap(d, x, y, text, fnt)
        d.text((max(x + 14, 1390), y + 9), label, font=body, fill=PALE)
        y += 56
    # The pad's steering, under the keys it stands for.
    x = padcap(d, 1030, y, "LEFT STICK", small)
    d.text((x + 2, y + 10), "or", font=body, fill=(170, 180, 215))
    x = padcap(d, x + 50, y, "D-PAD", small)
    d.text((max(x + 14, 1390), y + 9), "steer with a gamepad", font=body, fill=PALE)

    start = font("DejaVuSerif-Bold.ttf", 56)

    def draw_start(d):
        text_centre(d, 480, 965, "PRESS SPACE TO START", start, CYAN + (255,))

    canvas.alpha_composite(glow_layer(draw_start, 12))


def make_tutorial():
    gen = rng(5001)
    scene = paint_scene(gen)
    canvas = Image.fromarray((scene * 255).round().astype(np.uint8), "RGB").convert("RGBA")
    paint_rings_and_gate(canvas)
    paint_text(canvas)
    return canvas.convert("RGB")


def generate(out):
    path = f"{out}/tutorial/Veltra_TutorialSTART.png"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    make_tutorial().save(path, optimize=True)
