#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tavel's Debian package in BUILD_DIR (default build-package): the
# optimised, hardened program installed under /usr, packaged by CPack.
# Further arguments go to CMake, for example
#   scripts/build-package.sh build-package "-DTAVEL_MAINTAINER=Jane Doe <jane@example.org>"
# JOBS sets the build's parallel jobs (default 2). `make package` and the
# package test both build through here, so the test checks what ships.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build-package}"
shift || true

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVEL_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr "$@"
cmake --build "$build" -j "${JOBS:-2}" --target tavel
# One package in the folder: an earlier version's would be taken for this one.
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/*.deb
