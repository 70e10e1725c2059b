#!/usr/bin/env bash
# Builds Ampwarden if needed and starts it; options are passed on (./run.sh -nointro).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

aw_install "${AW_BUILD_PACKAGES[@]}"
# Only the game itself: the tests and benchmarks are test.sh's business.
aw_build "$AW_ROOT/build" ampwarden
# The game finds Data/ and AWIcon.bmp in its working directory first.
cd "$AW_ROOT"
exec "$AW_ROOT/build/ampwarden" "$@"
