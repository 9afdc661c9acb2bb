#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Tavel's GIF export against the tools people use instead, and its lossless
and video exports.

Writes the two reference animations as project files, exports their frames as
BMP pictures with Tavel's own BMP export, then makes a GIF of the same frames
with each tool that is installed (ImageMagick convert, ffmpeg with palettegen
and paletteuse, gifsicle -O3, Pillow) and prints, per tool, the frames per
second, the file size and whether every frame decodes exactly to its BMP
(checked with giflib by gif_check). Tools that are missing are skipped.

A second table has Tavel's PNG sequence and animated PNG, checked frame by
frame against the BMPs with Pillow (and ffmpeg's animated PNG of the same
BMPs beside them), and its videos, whose frames ffprobe counts.

    bench/compare_gif_tools.py [BUILD_DIR]     (default: build-bench)

BUILD_DIR must hold tavel, bench/make_reference_animations and bench/gif_check
(`make bench` builds them).
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

PILLOW_SCRIPT = """
import sys
from PIL import Image
out, files = sys.argv[1], sys.argv[2:]
frames = [Image.open(f).convert("RGB") for f in files]
frames[0].save(out, save_all=True, append_images=frames[1:], duration=10, loop=0, optimize=True)
"""

PYTHON = "/usr/bin/python3"

# Compares the frames of a PNG sequence or an animated PNG with the BMPs:
# prints "exact" or where they differ.
PILLOW_CHECK = """
import sys
from PIL import Image
kind, first, bmps = sys.argv[1], sys.argv[2], sys.argv[3:]
def frames():
    if kind == "sequence":
        for f in first.split(","):
            yield Image.open(f)
    else:
        image = Image.open(first)
        for n in range(getattr(image, "n_frames", 1)):
            image.seek(n)
            yield image
count = 0
for n, frame in enumerate(frames()):
    if n >= len(bmps) or frame.convert("RGB").tobytes() != Image.open(bmps[n]).convert("RGB").tobytes():
        print(f"frame {n} differs"); sys.exit(1)
    count += 1
print("exact" if count == len(bmps) else f"{count} frames, {len(bmps)} expected")
"""

# Debian's ImageMagick policy caps the pixel cache at 256 MiB of memory and
# 1 GiB of disk, which refuses 100 frames of 1920 x 1080; convert reads this
# policy instead (through MAGICK_CONFIGURE_PATH).
MAGICK_POLICY = """<policymap>
  <policy domain="resource" name="memory" value="8GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="area" value="4GP"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
"""


def run(command, **kwargs):
    """Runs a command; returns (seconds, error text or None)."""
    start = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs)
    seconds = time.perf_counter() - start
    if result.returncode != 0:
        text = (result.stderr or result.stdout).decode(errors="replace").strip().splitlines()
        return seconds, (text[-1] if text else f"exit status {result.returncode}")
    return seconds, None


def has_pillow():
    return os.path.exists(PYTHON) and subprocess.run(
        [PYTHON, "-c", "import PIL"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def video_frames(path):
    if not shutil.which("ffprobe"):
        return "ffprobe missing"
    result = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                             "stream=nb_read_frames,width,height", "-of", "csv=p=0", path],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return result.stdout.decode().strip() or result.stderr.decode().strip()


def lossless_and_video(tavel, project, folder, bmps, work, name, environment):
    frames = len(bmps)
    digits = len(str(frames - 1))
    rows = [
        ("tavel PNG sequence", [tavel, "--export", os.path.join(work, name + "-p.png"), project],
         [os.path.join(work, f"{name}-p{i:0{digits}d}.png") for i in range(frames)], "sequence"),
        ("tavel animated PNG", [tavel, "--export", os.path.join(work, name + ".apng"), project],
         [os.path.join(work, name + ".apng")], "animation"),
        ("ffmpeg animated PNG (of the BMPs)", ["ffmpeg", "-v", "error", "-y", "-framerate", "100", "-i",
                                               os.path.join(folder, f"f%0{digits}d.bmp"), "-plays", "0",
                                               "-f", "apng", os.path.join(work, name + "-ffmpeg.apng")],
         [os.path.join(work, name + "-ffmpeg.apng")], "animation"),
        ("tavel MP4 (H.264)", [tavel, "--export", os.path.join(work, name + ".mp4"), project],
         [os.path.join(work, name + ".mp4")], "video"),
        ("tavel WebM (VP9)", [tavel, "--export", os.path.join(work, name + ".webm"), project],
         [os.path.join(work, name + ".webm")], "video"),
    ]
    print("\n| lossless and video | seconds | frames/s | bytes | check |")
    print("|---|---:|---:|---:|---|")
    for label, command, outputs, kind in rows:
        if not shutil.which(command[0]) and not os.access(command[0], os.X_OK):
            print(f"| {label} | - | - | - | skipped: not installed |")
            continue
        seconds, error = run(command, env=environment)
        if error:
            print(f"| {label} | {seconds:.2f} | - | - | failed: {error} |")
            continue
        size = sum(os.path.getsize(o) for o in outputs)
        if kind == "video":
            verdict = video_frames(outputs[0])
        elif has_pillow():
            verdict = subprocess.run([PYTHON, "-c", PILLOW_CHECK, kind, ",".join(outputs), *bmps],
                                     stdout=subprocess.PIPE).stdout.decode().strip()
            verdict = "every frame exact (Pillow)" if verdict == "exact" else verdict
        else:
            verdict = "not checked: Pillow missing"
        print(f"| {label} | {seconds:.2f} | {frames / seconds:.0f} | {size} | {verdict} |")


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build-bench"))
    tavel = os.path.join(build, "tavel")
    maker = os.path.join(build, "bench", "make_reference_animations")
    check = os.path.join(build, "bench", "gif_check")
    for program in (tavel, maker, check):
        if not os.access(program, os.X_OK):
            sys.exit(f"{program} is missing: build it with `make bench`")
    environment = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
        environment.pop(name, None)

    work = tempfile.mkdtemp(prefix="tavel-gif-tools-")
    try:
        subprocess.run([maker, work], check=True, stdout=subprocess.DEVNULL)
        with open(os.path.join(work, "policy.xml"), "w") as policy:
            policy.write(MAGICK_POLICY)
        magick_environment = dict(environment, MAGICK_CONFIGURE_PATH=work)
        for name, frames in (("walk-506x415", 200), ("walk-1920x1080", 100)):
            project = os.path.join(work, name + ".tvl")
            folder = os.path.join(work, name)
            os.mkdir(folder)
            seconds, error = run([tavel, "--export", os.path.join(folder, "f.bmp"), project], env=environment)
            if error:
                sys.exit(f"BMP export failed: {error}")
            digits = len(str(frames - 1))
            bmps = [os.path.join(folder, f"f{i:0{digits}d}.bmp") for i in range(frames)]
            bmp_bytes = sum(os.path.getsize(b) for b in bmps)
            plain = os.path.join(work, name + "-plain.gif")

            tools = [
                ("tavel (palette, merge, crop)", tavel,
                 lambda out: [tavel, "--export", out, project]),
                ("tavel (none of them)", tavel,
                 lambda out: [tavel, "--export", out, "--no-palette", "--no-merge", "--no-crop", project]),
                ("tavel --smaller", tavel,
                 lambda out: [tavel, "--export", out, "--smaller", project]),
                ("tavel --exact-colors", tavel,
                 lambda out: [tavel, "--export", out, "--exact-colors", project]),
                ("tavel --exact-colors --smaller", tavel,
                 lambda out: [tavel, "--export", out, "--exact-colors", "--smaller", project]),
                ("ImageMagick convert", shutil.which("convert"),
                 lambda out: ["convert", "-delay", "1", "-loop", "0", *bmps, out]),
                ("ffmpeg palettegen+paletteuse", shutil.which("ffmpeg"),
                 lambda out: ["ffmpeg", "-v", "error", "-y", "-framerate", "100",
                              "-i", os.path.join(folder, f"f%0{digits}d.bmp"),
                              "-filter_complex", "split[a][b];[a]palettegen[p];[b][p]paletteuse", out]),
                ("gifsicle -O3 (of tavel's plain GIF)", shutil.which("gifsicle"),
                 lambda out: ["gifsicle", "-O3", plain, "-o", out]),
                ("Pillow (optimize)", PYTHON if has_pillow() else None,
                 lambda out: [PYTHON, "-c", PILLOW_SCRIPT, out, *bmps]),
            ]

            print(f"\n{name}: {frames} frames; Tavel's BMP export {frames / seconds:.0f} fps "
                  f"({bmp_bytes / 1e6:.0f} MB)\n")
            print("| tool | seconds | frames/s | bytes | every frame exact |")
            print("|---|---:|---:|---:|---|")
            for index, (label, program, command) in enumerate(tools):
                if program is None:
                    print(f"| {label} | - | - | - | skipped: not installed |")
                    continue
                out = plain if index == 1 else os.path.join(work, f"{name}-{index}.gif")
                seconds, error = run(command(out), env=magick_environment if "convert" in label else environment)
                if error:
                    print(f"| {label} | {seconds:.2f} | - | - | failed: {error} |")
                    continue
                verdict = subprocess.run([check, out, *bmps], stdout=subprocess.PIPE).stdout.decode().strip()
                print(f"| {label} | {seconds:.2f} | {frames / seconds:.0f} | {os.path.getsize(out)} | "
                      f"{'yes' if verdict == 'exact' else 'no: ' + verdict} |")
            lossless_and_video(tavel, project, folder, bmps, work, name, environment)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
