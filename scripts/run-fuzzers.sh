#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target built in BUILD for SECONDS each, starting from its
# seed corpus in fuzz/corpus/<name>/ and keeping what it learns in
# BUILD/corpus/<name>/. Crashes are written to BUILD/crashes/.
# Usage: run-fuzzers.sh BUILD SECONDS [name...]
set -euo pipefail
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")/.." && pwd)
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  # The targets are the programs fuzz_<name>: regular executable files (the
  # build also leaves fuzz_<name>_autogen folders there).
  for f in "$build"/fuzz/fuzz_*; do
    [ -f "$f" ] && [ -x "$f" ] && names+=("$(basename "$f" | sed 's/^fuzz_//')")
  done
fi
mkdir -p "$build/crashes"
status=0
for name in "${names[@]}"; do
  work="$build/corpus/$name"
  mkdir -p "$work"
  echo "== fuzz_$name for ${seconds}s"
  QT_QPA_PLATFORM=offscreen "$build/fuzz/fuzz_$name" "$work" "$here/fuzz/corpus/$name" \
    -max_total_time="$seconds" -rss_limit_mb=4096 -max_len=1048576 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/${name}-" 2>&1 | grep -E "^(stat::|==|SUMMARY|Done|Test unit written|artifact)" || status=1
done
exit $status
