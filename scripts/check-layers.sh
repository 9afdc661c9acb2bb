#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a header of a layer above its own. The
# layers, lowest first: model, files, platform, builder and export (side by
# side: neither includes the other; export's windows, in export/windows, sit
# above the rest of export), editor, app. Tests, benchmarks and fuzz
# targets may include any layer.
# Usage: check-layers.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
rank() {
  case $1 in
    model) echo 0 ;; files) echo 1 ;; platform) echo 2 ;;
    builder | export) echo 3 ;; editor) echo 4 ;; app) echo 5 ;;
    *) echo -1 ;;
  esac
}
status=0
for folder in model files platform builder export editor app; do
  own=$(rank "$folder")
  while IFS=: read -r file line text; do
    used=$(sed -E 's/^#include "([a-z]+)\/.*/\1/' <<<"$text")
    [ "$used" = "$folder" ] && continue
    theirs=$(rank "$used")
    [ "$theirs" -lt 0 ] && continue
    if [ "$theirs" -ge "$own" ]; then
      echo "$file:$line: $folder may not include $used: $text"
      status=1
    fi
  done < <(grep -rnE '^#include "[a-z]+/' "$folder" --include='*.h' --include='*.cpp' || true)
done
# The exports without widgets do not include their windows.
while IFS=: read -r file line text; do
  echo "$file:$line: export may not include export/windows: $text"
  status=1
done < <(grep -rnE '^#include "export/windows/' export --include='*.h' --include='*.cpp' | grep -v '^export/windows/' || true)
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
