"""The night sky cube map: stars, a faint galaxy band, a moon and a dark
horizon glow, evaluated as a function of direction so the six faces meet
without seams.

Faces follow the GL cube-map conventions with image row 0 at t = 0 (the
game uploads the top row first): for face coordinates a, b in [-1, 1]
(a across, b down the image) the directions are
  +X (1, -b, -a)   -X (-1, -b, a)   +Y (a, 1, b)
  -Y (a, -1, -b)   +Z (a, -b, 1)    -Z (-a, -b, -1)
"""

import numpy as np

from common import fbm3, rng, save_jpeg, smoothstep

FACE_SIZE = 1024
FACES = ["px", "nx", "py", "ny", "pz", "nz"]

# The moon stands where the scene's directional light comes from.
MOON_DIR = -np.array([0.73, -0.68, 0.04]) / np.linalg.norm([0.73, -0.68, 0.04])
MOON_RADIUS = np.radians(2.6)
GALAXY_POLE = np.array([0.35, 0.55, 0.76]) / np.linalg.norm([0.35, 0.55, 0.76])


def face_directions(face, a, b):
    one = np.ones_like(a)
    x, y, z = {
        "px": (one, -b, -a), "nx": (-one, -b, a),
        "py": (a, one, b), "ny": (a, -one, -b),
        "pz": (a, -b, one), "nz": (-a, -b, -one),
    }[face]
    d = np.stack([x, y, z], axis=-1)
    return d / np.linalg.norm(d, axis=-1, keepdims=True)


def direction_to_face(face, d):
    """Inverse of face_directions: (a, b) of directions d on the given face's plane."""
    x, y, z = d[..., 0], d[..., 1], d[..., 2]
    axis = {"px": x, "nx": -x, "py": y, "ny": -y, "pz": z, "nz": -z}[face]
    with np.errstate(divide="ignore", invalid="ignore"):
        x, y, z = x / axis, y / axis, z / axis
    a, b = {
        "px": (-z, -y), "nx": (z, -y), "py": (x, z),
        "ny": (x, -z), "pz": (x, -y), "nz": (-x, -y),
    }[face]
    return a, b, axis


def pixel_grid(n):
    centres = (np.arange(n) + 0.5) / n * 2.0 - 1.0
    b, a = np.meshgrid(centres, centres, indexing="ij")
    return a, b


def make_stars(gen, count):
    d = gen.standard_normal((count, 3))
    d /= np.linalg.norm(d, axis=1, keepdims=True)
    # Many faint stars, a few bright ones: a steep power law.
    brightness = 0.04 + 0.96 * gen.random(count) ** 9.0
    # More stars near the galaxy band.
    near_band = np.abs(d @ GALAXY_POLE) < 0.25
    keep = near_band | (gen.random(count) < 0.55)
    temp = gen.random(count)
    tint = np.stack([0.8 + 0.25 * temp, 0.85 + 0.1 * np.ones(count), 1.05 - 0.25 * temp], 1)
    return d[keep], brightness[keep], tint[keep]


def splat_stars(face, img, stars, n, spread=1.0, reach=3):
    """Adds each star as a tiny angular Gaussian, evaluated per pixel direction."""
    dirs, bright, tint = stars
    a, b, axis = direction_to_face(face, dirs)
    margin = 2.0 * (reach + 1) / n
    on = (axis > 0.3) & (np.abs(a) <= 1 + margin) & (np.abs(b) <= 1 + margin)
    dirs, bright, tint = dirs[on], bright[on], tint[on]
    col = np.floor((a[on] + 1) * 0.5 * n).astype(int)
    row = np.floor((b[on] + 1) * 0.5 * n).astype(int)
    sigma = spread / n * (0.8 + 0.9 * bright)       # bright stars look a little larger
    for dr in range(-reach, reach + 1):
        for dc in range(-reach, reach + 1):
            r, c = row + dr, col + dc
            inside = (r >= 0) & (r < n) & (c >= 0) & (c < n)
            r, c = r[inside], c[inside]
            pa = (c + 0.5) / n * 2 - 1
            pb = (r + 0.5) / n * 2 - 1
            pd = face_directions(face, pa, pb)
            cosang = np.clip(np.sum(pd * dirs[inside], axis=1), -1, 1)
            ang = np.arccos(cosang)
            w = bright[inside] * np.exp(-(ang / sigma[inside]) ** 2)
            for ch in range(3):
                np.add.at(img[..., ch], (r, c), w * tint[inside, ch])


def sky_colour(d):
    y = d[..., 1]
    # Deep blue-black overhead, a faint teal-violet glow at the horizon.
    zenith = np.array([0.012, 0.017, 0.050])
    horizon = np.array([0.065, 0.085, 0.165])
    below = np.array([0.018, 0.022, 0.045])
    up = smoothstep(-0.05, 0.6, y)[..., None]
    col = horizon * (1 - up) + zenith * up
    down = smoothstep(0.0, -0.25, y)[..., None]
    return col * (1 - down) + below * down


def galaxy(d, seed):
    dist = np.abs(d @ GALAXY_POLE)
    core = np.exp(-(dist / 0.16) ** 2)
    clouds = fbm3(d * 3.0 + 11.0, seed, octaves=6)
    dust = fbm3(d * 7.0 - 5.0, seed + 7, octaves=4)
    band = core * smoothstep(0.35, 0.8, clouds) * (1.0 - 0.7 * smoothstep(0.5, 0.75, dust))
    colour = np.array([0.55, 0.52, 0.70])
    return band[..., None] * colour * 0.22


def moon(d):
    cosang = np.clip(d @ MOON_DIR, -1, 1)
    ang = np.arccos(cosang)
    # Local coordinates on the disc for the maria pattern.
    tangent_u = np.cross(MOON_DIR, [0.0, 1.0, 0.0])
    tangent_u /= np.linalg.norm(tangent_u)
    tangent_v = np.cross(tangent_u, MOON_DIR)
    u = (d @ tangent_u) / np.sin(MOON_RADIUS)
    v = (d @ tangent_v) / np.sin(MOON_RADIUS)
    r2 = np.clip(u * u + v * v, 0, 1)
    limb = np.sqrt(1.0 - r2)
    surface = np.stack([u, v, limb], -1) * 3.0
    maria = fbm3(surface + 3.0, 77, octaves=5)
    craters = fbm3(surface * 4.0, 91, octaves=3)
    albedo = 0.80 - 0.22 * smoothstep(0.42, 0.68, maria) + 0.10 * (craters - 0.5)
    disc = smoothstep(MOON_RADIUS * 1.01, MOON_RADIUS * 0.99, ang)
    shade = (0.55 + 0.45 * limb) * albedo
    moon_col = np.array([1.0, 0.97, 0.88])[None] * (disc * shade)[..., None] * 1.25
    halo = (0.30 * np.exp(-(ang / (MOON_RADIUS * 2.2)) ** 2) + 0.10 * np.exp(-ang / 0.25))
    halo_col = np.array([0.55, 0.62, 0.80]) * halo[..., None] * (1 - disc[..., None])
    return moon_col + halo_col, disc


def render_face(face, stars, n):
    a, b = pixel_grid(n)
    d = face_directions(face, a, b)
    below = smoothstep(-0.08, 0.1, d[..., 1])[..., None]
    img = sky_colour(d) + galaxy(d, 5) * below
    star_layer = np.zeros((n, n, 3))
    splat_stars(face, star_layer, stars, n)
    # A soft glow around the brightest stars.
    bright = stars[1] > 0.45
    glow = (stars[0][bright], stars[1][bright] * 0.12, stars[2][bright])
    splat_stars(face, star_layer, glow, n, spread=4.0, reach=9)
    # Stars fade into the horizon haze and vanish below it.
    fade = smoothstep(-0.08, 0.15, d[..., 1])[..., None]
    moon_col, disc = moon(d)
    img = img + star_layer * fade * (1 - disc[..., None]) + moon_col
    return np.clip(img, 0, 1)


def generate(out):
    gen = rng(2024)
    stars = make_stars(gen, 24000)
    for face in FACES:
        img = render_face(face, stars, FACE_SIZE)
        save_jpeg(img, f"{out}/textures/Nightsky/{face}.jpg", quality=90)
