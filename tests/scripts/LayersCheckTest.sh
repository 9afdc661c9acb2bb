#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The layer check passes the tree as it is and refuses each kind of bad
# include planted in a copy of it, for the right reason.
# Usage: LayersCheckTest.sh SOURCE_ROOT
set -euo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy() {
  rm -rf "$work/tree"
  mkdir "$work/tree"
  for folder in model files platform builder export editor app; do cp -r "$src/$folder" "$work/tree/"; done
}
copy
if ! out=$("$src/scripts/check-layers.sh" "$work/tree" 2>&1); then
  echo "the tree as it is fails: $out"
  exit 1
fi
cases=(
  'model/Common.h|#include "../files/ProjectFile.h"|relative include'
  'model/Common.h|#include <editor/MainUnit.h>|angle brackets'
  'export/GifLzw.cpp|#include "platform/ProgramPaths.h"|does not link platform'
  'export/Workers.cpp|#include "export/windows/GifSaveUnit.h"|does not link export/windows'
  'files/Zlib.cpp|#include "tests/support/GuiWait.h"|may not include tests'
  'builder/UpDown.cpp|#include "editor/MainUnit.h"|does not link editor'
)
failed=0
for planted in "${cases[@]}"; do
  IFS='|' read -r file include reason <<<"$planted"
  copy
  printf '%s\n' "$include" >>"$work/tree/$file"
  if out=$("$src/scripts/check-layers.sh" "$work/tree" 2>&1); then
    echo "passed with $include in $file"
    failed=1
  elif ! grep -q "$reason" <<<"$out"; then
    echo "refused $include in $file, but not as '$reason': $out"
    failed=1
  fi
done
# A tree whose lists name no target fails rather than passing unchecked.
copy
sed -i 's/add_library/add_something/' "$work/tree/model/CMakeLists.txt"
if "$src/scripts/check-layers.sh" "$work/tree" >/dev/null 2>&1; then
  echo "passed a tree whose model has no target"
  failed=1
fi
exit $failed
