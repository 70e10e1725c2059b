#!/usr/bin/env bash
# A network match started from the menus of two windows on loopback: one hosts from Play a
# Friend on a port typed in, the other types 127.0.0.1:PORT and joins, and a third watches
# that address. Each side builds an extender that all three windows show; the host leaves, and
# every window comes back to Play a Friend with the reason, without the program ending.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
command -v tesseract >/dev/null || aw_fail "missing tool: tesseract (./test.sh installs it)"

port=$((26000 + ($$ % 2000) * 10 + 3))
count() { "$AW_PYTHON" "$AW_SYSTEM_DIR/screen_probe.py" count "$AW_SHOT" "$@" || aw_fail "cannot probe $*"; }
ocr() {
    convert "$AW_SHOT" -crop "${3}x${4}+${1}+${2}" +repage -resize 200% -colorspace gray -negate "$AW_TMP/ocr.png" ||
        aw_fail "cannot crop"
    tesseract "$AW_TMP/ocr.png" - --psm 6 2>/dev/null
}
# focus WINDOW: the pointer into that window (focus follows it), the window on top.
focus() {
    AW_WIN="$1"
    xdotool windowraise "$AW_WIN"
    xdotool mousemove --window "$AW_WIN" 900 740
    sleep 0.3
}
keys() { xdotool key --delay 60 "$@" || aw_fail "cannot send keys $*"; }
type_into() { # X Y TEXT: clicks a text field, empties it and types
    aw_click "$1" "$2"
    keys End $(printf 'BackSpace %.0s' $(seq 1 30))
    xdotool type --delay 50 "$3"
}
wait_for() { # FILE TEXT
    for _ in $(seq 1 150); do grep -q "$2" "$1" && return 0; sleep 0.1; done
    aw_fail "no \"$2\" in $(basename "$1"): $(tail -n 5 "$1")"
}

# Each side by its own name, from the settings file each program read at its start.
printf 'record 0\nname Hostess\n' >"$XDG_CONFIG_HOME/ampwarden/settings"
aw_start -nointro
aw_wait_window
host_win="$AW_WIN"
host_pid="$AW_PID"
focus "$host_win"
aw_click 200 470
type_into 600 145 "$port"
keys Return
sleep 1
AW_WIN="$host_win"
aw_screenshot hosting
ocr 100 80 824 25 | grep -q "Waiting for an opponent on port $port" || aw_fail "the host does not wait: $(ocr 100 80 824 25)"
aw_note "the host waits on port $port, from its Play a Friend screen"

# Starts another game NAME (its output in NAME.out and NAME.err, its process and window in
# NAME_pid and NAME_win), opens its Play a Friend screen and types the host's address; ORDINAL
# names the window in a failure.
open_friend_screen() {
    (cd "$AW_ROOT" && exec "$AW_GAME" -nointro) >"$AW_TMP/$1.out" 2>"$AW_TMP/$1.err" &
    local pid=$!
    printf -v "$1_pid" '%s' "$pid"
    aw_track "$pid"
    printf -v "$1_win" '%s' "$(aw_window_of "$pid")"
    local win="$1_win"
    [ -n "${!win}" ] || aw_fail "no $2 window"
    sleep 1
    focus "${!win}"
    aw_click 200 470
    type_into 600 305 "127.0.0.1:$port"
}

printf 'record 0\nname Guest\n' >"$XDG_CONFIG_HOME/ampwarden/settings"
open_friend_screen join second
keys Return
wait_for "$AW_TMP/game.err" "match started"
wait_for "$AW_TMP/join.err" "match started"
aw_note "joined from the menu: $(grep 'match started' "$AW_TMP/join.err")"

open_friend_screen watch third
aw_click 600 345
wait_for "$AW_TMP/watch.err" "watching as observer 1"
aw_note "watched from the menu: $(grep 'watching as' "$AW_TMP/watch.err" | sed 's/ampwarden: //')"

# Green builds right of its main node in the host's window, blue left of its own.
focus "$host_win"
keys 1
aw_click 257 384
focus "$join_win"
keys 1
aw_click 767 384
sleep 1.5
for win in "$host_win" "$join_win" "$watch_win"; do
    focus "$win"
    aw_screenshot built
    [ "$(count 247 374 20 20 green)" -ge 20 ] && [ "$(count 757 374 20 20 blue)" -ge 20 ] ||
        aw_fail "both extenders are not in window $win"
done
aw_note "each side's extender shows in all three windows"
for win in "$host_win" "$join_win"; do
    focus "$win"
    aw_screenshot names
    names="$(ocr 410 12 420 30)"
    echo "$names" | grep -q Hostess && echo "$names" | grep -q Guest || aw_fail "the players' names are not shown: $names"
done
aw_note "both windows name both players"

# The host pauses both sides and leaves; the joiner wins. Escape brings each back.
focus "$host_win"
keys Escape Escape
sleep 0.5
keys q
wait_for "$AW_TMP/join.err" "green left the match: you win"
for side in host join; do
    # The joiner still holds its tool: the first Escape puts it away.
    [ "$side" = host ] && { focus "$host_win"; keys Escape; } || { focus "$join_win"; keys Escape Escape; }
    sleep 0.8
    aw_screenshot "back_$side"
    status="$(ocr 100 80 824 25)"
    [ "$side" = host ] && want="You left" || want="left the match"
    echo "$status" | grep -q "$want" || aw_fail "$side is not back on Play a Friend with the reason: $status"
    ocr 312 35 400 40 | grep -q "Play a Friend" || aw_fail "$side: not the Play a Friend screen"
    aw_note "$side back on Play a Friend: $status"
    keys Escape
    sleep 0.5
    aw_screenshot "menu_$side"
    # "Play a Friend", the row last chosen, is highlighted red, which the reader misses.
    ocr 140 440 300 160 | grep -q "Settings" || aw_fail "$side: the menu does not show"
done
kill -0 "$host_pid" && kill -0 "$join_pid" || aw_fail "a program ended after the network match"
aw_note "both windows are back on the menu, both programs running"
wait_for "$AW_TMP/watch.err" "The match is over"
focus "$watch_win"
keys Escape
sleep 0.8
aw_screenshot back_watch
status="$(ocr 100 80 824 25)"
echo "$status" | grep -q "The match is over.*green left" && ocr 312 35 400 40 | grep -q "Play a Friend" ||
    aw_fail "the observer is not back on Play a Friend with the reason: $status"
aw_note "the observer back on Play a Friend: $status"
keys Escape Escape
for _ in $(seq 1 50); do kill -0 "$watch_pid" 2>/dev/null || break; sleep 0.1; done
wait "$watch_pid" || aw_fail "the observer ended with a failure"

focus "$join_win"
keys Escape
for _ in $(seq 1 50); do kill -0 "$join_pid" 2>/dev/null || break; sleep 0.1; done
wait "$join_pid" || aw_fail "the joiner ended with a failure"
focus "$host_win"
keys Escape
aw_wait_exit 10
aw_expect_status 0
