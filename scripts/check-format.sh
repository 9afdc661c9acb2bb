#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ file git knows differs from its layout by .clang-format
# (clang-format 14), listing the places. With --fix it rewrites them instead.
# Usage: check-format.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
format=clang-format-14
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  "$format" -i "${files[@]}"
  exit 0
fi
"$format" --dry-run --Werror "${files[@]}"
echo "format: every file is laid out as .clang-format says"
