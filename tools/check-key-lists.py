#!/usr/bin/env python3
"""Checks that every key of docs/keys.tsv is listed by README.md, the man
page, the Windows README.txt and the tutorial picture's generator.

Usage: check-key-lists.py [SOURCE_DIR]; prints what each document lacks and
exits 1 when any lacks a key."""

import re
import sys
from pathlib import Path

ALIASES = {"ESC": "ESCAPE"}


def normal(token):
    token = token.strip().strip('"`').upper()
    return ALIASES.get(token, token)


def keys_of_table(root):
    keys = []
    for line in (root / "docs/keys.tsv").read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            keys.append(normal(line.split("\t", 1)[0]))
    return keys


def section(text, start, end):
    at = text.index(start)
    stop = text.find(end, at + len(start))
    return text[at:stop if stop >= 0 else len(text)]


def tokens(text):
    return {normal(t) for t in re.split(r"[\s,]+|\bor\b|\band\b", text) if t.strip()} | \
        ({","} if "," in text else set())


def readme_keys(root):
    table = section((root / "README.md").read_text(encoding="utf-8"), "| Key | Action |", "\n\n")
    found = set()
    for line in table.splitlines():
        if line.startswith("| ") and not line.startswith("| Key") and "---" not in line:
            found |= tokens(line.split("|")[1])
    return found


def man_keys(root):
    keys = section((root / "tools/linux/veltra.6").read_text(encoding="utf-8"), ".SH KEYS", ".PP")
    found = set()
    for line in keys.splitlines():
        if line.startswith(".B ") or line.startswith(".BR "):
            # Quoted words are the words between the keys.
            found |= tokens(re.sub(r'"[^"]*"', " ", line.split(" ", 1)[1]))
    return found


def windows_keys(root):
    keys = section((root / "tools/windows/README.txt").read_text(encoding="utf-8"),
                   "Keys\n----", "\n\n")
    found = set()
    for line in keys.splitlines()[2:]:
        column = re.split(r"\s{2,}", line.strip())[0] if line.startswith("  ") and \
            not line.startswith("   ") else ""
        found |= tokens(column)
    return found


def tutorial_keys(root):
    source = (root / "tools/assetgen/tutorial.py").read_text(encoding="utf-8")
    rows = section(source, "rows = [", "\n    ]")
    # Every keycap: ("W", bold), (".", punctuation), ("START", small, padcap), ...
    return {normal(k) for k in re.findall(r'\("([^"]+)", (?:bold|punctuation|arrows|small)\b', rows)}


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[1])
    wanted = keys_of_table(root)
    missing = False
    for name, found in (("README.md", readme_keys(root)), ("veltra.6", man_keys(root)),
                        ("README.txt", windows_keys(root)), ("tutorial.py", tutorial_keys(root))):
        lacks = [k for k in wanted if k not in found]
        if lacks:
            missing = True
            print("%s lacks: %s" % (name, " ".join(lacks)))
        else:
            print("%s: all %d keys" % (name, len(wanted)))
    sys.exit(1 if missing else 0)


if __name__ == "__main__":
    main()
