#!/usr/bin/env bash
# Two game windows play each other on loopback; the host's program is killed mid-match. The
# joiner's window says green lost its connection, with the countdown; the host's program is
# started again with the same command line, the joiner reaches it by itself and sends it the
# match, with the extender green placed before it was killed; after the countdown an extender
# placed with real input on each side appears in both windows. The joiner closes its window and the host wins; the two replays of the match
# (the host's second one) are the same file to the last line, and verify.
source "$(dirname "$0")/lib.sh"
aw_init "$@"

port=$((23000 + ($$ % 2000) * 10 + 7))
count() { "$AW_PYTHON" "$AW_SYSTEM_DIR/screen_probe.py" count "$AW_SHOT" "$@" || aw_fail "cannot probe $*"; }
shot() { AW_WIN="$1"; xdotool windowraise "$AW_WIN"; sleep 0.4; aw_screenshot "$2"; } # WINDOW NAME
wait_for() { # FILE TEXT SECONDS
    for _ in $(seq 1 $(($3 * 10))); do grep -qF -- "$2" "$1" && return 0; sleep 0.1; done
    aw_fail "$(basename "$1") does not say \"$2\": $(tail -n 3 "$1")"
}
start_host() { # N: the host's program, the same command line each time
    (cd "$AW_ROOT" && exec "$AW_GAME" -host "$port" -seed 12 -record "$AW_TMP/host.rec") >/dev/null 2>"$AW_TMP/host$1.err" &
    host_pid=$!
    aw_track "$host_pid"
}

start_host 1
AW_PID=$host_pid
aw_wait_window
host_win="$AW_WIN"
(cd "$AW_ROOT" && exec "$AW_GAME" -join "127.0.0.1:$port" -record "$AW_TMP/join.rec") >/dev/null 2>"$AW_TMP/game.err" &
join_pid=$!
aw_track "$join_pid"
join_win="$(aw_window_of "$join_pid")"
[ -n "$join_win" ] || aw_fail "no joiner's window"
wait_for "$AW_TMP/game.err" "match started" 20
wait_for "$AW_TMP/host1.err" "match started" 5
# Before the kill, green builds above its main node.
shot "$host_win" start
above_before="$(count 187 290 20 20 green)"
AW_WIN="$host_win"
aw_key 1
aw_click 197 300
sleep 2
kill -KILL "$host_pid"
wait "$host_pid" 2>/dev/null
AW_PID=""
wait_for "$AW_TMP/game.err" "green lost its connection; waiting 1:30" 15
shot "$join_win" dropped
# The board stays in view, dimmed, under the line along its top edge.
[ "$(count 100 68 824 28 white)" -ge 150 ] || aw_fail "the joiner's window does not say green is gone"
aw_note "the host was killed; the joiner's window says it waits for green"

# The same command line again: the joiner reaches the new program and sends it the match.
start_host 2
wait_for "$AW_TMP/host2.err" "back in the match at step" 20
wait_for "$AW_TMP/game.err" "green is back in the match at step" 5
host_win="$(aw_window_of "$host_pid")"
[ -n "$host_win" ] || aw_fail "no window for the host started again"
aw_note "$(grep -o 'back in the match at step.*' "$AW_TMP/host2.err")"
sleep 3.5

# After the countdown, green builds right of its main node in the host's window, blue left of
# its own in the joiner's; both windows show both.
shot "$host_win" before
above="$(count 187 290 20 20 green)"
[ "$above" -ge $((above_before + 20)) ] || aw_fail "the host rebuilt without its extender ($above_before -> $above)"
green_before="$(count 247 374 20 20 green)"
blue_before="$(count 757 374 20 20 blue)"
for build in "$host_win 257" "$join_win 767"; do
    AW_WIN="${build% *}"
    xdotool windowraise "$AW_WIN"
    aw_key 1
    aw_click "${build#* }" 384
done
sleep 1.5
for win in "$host_win" "$join_win"; do
    shot "$win" after
    green="$(count 247 374 20 20 green)"
    blue="$(count 757 374 20 20 blue)"
    [ "$green" -ge $((green_before + 20)) ] && [ "$blue" -ge $((blue_before + 20)) ] ||
        aw_fail "window $win: green $green_before -> $green, blue $blue_before -> $blue"
done
aw_note "the host started again shows green's extender from before; after the rejoin each side's new one shows in both windows"

# The joiner leaves by closing its window; the host is told it has won.
AW_WIN="$join_win"
aw_close_window
for _ in $(seq 1 50); do kill -0 "$join_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$join_pid" 2>/dev/null && aw_fail "the joiner did not end"
wait "$join_pid" || aw_fail "the joiner ended with a failure"
wait_for "$AW_TMP/host2.err" "blue left the match: you win" 5
AW_WIN="$host_win"
AW_PID=$host_pid
aw_close_window
aw_wait_exit 10
aw_expect_status 0

# The crashed host's unfinished replay stays; its second one is the joiner's, line for line.
host_replay="$(ls -t "$AW_TMP"/host.rec/*.replay | head -n 1)" && join_replay="$(ls "$AW_TMP"/join.rec/*.replay)" ||
    aw_fail "a side wrote no replay"
cmp "$host_replay" "$join_replay" >&2 || aw_fail "the two replays differ"
grep -q "^cmd .* build green tool extender" "$host_replay" && grep -q "^cmd .* build blue tool extender" "$host_replay" ||
    aw_fail "the replay lacks a side's build"
"$(dirname "$AW_GAME")/ampwarden-arena" --verify "$host_replay" >"$AW_TMP/verify.out" 2>&1 ||
    aw_fail "the replay does not verify: $(cat "$AW_TMP/verify.out")"
[ -z "$(find "$XDG_STATE_HOME" -name 'seat-*' -o -name 'hosted-*')" ] || aw_fail "a seat file outlived the match"
aw_note "both replays are the same file, ending $(tail -n 1 "$host_replay"), and verify; no seat file is left"
