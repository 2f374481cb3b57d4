"""The HUD's font sheet: 8 x 8 cells of 64 pixels, ASCII 32 to 95 in reading
order (cell row r, column c holds the character 32 + 8r + c), pale gold
glyphs with a dark blue outline on a transparent background.
"""

import os

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from common import FONT_DIR

CELL = 64
GRID = 8
FIRST = 32
FONT_FILE = "DejaVuSerif-Bold.ttf"
OUTLINE = 4


def glyph_mask(font, ch, baseline):
    """The glyph's coverage in one cell, centred across, on a shared baseline."""
    mask = Image.new("L", (CELL, CELL), 0)
    draw = ImageDraw.Draw(mask)
    left, _, right, _ = draw.textbbox((0, 0), ch, font=font, anchor="ls")
    x = (CELL - (right - left)) / 2 - left
    draw.text((x, baseline), ch, fill=255, font=font, anchor="ls")
    return mask


def make_sheet():
    font = ImageFont.truetype(os.path.join(FONT_DIR, FONT_FILE), 42)
    # Capitals and digits sit centred in the cell; descenders still fit below.
    cap_top = font.getbbox("H", anchor="ls")[1]
    baseline = CELL // 2 + (-cap_top) // 2
    sheet = np.zeros((CELL * GRID, CELL * GRID, 4))
    rows = np.arange(CELL)[:, None] / CELL
    fill = np.array([1.0, 0.96, 0.80]) * (1 - rows * 0.6)[..., None] \
        + np.array([0.98, 0.78, 0.38]) * (rows * 0.6)[..., None]
    edge = np.array([0.04, 0.05, 0.14])
    for code in range(FIRST, FIRST + GRID * GRID):
        r, c = divmod(code - FIRST, GRID)
        mask = glyph_mask(font, chr(code), baseline)
        outline = mask.filter(ImageFilter.MaxFilter(2 * OUTLINE + 1)).filter(
            ImageFilter.GaussianBlur(0.6))
        g = np.asarray(mask, float)[..., None] / 255.0
        o = np.asarray(outline, float)[..., None] / 255.0
        rgb = fill * g + edge * (1 - g)
        alpha = np.maximum(g, np.minimum(o * 1.2, 1.0))
        sheet[r * CELL:(r + 1) * CELL, c * CELL:(c + 1) * CELL, :3] = rgb
        sheet[r * CELL:(r + 1) * CELL, c * CELL:(c + 1) * CELL, 3:] = alpha
    # Fully transparent texels keep a dark colour so filtering never bleeds light.
    sheet[..., :3] *= (sheet[..., 3:] > 0)
    return sheet


def generate(out):
    path = f"{out}/textures/fonts/greek_outlined.tga"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    pixels = np.clip(np.round(make_sheet() * 255), 0, 255).astype(np.uint8)
    # Run-length encoded: the transparent cells shrink to almost nothing.
    Image.fromarray(pixels, "RGBA").save(path, compression="tga_rle")
