#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, window and whole-program tests)
# under a private virtual X server. Exits non-zero on any failure.
#   ./test.sh             the optimised build in build/
#   ./test.sh --sanitize  the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer
#                         in build-sanitize/ (leaks of the system libraries are suppressed by
#                         tests/sanitize/lsan.supp, which says why; the whole-program tests
#                         check the game for memory errors and undefined behaviour but not
#                         leaks, as tests/CMakeLists.txt explains)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

sanitize=0
case "${1:-}" in
"") ;;
--sanitize) sanitize=1 ;;
*)
    echo "usage: $0 [--sanitize]" >&2
    exit 2
    ;;
esac

aw_install "${AW_BUILD_PACKAGES[@]}" "${AW_TEST_PACKAGES[@]}"
if [ "$sanitize" = 1 ]; then
    build="$AW_ROOT/build-sanitize"
    cmake -S "$AW_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAW_SANITIZE=ON \
        -DAW_BUILD_BENCHMARKS=OFF >/dev/null
    cmake --build "$build" -j"$(nproc)"
    # Every finding fails the test that made it: an error ends the program, a leak sets its status.
    export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
    export LSAN_OPTIONS="suppressions=$AW_ROOT/tests/sanitize/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    # Tests that hold the game to a memory or time ceiling allow for the sanitizers' overhead.
    export AW_SANITIZED=1
else
    build="$AW_ROOT/build"
    aw_build "$build"
fi

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

cd "$build"
ctest --output-on-failure -j2 --timeout 600
