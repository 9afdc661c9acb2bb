#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Tavel needs to build and test, when they are missing.
# Runs apt-get through sudo when not root. Safe to run again: it does nothing once all are present.
# With the argument "fuzz", "package" or "lint" it also installs what
# `make fuzz`, `make package` or `make lint` needs.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev libgl-dev
  zlib1g-dev libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libgif-dev libimagequant-dev
  # Video export runs ffmpeg; the tests use it (and ffprobe) when present.
  ffmpeg
  fonts-dejavu-core
  desktop-file-utils appstream libxml2-utils shared-mime-info
)
case "${1:-}" in
  # What `make fuzz` needs.
  fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
  # What `make package` needs to find the package's dependencies.
  package) packages+=(dpkg-dev file) ;;
  # What `make lint` runs.
  lint) packages+=(clang-format-14 clang-tidy-14) ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
