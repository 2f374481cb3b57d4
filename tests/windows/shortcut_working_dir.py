"""Prints the working folder stored in a Windows shortcut (.lnk) file.

The shell link format: a 76-byte header whose flags say which parts follow,
an optional item-ID list and link-info block, then counted strings (name,
relative path, working directory, ...), UTF-16 when the IsUnicode flag is set.
"""

import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR = 1, 2, 4, 8, 16
IS_UNICODE = 0x80


def working_dir(data):
    if len(data) < 76 or struct.unpack_from("<I", data, 0)[0] != 76:
        raise ValueError("not a shell link")
    flags = struct.unpack_from("<I", data, 20)[0]
    at = 76
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    if flags & HAS_LINK_INFO:
        at += struct.unpack_from("<I", data, at)[0]
    for bit in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR):
        if not flags & bit:
            if bit == HAS_WORKING_DIR:
                raise ValueError("the shortcut has no working folder")
            continue
        count = struct.unpack_from("<H", data, at)[0]
        at += 2
        size = count * 2 if flags & IS_UNICODE else count
        text = data[at:at + size]
        at += size
        if bit == HAS_WORKING_DIR:
            encoding = "utf-16-le" if flags & IS_UNICODE else "latin-1"
            return text.decode(encoding).rstrip("\x00")
    raise ValueError("unreachable")


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as f:
        print(working_dir(f.read()))
