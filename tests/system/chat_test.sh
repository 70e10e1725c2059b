#!/usr/bin/env bash
# Chat in a network match between two game windows on loopback, watched by a third: the
# joiner presses Enter, types a line and sends it with Enter; the host's window and the
# observer's show it at the bottom of the board with the joiner's name (read by tesseract).
source "$(dirname "$0")/lib.sh"
aw_init "$@"

port=$((24000 + (RANDOM % 1900) * 10 + 7))
shot() { # WINDOW NAME
    AW_WIN="$1"
    xdotool windowraise "$AW_WIN"
    sleep 0.4
    aw_screenshot "$2"
}
ocr() { # X Y W H of the last screenshot
    convert "$AW_SHOT" -crop "${3}x${4}+${1}+${2}" +repage -resize 200% -colorspace gray -negate "$AW_TMP/ocr.png" ||
        aw_fail "cannot crop"
    tesseract "$AW_TMP/ocr.png" - --psm 6 2>/dev/null
}

printf 'record 0\nname Hostess\n' >"$XDG_CONFIG_HOME/ampwarden/settings"
(cd "$AW_ROOT" && exec "$AW_GAME" -host "$port" -seed 12) >"$AW_TMP/host.out" 2>"$AW_TMP/game.err" &
AW_PID=$!
aw_wait_window
host_win="$AW_WIN"
sleep 0.5
printf 'record 0\nname Bluebell\n' >"$XDG_CONFIG_HOME/ampwarden/settings"
(cd "$AW_ROOT" && exec "$AW_GAME" -join "127.0.0.1:$port") >"$AW_TMP/join.out" 2>"$AW_TMP/join.err" &
join_pid=$!
aw_track "$join_pid"
join_win="$(aw_window_of "$join_pid")"
[ -n "$join_win" ] || aw_fail "no joiner's window"
for _ in $(seq 1 100); do grep -q "match started" "$AW_TMP/join.err" && break; sleep 0.1; done
grep -q "match started" "$AW_TMP/join.err" || aw_fail "the match did not start"
(cd "$AW_ROOT" && exec "$AW_GAME" -observe "127.0.0.1:$((port + 1))") >"$AW_TMP/watch.out" 2>"$AW_TMP/watch.err" &
watch_pid=$!
aw_track "$watch_pid"
watch_win="$(aw_window_of "$watch_pid")"
[ -n "$watch_win" ] || aw_fail "no observer's window"
for _ in $(seq 1 100); do grep -q "watching as observer 1" "$AW_TMP/watch.err" && break; sleep 0.1; done
grep -q "watching as observer 1" "$AW_TMP/watch.err" || aw_fail "the observer does not watch: $(cat "$AW_TMP/watch.err")"
aw_note "$(grep "watching as" "$AW_TMP/watch.err" | sed 's/ampwarden: //')"

# Typed in the joiner's window.
AW_WIN="$join_win"
xdotool windowraise "$join_win"
aw_key Return
xdotool type --delay 60 "good game, well played" || aw_fail "cannot type"
aw_key Return
sleep 0.8
for side in host watch; do
    [ "$side" = host ] && shot "$host_win" host || shot "$watch_win" watch
    text="$(ocr 30 590 760 110 | tr '\n' ' ')"
    echo "$text" | grep -qi "Bluebell: good game, well played" || aw_fail "$side's window does not show the line: $text"
    aw_note "$side's window reads: $(echo "$text" | grep -io "Bluebell: good game, well played")"
done
