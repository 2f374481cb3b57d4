"""The bad-input matrix: for every file the game reads, the ways it can be
broken and how the game must answer each one.

A case names the file (relative to the tree root), what to do to it, the
outcome ("goes on" or "exit 1"), the lines that must appear (a "…" stands for
a part that belongs to a library or driver), and, for a game that goes on,
what its first frame must show."""

from dataclasses import dataclass, field
from typing import Callable, Optional

import corrupt as c

GOES_ON = "goes on"
EXIT_1 = "exit 1"

START_SCREEN = "start screen"
CHANGED = "changed"
BLANK = "blank"


@dataclass
class Case:
    file: str
    name: str
    make: Callable  # (original bytes) -> new bytes, or None to remove the file, or DIRECTORY
    outcome: str
    messages: list = field(default_factory=list)  # (stream, text)
    frame: Optional[str] = START_SCREEN
    sound_device: bool = False


DIRECTORY = object()


def _half(data):
    return data[:len(data) // 2]


def common_cases(seed_name):
    """Missing, a directory, empty, cut in half and random bytes."""
    return [
        ("missing", lambda d: None),
        ("directory in its place", lambda d: DIRECTORY),
        ("empty", lambda d: b""),
        ("truncated to half", _half),
        ("random bytes", lambda d, s=seed_name: c.random_bytes(s)),
    ]


# --- shaders -----------------------------------------------------------------

SHADERS = ["texture.vert", "texture.frag", "water.vert", "skybox.vert", "skybox.frag",
           "hud.vert", "hud.frag", "emissive.vert", "emissive.frag", "mirror.vert",
           "mirror.frag", "particles.vert", "particles.frag", "fullScreen.vert",
           "fullScreen.frag", "quad.vert", "blend.frag", "extract.frag", "blur.frag"]

# Compiles, but a program cannot link without a main function.
_NO_MAIN = b"#version 330 core\nout vec4 color;\nvoid notMain() { color = vec4(1.0); }\n"
_OTHER_STAGE = {
    "vert": b"#version 330 core\nout vec4 color;\nvoid main() { color = gl_FragCoord; }\n",
    "frag": b"#version 330 core\nlayout(location = 0) in vec3 p;\n"
            b"void main() { gl_Position = vec4(p, 1.0); }\n",
}


def _cut_inside_main(data):
    start = data.find(b"void main")
    return data[:start + 16] if start >= 0 else _half(data)


def shader_cases():
    cases = []
    for name in SHADERS:
        path = "assets/shaders/" + name
        stage = name.rsplit(".", 1)[1]
        not_found = [("stdout", "Could not find shader file: " + path)]
        no_compile = [("stdout", "Failed to compile shader: " + path)]
        no_link = [("stdout", "Failed to link shader program:")]
        for case_name, make in common_cases(path):
            broken = case_name in ("missing", "directory in its place")
            messages = not_found if broken else no_compile
            if case_name == "truncated to half":
                # Cut inside main's body: an unterminated function never compiles.
                case_name, make = "truncated inside main", _cut_inside_main
            cases.append(Case(path, case_name, make, EXIT_1, messages, frame=None))
        cases.append(Case(path, "wrong format (the other stage's source)",
                          lambda d, s=stage: _OTHER_STAGE[s], EXIT_1, no_compile, frame=None))
        cases.append(Case(path, "absurd version (#version 9999 core)",
                          lambda d: d.replace(b"#version 330 core", b"#version 9999 core", 1),
                          EXIT_1, no_compile, frame=None))
        cases.append(Case(path, "no main function", lambda d: _NO_MAIN, EXIT_1, no_link,
                          frame=None))
    return cases


# --- DDS textures --------------------------------------------------------------

TEXTURES = ["goal_texture.dds", "radiva_texture.dds", "Grass_Ground.dds", "water.dds"]


def texture_cases():
    cases = []
    for name in TEXTURES:
        path = "assets/textures/" + name
        not_loadable = [("stdout", "Unable to load DDS image file from path[<tree>/" + path + "]")]
        unsupported = [("stdout", "Unable to load DDS image file [<tree>/" + path +
                        "] due to an unsupported format.")]
        for case_name, make in common_cases(path):
            if case_name in ("missing", "directory in its place"):
                cases.append(Case(path, case_name, make, EXIT_1,
                                  [("stdout", "Could not find texture file: " + path)], frame=None))
            else:
                cases.append(Case(path, case_name, make, GOES_ON, not_loadable))
        table = [
            ("truncated inside the header", lambda d: d[:64], not_loadable),
            ("wrong format (PNG)", lambda d: c.png_bytes(8, 8), not_loadable),
            ("width 0", lambda d: c.put_u32(d, c.DDS_WIDTH, 0), not_loadable),
            ("height 0", lambda d: c.put_u32(d, c.DDS_HEIGHT, 0), not_loadable),
            ("width 4294967295", lambda d: c.put_u32(d, c.DDS_WIDTH, 0xFFFFFFFF), not_loadable),
            ("extent 65536 x 65536", lambda d: c.put_u32(c.put_u32(d, c.DDS_WIDTH, 65536),
                                                         c.DDS_HEIGHT, 65536), not_loadable),
            ("extent 16384 x 16384 without its pixels",
             lambda d: c.put_u32(c.put_u32(d, c.DDS_WIDTH, 16384), c.DDS_HEIGHT, 16384),
             not_loadable),
            ("header size field 0", lambda d: c.put_u32(d, c.DDS_HEADER_SIZE_FIELD, 0),
             not_loadable),
            ("cube map flag", lambda d: c.put_u32(d, c.DDS_CAPS2, 0xFE00), not_loadable),
            ("mip count 4294967295", lambda d: c.put_u32(d, c.DDS_MIP_COUNT, 0xFFFFFFFF), []),
            ("linear size 4294967295", lambda d: c.put_u32(d, c.DDS_LINEAR_SIZE, 0xFFFFFFFF), []),
            ("unknown FourCC (ATI2)", lambda d: c.dds_with_fourcc(d, b"ATI2"), unsupported),
            ("uncompressed RGBA8", lambda d: c.dds_rgba8(), unsupported),
            ("DX10 header, array size 0", lambda d: c.dds_dx10(d, 71, array_size=0), not_loadable),
            ("DX10 header, unknown DXGI format", lambda d: c.dds_dx10(d, 999), unsupported),
        ]
        for case_name, make, messages in table:
            cases.append(Case(path, case_name, make, GOES_ON, messages))
    return cases
