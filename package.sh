#!/usr/bin/env bash
# Builds the game and makes its Debian package, ampwarden_<version>_<arch>.deb, in the given
# folder (default: build/). Install it with: sudo apt install ./ampwarden_<version>_<arch>.deb
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

aw_install "${AW_BUILD_PACKAGES[@]}" "${AW_PACKAGE_PACKAGES[@]}"
aw_build "$AW_ROOT/build" ampwarden ampwarden-arena ampwarden_docs
out="$(mkdir -p "${1:-$AW_ROOT/build}" && cd "${1:-$AW_ROOT/build}" && pwd)"
cpack --config "$AW_ROOT/build/CPackConfig.cmake" -G DEB -B "$out" >&2
ls "$out"/ampwarden_*.deb
