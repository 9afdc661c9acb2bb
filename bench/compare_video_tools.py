#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Tavel's video export against ffmpeg alone encoding the same frames.

For each animation (the sample walk, the two reference animations and the
two of the video comparison, from make_reference_animations), exports the
frames as BMP pictures with Tavel's own BMP export, then times, for MP4 and
WebM:

  - Tavel's export end to end (reading the project, drawing, converting to
    4:2:0, encoding);
  - ffmpeg alone encoding the BMP files with the encoder settings Tavel
    gives it (VIDEO_ARGUMENTS below, which must follow
    export/VideoExport.cpp), converting them to 4:2:0 itself with accurate
    rounding and, for an MP4 of odd size, the edge repeated as Tavel does;
  - for WebM, ffmpeg alone with the arguments of the former WebM export
    (good quality, crf 30) from the frames as Tavel piped them then (raw
    bgr0, made from the BMPs beforehand): the former export's encoding, a
    lower bound of its time, and its very frames.

Each command runs RUNS times, alternating, and the median counts. PSNR is
against the BMP frames, with ffmpeg's psnr filter: "rgb" compares in RGB
(the measure to go by: it takes in what 4:2:0 loses of thin coloured
lines); "yuv" brings the BMPs to 4:2:0 with ffmpeg's converter, which takes
colour from a wider area than Tavel's 2 x 2 mean, so it also counts that
difference (about 46 dB is then the ceiling).

    bench/compare_video_tools.py [BUILD_DIR] [RUNS]   (default: build-bench, 3)
"""

import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

SCALE = ["-sws_flags", "bicubic+accurate_rnd"]
VIDEO_ARGUMENTS = {
    "mp4": [*SCALE, "-c:v", "libx264", "-pix_fmt", "yuv420p", "-vf", "EVEN_SIZE",
            "-movflags", "+faststart", "-f", "mp4"],
    "webm": [*SCALE, "-c:v", "libvpx-vp9", "-pix_fmt", "yuv420p", "-deadline", "realtime", "-cpu-used", "8",
             "-row-mt", "1", "-threads", str(min(max(os.cpu_count() or 1, 2), 8)), "-crf", "15", "-b:v", "0", "-fflags", "+bitexact", "-f", "webm"],
}
FORMER_WEBM = ["-c:v", "libvpx-vp9", "-pix_fmt", "yuv420p", "-crf", "30", "-b:v", "0", "-f", "webm"]


def even_size(size):
    """The filter that brings an odd width or height to an even one, as the export does."""
    right, bottom = size[0] % 2, size[1] % 2
    fill = f",fillborders=right={right}:bottom={bottom}:mode=smear" if right or bottom else ""
    return "pad=ceil(iw/2)*2:ceil(ih/2)*2" + fill


def timed(command, environment):
    start = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=environment)
    seconds = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit(f"{command[0]} failed: {result.stderr.decode(errors='replace').strip()}")
    return seconds


def psnr(video, pattern, size):
    """PSNR of video against the BMPs: in the video's 4:2:0 (the BMPs padded
    as the MP4 is), and in RGB (the MP4's added column or row cut off)."""
    values = []
    for graph in (f"[1:v]{even_size(size)}[b];[0:v][b]psnr" if video.endswith(".mp4") else "[0:v][1:v]psnr",
                  f"[0:v]format=gbrp,crop={size[0]}:{size[1]}:0:0[a];[1:v]format=gbrp[b];[a][b]psnr"):
        result = subprocess.run(["ffmpeg", "-hide_banner", "-i", video, "-framerate", "100", "-i", pattern,
                                 "-lavfi", graph, "-f", "null", "-"], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        found = re.search(r"average:([0-9.]+|inf)", result.stderr.decode(errors="replace"))
        values.append(found.group(1) if found else "?")
    return values


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build-bench"))
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    tavel = os.path.join(build, "tavel")
    maker = os.path.join(build, "bench", "make_reference_animations")
    for program in (tavel, maker):
        if not os.access(program, os.X_OK):
            sys.exit(f"{program} is missing: build it with `make bench-build`")
    if not shutil.which("ffmpeg"):
        sys.exit("ffmpeg is not installed")
    environment = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        environment.pop(name, None)
    environment["QT_QPA_PLATFORM"] = "offscreen"

    work = tempfile.mkdtemp(prefix="tavel-video-tools-")
    try:
        subprocess.run([maker, work, "video"], check=True, stdout=subprocess.DEVNULL)
        shutil.copy(os.path.join(root, "resources", "animations", "walk.tvl"), work)
        names = ["walk", "walk-506x415", "walk-1920x1080", "crowd-1280x720", "photo-1280x720"]
        print("| animation | frames | video | tavel s | ffmpeg alone s | ratio | tavel bytes | ffmpeg bytes "
              "| PSNR rgb | PSNR yuv | former WebM s (ffmpeg alone) | bytes | PSNR rgb | PSNR yuv | speed-up |")
        print("|---|---:|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
        for name in names:
            project = os.path.join(work, name + ".tvl")
            folder = os.path.join(work, name)
            os.mkdir(folder)
            timed([tavel, "--export", os.path.join(folder, "f.bmp"), project], environment)
            bmps = sorted(os.listdir(folder))
            digits = len(bmps[0]) - len("f.bmp")
            pattern = os.path.join(folder, f"f%0{digits}d.bmp")
            with open(os.path.join(folder, bmps[0]), "rb") as bmp:
                header = bmp.read(26)
            size = (int.from_bytes(header[18:22], "little"), abs(int.from_bytes(header[22:26], "little", signed=True)))
            raw = os.path.join(work, name + ".raw")
            subprocess.run(["ffmpeg", "-v", "error", "-y", "-framerate", "100", "-i", pattern, "-f", "rawvideo",
                            "-pix_fmt", "bgr0", raw], check=True)
            for kind, arguments in VIDEO_ARGUMENTS.items():
                arguments = [even_size(size) if a == "EVEN_SIZE" else a for a in arguments]
                ours = os.path.join(work, f"{name}.{kind}")
                alone = os.path.join(work, f"{name}-ffmpeg.{kind}")
                former = os.path.join(work, f"{name}-former.{kind}")
                commands = {
                    "ours": [tavel, "--export", ours, project],
                    "alone": ["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-framerate", "100", "-i",
                              pattern, *arguments, alone],
                }
                if kind == "webm":
                    commands["former"] = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "rawvideo",
                                          "-pix_fmt", "bgr0", "-s", f"{size[0]}x{size[1]}", "-framerate", "100",
                                          "-i", raw, *FORMER_WEBM, former]
                seconds = {key: [] for key in commands}
                for _ in range(runs):
                    for key, command in commands.items():
                        seconds[key].append(timed(command, environment))
                median = {key: statistics.median(values) for key, values in seconds.items()}
                yuv, rgb = psnr(ours, pattern, size)
                row = (f"| {name} | {len(bmps)} | {kind} | {median['ours']:.2f} | {median['alone']:.2f} | "
                       f"{median['ours'] / median['alone']:.2f} | {os.path.getsize(ours)} | "
                       f"{os.path.getsize(alone)} | {rgb} | {yuv} |")
                if kind == "webm":
                    former_yuv, former_rgb = psnr(former, pattern, size)
                    row += (f" {median['former']:.2f} | {os.path.getsize(former)} | {former_rgb} | {former_yuv} | "
                            f"{median['former'] / median['ours']:.1f} |")
                else:
                    row += " - | - | - | - | - |"
                print(row, flush=True)
            os.remove(raw)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
