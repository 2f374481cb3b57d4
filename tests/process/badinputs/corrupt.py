"""Byte-level makers of broken files: headers with absurd fields, cut files,
random bytes and small valid files of the wrong kind. Pure functions of their
arguments, so every run of the matrix writes the same bytes."""

import io
import json
import random
import struct
import zlib

from PIL import Image


def random_bytes(seed_text, size=4096):
    rng = random.Random(zlib.crc32(seed_text.encode()))
    return bytes(rng.getrandbits(8) for _ in range(size))


def png_bytes(width, height, mode="L", value=128):
    buffer = io.BytesIO()
    Image.new(mode, (width, height), value).save(buffer, "PNG")
    return buffer.getvalue()


def jpeg_bytes(width, height, mode="RGB"):
    buffer = io.BytesIO()
    Image.new(mode, (width, height), 90 if mode == "L" else (40, 60, 90)).save(buffer, "JPEG")
    return buffer.getvalue()


def put_u32(data, offset, value):
    out = bytearray(data)
    out[offset:offset + 4] = struct.pack("<I", value & 0xFFFFFFFF)
    return bytes(out)


def put_u16(data, offset, value, big_endian=False):
    out = bytearray(data)
    out[offset:offset + 2] = struct.pack(">H" if big_endian else "<H", value & 0xFFFF)
    return bytes(out)


# --- PNG: IHDR fields, with the chunk's CRC made right again -----------------

def png_with_ihdr(data, width=None, height=None):
    out = bytearray(data)
    if width is not None:
        out[16:20] = struct.pack(">I", width & 0xFFFFFFFF)
    if height is not None:
        out[20:24] = struct.pack(">I", height & 0xFFFFFFFF)
    out[29:33] = struct.pack(">I", zlib.crc32(bytes(out[12:29])))
    return bytes(out)


# --- JPEG: the frame header's height and width --------------------------------

def jpeg_with_frame_size(data, width, height):
    position = 2
    while position + 4 <= len(data):
        if data[position] != 0xFF:
            break
        marker = data[position + 1]
        length = struct.unpack(">H", data[position + 2:position + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            out = put_u16(data, position + 5, height, big_endian=True)
            return put_u16(out, position + 7, width, big_endian=True)
        position += 2 + length
    raise ValueError("no frame header in the JPEG")


# --- DDS: header fields at their file offsets ---------------------------------

DDS_HEIGHT, DDS_WIDTH, DDS_LINEAR_SIZE, DDS_MIP_COUNT = 12, 16, 20, 28
DDS_HEADER_SIZE_FIELD, DDS_FOURCC, DDS_CAPS2 = 4, 84, 112


def dds_with_fourcc(data, code):
    out = bytearray(data)
    out[DDS_FOURCC:DDS_FOURCC + 4] = code
    return bytes(out)


def dds_dx10(data, dxgi_format, array_size=1):
    """The legacy header turned into a DX10 one in front of the same pixels."""
    header = bytearray(dds_with_fourcc(data[:128], b"DX10"))
    extension = struct.pack("<5I", dxgi_format, 3, 0, array_size, 0)
    return bytes(header) + extension + data[128:]


def dds_rgba8(width=4, height=4):
    """A valid uncompressed 32-bit DDS: a pixel layout the game does not take."""
    header = bytearray(128)
    header[0:4] = b"DDS "
    struct.pack_into("<7I", header, 4, 124, 0x100F, height, width, width * 4, 0, 1)
    struct.pack_into("<8I", header, 76, 32, 0x41, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000)
    struct.pack_into("<I", header, 108, 0x1000)
    return bytes(header) + bytes(width * height * 4)


# --- TGA: image type and extent ------------------------------------------------

def tga_with_extent(data, width, height):
    return put_u16(put_u16(data, 12, width), 14, height)


def tga_with_type(data, image_type):
    out = bytearray(data)
    out[2] = image_type
    return bytes(out)


# --- glTF binary ---------------------------------------------------------------

def glb(document, binary=b""):
    text = json.dumps(document).encode()
    text += b" " * (-len(text) % 4)
    binary += b"\0" * (-len(binary) % 4)
    chunks = struct.pack("<I4s", len(text), b"JSON") + text
    if binary:
        chunks += struct.pack("<I4s", len(binary), b"BIN\0") + binary
    return struct.pack("<4sII", b"glTF", 2, 12 + len(chunks)) + chunks


def glb_with_binary_chunk_length(length):
    def make(data):
        json_length = struct.unpack("<I", data[12:16])[0]
        return put_u32(data, 20 + json_length, length)
    return make


def triangle_glb(position_count=3, index_count=3, indices=(0, 1, 2), meshes=True,
                 byte_length=None, byte_offset=0):
    """One triangle; the arguments put lies into the accessors and views."""
    positions = struct.pack("<9f", 0, 0, 0, 1, 0, 0, 0, 1, 0)
    index_bytes = struct.pack("<3H", *indices) + b"\0\0"
    binary = positions + index_bytes
    document = {
        "asset": {"version": "2.0"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": [{"mesh": 0}] if meshes else [{}],
        "buffers": [{"byteLength": len(binary)}],
        "bufferViews": [
            {"buffer": 0, "byteOffset": byte_offset,
             "byteLength": len(positions) if byte_length is None else byte_length},
            {"buffer": 0, "byteOffset": len(positions), "byteLength": 6},
        ],
        "accessors": [
            {"bufferView": 0, "componentType": 5126, "count": position_count, "type": "VEC3",
             "min": [0, 0, 0], "max": [1, 1, 0]},
            {"bufferView": 1, "componentType": 5123, "count": index_count, "type": "SCALAR"},
        ],
    }
    if meshes:
        document["meshes"] = [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}]
    return glb(document, binary)


# --- WAV in place of an MP3 ----------------------------------------------------

def wav(channels=1, rate=44100, bits=16, frames=4410, data_size=None, fmt_tag=1):
    block = max(channels, 0) * bits // 8
    samples = bytes(frames * block)
    size = len(samples) if data_size is None else data_size
    fmt = struct.pack("<HHIIHH", fmt_tag, channels & 0xFFFF, rate & 0xFFFFFFFF,
                      (rate * block) & 0xFFFFFFFF, block & 0xFFFF, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", size & 0xFFFFFFFF) + samples
    return b"RIFF" + struct.pack("<I", len(body)) + body


def id3_with_size(data, size):
    """An ID3v2 tag whose (sync-safe) length claims `size` bytes, then the file."""
    safe = bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])
    return b"ID3\x04\x00\x00" + safe + data


def mp3_bad_frames(data):
    """Every frame header of the file given the forbidden bit-rate index 15."""
    out = bytearray(data)
    for i in range(len(out) - 2):
        if out[i] == 0xFF and (out[i + 1] & 0xE0) == 0xE0:
            out[i + 2] |= 0xF0
    return bytes(out)
