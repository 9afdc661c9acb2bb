#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Tavel's smaller GIF (--smaller) against gifsicle -O3, on every reference
animation of make_reference_animations: walks over white, a crowd, walks
over a photograph-like JPEG background and over a painted BMP background.

Per animation: the bytes of Tavel's default GIF; the bytes and seconds of
--smaller, end to end (reading the project, rendering, writing the file);
the bytes and seconds of `gifsicle -O3` optimising the default GIF (its
optimisation alone, not the making of that GIF); the ratios of --smaller to
gifsicle; and whether each GIF shows the default GIF's pictures for the same
times (checked with giflib by gif_check). Seconds are the best of --runs
runs. Without gifsicle its columns say so and the frames are still checked.

    bench/compare_smaller_gif.py [BUILD_DIR] [--runs N] [--only NAME]

BUILD_DIR (default build-bench) must hold tavel, bench/make_reference_animations
and bench/gif_check (`make bench-build` builds them). Exits with 1 when a
--smaller GIF does not show the default GIF's pictures.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time


def best_time(command, runs, environment):
    """Runs a command RUNS times; returns the shortest wall time in seconds."""
    best = None
    for _ in range(runs):
        start = time.perf_counter()
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=environment)
        seconds = time.perf_counter() - start
        if result.returncode != 0:
            sys.exit(f"{' '.join(command)} failed: {result.stderr.decode(errors='replace').strip()}")
        best = seconds if best is None else min(best, seconds)
    return best


def same_pictures(check, gif, reference):
    result = subprocess.run([check, gif, "--same-as", reference], stdout=subprocess.PIPE)
    verdict = result.stdout.decode().strip()
    return verdict == "exact", verdict


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build", nargs="?", default=os.path.join(root, "build-bench"))
    parser.add_argument("--runs", type=int, default=3, help="runs per timing, the best kept (default 3)")
    parser.add_argument("--only", action="append", help="only the animation of this name (repeatable)")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    tavel = os.path.join(build, "tavel")
    maker = os.path.join(build, "bench", "make_reference_animations")
    check = os.path.join(build, "bench", "gif_check")
    for program in (tavel, maker, check):
        if not os.access(program, os.X_OK):
            sys.exit(f"{program} is missing: build it with `make bench-build`")
    gifsicle = shutil.which("gifsicle")
    environment = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
        environment.pop(name, None)

    work = tempfile.mkdtemp(prefix="tavel-smaller-gif-")
    failed = False
    try:
        listing = subprocess.run([maker, work], check=True, stdout=subprocess.PIPE).stdout.decode().split("\n")
        animations = [line.split()[0][:-len(".tvl")] for line in listing if line.strip()]
        if args.only:
            animations = [a for a in animations if a in args.only]
        print(f"best of {args.runs} runs; load average before: {os.getloadavg()[0]:.2f}\n")
        print("| animation | default bytes | --smaller bytes | --smaller s | gifsicle -O3 bytes | gifsicle -O3 s "
              "| bytes ratio | time ratio | --smaller same pictures | gifsicle same pictures |")
        print("|---|---:|---:|---:|---:|---:|---:|---:|---|---|")
        for name in animations:
            project = os.path.join(work, name + ".tvl")
            default = os.path.join(work, name + ".gif")
            smaller = os.path.join(work, name + "-smaller.gif")
            best_time([tavel, "--export", default, project], 1, environment)
            seconds = best_time([tavel, "--export", smaller, "--smaller", project], args.runs, environment)
            same, verdict = same_pictures(check, smaller, default)
            failed |= not same
            row = [name, os.path.getsize(default), os.path.getsize(smaller), f"{seconds:.3f}"]
            if gifsicle:
                optimised = os.path.join(work, name + "-gifsicle.gif")
                theirs = best_time([gifsicle, "-O3", default, "-o", optimised], args.runs, environment)
                their_bytes = os.path.getsize(optimised)
                their_same, their_verdict = same_pictures(check, optimised, default)
                row += [their_bytes, f"{theirs:.3f}", f"{os.path.getsize(smaller) / their_bytes:.4f}",
                        f"{seconds / theirs:.3f}"]
            else:
                their_same, their_verdict = None, "skipped: gifsicle not installed"
                row += ["-", "-", "-", "-"]
            row.append("yes" if same else "no: " + verdict)
            row.append(their_verdict if their_same is None else "yes" if their_same else "no: " + their_verdict)
            print("| " + " | ".join(str(cell) for cell in row) + " |", flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
