#!/usr/bin/env bash
# A hundred or so random clicks, drags and keys (debug keys included, Escape left out) in a
# match against the computer: the real program keeps running, then quits cleanly.
source "$(dirname "$0")/lib.sh"
aw_init "$@"

aw_start -nointro -debug
aw_wait_window
sleep 1
# "New Game", then "Normal".
aw_click 200 260
sleep 0.5
aw_click 600 420
sleep 0.5

RANDOM=4242
keys=(1 2 3 4 5 c o a d r l Tab x)
for _ in $(seq 1 120); do
    x=$((RANDOM % 1024))
    y=$((RANDOM % 768))
    case $((RANDOM % 6)) in
    0 | 1) aw_click "$x" "$y" 1 ;;
    2) aw_drag "$x" "$y" $((x + RANDOM % 120 - 60)) $((y + RANDOM % 120 - 60)) ;;
    3) aw_click "$x" "$y" 3 ;;
    4) xdotool key "${keys[RANDOM % ${#keys[@]}]}" || aw_fail "cannot send a key" ;;
    *) aw_move "$x" "$y" ;;
    esac
    aw_running || { aw_wait_exit 5; aw_fail "the game ended during random input (status $AW_STATUS)"; }
done
aw_screenshot after_random_input

# Escape deselects a tool, pauses a match, and quits from the menu.
for _ in 1 2 3 4; do
    aw_running || break
    aw_move 512 384
    xdotool key Escape 2>/dev/null || true
    sleep 0.5
done
aw_wait_exit 10
aw_expect_status 0
aw_note "random input survived; Escape quit with status 0"
