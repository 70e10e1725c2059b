#!/usr/bin/env bash
# While its window is hidden (minimised) the game sleeps instead of drawing, wakes when it is
# shown again, and can still be closed while hidden.
source "$(dirname "$0")/lib.sh"
aw_init "$@"

# CPU time used so far by the game, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$AW_PID/stat"; }

aw_start -nointro
aw_wait_window
sleep 0.5
xdotool windowunmap "$AW_WIN" || aw_fail "cannot hide the window"
sleep 0.5
before="$(cpu_ticks)"
sleep 2
used=$(($(cpu_ticks) - before))
hz="$(getconf CLK_TCK)"
# A spinning loop would use about two seconds' worth.
[ "$used" -lt $((hz / 4)) ] || aw_fail "the hidden game used $used of $((2 * hz)) CPU ticks"
aw_note "hidden for 2 s: $used CPU ticks used"

xdotool windowmap "$AW_WIN" || aw_fail "cannot show the window"
sleep 0.5
aw_screenshot restored
aw_expect_colour_in "$AW_SHOT" 900 600 100 100 0 51 25 6
aw_key Escape
aw_wait_exit 10
aw_expect_status 0
aw_note "shown again: drawing, and Escape quits"

aw_start -nointro
aw_wait_window
sleep 0.5
xdotool windowunmap "$AW_WIN" || aw_fail "cannot hide the window"
sleep 0.5
aw_close_window
aw_wait_exit 10
aw_expect_status 0
aw_note "closed while hidden"
