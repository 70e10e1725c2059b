#!/usr/bin/env bash
# A match started from the menu shows both main nodes, the ten resource sites and the
# heads-up display; key 1 and a click beside the green main node build an extender that
# appears and costs energy; a click out of reach shows why; Escape twice returns to the menu.
source "$(dirname "$0")/lib.sh"
aw_init "$@"

probe() { "$AW_PYTHON" "$AW_SYSTEM_DIR/screen_probe.py" "$@" || aw_fail "cannot probe $*"; }
expect_at_least() {
    local n
    n="$(probe count "$AW_SHOT" "$2" "$3" "$4" "$5" "$6")"
    [ "$n" -ge "$7" ] || aw_fail "$1: $n $6 pixels, expected at least $7"
}
expect_at_most() {
    local n
    n="$(probe count "$AW_SHOT" "$2" "$3" "$4" "$5" "$6")"
    [ "$n" -le "$7" ] || aw_fail "$1: $n $6 pixels, expected at most $7"
}
# Board point to window pixel (origin top-left) with the default view and window.
win_x() { "$AW_PYTHON" -c "print(int($1 - 472.5 + 512))"; }
win_y() { "$AW_PYTHON" -c "print(int(384 - ($1 - 315)))"; }

aw_start -nointro
aw_wait_window
sleep 1
# "New Game", then "Easy".
aw_click 200 260
sleep 0.7
aw_click 600 380
sleep 1.5
aw_move 512 300
sleep 0.5
aw_screenshot match

expect_at_least "green main node" 177 364 40 40 green 150
expect_at_least "blue main node" 807 364 40 40 blue 150
for site in "127.5 465" "127.5 165" "307.5 565" "307.5 65" "817.5 465" \
    "817.5 165" "637.5 565" "637.5 65" "472.5 515" "472.5 115"; do
    set -- $site
    expect_at_least "resource site at $1,$2" $(($(win_x "$1") - 15)) $(($(win_y "$2") - 15)) 30 30 drawn 200
done
expect_at_least "energy bar fill" 25 728 200 16 green 1000
for i in 0 1 2 3 4; do
    expect_at_least "build icon $i" $((100 + 67 * i - 20)) 15 40 40 drawn 400
done
expect_at_least "green health bar" 14 80 12 600 green 1000
expect_at_least "blue health bar" 998 80 12 600 blue 1000
aw_note "match: both main nodes, ten sites, energy bar, icons and health bars"

# Key 1 selects the extender; a click 60 pixels right of the green main node builds one.
aw_key 1
aw_move 257 384
sleep 0.5
aw_screenshot before_build
before_shot="$AW_SHOT"
before="$(probe extent "$AW_SHOT" 738 21 1004)"
empty_site="$(probe count "$AW_SHOT" 247 374 20 20 green)"
aw_click 257 384
sleep 0.3
aw_move 512 300
sleep 0.3
aw_screenshot after_build
after="$(probe extent "$AW_SHOT" 738 21 1004)"
built="$(probe count "$AW_SHOT" 247 374 20 20 green)"
[ "$built" -ge $((empty_site + 20)) ] || aw_fail "no extender appeared: $empty_site green pixels before, $built after"
# 3 million of 30 on a 984-pixel bar is 98 pixels; income wins a little back meanwhile.
[ "$after" -le $((before - 30)) ] || aw_fail "the energy bar did not shrink: ends at $before, then $after"
aw_note "extender built: green pixels $empty_site -> $built, energy bar end $before -> $after"

# A click far from every own node is refused with a message in the band above the board,
# where it covers no node.
expect_at_most "no message yet" 362 40 300 30 white 0
aw_click 600 600
sleep 0.3
aw_screenshot refused
expect_at_least "refusal message" 362 40 300 30 white 100
expect_at_most "nothing over the board" 362 480 300 50 white 0
aw_note "a click out of reach shows its message"

# Escape drops the tool, a second Escape pauses to the menu, where the match can be resumed.
aw_key Escape
sleep 0.5
aw_screenshot deselected
expect_at_least "still in the match" 177 364 40 40 green 150
aw_key Escape
sleep 1
aw_screenshot menu
expect_at_least "menu title" 312 40 400 60 green 300
expect_at_least "Resume Game enabled" 145 285 150 30 white 40
expect_at_most "board gone" 177 364 40 40 green 0
aw_note "Escape twice returns to the menu with Resume Game enabled"

aw_key Escape
aw_wait_exit 10
aw_expect_status 0
