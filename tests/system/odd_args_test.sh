#!/usr/bin/env bash
# Arguments the game does not know are stored or ignored; none of them stops it starting,
# and only the exact "-fullscreen" changes the window; each ignored one is named on stderr.
source "$(dirname "$0")/lib.sh"
aw_init "$@"

aw_start - -FULLSCREEN -fullscreenx foo --x "" "-nointro" "-a b" -NOINTRO
aw_wait_window
[ "$(aw_size)" = "1024x768" ] || aw_fail "window is $(aw_size)"
sleep 0.5
aw_key Escape
aw_wait_exit 10
aw_expect_status 0
for ignored in -FULLSCREEN -fullscreenx foo --x '' '-a b' -NOINTRO; do
    aw_expect_stderr "ampwarden: ignoring '$ignored'"
done
grep -q "ignoring '-nointro'" "$AW_TMP/game.err" && aw_fail "a known option was named as ignored"
aw_note "odd arguments: started and quit normally"
