"""The terrain's height map: rolling hills, a few ridges, mountains at the rim
and a low valley holding a lake under the rings and the goal.

The terrain mesh spans -500..500 in x and z and is drawn at scale 1.5 around
(0, -25, -400); a pixel p gives the local height p / 255 * 100, so the world
height is -25 + 1.5 * p / 255 * 100 and the water plane y = -16 lies at p ~ 15.3.

The landscape is shaped on a 257 x 257 grid and every second pixel of it is
saved: 129 x 129 pixels, a vertex every 11.7 world units. Far away, finer
triangles cover less than a pixel each, and a software rasterizer shades a
whole block of pixels for every one of them.
"""

import numpy as np

from common import normalise, rng, save_png, smoothstep, spectral_noise

SIZE = 257    # the grid the landscape is shaped on
STRIDE = 2    # every second pixel of it is saved
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
# Pools of the lake (world x, z, radius): together they cover the rings' box
# and the goal, and their west shores stay inside the water sheet.
POOLS = [(-95.0, -490.0, 88.0), (-90.0, -425.0, 86.0), (-86.0, -355.0, 92.0),
         (-94.0, -285.0, 86.0), (-84.0, -222.0, 90.0), (-55.0, -170.0, 60.0),
         (-15.0, -465.0, 72.0), (0.0, -370.0, 64.0), (-25.0, -280.0, 70.0)]
# The water sheet: a 1000 x 1000 grid centred on (300, -16, -500).
WATER_X = (-200.0, 800.0)
WATER_Z = (-1000.0, 0.0)


def pixel_to_world(c, r):
    step = TERRAIN_SIZE / (SIZE - 1)
    return (ORIGIN[0] + SCALE * (c * step - TERRAIN_SIZE / 2),
            ORIGIN[2] + SCALE * (r * step - TERRAIN_SIZE / 2))


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

    land = 0.14 + 0.50 * hills + 0.40 * ridge * ridge_mask + 0.35 * rim * (0.5 + 0.5 * hills)

    # The valley holds a lake over the rings' box and the goal, drawn as a chain
    # of overlapping pools so its shores curve; a river leaves it towards the
    # start side and runs dry before the water sheet ends.
    wx, wz = pixel_to_world(cols, rows)
    step = SCALE * TERRAIN_SIZE / (SIZE - 1)                 # world units per pixel
    lake = np.full(cols.shape, np.inf)
    for x, z, r in POOLS:
        lake = np.minimum(lake, (np.hypot(wx - x, wz - z) - r) / step)
    sc, _ = world_to_pixel(*START)
    _, r1 = world_to_pixel(RING_BOX_X[1], RING_BOX_Z[1])
    bend = [world_to_pixel(-70.0, -175.0)]
    for k in range(1, 9):
        t = k / 8.0
        bend.append((sc + 6 + 9 * np.sin(t * 7.0) + 36 * t * t, r1 + 6 + t * (SIZE - 7 - r1)))
    river = _segment_distance(cols, rows, bend) - (3.0 + 2.0 * (rows - r1).clip(0) / 90)
    signed = np.minimum(lake, river)
    # Uneven banks; the west shore wanders least, as the water sheet ends there.
    wobble = spectral_noise(gen, 512, 1.8, low=3.0)[:SIZE, :SIZE]
    reach = 2.0 + 10.0 * smoothstep(-185.0, -110.0, wx)
    dist = np.maximum(signed + (wobble - 0.5) * reach, 0.0)

    water = water_pixel() / 255.0
    floor = water * (0.35 + 0.5 * detail)                    # lake bed, below the water
    floor = floor + water * 1.1 * smoothstep(-110.0, -15.0, wz)  # the river runs dry
    shore = smoothstep(0.0, 4.0, dist)
    slope = smoothstep(2.0, 26.0, dist)
    banks = floor + (water * 1.6 - floor) * shore            # beaches just above the water
    height = banks + (land - banks) * slope ** 1.3

    # Where the water sheet ends the ground must stand above its level, or a
    # dry hollow would show there; the pools are placed so this rarely bites.
    outside = np.maximum.reduce([WATER_X[0] - wx, wx - WATER_X[1], WATER_Z[0] - wz, wz - WATER_Z[1]])
    height = np.maximum(height, smoothstep(-6.0, 0.0, outside) * water * 1.3)
    return np.clip(height, 0.0, 1.0)


def generate(out):
    height = make_heightmap()[::STRIDE, ::STRIDE]
    save_png(height, f"{out}/textures/Heightmaps/Heightmap3.png", "L")
    return height
