#!/usr/bin/env python3
"""Makes every binary asset of VELTRA from code and fixed seeds.

    python3 tools/assetgen/generate.py [--out DIR] [--only NAME ...]

Writes into DIR (default: the repository's assets/ folder) the textures, the
sky faces, the height map, the font sheet, the models, the sounds and the
start screen, and the icons the desktop shows. Needs Debian's python3-numpy,
python3-pil, imagemagick, lame and fonts-dejavu-core, and for the music
fluidsynth, fluid-soundfont-gm and python3-mido. The same machine gives the same bytes every time;
tools/assetgen/check.sh compares a fresh run with the committed files.
"""

import argparse
import os
import sys
import time

try:
    import numpy  # noqa: F401
    import PIL  # noqa: F401
except ImportError:
    # A private Python without numpy may shadow Debian's; fall back to the system one.
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise SystemExit("assetgen: needs python3-numpy and python3-pil")

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import font  # noqa: E402
import heightmap  # noqa: E402
import icons  # noqa: E402
import models  # noqa: E402
import sky  # noqa: E402
import sounds  # noqa: E402
import textures  # noqa: E402
import tutorial  # noqa: E402

STEPS = {
    "heightmap": heightmap.generate,
    "textures": textures.generate,
    "sky": sky.generate,
    "font": font.generate,
    "models": models.generate,
    "sounds": sounds.generate,
    "tutorial": tutorial.generate,
    "icons": icons.generate,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", default=os.path.normpath(os.path.join(HERE, "..", "..", "assets")))
    parser.add_argument("--only", nargs="+", choices=sorted(STEPS), help="make only these groups")
    args = parser.parse_args()
    for name in args.only or STEPS:
        start = time.monotonic()
        STEPS[name](args.out)
        print(f"assetgen: {name} done in {time.monotonic() - start:.1f} s", flush=True)


if __name__ == "__main__":
    main()
