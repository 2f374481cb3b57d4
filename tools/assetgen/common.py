"""Shared helpers of the asset generator: noise, colour ramps and encoders.

Every random choice goes through a numpy Generator seeded by the caller, so a
run on the same machine writes the same bytes again.
"""

import os
import shutil
import subprocess
import tempfile
import wave

import numpy as np
from PIL import Image

FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def rng(seed):
    return np.random.Generator(np.random.PCG64(seed))


def need_tool(name):
    if shutil.which(name) is None:
        raise SystemExit(f"assetgen: the tool '{name}' is missing (install it from Debian)")


# ---------------------------------------------------------------- 2D noise


def spectral_noise(gen, size, beta, low=1.0, high=None):
    """Periodic fractal noise on a size x size grid, scaled to [0, 1].

    White noise is shaped in the frequency domain by 1/f^beta between the
    wave numbers low and high, so the result tiles seamlessly.
    """
    white = gen.standard_normal((size, size))
    spectrum = np.fft.fft2(white)
    fy = np.fft.fftfreq(size) * size
    fx = np.fft.fftfreq(size) * size
    f = np.sqrt(fy[:, None] ** 2 + fx[None, :] ** 2)
    weight = np.zeros_like(f)
    band = f >= low
    if high is not None:
        band &= f <= high
    weight[band] = f[band] ** (-beta)
    field = np.real(np.fft.ifft2(spectrum * weight))
    return normalise(field)


def normalise(field):
    lo, hi = field.min(), field.max()
    if hi - lo < 1e-12:
        return np.zeros_like(field)
    return (field - lo) / (hi - lo)


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def ramp(t, stops):
    """Maps t in [0, 1] through colour stops [(position, (r, g, b)), ...]."""
    t = np.clip(t, 0.0, 1.0)
    pos = np.array([p for p, _ in stops])
    out = np.empty(t.shape + (3,))
    for ch in range(3):
        out[..., ch] = np.interp(t, pos, [c[ch] for _, c in stops])
    return out


def blur(img, radius):
    """Periodic Gaussian blur through the FFT (works on 2D or HxWxC arrays)."""
    h, w = img.shape[:2]
    fy = np.fft.fftfreq(h)[:, None]
    fx = np.fft.fftfreq(w)[None, :]
    kernel = np.exp(-2.0 * (np.pi * radius) ** 2 * (fy ** 2 + fx ** 2))
    if img.ndim == 2:
        return np.real(np.fft.ifft2(np.fft.fft2(img) * kernel))
    out = np.empty_like(img, dtype=float)
    for ch in range(img.shape[2]):
        out[..., ch] = np.real(np.fft.ifft2(np.fft.fft2(img[..., ch]) * kernel))
    return out


# ---------------------------------------------------------------- 3D noise


def _hash3(ix, iy, iz, seed):
    """Integer lattice hash to [0, 1); pure uint32 arithmetic, so it repeats exactly."""
    h = (ix.astype(np.uint32) * np.uint32(73856093)) ^ (iy.astype(np.uint32) * np.uint32(19349663))
    h ^= iz.astype(np.uint32) * np.uint32(83492791)
    h ^= np.uint32(seed * 2654435761 & 0xFFFFFFFF)
    h ^= h >> np.uint32(13)
    h *= np.uint32(1274126177)
    h ^= h >> np.uint32(16)
    return (h & np.uint32(0xFFFFFF)).astype(np.float64) / float(0x1000000)


def value_noise3(p, seed):
    """Smooth value noise in [0, 1] at points p (..., 3)."""
    with np.errstate(over="ignore"):
        base = np.floor(p)
        f = p - base
        i = base.astype(np.int64)
        u = f * f * (3.0 - 2.0 * f)
        total = 0.0
        for dx in (0, 1):
            wx = u[..., 0] if dx else 1.0 - u[..., 0]
            for dy in (0, 1):
                wy = u[..., 1] if dy else 1.0 - u[..., 1]
                for dz in (0, 1):
                    wz = u[..., 2] if dz else 1.0 - u[..., 2]
                    total = total + wx * wy * wz * _hash3(
                        i[..., 0] + dx, i[..., 1] + dy, i[..., 2] + dz, seed)
        return total


def fbm3(p, seed, octaves=5, lacunarity=2.0, gain=0.5):
    amp, norm, total = 1.0, 0.0, 0.0
    for o in range(octaves):
        total = total + amp * value_noise3(p * (lacunarity ** o), seed + 101 * o)
        norm += amp
        amp *= gain
    return total / norm


# ---------------------------------------------------------------- writers


def to_u8(img):
    return np.clip(np.round(img * 255.0), 0, 255).astype(np.uint8)


def save_png(img, path, mode=None):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    Image.fromarray(to_u8(img), mode).save(path, optimize=True)


def save_jpeg(img, path, quality=90):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    Image.fromarray(to_u8(img), "RGB").save(path, quality=quality, subsampling=0)


def save_dds(rgb, path):
    """Writes an RGB float image as a BC1 (DXT1) DDS with one mip level.

    The game regenerates the mip chain on the GPU and reads level 0 only.
    """
    need_tool("convert")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        png = os.path.join(tmp, "in.png")
        Image.fromarray(to_u8(rgb), "RGB").save(png)
        # One thread: ImageMagick's parallel block compression can write
        # different bytes from run to run when the machine is busy.
        env = dict(os.environ, MAGICK_THREAD_LIMIT="1")
        subprocess.run(["convert", png, "-define", "dds:compression=dxt1",
                        "-define", "dds:mipmaps=0", "-define", "dds:cluster-fit=true",
                        path], check=True, env=env)


def save_mp3(samples, rate, path, bitrate):
    """Encodes float samples in [-1, 1] (n or n x 2) to MP3 with lame.

    lame writes the encoder delay and padding into its header, so decoders
    that honour it (mpg123, used by libsndfile) return exactly the samples
    given here, which keeps the music's loop point clean.
    """
    need_tool("lame")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    pcm = np.clip(np.round(samples * 32767.0), -32768, 32767).astype("<i2")
    channels = 1 if pcm.ndim == 1 else pcm.shape[1]
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        with wave.open(wav, "wb") as w:
            w.setnchannels(channels)
            w.setsampwidth(2)
            w.setframerate(rate)
            w.writeframes(pcm.tobytes())
        mode = "m" if channels == 1 else "j"
        subprocess.run(["lame", "--quiet", "-m", mode, "--cbr", "-b", str(bitrate), "-q", "2",
                        wav, path], check=True)
