#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the PNG sizes of the icons from their SVG sources in
# resources/icons/ (needs rsvg-convert, Debian package librsvg2-bin). The
# PNGs are committed, so building never needs this; run it after changing an SVG.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for svg in *.svg; do
  name=${svg%.svg}
  for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "png/$size"
    rsvg-convert -w "$size" -h "$size" "$svg" -o "png/$size/$name.png"
  done
done
