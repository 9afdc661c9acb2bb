#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs clang-tidy 14 with .clang-tidy's checks over the program's sources
# and its tests, as the build in BUILD_DIR (default build-test) compiles
# them, and fails on any finding. It fails closed: when clang-tidy cannot
# run, when the build has no compilation database, or when no file would be
# checked, that is a failure too, never "no findings". Warning options of
# GCC alone (-Wshadow=local) are passed over.
# Usage: check-tidy.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build-test}"
cd "$root"
tidy=run-clang-tidy-14
command -v "$tidy" >/dev/null || { echo "tidy: $tidy is not installed"; exit 1; }
database="$build/compile_commands.json"
[ -f "$database" ] || { echo "tidy: $database is missing (configure the build first)"; exit 1; }
folders='model|files|platform|builder|export|editor|app|tests'
pattern="^$root/($folders)/.*\\.cpp\$"
files=$(grep -oE '"file": *"[^"]+"' "$database" | sed -E 's/"file": *"([^"]+)"/\1/' | grep -E "$pattern" | sort -u || true)
count=$(grep -c . <<<"$files" || true)
if [ "$count" -eq 0 ]; then
  echo "tidy: $database names no source of $folders"
  exit 1
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$tidy" -p "$build" -j "${JOBS:-2}" -quiet -extra-arg=-Wno-unknown-warning-option "$pattern" >"$log" 2>&1 || status=$?
if grep -E "(warning|error): " "$log" | sort -u | grep .; then
  echo "tidy: $(grep -cE "(warning|error): " "$log") findings in $count files"
  exit 1
fi
if [ "$status" -ne 0 ]; then
  tail -n 20 "$log"
  echo "tidy: clang-tidy failed (exit status $status)"
  exit 1
fi
echo "tidy: no findings in $count files"
