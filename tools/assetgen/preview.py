"""Renders a generated .glb with its texture to a PNG, for looking at the
models without the game: `python3 preview.py model.glb texture.png out.png`.

A small z-buffered software rasteriser; it samples the texture the way the
game does (image row = glTF v, counted from the top) and lights with the
scene's moon light.
"""

import json
import struct
import sys

import numpy as np
from PIL import Image

LIGHT = -np.array([0.73, -0.68, 0.04]) / np.linalg.norm([0.73, -0.68, 0.04])


def read_glb(path):
    data = open(path, "rb").read()
    magic, version, total = struct.unpack_from("<4sII", data, 0)
    assert magic == b"glTF" and version == 2 and total == len(data)
    jlen, _ = struct.unpack_from("<I4s", data, 12)
    doc = json.loads(data[20:20 + jlen])
    blen, _ = struct.unpack_from("<I4s", data, 20 + jlen)
    binary = data[28 + jlen:28 + jlen + blen]

    def accessor(k):
        acc = doc["accessors"][k]
        view = doc["bufferViews"][acc["bufferView"]]
        dtype = {5126: "<f4", 5123: "<u2", 5125: "<u4"}[acc["componentType"]]
        width = {"SCALAR": 1, "VEC2": 2, "VEC3": 3}[acc["type"]]
        raw = np.frombuffer(binary, dtype, acc["count"] * width, view["byteOffset"])
        return raw.reshape(acc["count"], width) if width > 1 else raw

    prim = doc["meshes"][0]["primitives"][0]
    att = prim["attributes"]
    return (accessor(att["POSITION"]).astype(float), accessor(att["NORMAL"]).astype(float),
            accessor(att["TEXCOORD_0"]).astype(float),
            accessor(prim["indices"]).astype(np.int64).reshape(-1, 3))


def look_at(eye, target, up=(0.0, 1.0, 0.0)):
    f = np.asarray(target, float) - eye
    f /= np.linalg.norm(f)
    r = np.cross(f, up)
    r /= np.linalg.norm(r)
    u = np.cross(r, f)
    return np.array([r, u, -f]), np.asarray(eye, float)


def render(model, texture, eye, target, size=(480, 360), fov=40.0, cull=True):
    pos, nor, uv, tri = model
    tex = np.asarray(texture.convert("RGB"), float) / 255.0
    th, tw = tex.shape[:2]
    w, h = size
    rot, eye = look_at(np.asarray(eye, float), target)
    cam = (pos - eye) @ rot.T
    focal = 0.5 * h / np.tan(np.radians(fov) / 2)
    depth = -cam[:, 2]
    sx = w / 2 + focal * cam[:, 0] / depth
    sy = h / 2 - focal * cam[:, 1] / depth
    colour = np.tile(np.array([0.03, 0.04, 0.09]), (h, w, 1))
    zbuf = np.full((h, w), np.inf)
    for a, b, c in tri:
        if min(depth[a], depth[b], depth[c]) < 0.05:
            continue
        x = np.array([sx[a], sx[b], sx[c]])
        y = np.array([sy[a], sy[b], sy[c]])
        area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0])
        if abs(area) < 1e-9 or (cull and area > 0):  # screen y points down: CCW shows as area < 0
            continue
        x0, x1 = max(int(np.floor(x.min())), 0), min(int(np.ceil(x.max())), w - 1)
        y0, y1 = max(int(np.floor(y.min())), 0), min(int(np.ceil(y.max())), h - 1)
        if x0 > x1 or y0 > y1:
            continue
        py, px = np.mgrid[y0:y1 + 1, x0:x1 + 1] + 0.5
        w0 = ((x[1] - px) * (y[2] - py) - (x[2] - px) * (y[1] - py)) / area
        w1 = ((x[2] - px) * (y[0] - py) - (x[0] - px) * (y[2] - py)) / area
        w2 = 1 - w0 - w1
        inside = (w0 >= 0) & (w1 >= 0) & (w2 >= 0)
        if not inside.any():
            continue
        inv = np.array([1 / depth[a], 1 / depth[b], 1 / depth[c]])
        iz = w0 * inv[0] + w1 * inv[1] + w2 * inv[2]
        z = 1 / iz
        sub = zbuf[y0:y1 + 1, x0:x1 + 1]
        vis = inside & (z < sub)
        if not vis.any():
            continue
        pw = np.stack([w0 * inv[0], w1 * inv[1], w2 * inv[2]], -1) / iz[..., None]
        tuv = pw @ uv[[a, b, c]]
        n = pw @ nor[[a, b, c]]
        n /= np.linalg.norm(n, axis=-1, keepdims=True)
        tx = np.clip((tuv[..., 0] % 1.0) * tw, 0, tw - 1).astype(int)
        ty = np.clip((tuv[..., 1] % 1.0) * th, 0, th - 1).astype(int)
        base = tex[ty, tx]
        light = 0.1 + 0.7 * np.clip(n @ LIGHT, 0, 1) + 0.25 * np.clip(n[..., 1], 0, 1)
        shaded = base * light[..., None]
        sub[vis] = z[vis]
        colour[y0:y1 + 1, x0:x1 + 1][vis] = shaded[vis]
    return Image.fromarray((np.clip(colour, 0, 1) * 255).astype(np.uint8))


def sheet(model, texture, views, size=(480, 360)):
    tiles = [render(model, texture, eye, target, size) for eye, target in views]
    out = Image.new("RGB", (size[0] * 2, size[1] * ((len(tiles) + 1) // 2)))
    for k, tile in enumerate(tiles):
        out.paste(tile, ((k % 2) * size[0], (k // 2) * size[1]))
    return out


if __name__ == "__main__":
    model = read_glb(sys.argv[1])
    texture = Image.open(sys.argv[2])
    centre = model[0].mean(0)
    extent = np.linalg.norm(model[0].max(0) - model[0].min(0))
    views = [(centre + extent * np.array(d), centre) for d in
             ([0.0, 0.45, 1.3], [1.2, 0.4, -0.6], [0.01, 1.5, 0.2], [-0.9, -0.3, -0.9])]
    sheet(model, texture, views).save(sys.argv[3])
