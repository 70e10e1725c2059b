#!/bin/bash
# Lists every include that runs upward between the rooms of src/, lowest room first:
#   engine = media < nodes < ai = world < replay < net < lobby < arena < ui < app = nettools
# Rooms on one floor may read each other: the engine loads the media (its catalogue, the
# window's icon), the computer players read the world they play in and the world runs them. Prints "file -> header" per upward include and
# a count; with --check, exits non-zero when there is any, or more than the number given
# (--check N: the arrows known and stated may stay).
set -euo pipefail
cd "$(dirname "$0")/../src"

floor() {
  case "$1" in
  engine | media) echo 0 ;; nodes) echo 1 ;; ai | world) echo 2 ;; replay) echo 3 ;; net) echo 4 ;; lobby) echo 5 ;;
  arena) echo 6 ;; ui) echo 7 ;; app | nettools) echo 8 ;; *) echo -1 ;;
  esac
}

count=0
while IFS= read -r line; do
  file=${line%%:*}
  header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${line#*:}")
  from=${file%%/*}
  to=${header%%/*}
  [ "$from" = "$to" ] && continue
  ff=$(floor "$from")
  tf=$(floor "$to")
  [ "$tf" -lt 0 ] && continue
  if [ "$tf" -gt "$ff" ]; then
    echo "$from -> $to: $file -> $header"
    count=$((count + 1))
  fi
done < <(grep -rE '^[[:space:]]*#include "[a-z]+/[^"]+"' --include='*.h' --include='*.cpp' . | sed 's|^\./||' | sort)
echo "upward includes: $count"

if [ "${1:-}" = "--check" ]; then
  allowed=${2:-0}
  [ "$count" -le "$allowed" ] || { echo "more upward includes than the $allowed allowed" >&2; exit 1; }
fi
