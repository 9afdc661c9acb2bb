#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""How much work a kill -9 loses: starts the program under an X server
(DISPLAY, default :99, e.g. Xvfb with xdotool installed), presses Alt+N
(Next Frame) every quarter second for a random 5 to 40 seconds, kills the
program with SIGKILL, then reads its recovery copy and prints how many
frames it holds and how long before the kill it was taken.

With PROJECT, the program opens that project first (its frames are not
counted as work) and the kills start once its name is in the title.

Usage: measure_kill_loss.py PROGRAM [RUNS] [PROJECT]
"""
import os, random, signal, struct, subprocess, sys, time, zlib, glob

prog = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
project = sys.argv[3] if len(sys.argv) > 3 else None
env = dict(os.environ, DISPLAY=os.environ.get('DISPLAY', ':99'), XDG_DATA_HOME='/tmp/killtest-data', ASAN_OPTIONS='detect_leaks=0')

def frame_count(payload):
    # Version, background flag, width, height, the background (a JPEG with
    # its end offset, or a whole BMP file), the type count, the frame count.
    p = 10
    if payload[1]:
        kind = payload[p]; p += 1
        if kind == 1:
            p, = struct.unpack_from('<q', payload, p)
        else:
            size, = struct.unpack_from('<I', payload, p + 2); p += size
    assert payload[p] == 2, 'types added'
    return struct.unpack_from('<i', payload, p + 1)[0]

def frames_in(path):
    # The copy: magic, format, kind, then parts (length, bytes, CRC-32):
    # header (the time first), working frame, ghost, the project's stream.
    b = open(path, 'rb').read()
    global snapshot_ms
    parts, p = [], 10
    while p < len(b):
        n, = struct.unpack_from('<I', b, p)
        parts.append(b[p + 4:p + 4 + n]); p += 8 + n
    snapshot_ms, = struct.unpack_from('<q', parts[0], 0)
    return frame_count(zlib.decompress(parts[3]))

initial = frame_count(zlib.decompress(open(project, 'rb').read())) if project else 0
title = os.path.basename(project) if project else 'Tavel: Hotkeys'

def xdo(*a):
    subprocess.run(['xdotool', *a], env=env, capture_output=True)

losses, lost_work = [], []
for run in range(runs):
    subprocess.run(['rm', '-rf', '/tmp/killtest-data'])
    p = subprocess.Popen([prog] + ([project] if project else []), env=env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    wid = ''
    for _ in range(600):
        r = subprocess.run(['xdotool', 'search', '--name', title], env=env, capture_output=True, text=True)
        if r.stdout.strip(): wid = r.stdout.split()[0]; break
        time.sleep(0.1)
    time.sleep(1.0)
    xdo('windowfocus', wid)
    limit = random.uniform(5, 40)
    start = time.time(); presses = []
    while time.time() - start < limit:
        xdo('key', 'alt+n')
        presses.append(time.time())
        time.sleep(0.25)
    killed = time.time()
    p.send_signal(signal.SIGKILL); p.wait()
    files = glob.glob('/tmp/killtest-data/Tavel/recovery/*.tvlrec')
    kept = max(0, frames_in(files[0]) - initial) if files else 0
    # The copy lacks the presses after its last frame: that work is lost.
    lost = killed - (presses[kept - 1] if kept else start)
    behind = killed - snapshot_ms / 1000 if files else float('nan')
    losses.append(behind)
    lost_work.append(lost)
    print(f'run {run}: worked {limit:5.1f} s, {len(presses)} presses, {kept} frames in the copy '
          f'(presses after them: {lost:4.1f} s), copy taken {behind:4.1f} s before the kill', flush=True)
taken = [l for l in losses if l == l]
if taken:
    print(f'copy taken at most {max(taken):.1f} s before a kill')
print(f'worst loss over {runs} runs: {max(lost_work):.1f} s of presses not in the copy')
