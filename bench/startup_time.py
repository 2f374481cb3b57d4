#!/usr/bin/env python3
"""Launch to the first frame of the real game, step by step.

Starts `veltra --run_headless` from each given build folder in turn
(alternating, so a machine that speeds up or slows down weighs on every
build alike), time-stamps its console lines as they come and waits for its
first frame's file to be whole. Prints each run's steps in milliseconds
from launch, the game's CPU time (all threads) up to its first frame, and
the medians per build.

Usage (under a display, for example xvfb-run -a):
    bench/startup_time.py [--runs N] BUILD_DIR [BUILD_DIR ...]
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

WIDTH, HEIGHT = 1080, 720
# "P3\n1080 720\n255\n", then each row's values in four columns and a line break.
FRAME_BYTES = len(f"P3\n{WIDTH} {HEIGHT}\n255\n") + HEIGHT * (WIDTH * 3 * 4 + 1)

# The console line that ends each step, in the order the game prints them.
STEPS = [
    ("process start", ":::::: WELCOME TO VELTRA ::::::"),
    ("window and context", "WindowManager was initialized."),
    ("GL entry points, framework", "Framework was initialized."),
    ("programs, textures, sky, water", "Water vertices"),
    ("land, models, objects, pipeline", "Read shader: assets/shaders/blur.frag"),
]


def measure(build, frame_dir):
    frame = os.path.join(frame_dir, "first.ppm")
    if os.path.exists(frame):
        os.remove(frame)
    seen = {}
    start = time.monotonic()
    game = subprocess.Popen(
        ["./veltra", "--run_headless", "--filename", frame[:-len(".ppm")]],
        cwd=build, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
        stderr=subprocess.STDOUT, text=True)

    def read_lines():
        for line in game.stdout:
            now = time.monotonic()
            for name, text in STEPS:
                if name not in seen and line.startswith(text):
                    seen[name] = now
                    break

    reader = threading.Thread(target=read_lines, daemon=True)
    reader.start()
    framed = None
    while framed is None:
        try:
            if os.path.getsize(frame) == FRAME_BYTES:
                now = time.monotonic()
                cpu = cpu_time_ms(game.pid)
                framed = now
        except OSError:
            pass
        if game.poll() is not None:
            sys.exit(f"startup_time.py: the game in {build} ended before its first frame")
        if time.monotonic() - start > 60:
            game.kill()
            sys.exit(f"startup_time.py: no first frame from {build} within 60 s")
        time.sleep(0.001)
    game.terminate()
    game.wait()
    reader.join(timeout=5)
    marks = [(name, seen.get(name)) for name, _ in STEPS] + [("first frame and its file", framed)]
    steps, last = {}, start
    for name, at in marks:
        if at is None:
            continue
        steps[name] = (at - last) * 1000
        last = at
    steps["launch to first frame"] = (framed - start) * 1000
    steps["CPU time to first frame"] = cpu
    return steps


def cpu_time_ms(pid):
    """User and system time of all the game's threads so far: on two cores,
    a launch whose CPU time nears twice its length is bound by the work,
    not by waiting."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000 / os.sysconf("SC_CLK_TCK")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("builds", nargs="+")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        sys.exit("startup_time.py: needs a display (run under xvfb-run -a)")
    builds = [os.path.realpath(b) for b in args.builds]
    results = {b: [] for b in builds}
    with tempfile.TemporaryDirectory() as frame_dir:
        for run in range(1, args.runs + 1):
            for build in builds:
                steps = measure(build, frame_dir)
                results[build].append(steps)
                print(f"run {run} {build}: " +
                      ", ".join(f"{k} {v:.0f}" for k, v in steps.items()), flush=True)
    print("\nmedians (ms):")
    names = [n for n, _ in STEPS] + ["first frame and its file", "launch to first frame",
                                     "CPU time to first frame"]
    print("step".ljust(34) + "".join(os.path.basename(os.path.dirname(b) or b)[:14].rjust(16)
                                     for b in builds))
    for name in names:
        row = name.ljust(34)
        for build in builds:
            values = [r[name] for r in results[build] if name in r]
            row += (f"{statistics.median(values):.0f}" if values else "-").rjust(16)
        print(row)


if __name__ == "__main__":
    main()
