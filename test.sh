#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, window and whole-program tests)
# under a private virtual X server. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

aw_install "${AW_BUILD_PACKAGES[@]}" "${AW_TEST_PACKAGES[@]}"
aw_build "$AW_ROOT/build"

# Our own X server, so the tests see the same screen wherever they run.
display=95
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true' EXIT
export DISPLAY=":$display"
for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$xvfb_pid" 2>/dev/null || { aw_log "Xvfb did not start"; exit 1; }
    sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { aw_log "Xvfb did not answer"; exit 1; }
export SDL_AUDIODRIVER=dummy

cd "$AW_ROOT/build"
ctest --output-on-failure -j2 --timeout 600
