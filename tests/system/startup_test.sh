#!/usr/bin/env bash
# The game opens its window with its caption and size, draws frames, and Escape at the menu
# ends it cleanly.
source "$(dirname "$0")/lib.sh"
aw_init "$@"

aw_start -nointro
aw_wait_window
[ "$(aw_caption)" = "Ampwarden" ] || aw_fail "caption is '$(aw_caption)'"
[ "$(aw_size)" = "1024x768" ] || aw_fail "window is $(aw_size)"
aw_note "window up: $(aw_caption), $(aw_size)"

# Frames are drawn: the menu's dark green background fills the window.
menu_drawn() { aw_colour_in "$AW_SHOT" 0 400 200 200 0 51 25 6 && aw_colour_in "$AW_SHOT" 900 600 100 100 0 51 25 6; }
aw_shot_until 20 menu menu_drawn || aw_fail "the menu's dark green background does not fill the window"

aw_key Escape
aw_wait_exit 10
aw_expect_status 0
aw_note "Escape at the menu quit with status 0"
