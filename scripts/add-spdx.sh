#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the line "SPDX-License-Identifier: GPL-3.0-or-later", as a comment of
# the file's language, at the top of every source file of the repository
# (C and C++, CMake, shell, Python, makefiles, manual pages): on the first
# line, or just after a "#!" line (and a Python coding line). Files that have
# it already are left alone, so running it again changes nothing.
#
#   scripts/add-spdx.sh          adds the line where it is missing
#   scripts/add-spdx.sh --check  changes nothing; lists the files without it
#                                and exits 1 if there are any
#
# The files are those git knows (tracked, or new and not ignored); outside a
# git work tree it exits 77, which the tests take as "skipped".
set -euo pipefail

readonly licence="GPL-3.0-or-later"
readonly tag="SPDX-License-Identifier:"

# The comment that carries the line in FILE's language; nothing for a file
# that is not source (pictures, samples, data, documents).
comment_for() {
  local file="$1" name="${1##*/}"
  case "$name" in
    *.c | *.cc | *.cpp | *.cxx | *.h | *.hh | *.hpp) echo "// $tag $licence" ;;
    CMakeLists.txt | *.cmake | *.sh | *.bash | *.py | Makefile | *.mk) echo "# $tag $licence" ;;
    *.[1-8] | *.[1-8].in) echo ".\\\" $tag $licence" ;;
    *.*) ;;
    *)
      # A script without an extension, known by its first line.
      if head -n 1 -- "$file" | grep -Eq '^#!.*(sh|bash|python3?)([[:space:]]|$)'; then
        echo "# $tag $licence"
      fi
      ;;
  esac
}

# The number of lines that must stay above the identifier: a "#!" line, and
# after it a Python coding line.
preamble_lines() {
  local file="$1" n=0
  if head -n 1 -- "$file" | grep -q '^#!'; then
    n=1
    if sed -n 2p -- "$file" | grep -Eq '^#.*coding[:=]'; then n=2; fi
  fi
  echo "$n"
}

# Bash reads a script as it runs it, and this one may rewrite itself: the
# whole work is one function, defined and called on the last line, so bash
# has read everything before any file changes.
main() {
  check=false
  case "${1:-}" in
    --check) check=true ;;
    "") ;;
    *) echo "usage: $0 [--check]" >&2; exit 2 ;;
  esac

  cd "$(dirname "$0")/.."
  if ! command -v git >/dev/null || ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "not a git work tree: skipped" >&2
    exit 77
  fi

  missing=()
  while IFS= read -r -d '' file; do
    [ -f "$file" ] && [ ! -L "$file" ] || continue
    comment="$(comment_for "$file")"
    [ -n "$comment" ] || continue
    above="$(preamble_lines "$file")"
    # The identifier belongs right below the preamble.
    line="$(sed -n "$((above + 1))p" -- "$file")"
    if [ "$line" = "$comment" ]; then
      continue
    elif printf '%s\n' "$line" | grep -Eq "^(//|#|/\*|\.\\\\\")[[:space:]]*$tag"; then
      echo "$file: has another licence identifier, left alone: $line" >&2
      missing+=("$file")
      continue
    fi
    if $check; then
      missing+=("$file")
      continue
    fi
    tmp="$(mktemp)"
    {
      head -n "$above" -- "$file"
      printf '%s\n' "$comment"
      tail -n "+$((above + 1))" -- "$file"
    } >"$tmp"
    # Writing through the old file keeps its permissions (scripts stay executable).
    cat -- "$tmp" >"$file"
    rm -f -- "$tmp"
    echo "added: $file"
  done < <(git ls-files -z --cached --others --exclude-standard)

  if [ ${#missing[@]} -gt 0 ]; then
    if $check; then
      echo "These source files lack \"$tag $licence\" at the top (scripts/add-spdx.sh adds it):" >&2
      printf '  %s\n' "${missing[@]}" >&2
    fi
    exit 1
  fi
  return 0
}

main "$@"; exit $?
