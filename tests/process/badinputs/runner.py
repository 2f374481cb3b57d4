"""Runs the real game once per case, in a private copy of the tree holding the
broken file, and reports how that run ended."""

import os
import re
import shutil
import signal
import subprocess
import time
from dataclasses import dataclass, field
from pathlib import Path

import numpy as np

from cases import DIRECTORY

# Run 2 starts by reading the first shader again: run 1, with its screenshot,
# is then complete.
SECOND_RUN = "Read shader: assets/shaders/texture.vert"
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                   "ERROR: UndefinedBehaviorSanitizer")


@dataclass
class Result:
    outcome: str
    expected: list = field(default_factory=list)
    frame: str = ""
    missing: list = field(default_factory=list)
    problems: list = field(default_factory=list)
    stdout: str = ""
    stderr: str = ""
    seconds: float = 0.0


def make_base_tree(source_dir, binary, root):
    """The tree every case starts from: the top-level marker, the assets and
    the binary. Case trees hard-link to it, so a case must replace a file,
    never write into it."""
    base = root / "base"
    base.mkdir()
    shutil.copy(Path(source_dir) / "CMakeLists.txt", base / "CMakeLists.txt")
    shutil.copytree(Path(source_dir) / "assets", base / "assets")
    (base / "build").mkdir()
    shutil.copy(binary, base / "build" / "veltra")
    return base


def make_case_tree(base, root, index, case):
    tree = root / ("case-%03d" % index)
    try:
        shutil.copytree(base, tree, copy_function=os.link)
    except OSError:
        shutil.copytree(base, tree)
    if case is None:
        return tree
    target = tree / case.file
    original = (base / case.file).read_bytes()
    content = case.make(original)
    target.unlink()
    if content is DIRECTORY:
        target.mkdir()
    elif content is not None:
        target.write_bytes(content)
    return tree


def sound_device_env(tree):
    """OpenAL Soft writing its mix to a WAV file instead of a sound card."""
    conf = tree / "alsoft.conf"
    conf.write_text("[general]\ndrivers=wave\n[wave]\nfile=%s\n" % (tree / "mix.wav"))
    return {"ALSOFT_CONF": str(conf)}


def read_ppm(data):
    """The pixels of a plain-text PPM as a height x width x 3 array."""
    parts = data.split(maxsplit=4)
    if len(parts) < 5 or parts[0] != b"P3":
        return None
    width, height = int(parts[1]), int(parts[2])
    values = np.fromstring(parts[4].decode(), dtype=np.int16, sep=" ")
    if values.size != width * height * 3:
        return None
    return values.reshape(height, width, 3)


def classify_frame(path, baseline):
    """baseline: (bytes, pixels) of the unbroken game's first frame."""
    if not path.exists():
        return "no screenshot"
    data = path.read_bytes()
    if data == baseline[0]:
        return "start screen"
    frame = read_ppm(data)
    if frame is None:
        return "unreadable screenshot"
    if frame.shape == baseline[1].shape and np.abs(frame - baseline[1]).mean() < 2.0:
        return "start screen"
    if frame.min() == frame.max():
        return "blank"
    return "changed"


def line_matches(line, text):
    if "…" not in text:
        return line == text
    prefix, suffix = text.split("…", 1)
    if "…" in suffix:
        middle, suffix = suffix.split("…", 1)
        return line.startswith(prefix) and line.endswith(suffix) and middle in line
    return line.startswith(prefix) and line.endswith(suffix) and \
        len(line) >= len(prefix) + len(suffix)


def run_game(tree, extra_env, limit):
    build = tree / "build"
    env = dict(os.environ)
    env.update(extra_env)
    out_path, err_path = tree / "stdout.txt", tree / "stderr.txt"
    started = time.monotonic()
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        # Empty standard input: the fatal ending's wait for a key returns at once.
        game = subprocess.Popen([str(build / "veltra"), "--run_headless"], cwd=build,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=err, env=env)
        status, reached_second_run = None, False
        while time.monotonic() - started < limit:
            status = game.poll()
            if status is not None:
                break
            if out_path.read_text(errors="replace").count(SECOND_RUN) >= 2:
                reached_second_run = True
                break
            time.sleep(0.05)
        close_status = None
        if status is None:
            game.send_signal(signal.SIGTERM)
            try:
                close_status = game.wait(timeout=limit)
            except subprocess.TimeoutExpired:
                game.kill()
                game.wait()
    seconds = time.monotonic() - started
    return (status, reached_second_run, close_status, seconds,
            out_path.read_text(errors="replace"), err_path.read_text(errors="replace"))


def describe_status(status):
    if status < 0:
        try:
            return "crash (%s)" % signal.Signals(-status).name
        except ValueError:
            return "crash (signal %d)" % -status
    return "exit %d" % status


def run_case(base, root, index, case, baseline, limit):
    tree = make_case_tree(base, root, index, case)
    env = sound_device_env(tree) if case is not None and case.sound_device else {}
    status, second_run, close_status, seconds, out, err = run_game(tree, env, limit)
    result = Result(outcome="", stdout=out, stderr=err, seconds=seconds)
    if status is not None:
        result.outcome = describe_status(status)
    elif second_run:
        result.outcome = "goes on"
        if close_status != 0:
            result.problems.append("closing on SIGTERM gave %s" % describe_status(close_status))
        result.frame = classify_frame(tree / "build" / "screenshot.ppm", baseline)
    else:
        result.outcome = "hang (no second run within %ds)" % limit
    if case is not None:
        result.expected = case.messages
    for mark in SANITIZER_MARKS:
        if mark in err:
            result.problems.append("sanitizer report: " + mark)
    if case is not None:
        streams = {"stdout": out.splitlines(), "stderr": err.splitlines()}
        for stream, raw in result.expected:
            text = raw.replace("<tree>", str(tree))
            if not any(line_matches(line, text) for line in streams[stream]):
                result.missing.append((stream, raw))
        if result.outcome != case.outcome:
            result.problems.append("expected '%s'" % case.outcome)
        if case.outcome == "goes on" and case.frame and result.frame != case.frame:
            result.problems.append("first frame '%s', expected '%s'" % (result.frame, case.frame))
        if result.missing:
            result.problems.append("missing lines: %s" % result.missing)
    if not result.problems:
        shutil.rmtree(tree, ignore_errors=True)
    return result


def baseline_frame(base, root, limit):
    """The unbroken tree: it must go on without an error line and shows the
    start screen every other case is compared with."""
    tree = make_case_tree(base, root, 999, None)
    status, second_run, _, _, out, err = run_game(tree, {}, limit)
    if not second_run:
        raise SystemExit("the unbroken tree did not reach its second run (status %s)\n%s\n%s"
                         % (status, out, err))
    bad = [line for line in out.splitlines() if re.match(r"(ERROR|OpenGL Error|Unable|Could)", line)]
    if bad:
        raise SystemExit("the unbroken tree printed error lines:\n" + "\n".join(bad))
    data = (tree / "build" / "screenshot.ppm").read_bytes()
    frame = read_ppm(data)
    shutil.rmtree(tree, ignore_errors=True)
    if frame is None or frame.max() == frame.min():
        raise SystemExit("the unbroken tree's first frame is blank or unreadable")
    return data, frame
