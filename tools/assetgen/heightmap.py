"""The terrain's height map: rolling hills, a few ridges, mountains at the rim
and a low valley holding a lake under the rings and the goal.

The terrain mesh spans -500..500 in x and z and is drawn at scale 1.5 around
(0, -25, -400); a pixel p gives the local height p / 255 * 100, so the world
height is -25 + 1.5 * p / 255 * 100 and the water plane y = -16 lies at p ~ 15.3.
"""

import numpy as np

from common import normalise, rng, save_png, smoothstep, spectral_noise

SIZE = 257
TERRAIN_SIZE = 1000.0
ORIGIN = np.array([0.0, -25.0, -400.0])
SCALE = 1.5
HEIGHT_SCALE = 100.0
WATER_Y = -16.0

# World boxes the play happens in.
RING_BOX_X = (-170.0, -30.0)
RING_BOX_Z = (-500.0, -200.0)
GOAL = (-100.0, -450.0)
START = (-100.0, -200.0)


def world_to_pixel(x, z):
    """Column and row (fractional) of the height-map pixel under world (x, z)."""
    step = TERRAIN_SIZE / (SIZE - 1)
    lx = (x - ORIGIN[0]) / SCALE
    lz = (z - ORIGIN[2]) / SCALE
    return (lx + TERRAIN_SIZE / 2) / step, (lz + TERRAIN_SIZE / 2) / step


def pixel_to_world_y(p):
    return ORIGIN[1] + SCALE * p / 255.0 * HEIGHT_SCALE


def water_pixel():
    return (WATER_Y - ORIGIN[1]) / (SCALE * HEIGHT_SCALE) * 255.0


def _segment_distance(cols, rows, points):
    """Distance to a polyline given as [(c, r), ...]."""
    best = np.full(cols.shape, np.inf)
    for (ca, ra), (cb, rb) in zip(points[:-1], points[1:]):
        vc, vr = cb - ca, rb - ra
        t = np.clip(((cols - ca) * vc + (rows - ra) * vr) / (vc * vc + vr * vr), 0.0, 1.0)
        best = np.minimum(best, np.hypot(cols - (ca + t * vc), rows - (ra + t * vr)))
    return best


def make_heightmap():
    gen = rng(3101)
    rows, cols = np.mgrid[0:SIZE, 0:SIZE].astype(float)

    # Rolling hills: broad fractal relief with some medium detail.
    hills = smoothstep(0.2, 0.85, spectral_noise(gen, 512, 2.2, low=2.0)[:SIZE, :SIZE])
    detail = spectral_noise(gen, 512, 1.7, low=10.0)[:SIZE, :SIZE]
    hills = hills * 0.8 + detail * 0.2

    # Ridges: the folded crest lines of a band-limited noise, only in places.
    band = normalise(spectral_noise(gen, 512, 1.0, low=4.0, high=10.0)[:SIZE, :SIZE])
    ridge = (1.0 - np.abs(band * 2.0 - 1.0)) ** 3
    ridge_mask = smoothstep(0.35, 0.65, spectral_noise(gen, 512, 2.5, low=1.0)[:SIZE, :SIZE])

    # Mountains towards the rim hide the edge of the world.
    centre = (SIZE - 1) / 2.0
    radial = np.hypot(cols - centre, rows - centre) / centre
    rim = smoothstep(0.6, 1.1, radial)

    land = 0.12 + 0.38 * hills + 0.40 * ridge * ridge_mask + 0.35 * rim * (0.5 + 0.5 * hills)

    # The valley: the rings' box and the goal, with a winding river valley
    # that leaves it towards the start side and out to the plains.
    c0, r0 = world_to_pixel(RING_BOX_X[0], RING_BOX_Z[0])
    c1, r1 = world_to_pixel(RING_BOX_X[1], RING_BOX_Z[1])
    gc, gr = world_to_pixel(*GOAL)
    sc, sr = world_to_pixel(*START)
    mid = (c0 + c1) / 2.0
    half_width = (c1 - c0) / 2.0
    lake = _segment_distance(cols, rows, [(mid - 3, r0 - 2), (mid + 2, r1 - 6)]) - (half_width + 7)
    goal = np.hypot(cols - gc, rows - gr) - 16.0
    bend = [(sc + 2, r1)]
    for k in range(1, 9):
        t = k / 8.0
        bend.append((sc + 2 + 9 * np.sin(t * 7.0) + 36 * t * t, r1 + t * (SIZE - 1 - r1)))
    river = _segment_distance(cols, rows, bend) - (3.0 + 2.0 * (rows - r1).clip(0) / 90)
    signed = np.minimum(np.minimum(lake, goal), river)
    # Uneven banks: the shore line wanders by a few pixels.
    wobble = spectral_noise(gen, 512, 1.8, low=3.0)[:SIZE, :SIZE]
    dist = np.maximum(signed + (wobble - 0.5) * 12.0, 0.0)

    water = water_pixel() / 255.0
    floor = water * (0.35 + 0.5 * detail)            # lake bed, below the water
    shore = smoothstep(0.0, 9.0, dist)
    slope = smoothstep(3.0, 32.0, dist)
    banks = floor + (water * 1.6 - floor) * shore    # shallow beaches just above the water
    height = banks + (land - banks) * slope ** 1.3
    return np.clip(height, 0.0, 1.0)


def generate(out):
    height = make_heightmap()
    save_png(height, f"{out}/textures/Heightmaps/Heightmap3.png", "L")
    return height
