"""Triangle-mesh building blocks and a glTF 2.0 binary (.glb) writer.

Texture coordinates are given in image space (x right, y down from the top
row, both 0..1), which is glTF's own convention. The game's importer turns
glTF's v upwards and then, asked to flip, back again, and it uploads DDS
rows top first, so the GPU samples image row y for a glTF v of y.
"""

import json
import struct

import numpy as np


class Mesh:
    def __init__(self):
        self.positions = []
        self.normals = []
        self.uvs = []
        self.indices = []

    def add(self, positions, normals, uvs, triangles):
        self.positions.append(np.asarray(positions, float).reshape(-1, 3))
        self.normals.append(np.asarray(normals, float).reshape(-1, 3))
        self.uvs.append(np.asarray(uvs, float).reshape(-1, 2))
        self.indices.append(np.asarray(triangles, np.int64).reshape(-1, 3))

    def arrays(self):
        offsets = np.cumsum([0] + [len(p) for p in self.positions])
        indices = [tri + off for tri, off in zip(self.indices, offsets)]
        return (np.concatenate(self.positions), np.concatenate(self.normals),
                np.concatenate(self.uvs), np.concatenate(indices))

    def transformed(self, matrix):
        """A copy with every point mapped by a 4x4 matrix (normals by its inverse transpose)."""
        out = Mesh()
        normal_matrix = np.linalg.inv(matrix[:3, :3]).T
        mirror = np.linalg.det(matrix[:3, :3]) < 0
        for p, n, uv, tri in zip(self.positions, self.normals, self.uvs, self.indices):
            q = p @ matrix[:3, :3].T + matrix[:3, 3]
            m = n @ normal_matrix.T
            m /= np.maximum(np.linalg.norm(m, axis=1, keepdims=True), 1e-12)
            # A reflection turns the winding inside out.
            out.add(q, m, uv, tri[:, [0, 2, 1]] if mirror else tri)
        return out

    def extend(self, other):
        for p, n, uv, tri in zip(other.positions, other.normals, other.uvs, other.indices):
            self.add(p, n, uv, tri)


def grid_triangles(nu, nv):
    """Two triangles per cell of an (nu + 1) x (nv + 1) vertex grid, v outer."""
    tris = []
    for j in range(nv):
        for i in range(nu):
            a = j * (nu + 1) + i
            b, c, d = a + 1, a + nu + 1, a + nu + 2
            tris += [(a, b, d), (a, d, c)]
    return np.array(tris, np.int64)


def smooth_normals(positions, triangles, weld=True):
    """Area-weighted vertex normals; vertices at one spot share theirs when weld is on."""
    p0, p1, p2 = (positions[triangles[:, k]] for k in range(3))
    face = np.cross(p1 - p0, p2 - p0)
    normals = np.zeros_like(positions)
    for k in range(3):
        np.add.at(normals, triangles[:, k], face)
    if weld:
        keys = np.round(positions * 1e5).astype(np.int64)
        _, inverse = np.unique(keys, axis=0, return_inverse=True)
        inverse = inverse.reshape(-1)
        summed = np.zeros((inverse.max() + 1, 3))
        np.add.at(summed, inverse, normals)
        normals = summed[inverse]
    length = np.linalg.norm(normals, axis=1, keepdims=True)
    fallback = np.tile([0.0, 1.0, 0.0], (len(positions), 1))
    return np.where(length > 1e-12, normals / np.maximum(length, 1e-12), fallback)


def orient_outward(positions, triangles, inside):
    """Reverses the winding when the surface's triangles face the inside point on average."""
    p0, p1, p2 = (positions[triangles[:, k]] for k in range(3))
    face = np.cross(p1 - p0, p2 - p0)
    centre = (p0 + p1 + p2) / 3.0
    if np.sum(np.einsum("ij,ij->i", face, centre - np.asarray(inside))) < 0:
        return triangles[:, [0, 2, 1]]
    return triangles


# Half a texel of a 512 x 512 texture: coordinates stop short of a region's
# border, so neither nearest nor linear sampling reaches the neighbouring
# region or, through the repeat wrap, the opposite edge of the texture.
UV_INSET = 0.5 / 512


def _inset(rect):
    x0, y0, x1, y1 = rect
    return x0 + UV_INSET, y0 + UV_INSET, x1 - UV_INSET, y1 - UV_INSET


def add_surface(mesh, fn, nu, nv, uv_rect, inside, weld=True):
    """Adds the parametric surface fn(s, t) -> (..., 3) over s, t in [0, 1].

    uv_rect (x0, y0, x1, y1) is the image-space box that s and t map onto.
    """
    s, t = np.meshgrid(np.linspace(0, 1, nu + 1), np.linspace(0, 1, nv + 1))
    pos = fn(s, t).reshape(-1, 3)
    x0, y0, x1, y1 = _inset(uv_rect)
    uv = np.stack([x0 + s * (x1 - x0), y0 + t * (y1 - y0)], -1).reshape(-1, 2)
    tris = orient_outward(pos, grid_triangles(nu, nv), inside)
    mesh.add(pos, smooth_normals(pos, tris, weld), uv, tris)


def add_box(mesh, lo, hi, uv_rect):
    """An axis-aligned box with flat faces, each face mapped onto uv_rect."""
    lo, hi = np.asarray(lo, float), np.asarray(hi, float)
    centre = (lo + hi) / 2
    x0, y0, x1, y1 = _inset(uv_rect)
    for axis in range(3):
        for side in (0, 1):
            u_axis, v_axis = [a for a in range(3) if a != axis]
            corners = []
            for cu, cv in ((0, 0), (1, 0), (1, 1), (0, 1)):
                p = np.empty(3)
                p[axis] = hi[axis] if side else lo[axis]
                p[u_axis] = hi[u_axis] if cu else lo[u_axis]
                p[v_axis] = hi[v_axis] if cv else lo[v_axis]
                corners.append(p)
            corners = np.array(corners)
            normal = np.zeros(3)
            normal[axis] = 1.0 if side else -1.0
            uv = [(x0, y1), (x1, y1), (x1, y0), (x0, y0)]
            tris = orient_outward(corners, np.array([(0, 1, 2), (0, 2, 3)]), centre)
            mesh.add(corners, np.tile(normal, (4, 1)), uv, tris)


def write_glb(mesh, path, name):
    """Writes one mesh with one triangle primitive: POSITION, NORMAL, TEXCOORD_0, indices."""
    pos, nor, uv, tri = mesh.arrays()
    index_type, index_fmt = (5123, "<u2") if len(pos) < 65536 else (5125, "<u4")
    blobs = [pos.astype("<f4").tobytes(), nor.astype("<f4").tobytes(),
             uv.astype("<f4").tobytes(), tri.reshape(-1).astype(index_fmt).tobytes()]
    views, offset, binary = [], 0, b""
    for k, blob in enumerate(blobs):
        target = 34963 if k == 3 else 34962
        views.append({"buffer": 0, "byteOffset": offset, "byteLength": len(blob), "target": target})
        padded = blob + b"\0" * (-len(blob) % 4)
        binary += padded
        offset += len(padded)
    accessors = [
        {"bufferView": 0, "componentType": 5126, "count": len(pos), "type": "VEC3",
         "min": [float(v) for v in pos.min(0).astype("<f4")],
         "max": [float(v) for v in pos.max(0).astype("<f4")]},
        {"bufferView": 1, "componentType": 5126, "count": len(pos), "type": "VEC3"},
        {"bufferView": 2, "componentType": 5126, "count": len(pos), "type": "VEC2"},
        {"bufferView": 3, "componentType": index_type, "count": int(tri.size), "type": "SCALAR"},
    ]
    doc = {
        "asset": {"version": "2.0", "generator": "VELTRA assetgen"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": [{"mesh": 0, "name": name}],
        "meshes": [{"name": name, "primitives": [{
            "attributes": {"POSITION": 0, "NORMAL": 1, "TEXCOORD_0": 2},
            "indices": 3, "mode": 4}]}],
        "buffers": [{"byteLength": len(binary)}],
        "bufferViews": views,
        "accessors": accessors,
    }
    text = json.dumps(doc, separators=(",", ":")).encode("ascii")
    text += b" " * (-len(text) % 4)
    total = 12 + 8 + len(text) + 8 + len(binary)
    with open(path, "wb") as f:
        f.write(struct.pack("<4sII", b"glTF", 2, total))
        f.write(struct.pack("<I4s", len(text), b"JSON") + text)
        f.write(struct.pack("<I4s", len(binary), b"BIN\0") + binary)
