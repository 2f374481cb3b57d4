"""The game's icon: a golden ring in the night sky with the moon behind it
and the flyer's wings passing through, as the start screen shows them.

Writes icons/hicolor/<size>x<size>/apps/veltra.png for 48, 64, 128 and 256
pixels and icons/hicolor/scalable/apps/veltra.svg. Both come from one list
of shapes in a 256-unit square, so the pictures agree at every size.
"""

import os

from PIL import Image, ImageDraw

SIZES = (48, 64, 128, 256)
SKY_TOP = (14, 20, 52)
SKY_BOTTOM = (38, 44, 96)
MOON = (226, 222, 200)
GOLD = (255, 204, 92)
WING = (120, 190, 255)
WING_EDGE = (230, 245, 255)

# Shapes in icon units (0..256).
CORNER = 48
MOON_CENTRE, MOON_RADIUS = (78, 76), 30
RING_BOX = (92, 52, 196, 212)  # an upright ellipse: the ring seen from aside
RING_WIDTH = 18
# The flyer from behind: two swept wings meeting at the body.
WINGS = [(30, 150), (128, 122), (226, 150), (196, 160), (128, 146), (60, 160)]
BODY_BOX = (116, 118, 140, 178)


def svg():
    x0, y0, x1, y1 = RING_BOX
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    rx, ry = (x1 - x0) / 2, (y1 - y0) / 2
    points = " ".join(f"{x},{y}" for x, y in WINGS)
    bx0, by0, bx1, by1 = BODY_BOX
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="rgb{SKY_TOP}"/>
      <stop offset="1" stop-color="rgb{SKY_BOTTOM}"/>
    </linearGradient>
  </defs>
  <rect x="0" y="0" width="256" height="256" rx="{CORNER}" fill="url(#sky)"/>
  <circle cx="{MOON_CENTRE[0]}" cy="{MOON_CENTRE[1]}" r="{MOON_RADIUS}" fill="rgb{MOON}"/>
  <ellipse cx="{cx}" cy="{cy}" rx="{rx - RING_WIDTH / 2}" ry="{ry - RING_WIDTH / 2}" fill="none"
           stroke="rgb{GOLD}" stroke-width="{RING_WIDTH}"/>
  <polygon points="{points}" fill="rgb{WING}" stroke="rgb{WING_EDGE}" stroke-width="4"
           stroke-linejoin="round"/>
  <ellipse cx="{(bx0 + bx1) / 2}" cy="{(by0 + by1) / 2}" rx="{(bx1 - bx0) / 2}" ry="{(by1 - by0) / 2}"
           fill="rgb{WING}" stroke="rgb{WING_EDGE}" stroke-width="3"/>
</svg>
"""


def png(size):
    # Drawn four times larger and scaled down, for smooth edges.
    scale = size * 4 / 256
    big = size * 4

    def at(*values):
        return [v * scale for v in values]

    sky = Image.new("RGB", (big, big))
    for y in range(big):
        t = y / (big - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(SKY_TOP, SKY_BOTTOM))
        sky.paste(colour, (0, y, big, y + 1))
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, big - 1, big - 1), radius=CORNER * scale, fill=255)
    icon = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    icon.paste(sky, (0, 0), mask)

    d = ImageDraw.Draw(icon)
    mx, my = MOON_CENTRE
    d.ellipse(at(mx - MOON_RADIUS, my - MOON_RADIUS, mx + MOON_RADIUS, my + MOON_RADIUS), fill=MOON)
    d.ellipse(at(*RING_BOX), outline=GOLD, width=round(RING_WIDTH * scale))
    d.polygon([tuple(at(x, y)) for x, y in WINGS], fill=WING, outline=WING_EDGE, width=round(4 * scale))
    d.ellipse(at(*BODY_BOX), fill=WING, outline=WING_EDGE, width=round(3 * scale))
    return icon.resize((size, size), Image.LANCZOS)


def generate(out):
    for size in SIZES:
        path = f"{out}/icons/hicolor/{size}x{size}/apps/veltra.png"
        os.makedirs(os.path.dirname(path), exist_ok=True)
        png(size).save(path, optimize=True)
    path = f"{out}/icons/hicolor/scalable/apps/veltra.svg"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(svg())
