#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a program source includes a header it may not use. What each
# folder may include comes from its CMake target's links: its own folder
# and the folders of the tavel_ libraries it links, directly or through
# their PUBLIC links (so the rule is the one the build follows). Refused
# everywhere in the program: relative includes ("../x.h"), project headers
# in angle brackets (<model/x.h>), and any header of tests/. Tests,
# benchmarks and fuzz targets may include any layer.
# Usage: check-layers.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
folders=(model files platform builder export export/windows editor app)
project='model|files|platform|builder|export|editor|app|tests'

# target -> folder, and each target's links as "VISIBILITY:target" words.
declare -A folder_of links_of
for folder in "${folders[@]}"; do
  list="$folder/CMakeLists.txt"
  [ -f "$list" ] || { echo "layers: $list is missing"; exit 1; }
  targets=$(sed -nE 's/^[[:space:]]*add_(library|executable)\(([A-Za-z0-9_]+).*/\2/p' "$list")
  [ -n "$targets" ] || { echo "layers: $list makes no target"; exit 1; }
  for target in $targets; do folder_of[$target]=$folder; done
  while read -r line; do
    target=$(sed -E 's/^[[:space:]]*target_link_libraries\(([A-Za-z0-9_]+).*/\1/' <<<"$line")
    words=$(awk '{
      vis = "PRIVATE"; out = ""
      for (i = 2; i <= NF; ++i) {
        w = $i; gsub(/[()]/, "", w)
        if (w == "PUBLIC" || w == "PRIVATE" || w == "INTERFACE") vis = w
        else if (w ~ /^tavel_/) out = out " " vis ":" w
      }
      print out }' <<<"$line")
    links_of[$target]="${links_of[$target]:-}$words"
  done < <(grep -E '^[[:space:]]*target_link_libraries\(' "$list" || true)
done

# The folders a target's sources may include from.
allowed() {
  local start=$1 seen=" $1 " queue=() next out="${folder_of[$1]}"
  for word in ${links_of[$start]:-}; do queue+=("${word#*:}"); done
  while [ "${#queue[@]}" -gt 0 ]; do
    next=${queue[0]}
    queue=("${queue[@]:1}")
    case "$seen" in *" $next "*) continue ;; esac
    seen="$seen$next "
    [ -n "${folder_of[$next]:-}" ] && out="$out ${folder_of[$next]}"
    for word in ${links_of[$next]:-}; do
      case $word in PUBLIC:* | INTERFACE:*) queue+=("${word#*:}") ;; esac
    done
  done
  echo "$out"
}

status=0
refuse() {
  echo "$1: $2"
  status=1
}
checked=0
for target in "${!folder_of[@]}"; do
  folder=${folder_of[$target]}
  may=" $(allowed "$target") "
  # Files of the folder itself; a subfolder with a list of its own is its own target.
  while IFS= read -r file; do
    checked=$((checked + 1))
    while IFS=: read -r line text; do
      where="$file:$line"
      if [[ $text =~ ^#include[[:space:]]*\"\.\.?/ ]]; then
        refuse "$where" "relative include: $text"
      elif [[ $text =~ ^#include[[:space:]]*\<($project)/ ]]; then
        refuse "$where" "project header in angle brackets: $text"
      elif [[ $text =~ ^#include[[:space:]]*\"tests/ ]]; then
        refuse "$where" "the program may not include tests: $text"
      elif [[ $text =~ ^#include[[:space:]]*\"($project)/ ]]; then
        used=${BASH_REMATCH[1]}
        [[ $text =~ ^#include[[:space:]]*\"export/windows/ ]] && used=export/windows
        case "$may" in
          *" $used "*) ;;
          *) refuse "$where" "$folder ($target) does not link $used: $text" ;;
        esac
      fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" | sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include/\1:#include/' || true)
  done < <(find "$folder" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
done
if [ "$checked" -eq 0 ]; then
  echo "layers: no source file checked"
  exit 1
fi
[ $status -eq 0 ] && echo "layers: every include of $checked files is one its target links"
exit $status
