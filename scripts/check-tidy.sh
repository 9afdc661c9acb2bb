#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs clang-tidy 14 with .clang-tidy's checks over the program's sources,
# as the build in BUILD_DIR (default build-test) compiles them, and fails on
# any finding. Tests, benchmarks and fuzz targets are not checked. Warning
# options of GCC alone (-Wshadow=local) are passed over.
# Usage: check-tidy.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build-test}"
cd "$root"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
run-clang-tidy-14 -p "$build" -j "${JOBS:-2}" -quiet -extra-arg=-Wno-unknown-warning-option "$root/(model|files|platform|builder|export|editor|app)/" >"$log" 2>&1 || true
if grep -E "(warning|error): " "$log" | sort -u | grep .; then
  echo "tidy: $(grep -cE "(warning|error): " "$log") findings"
  exit 1
fi
echo "tidy: no findings"
