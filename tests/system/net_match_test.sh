#!/usr/bin/env bash
# Two game windows play each other on loopback: the host's window says it waits on its port;
# once the joiner is in, an extender placed with real input on each side appears in both
# windows; a joiner that stands still for 11 s is waited for, with a countdown in the host's
# window, and one whose window is hidden plays on; closing the joiner's window is reported in
# the host's as a win, and Escape then takes the host back to Play a Friend with the reason,
# without the match's last line. Both record the match, and their replays are the same file to
# the last line, and verify. With -once a -join refused by another version ends with status 1.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
command -v tesseract >/dev/null || aw_fail "missing tool: tesseract (./test.sh installs it)"

probe() { "$AW_PYTHON" "$AW_SYSTEM_DIR/screen_probe.py" "$@" || aw_fail "cannot probe $*"; }
port=$((22000 + ($$ % 2000) * 10))
shot() { # WINDOW NAME: raises the window and looks at it
    AW_WIN="$1"
    xdotool windowraise "$AW_WIN"
    sleep 0.4
    aw_screenshot "$2"
}
count() { probe count "$AW_SHOT" "$@"; }
# status: the Play a Friend screen's title and the line under it, read with tesseract.
status() {
    convert "$AW_SHOT" -crop 824x70+100+30 +repage -resize 200% -colorspace gray -negate "$AW_TMP/ocr.png" &&
        tesseract "$AW_TMP/ocr.png" - --psm 6 2>/dev/null | tr '\n' ' '
}

(cd "$AW_ROOT" && exec "$AW_GAME" -host "$port" -seed 11 -record "$AW_TMP/host.rec") >"$AW_TMP/host.out" 2>"$AW_TMP/game.err" &
host_pid=$!
AW_PID=$host_pid
aw_wait_window
host_win="$AW_WIN"
sleep 1
shot "$host_win" waiting
status | grep -q "Play a Friend.*Waiting for an opponent on port $port" ||
    aw_fail "the host's Play a Friend screen does not say it is waiting: $(status)"
aw_note "the host waits on port $port, on its Play a Friend screen"

# The joiner comes over IPv6 where this machine has it, through the game's own bridge to ENet.
address="[::1]:$port"
(: >/dev/udp/::1/9) 2>/dev/null || address="127.0.0.1:$port"
(cd "$AW_ROOT" && exec "$AW_GAME" -join "$address" -record "$AW_TMP/join.rec") >"$AW_TMP/join.out" 2>"$AW_TMP/join.err" &
join_pid=$!
aw_track "$join_pid"
join_win="$(aw_window_of "$join_pid")"
[ -n "$join_win" ] || aw_fail "no joiner's window"
for _ in $(seq 1 100); do
    grep -q "match started" "$AW_TMP/game.err" && grep -q "match started" "$AW_TMP/join.err" && break
    sleep 0.1
done
grep -q "match started" "$AW_TMP/join.err" || { cat "$AW_TMP/join.err" >&2; aw_fail "the match did not start"; }
aw_note "joined $address: $(grep 'match started' "$AW_TMP/join.err")"

# Green builds right of its main node in the host's window, blue left of its own in the joiner's.
shot "$host_win" before
green_before="$(count 247 374 20 20 green)"
blue_before="$(count 757 374 20 20 blue)"
AW_WIN="$host_win"
xdotool windowraise "$host_win"
aw_key 1
aw_click 257 384
AW_WIN="$join_win"
xdotool windowraise "$join_win"
aw_key 1
aw_click 767 384
sleep 1.5
for side in host join; do
    [ "$side" = host ] && shot "$host_win" after_host || shot "$join_win" after_join
    green="$(count 247 374 20 20 green)"
    blue="$(count 757 374 20 20 blue)"
    [ "$green" -ge $((green_before + 20)) ] || aw_fail "$side: no green extender ($green_before -> $green)"
    [ "$blue" -ge $((blue_before + 20)) ] || aw_fail "$side: no blue extender ($blue_before -> $blue)"
    aw_note "$side window: green $green_before -> $green, blue $blue_before -> $blue"
done

# The joiner's program stands still for 11 s: the host's window says it waits for blue to
# return, and both play on once it does.
kill -STOP "$join_pid"
sleep 11
shot "$host_win" dropped
# The board stays in view, dimmed, under the line along its top edge.
[ "$(count 100 68 824 28 white)" -ge 150 ] || aw_fail "the host's window does not say blue is gone"
grep -q "blue lost its connection; waiting 1:30" "$AW_TMP/game.err" || aw_fail "the host did not wait for blue"
kill -CONT "$join_pid"
for _ in $(seq 1 50); do grep -q "blue is back" "$AW_TMP/game.err" && break; sleep 0.1; done
grep -q "blue is back" "$AW_TMP/game.err" || aw_fail "the host did not see blue come back"
aw_note "blue stood still for 11 s; the host waited and play went on"

# A hidden (minimised) joiner's window plays on: the host never waits for it.
xdotool windowunmap "$join_win" || aw_fail "cannot hide the joiner's window"
sleep 11
xdotool windowmap "$join_win"
[ "$(grep -c "blue lost its connection" "$AW_TMP/game.err")" = 1 ] || aw_fail "a hidden joiner stopped playing"
aw_note "a hidden joiner's window played on"

# The joiner closes its window: it leaves, and the host is told it has won.
AW_WIN="$join_win"
aw_close_window
for _ in $(seq 1 50); do kill -0 "$join_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$join_pid" 2>/dev/null && aw_fail "the joiner did not end"
wait "$join_pid"
[ $? = 0 ] || aw_fail "the joiner ended with a failure"
for _ in $(seq 1 50); do grep -q "blue left the match: you win" "$AW_TMP/game.err" && break; sleep 0.1; done
grep -q "blue left the match: you win" "$AW_TMP/game.err" || aw_fail "the host was not told"
shot "$host_win" won
# The summary opens at the end: the line stands along the board's top edge, above the panel.
[ "$(count 100 68 824 28 white)" -ge 100 ] || aw_fail "the host's window does not say why it won"
aw_note "the joiner left; the host won"
# Escape (the first one puts the extender tool down) goes back to Play a Friend with the
# reason, and the match's last line goes with it.
AW_WIN="$host_win"
aw_key Escape
sleep 0.3
aw_key Escape
sleep 1
shot "$host_win" back
status | grep -q "Play a Friend.*blue left the match" || aw_fail "the host is not back on Play a Friend: $(status)"
[ "$(count 300 444 424 50 white)" -lt 20 ] || aw_fail "the match's last line stays over the screen"
aw_note "Escape: Play a Friend with the reason, without the match's last line"
AW_WIN="$host_win"
aw_close_window
aw_wait_exit 10
aw_expect_status 0

# One replay a side, the same file: the joiner stayed to end on the step it named.
host_replay="$(ls "$AW_TMP"/host.rec/*.replay)" && join_replay="$(ls "$AW_TMP"/join.rec/*.replay)" ||
    aw_fail "a side wrote no replay"
cmp "$host_replay" "$join_replay" >&2 || aw_fail "the two replays differ"
# The board decided nothing: a win by the opponent's leaving is the session's, not the match's.
tail -n 1 "$host_replay" | grep -q "^end [0-9]* none " || aw_fail "the replay does not end undecided"
grep -q "^cmd .* build green tool extender" "$host_replay" && grep -q "^cmd .* build blue tool extender" "$host_replay" ||
    aw_fail "the replay lacks a side's build"
"$(dirname "$AW_GAME")/ampwarden-arena" --verify "$host_replay" >"$AW_TMP/verify.out" 2>&1 ||
    aw_fail "the replay does not verify: $(cat "$AW_TMP/verify.out")"
aw_note "both replays are the same file, ending $(tail -n 1 "$host_replay"), and verify"

# -once (for scripts) ends the program with the session: refused by another version, status 1.
"$(dirname "$AW_GAME")/ampwarden-netpeer" --host $((port + 1)) --version 0.9-test --seconds 20 >/dev/null 2>&1 &
sleep 0.5
aw_start -join "127.0.0.1:$((port + 1))" -once
aw_wait_exit 20
aw_expect_status 1
grep -q "Refused: program version" "$AW_TMP/game.err" || aw_fail "-once: no reason on stderr"
aw_note "-once: a refused -join ends with status 1, the reason on stderr"
