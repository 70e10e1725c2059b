#!/usr/bin/env bash
# The menu comes up after the intro with its title and rows, "New Game" highlighted for the
# keys; the row under the mouse turns red, a disabled row never does, and "New Game" opens the
# difficulty list.
source "$(dirname "$0")/lib.sh"
aw_init "$@"

# probe_count NAME X Y W H KIND: pixels of that kind in a rectangle of the last screenshot.
probe_count() { "$AW_PYTHON" "$AW_SYSTEM_DIR/screen_probe.py" count "$AW_SHOT" "$@" || aw_fail "cannot probe"; }
expect_at_least() {
    local n
    n="$(probe_count "$2" "$3" "$4" "$5" "$6")"
    [ "$n" -ge "$7" ] || aw_fail "$1: $n $6 pixels, expected at least $7"
}
expect_at_most() {
    local n
    n="$(probe_count "$2" "$3" "$4" "$5" "$6")"
    [ "$n" -le "$7" ] || aw_fail "$1: $n $6 pixels, expected at most $7"
}

aw_start -nointro
aw_wait_window
aw_move 900 700
sleep 1.5
aw_screenshot menu
expect_at_least "title" 312 40 400 60 green 300
expect_at_least "New Game highlighted at start" 145 245 150 30 red 40
expect_at_most "only New Game highlighted" 145 285 300 120 red 0
expect_at_least "Resume Game greyed" 145 285 150 30 grey 40
expect_at_least "Version line" 814 735 130 25 white 30
aw_note "menu: title, rows and version line drawn"

# Hovering "Exit" turns it red, and New Game white again.
aw_move 200 380
sleep 0.7
aw_screenshot hover
expect_at_least "hovered Exit" 145 365 100 30 red 20
expect_at_least "New Game white again" 145 245 150 30 white 40
aw_note "New Game highlighted at start; hovering Exit turns it red instead"

# "Resume Game" cannot be chosen before a match: hovering it leaves it grey.
aw_move 200 300
sleep 0.7
aw_screenshot disabled
expect_at_most "disabled Resume Game" 145 285 300 30 red 0
expect_at_least "Resume Game still grey" 145 285 150 30 grey 40

# Clicking "New Game" opens the difficulty list beside it.
aw_click 200 260
sleep 0.7
# Its rows lie 28 pixels apart: Demo, a gap, then fourteen levels from Very Easy to Expert,
# each with its rating beside it.
aw_move 600 399
sleep 0.7
aw_screenshot list
expect_at_least "Demo row" 545 245 120 26 white 30
expect_at_least "Rating heading, grey" 715 273 90 26 grey 20
expect_at_least "hovered Easy" 545 385 120 26 red 30
expect_at_least "Expert row last" 545 665 120 26 white 30
expect_at_least "Expert's rating beside it" 715 665 70 26 white 10
expect_at_most "nothing under Expert" 545 697 240 60 white 0
aw_note "New Game opens the difficulty list; the hovered level is red"

aw_key Escape
aw_wait_exit 10
aw_expect_status 0
