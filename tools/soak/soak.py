#!/usr/bin/env python3
"""Soak run: the game in headless mode for many consecutive runs, each of
which rebuilds the whole level. Checks that it keeps going, that resident
memory stops growing (the last 100 runs within 5 % of each other) and that
the OpenGL objects it holds do not grow from run to run.

    soak.py --binary build/veltra --source . --counter gl_live_counter.so [--runs 300]

Needs an X display. Figures come from the counter library preloaded into
the game: one line per run, written when the run's first frame is read back
for its screenshot (the same point of every run)."""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

KINDS = ["textures", "buffers", "vertex_arrays", "framebuffers", "renderbuffers", "shaders",
         "programs"]


def parse(line):
    fields = dict(re.findall(r"(\w+)=(\S+)", line))
    return {
        "rss_kb": int(fields["rss_kb"]),
        "overflowed": int(fields["overflowed"]),
        "objects": {kind: tuple(int(v) for v in fields[kind].split("/")) for kind in KINDS},
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--counter", required=True)
    parser.add_argument("--runs", type=int, default=300)
    parser.add_argument("--limit", type=float, default=3600.0, help="seconds for all runs")
    parser.add_argument("--series", help="write 'run VmRSS-kB' lines to this file")
    args = parser.parse_args()
    if args.runs < 101:
        parser.error("at least 101 runs: the last 100 are compared")

    with tempfile.TemporaryDirectory(prefix="veltra-soak.") as temp:
        tree = Path(temp)
        shutil.copy(Path(args.source) / "CMakeLists.txt", tree)
        shutil.copytree(Path(args.source) / "assets", tree / "assets")
        (tree / "build").mkdir()
        shutil.copy(args.binary, tree / "build" / "veltra")
        log = tree / "gl-live.log"
        env = dict(os.environ, LD_PRELOAD=os.path.abspath(args.counter),
                   VELTRA_GL_LIVE_LOG=str(log))
        started = time.monotonic()
        with open(tree / "stdout.txt", "wb") as out, open(tree / "stderr.txt", "wb") as err:
            game = subprocess.Popen([str(tree / "build" / "veltra"), "--run_headless"],
                                    cwd=tree / "build", stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=err, env=env)
            runs = 0
            while runs < args.runs:
                if game.poll() is not None:
                    sys.exit("FAIL: the game ended with status %d after %d runs"
                             % (game.returncode, runs))
                if time.monotonic() - started > args.limit:
                    game.kill()
                    sys.exit("FAIL: only %d runs within %.0f s" % (runs, args.limit))
                time.sleep(0.2)
                runs = len(log.read_text().splitlines()) if log.exists() else 0
            game.send_signal(signal.SIGTERM)
            status = game.wait(timeout=120)
        seconds = time.monotonic() - started
        samples = [parse(line) for line in log.read_text().splitlines()][:args.runs]
        builds = (tree / "stdout.txt").read_text().count("Water vertices")

    if args.series:
        Path(args.series).write_text("".join("%d %d\n" % (n, s["rss_kb"])
                                             for n, s in enumerate(samples, start=1)))
    problems = []
    if status != 0:
        problems.append("status %d after SIGTERM" % status)
    if builds < args.runs:
        problems.append("%d level builds for %d runs" % (builds, args.runs))
    print("%d runs in %.0f s (%.2f s each), %d level builds" % (args.runs, seconds,
                                                               seconds / args.runs, builds))
    for n in (1, 2, 100, 200, args.runs):
        if n <= len(samples):
            sample = samples[n - 1]
            print("after run %3d: VmRSS %7.1f MiB; held/known: %s" % (
                n, sample["rss_kb"] / 1024.0,
                " ".join("%s %d/%d" % (k, *sample["objects"][k]) for k in KINDS)))
    last = [s["rss_kb"] for s in samples[-100:]]
    spread = (max(last) - min(last)) / min(last)
    print("last 100 runs: VmRSS %.1f to %.1f MiB, spread %.1f %% (limit 5 %%)" % (
        min(last) / 1024.0, max(last) / 1024.0, 100 * spread))
    if spread > 0.05:
        problems.append("resident memory not settled: %.1f %% apart over the last 100 runs"
                        % (100 * spread))
    # From run 2 on, the previous run's level is kept for the loading screen,
    # so every later run holds the same objects as run 2.
    reference = samples[1]["objects"]
    for n, sample in enumerate(samples[1:], start=2):
        if sample["objects"] != reference:
            problems.append("OpenGL objects at run %d differ from run 2: %s vs %s"
                            % (n, sample["objects"], reference))
            break
    if any(s["overflowed"] for s in samples):
        problems.append("names beyond the counter's range")
    for problem in problems:
        print("FAIL: " + problem)
    if not problems:
        print("PASS")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
