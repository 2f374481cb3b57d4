"""The four DDS surface textures: grass, water, the flyer and the goal gate.

Grass and water are periodic (built from FFT-shaped noise and whole-number
wave counts), so they tile without seams. The flyer's and the gate's atlases
follow the column layout of models.py.
"""

import numpy as np

import models as M
from common import blur, ramp, rng, save_dds, smoothstep, spectral_noise

SIZE = 512


def _columns(u_range, v_range=(0.0, 1.0)):
    """Pixel slices and local (s, t) coordinates of an atlas region."""
    x0, x1 = int(round(u_range[0] * SIZE)), int(round(u_range[1] * SIZE))
    y0, y1 = int(round(v_range[0] * SIZE)), int(round(v_range[1] * SIZE))
    t, s = np.mgrid[y0:y1, x0:x1].astype(float)
    s = (s + 0.5 - x0) / (x1 - x0)
    t = (t + 0.5 - y0) / (y1 - y0)
    return (slice(y0, y1), slice(x0, x1)), s, t


# ------------------------------------------------------------------ grass


def make_grass():
    gen = rng(1201)
    patches = spectral_noise(gen, SIZE, 2.4, low=1.0)
    medium = spectral_noise(gen, SIZE, 1.8, low=6.0)
    fine = spectral_noise(gen, SIZE, 0.6, low=40.0)
    dry = smoothstep(0.55, 0.8, spectral_noise(gen, SIZE, 2.2, low=2.0))
    # Short strokes of grass: anisotropic noise stretched along one slant.
    blades = spectral_noise(gen, SIZE, 0.3, low=60.0)
    blades = blur(blades, 0.6)
    shade = 0.50 * patches + 0.30 * medium + 0.20 * fine
    base = ramp(shade, [(0.0, (0.08, 0.18, 0.07)), (0.45, (0.17, 0.34, 0.12)),
                        (0.75, (0.26, 0.46, 0.15)), (1.0, (0.36, 0.55, 0.20))])
    straw = ramp(shade, [(0.0, (0.25, 0.25, 0.10)), (1.0, (0.50, 0.48, 0.22))])
    colour = base * (1 - dry[..., None] * 0.4) + straw * (dry[..., None] * 0.4)
    colour *= (0.70 + 0.60 * blades)[..., None]
    return np.clip(colour, 0, 1)


# ------------------------------------------------------------------ water


def make_water():
    gen = rng(1301)
    y, x = np.mgrid[0:SIZE, 0:SIZE] / SIZE * 2 * np.pi
    # Many wave trains with whole wave counts across the tile interfere like
    # a breezy lake surface and still wrap around seamlessly.
    height = np.zeros((SIZE, SIZE))
    slope = np.zeros((SIZE, SIZE))
    for _ in range(40):
        k = gen.uniform(6, 40)
        a = gen.uniform(0, 2 * np.pi)
        kx, ky = int(round(k * np.cos(a))), int(round(k * np.sin(a)))
        amp = 1.0 / np.hypot(kx, ky) ** 0.8
        phase = x * kx + y * ky + gen.random() * 2 * np.pi
        height += amp * np.sin(phase)
        slope += amp * kx * np.cos(phase)
    height = (height - height.min()) / (height.max() - height.min())
    slope = slope / np.abs(slope).max()
    # The sheet repeats the tile many times, so nothing larger than a ripple
    # may stand out: the swell is faint and several to the tile.
    swell = spectral_noise(gen, SIZE, 2.0, low=4.0)
    depth = 0.25 * swell + 0.75 * height
    colour = ramp(depth, [(0.0, (0.03, 0.10, 0.24)), (0.5, (0.06, 0.22, 0.42)),
                          (1.0, (0.12, 0.36, 0.56))])
    # Glints on the slopes that face the moon.
    glint = np.clip(slope, 0, 1) ** 4 * (0.5 + 0.5 * swell)
    colour += glint[..., None] * np.array([0.55, 0.70, 0.85])
    return np.clip(colour, 0, 1)


# ------------------------------------------------------------------ flyer


TEAL = np.array([0.13, 0.50, 0.72])
DEEP = np.array([0.10, 0.22, 0.50])
IVORY = np.array([0.92, 0.88, 0.76])
GOLD = np.array([0.95, 0.72, 0.24])
CYAN = np.array([0.55, 0.95, 1.00])


def _scales(s, t, rows, cols):
    """A pattern of overlapping feather scales (0 at the rim of each, 1 in the middle)."""
    row = t * rows
    offset = (np.floor(row) % 2) * 0.5
    cu = (s * cols + offset) % 1.0 - 0.5
    cv = row % 1.0
    d = np.sqrt(cu ** 2 + (cv * 0.9) ** 2)
    return np.clip(1.0 - d * 1.6, 0, 1)


def make_flyer_texture():
    img = np.zeros((SIZE, SIZE, 3))

    # Body: teal feathered back, ivory belly, a golden line down the spine.
    reg, s, t = _columns(M.BODY_U)
    theta = s * 2 * np.pi
    up = smoothstep(-0.35, 0.35, np.sin(theta))[..., None]
    scale = _scales(s, t, 22, 12)[..., None]
    back = TEAL * (0.65 + 0.5 * scale) + DEEP * 0.2
    belly = IVORY * (0.85 + 0.15 * scale)
    col = back * up + belly * (1 - up)
    spine = np.exp(-((theta - np.pi / 2) / 0.12) ** 2)[..., None]
    img[reg] = col * (1 - spine) + GOLD * spine

    # Head: golden beak, teal crown, ivory throat and two glowing eyes.
    reg, s, t = _columns(M.HEAD_U, M.HEAD_V)
    theta = s * 2 * np.pi
    up = smoothstep(-0.4, 0.4, np.sin(theta))[..., None]
    col = TEAL * 1.1 * up + IVORY * (1 - up)
    beak = smoothstep(0.30, 0.22, t)[..., None]
    col = col * (1 - beak) + GOLD * (0.8 + 0.2 * t[..., None]) * beak
    for centre in (0.055, 0.445):                 # right and left side, a little above the middle
        ds = (s - centre) * 2 * np.pi * 0.135     # arc length around the head
        dt = (t - 0.52) * 0.56                    # length along the head
        d = np.sqrt(ds ** 2 + dt ** 2)
        eye = smoothstep(0.030, 0.022, d)[..., None]
        iris = smoothstep(0.020, 0.010, d)[..., None]
        col = col * (1 - eye) + np.array([0.02, 0.03, 0.06]) * eye
        col = col * (1 - iris) + CYAN * iris
    img[reg] = col
    reg, s, t = _columns(M.HEAD_U, M.HORN_V)
    img[reg] = GOLD * (1.0 - 0.35 * t[..., None]) + np.array([0.05, 0.05, 0.0])
    img[_columns(M.HEAD_U, (M.HEAD_V[1], M.HORN_V[0]))[0]] = GOLD

    # Tail: long feathers with pale shafts and bright tips.
    reg, s, t = _columns(M.TAIL_U)
    across = s * 2 - 1
    feather = np.abs(np.sin(np.pi * 3.5 * across))
    shaft = np.exp(-(np.cos(np.pi * 3.5 * across) / 0.08) ** 2) * smoothstep(0.1, 0.3, t)
    col = DEEP * (1 - t[..., None]) + TEAL * 1.3 * t[..., None]
    col = col * (0.7 + 0.3 * feather[..., None]) + IVORY * 0.5 * shaft[..., None]
    tip = smoothstep(0.78, 0.9, t)[..., None]
    img[reg] = col * (1 - tip) + (CYAN * 0.6 + GOLD * 0.4) * tip

    # Wings: golden leading edge, scaled coverts, long flight feathers growing brighter outwards.
    reg, s, t = _columns(M.WING_U)
    edge = smoothstep(0.09, 0.04, t)[..., None]
    coverts = smoothstep(0.38, 0.30, t)[..., None]
    scale = _scales(s, t, 14, 30)[..., None]
    covert_col = TEAL * (0.6 + 0.5 * scale)
    lines = 18
    f = (s * lines) % 1.0
    vane = np.sin(np.pi * f) ** 0.5
    shaft = np.exp(-((f - 0.5) / 0.05) ** 2) * 0.35
    outward = s[..., None]
    feather_col = (TEAL * (1 - outward) + CYAN * 0.85 * outward) * (0.55 + 0.45 * vane[..., None])
    feather_col += IVORY * shaft[..., None]
    tips = smoothstep(0.82, 0.97, t)[..., None]
    feather_col = feather_col * (1 - tips * 0.5) + IVORY * tips * 0.5
    col = covert_col * coverts + feather_col * (1 - coverts)
    img[reg] = col * (1 - edge) + GOLD * edge
    return np.clip(img, 0, 1)


# ------------------------------------------------------------------ gate


def _marble(gen, shape):
    h, w = shape
    n = spectral_noise(gen, SIZE, 2.0, low=2.0)[:h, :w]
    veins = np.abs(np.sin((np.mgrid[0:h, 0:w][1] / w * 3 + n * 6.0) * np.pi))
    veins = smoothstep(0.0, 0.12, veins)
    base = ramp(n, [(0.0, (0.78, 0.76, 0.72)), (1.0, (0.95, 0.93, 0.88))])
    return base * (0.75 + 0.25 * veins[..., None])


def _greek_key(s, t, period):
    """A meander band: 1 on the line of the pattern, 0 between."""
    u = (s * period) % 1.0
    v = t
    line = np.zeros_like(u)
    line = np.maximum(line, (v < 0.15) | (v > 0.85))
    line = np.maximum(line, ((u < 0.15) & (v < 0.7)) | ((u > 0.55) & (u < 0.7) & (v > 0.3)))
    line = np.maximum(line, (v > 0.55) & (v < 0.7) & (u < 0.55) & (u > 0.3))
    line = np.maximum(line, (v > 0.3) & (v < 0.45) & (u > 0.15) & (u < 0.7))
    return line.astype(float)


def make_gate_texture():
    gen = rng(1401)
    img = np.zeros((SIZE, SIZE, 3))

    reg, s, t = _columns(M.STONE_U, (0.0, 0.7))          # fluted columns
    flutes = 0.85 + 0.15 * np.cos(s * 2 * np.pi * 16)
    img[reg] = _marble(gen, s.shape) * flutes[..., None]
    reg, s, t = _columns(M.STONE_U, (0.7, 0.85))         # capitals: marble with a gold band
    band = (np.abs(t - 0.5) < 0.18)[..., None]
    img[reg] = _marble(gen, s.shape) * (1 - band) + GOLD * band
    reg, s, t = _columns(M.STONE_U, (0.85, 1.0))         # the plinth: dark blocks
    joints = ((s * 8) % 1.0 < 0.03) | ((t * 3) % 1.0 < 0.06)
    stone = _marble(gen, s.shape) * 0.55
    img[reg] = stone * (1 - 0.5 * joints[..., None])

    reg, s, t = _columns(M.GOLD_U, (0.0, 0.7))           # the arch: gold with a glowing meander
    sheen = 0.75 + 0.25 * np.cos(s * 2 * np.pi)
    gold = GOLD * sheen[..., None]
    # Two bands of meander, one on the front face of the arch and one on the back.
    across = (s * 2) % 1.0
    key = _greek_key(t, (across - 0.3) / 0.4, 18) * (np.abs(across - 0.5) < 0.2)
    img[reg] = gold * (1 - key[..., None]) + CYAN * key[..., None]
    reg, s, t = _columns(M.GOLD_U, (0.7, 1.0))           # the beacon crystal
    img[reg] = np.array([0.85, 0.97, 1.0]) * (0.85 + 0.15 * t[..., None])

    reg, s, t = _columns(M.PORTAL_U)                     # the portal's swirling light
    x = (s * 2 - 1) * M.PORTAL_HALF_WIDTH
    top = M.ARCH_Y + np.sqrt(np.clip(M.PORTAL_HALF_WIDTH ** 2 - x ** 2, 0, None))
    y = top - t * (top - M.PORTAL_BOTTOM)
    cy = (M.ARCH_Y + M.PORTAL_BOTTOM) / 2 + 0.15
    dx, dy = x, y - cy
    r = np.hypot(dx, dy)
    angle = np.arctan2(dy, dx)
    spiral = 0.5 + 0.5 * np.sin(angle * 3 + r * 18.0)
    glow = np.exp(-(r / 0.35) ** 2)
    col = ramp(spiral * 0.6 + glow * 0.4,
               [(0.0, (0.10, 0.04, 0.30)), (0.5, (0.25, 0.20, 0.75)), (1.0, (0.70, 0.95, 1.0))])
    img[reg] = col * (0.55 + 0.45 * glow[..., None]) + CYAN * 0.4 * glow[..., None] ** 3
    return np.clip(img, 0, 1)


def generate(out):
    save_dds(make_grass(), f"{out}/textures/Grass_Ground.dds")
    save_dds(make_water(), f"{out}/textures/water.dds")
    save_dds(make_flyer_texture(), f"{out}/textures/radiva_texture.dds")
    save_dds(make_gate_texture(), f"{out}/textures/goal_texture.dds")
