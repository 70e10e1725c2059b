#!/usr/bin/env bash
# The window resized to 1920x1080 and to 800x600 (as a window manager would, with xdotool)
# shows the whole picture scaled to fit, with black bars beside it; a click on a menu row, a
# level, a tool icon and a board point lands on what is drawn there: the match starts and the
# extender is built where the click was.
source "$(dirname "$0")/lib.sh"
# A private display, large enough for the largest window.
unset DISPLAY
AW_SCREEN=1920x1200x24
aw_init "$@"

probe() { "$AW_PYTHON" "$AW_SYSTEM_DIR/screen_probe.py" "$@" || aw_fail "cannot probe $*"; }
# The picture's scale and place in a W x H window, as the game fits its 1024x768 layout.
fit() {
    read -r SCALE LEFT TOP < <("$AW_PYTHON" -c "
w, h = $1, $2
s = min(w / 1024, h / 768)
cw, ch = (w, round(768 * s)) if w / 1024 <= h / 768 else (round(1024 * s), h)
print(s, (w - cw) // 2, (h - ch) // 2)")
}
# wx X, wy Y: the window pixel that shows layout pixel X (or Y).
wx() { "$AW_PYTHON" -c "print(int($LEFT + ($1 + 0.5) * $SCALE))"; }
wy() { "$AW_PYTHON" -c "print(int($TOP + ($1 + 0.5) * $SCALE))"; }
# count X Y W H KIND: pixels of that kind in a layout rectangle of the last screenshot.
count() {
    local x0 y0 x1 y1
    x0=$(wx "$1") y0=$(wy "$2") x1=$(wx $(($1 + $3))) y1=$(wy $(($2 + $4)))
    probe count "$AW_SHOT" "$x0" "$y0" $((x1 - x0)) $((y1 - y0)) "$5"
}
lclick() { aw_click "$(wx "$1")" "$(wy "$2")"; }

play_at() {
    local w=$1 h=$2 before after
    xdotool windowsize "$AW_WIN" "$w" "$h" || aw_fail "cannot resize the window"
    sleep 1.5
    [ "$(aw_size)" = "${w}x${h}" ] || aw_fail "the window is $(aw_size), not ${w}x${h}"
    fit "$w" "$h"
    aw_screenshot "menu_$w"
    # Bars beside (or above and below) the picture are black; the picture is the menu's green.
    if [ "$LEFT" -gt 0 ]; then
        aw_expect_colour_in "$AW_SHOT" 0 0 "$LEFT" "$h" 0 0 0 2
        aw_colour_in "$AW_SHOT" 0 0 "$LEFT" "$h" 0 51 25 12 && aw_fail "$w x $h: the menu spills onto the bar"
    fi
    [ "$(count 312 40 400 60 green)" -ge 300 ] || aw_fail "$w x $h: no title where the layout puts it"
    # "New Game" opens the level list beside it; a level starts the match.
    lclick 200 260
    sleep 0.7
    aw_screenshot "levels_$w"
    [ "$(count 360 254 130 12 drawn)" -ge 150 ] || aw_fail "$w x $h: the click on New Game opened no level list"
    lclick 600 380
    sleep 1.5
    aw_screenshot "match_$w"
    [ "$(count 177 364 40 40 green)" -ge 100 ] || aw_fail "$w x $h: no match after the click on a level"
    # The extender's icon, then a board point 60 pixels right of the green main node.
    before="$(count 247 374 20 20 green)"
    lclick 100 35
    sleep 0.3
    lclick 257 384
    sleep 0.3
    aw_move "$(wx 700)" "$(wy 600)"
    sleep 0.5
    aw_screenshot "built_$w"
    after="$(count 247 374 20 20 green)"
    [ "$after" -ge $((before + 15)) ] || aw_fail "$w x $h: no extender where the click was ($before -> $after green pixels)"
    aw_note "$w x $h: picture fitted at scale $SCALE; menu row, level, tool icon and board point chosen"
    aw_key Escape Escape
    sleep 0.7
}

aw_start -nointro
aw_wait_window
sleep 1
play_at 1920 1080
play_at 800 600
aw_key Escape
aw_wait_exit 10
aw_expect_status 0
