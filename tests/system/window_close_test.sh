#!/usr/bin/env bash
# Closing the window ends the game with status 0, during the intro and at the menu.
source "$(dirname "$0")/lib.sh"
aw_init "$@"

aw_start
aw_wait_window
aw_close_window
aw_wait_exit 10
aw_expect_status 0
aw_note "closed during the intro"

aw_start -nointro
aw_wait_window
menu_drawn() { aw_colour_in "$AW_SHOT" 0 400 200 200 0 51 25 6; }
aw_shot_until 20 menu menu_drawn || aw_fail "no menu"
aw_close_window
aw_wait_exit 10
aw_expect_status 0
aw_note "closed at the menu"
