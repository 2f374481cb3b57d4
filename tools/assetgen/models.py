"""The two imported models: the player's winged flyer and the goal gate.

Each file holds one mesh with one primitive, because the game takes only the
first mesh of each model. The flyer faces -z with +y up; the gate stands on
y = 0 and faces +z, the side the player arrives from.

Texture regions are full-height columns of the atlas (image space, x across,
y down), so each part keeps to its own strip of the texture.
"""

import os

import numpy as np

from mesh import Mesh, add_box, add_surface, write_glb

# Player atlas columns (x0, x1); t runs down the column.
BODY_U = (0.0, 0.25)
HEAD_U = (0.25, 0.375)
TAIL_U = (0.375, 0.5)
WING_U = (0.5, 1.0)
HORN_V = (0.8, 1.0)         # the horns use the bottom of the head column
HEAD_V = (0.0, 0.75)

# Goal atlas columns.
STONE_U = (0.0, 0.5)
GOLD_U = (0.5, 0.75)
PORTAL_U = (0.75, 1.0)
GATE_SCALE = 0.88
ARCH_Y = 1.18               # centre of the arch's half circle
PORTAL_HALF_WIDTH = 0.47
PORTAL_BOTTOM = 0.17
# The scene's directional light shines along (0.73, -0.68, 0.04).
TOWARDS_MOON = -np.array([0.73, -0.68, 0.04]) / np.linalg.norm([0.73, -0.68, 0.04])


# ------------------------------------------------------------------ flyer


def body_surface(s, t):
    """Around (s) and along (t, chest to tail) the body."""
    theta = s * 2 * np.pi
    z = -0.60 + t * 1.12
    # Full chest, slim tail end.
    prof = np.sin(np.pi * np.clip(t, 0, 1)) ** 0.5 * (1.0 - 0.4 * t)
    rx, ry = 0.20 * prof, 0.17 * prof
    y = 0.02 - 0.04 * t + ry * np.sin(theta)
    return np.stack([rx * np.cos(theta), y, z], -1)


def head_surface(s, t):
    """A pointed head: t runs from the beak tip back to the nape."""
    theta = s * 2 * np.pi
    z = -0.92 + t * 0.56
    prof = np.clip(t, 0, 1) ** 0.5 * np.clip(1.0 - t, 0, 1) ** 0.4 * 1.5
    prof = np.minimum(prof, 1.0)
    rx, ry = 0.135 * prof, 0.125 * prof
    y = 0.12 - 0.06 * (1 - t) ** 2 + ry * np.sin(theta)
    return np.stack([rx * np.cos(theta), y, z], -1)


def horn_surface(side):
    base = np.array([0.055 * side, 0.20, -0.62])
    tip = np.array([0.13 * side, 0.33, -0.30])
    axis = tip - base
    u = np.cross(axis, [0.0, 1.0, 0.0])
    u /= np.linalg.norm(u)
    v = np.cross(u, axis / np.linalg.norm(axis))

    def fn(s, t):
        theta = s * 2 * np.pi
        r = 0.035 * (1 - t) ** 1.2
        bend = np.array([0, 0.04, 0]) * np.sin(np.pi * t)[..., None]
        return (base + axis * t[..., None] + bend
                + r[..., None] * (np.cos(theta)[..., None] * u + np.sin(theta)[..., None] * v))
    return fn, base + axis * 0.3


def wing_planform(s, t):
    """Right wing: s along the span (root to tip), t across the chord (front to back)."""
    x = 0.10 + 0.92 * s
    lead = -0.20 + 0.30 * s ** 2
    chord = 0.58 * np.sqrt(np.clip(1 - s ** 3, 0, 1)) + 0.05
    # Long flight feathers make a scalloped trailing edge.
    feathers = 0.07 * np.abs(np.sin(np.pi * 6 * s)) * np.clip(s * 2.5, 0, 1)
    z = lead + t * (chord + feathers)
    y = 0.04 + 0.20 * s ** 1.6 + 0.035 * np.sin(np.pi * t) * (1 - s)
    return x, y, z


def wing_thickness(s, t):
    return 0.045 * (1 - 0.75 * s) * np.sin(np.pi * t) ** 0.6 * np.sqrt(np.clip(1 - s ** 6, 0, 1))


def add_wing(mesh):
    def top(s, t):
        x, y, z = wing_planform(s, t)
        return np.stack([x, y + wing_thickness(s, t) * 0.5, z], -1)

    def bottom(s, t):
        x, y, z = wing_planform(s, t)
        return np.stack([x, y - wing_thickness(s, t) * 0.5, z], -1)

    rect = (WING_U[0], 0.0, WING_U[1], 1.0)
    add_surface(mesh, top, 48, 12, rect, inside=(0.5, -5.0, 0.0))
    add_surface(mesh, bottom, 48, 12, rect, inside=(0.5, 5.0, 0.0))


def tail_surface(sign):
    def fn(s, t):
        across = s * 2 - 1                                  # -1 .. 1
        width = 0.05 + 0.30 * t ** 1.2
        length = 0.55 + 0.10 * np.abs(across) ** 2          # forked: outer feathers longer
        length = length + 0.035 * np.abs(np.sin(np.pi * 3.5 * across)) * t
        x = across * width
        z = 0.40 + t * length
        thick = 0.028 * np.sqrt(np.clip(1 - across ** 2, 0, 1)) * np.sqrt(np.clip(1 - t ** 6, 0, 1))
        y = -0.02 + 0.04 * t + sign * thick
        return np.stack([x, y, z], -1)
    return fn


def make_flyer():
    mesh = Mesh()
    add_surface(mesh, body_surface, 32, 28, (BODY_U[0], 0.0, BODY_U[1], 1.0),
                inside=(0.0, 0.0, 0.0))
    add_surface(mesh, head_surface, 24, 20, (HEAD_U[0], HEAD_V[0], HEAD_U[1], HEAD_V[1]),
                inside=(0.0, 0.12, -0.65))
    for side in (1, -1):
        fn, inside = horn_surface(side)
        add_surface(mesh, fn, 10, 8, (HEAD_U[0], HORN_V[0], HEAD_U[1], HORN_V[1]), inside=inside)
    wing = Mesh()
    add_wing(wing)
    mesh.extend(wing)
    mesh.extend(wing.transformed(np.diag([-1.0, 1.0, 1.0, 1.0])))
    tail_rect = (TAIL_U[0], 0.0, TAIL_U[1], 1.0)
    add_surface(mesh, tail_surface(1), 16, 14, tail_rect, inside=(0.0, -5.0, 0.7))
    add_surface(mesh, tail_surface(-1), 16, 14, tail_rect, inside=(0.0, 5.0, 0.7))
    return mesh


# ------------------------------------------------------------------ goal


def column_surface(cx, y0, y1, radius):
    def fn(s, t):
        theta = s * 2 * np.pi
        y = y0 + t * (y1 - y0)
        flutes = 1.0 + 0.06 * np.cos(theta * 16)
        taper = 1.0 - 0.12 * t                              # columns narrow towards the top
        r = radius * flutes * taper
        return np.stack([cx + r * np.cos(theta), y, r * np.sin(theta)], -1)
    return fn


def arch_surface(cy, major, minor):
    def fn(s, t):
        phi = t * np.pi                                     # right foot over the top to the left
        theta = s * 2 * np.pi
        ring = major + minor * np.cos(theta)
        return np.stack([ring * np.cos(phi), cy + ring * np.sin(phi), minor * np.sin(theta)], -1)
    return fn


def portal_surface(cy, half_width, bottom, z):
    def fn(s, t):
        x = (s * 2 - 1) * half_width
        top = cy + np.sqrt(np.clip(half_width ** 2 - x ** 2, 0, None))
        y = top - t * (top - bottom)
        return np.stack([x, y, np.full_like(x, z)], -1)
    return fn


def crystal(mesh, centre, radius, height):
    """An eight-sided beacon crystal with flat facets."""
    cx, cy, cz = centre
    ring = [(cx + radius * np.cos(a), cy, cz + radius * np.sin(a))
            for a in np.linspace(0, 2 * np.pi, 9)[:-1]]
    apexes = [(cx, cy + height, cz), (cx, cy - height * 0.6, cz)]
    for k in range(8):
        a, b = np.array(ring[k]), np.array(ring[(k + 1) % 8])
        for apex in apexes:
            p = np.array([a, b, apex])
            n = np.cross(p[1] - p[0], p[2] - p[0])
            if np.dot(n, p.mean(0) - np.asarray(centre)) < 0:
                p = p[[0, 2, 1]]
                n = -n
            n /= np.linalg.norm(n)
            gx = GOLD_U[0] + (GOLD_U[1] - GOLD_U[0]) * np.array([0.2, 0.8, 0.5])
            uv = np.stack([gx, [0.9, 0.9, 0.75]], -1)
            mesh.add(p, np.tile(n, (3, 1)), uv, [(0, 1, 2)])


def make_gate():
    mesh = Mesh()
    stone = lambda y0, y1: (STONE_U[0], y0, STONE_U[1], y1)  # noqa: E731
    add_box(mesh, (-0.78, 0.0, -0.32), (0.78, 0.10, 0.32), stone(0.85, 1.0))
    add_box(mesh, (-0.66, 0.10, -0.24), (0.66, 0.17, 0.24), stone(0.85, 1.0))
    for cx in (-0.55, 0.55):
        add_box(mesh, (cx - 0.13, 0.17, -0.13), (cx + 0.13, 0.23, 0.13), stone(0.75, 0.85))
        add_surface(mesh, column_surface(cx, 0.23, 1.10, 0.095), 48, 6, stone(0.0, 0.7),
                    inside=(cx, 0.6, 0.0))
        add_box(mesh, (cx - 0.14, 1.10, -0.14), (cx + 0.14, 1.18, 0.14), stone(0.75, 0.85))
    add_surface(mesh, arch_surface(ARCH_Y, 0.55, 0.085), 12, 40,
                (GOLD_U[0], 0.0, GOLD_U[1], 0.7), inside=(0.0, ARCH_Y, 0.0))
    # The portal's light should not depend on where the moon stands: both of its
    # faces carry normals that point at the moon light, so the lit shader shows
    # the swirl at full strength from any side.
    portal = Mesh()
    for z in (0.012, -0.012):
        inside = (0.0, 0.7, -5.0 if z > 0 else 5.0)
        add_surface(portal, portal_surface(ARCH_Y, PORTAL_HALF_WIDTH, PORTAL_BOTTOM, z), 24, 24,
                    (PORTAL_U[0], 0.0, PORTAL_U[1], 1.0), inside=inside)
    portal.normals = [np.tile(TOWARDS_MOON, (len(n), 1)) for n in portal.normals]
    mesh.extend(portal)
    crystal(mesh, (0.0, 1.98, 0.0), 0.12, 0.22)
    # About two units tall: the level draws the gate seven times larger.
    return mesh.transformed(np.diag([GATE_SCALE, GATE_SCALE, GATE_SCALE, 1.0]))


def generate(out):
    os.makedirs(f"{out}/models", exist_ok=True)
    write_glb(make_flyer(), f"{out}/models/radiva_textured_mesh.glb", "Radiva")
    write_glb(make_gate(), f"{out}/models/smaller_goal_textured_mesh.glb", "Goal")
