#!/usr/bin/env bash
# Replays: a match played with real input while recording (into the default data folder) is
# verified headless and watched in the window, agreeing at every checkpoint; a tampered
# command is caught at the next checkpoint; a recording cut short by killing the game plays
# to its last line; a file that is no replay (a FIFO) leaves the game on the menu saying why.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
ARENA="$(dirname "$AW_GAME")/ampwarden-arena"
cd "$AW_ROOT"
export XDG_DATA_HOME="$AW_TMP/xdg"
replays="$XDG_DATA_HOME/ampwarden/replays"

# Wait up to $1 seconds for the game's stdout to say $2.
wait_for_output() {
    local i
    for i in $(seq 1 $(($1 * 10))); do
        grep -q -- "$2" "$AW_TMP/game.out" && return 0
        sleep 0.1
    done
    aw_fail "the game never said: $2"
}
count() { "$AW_PYTHON" "$AW_SYSTEM_DIR/screen_probe.py" count "$AW_SHOT" "$@"; }
# What the window shows, waited for before the input that needs it (aw_shot_until).
menu_shown() { [ "$(count 312 40 400 60 green)" -ge 300 ]; }
levels_shown() { [ "$(count 550 300 250 400 white)" -ge 1000 ]; }
board_shown() { [ "$(count 177 364 40 40 green)" -ge 50 ]; }
# Watch a replay in the window at x8 until it ends; it must agree at each of its checkpoints.
watch_replay() {
    aw_start -nointro -replay "$1"
    aw_wait_window
    aw_key 4
    wait_for_output 60 "played to step $2, $(grep -c '^check ' "$1") checkpoints agreeing"
    grep -q "out of sync" "$AW_TMP/game.err" && aw_fail "out of sync: $(cat "$AW_TMP/game.err")"
    aw_key Escape
    sleep 0.5
    aw_key Escape
    aw_wait_exit 10
    aw_expect_status 0
}

# "New Game", "Easy"; an extender, a second one refused by its cooldown, an energy fill and a
# third; then Escape puts the tool away, pauses to the menu, and quits.
aw_start -nointro -debug -record
aw_wait_window
aw_shot_until 20 menu menu_shown || aw_fail "no menu"
aw_click 200 260
aw_shot_until 20 levels levels_shown || aw_fail "New Game shows no levels"
aw_click 600 380
aw_shot_until 20 board board_shown || aw_fail "no match on the board"
aw_key 1
aw_click 257 384
sleep 0.3
aw_click 257 330
sleep 1
aw_key c
sleep 1.5
aw_click 300 384
sleep 2
aw_key Escape Escape
sleep 0.5
aw_key Escape
aw_wait_exit 10
aw_expect_status 0
recorded=("$replays"/*.replay)
[ "${#recorded[@]}" = 1 ] && [ -f "${recorded[0]}" ] || aw_fail "expected one replay in $replays: ${recorded[*]}"
file="${recorded[0]}"
[ "$(grep -c '^cmd .* build green' "$file")" -ge 3 ] || aw_fail "the builds were not recorded: $(cat "$file")"
end="$(sed -n 's/^end \([0-9]*\) .*/\1/p' "$file")"
[ -n "$end" ] || aw_fail "no end line: $(tail -n 2 "$file")"
aw_note "recorded $(basename "$file"): $(grep -c '^cmd ' "$file") commands, $end steps"

"$ARENA" --verify "$file" >"$AW_TMP/verify" 2>/dev/null || aw_fail "verify: $(cat "$AW_TMP/verify")"
grep -q ": ok, $end steps, winner none, hash " "$AW_TMP/verify" || aw_fail "verify said: $(cat "$AW_TMP/verify")"
watch_replay "$file" "$end"
aw_note "verified headless and watched in the window, agreeing at every checkpoint"

# The first build moved ten pixels: out of sync at the first checkpoint after it.
step="$(grep -m 1 '^cmd .* build' "$file" | cut -d' ' -f2)"
awk '!done && /^cmd .* build/ { $8 = $8 + 10; done = 1 } { print }' "$file" >"$AW_TMP/tampered.replay"
status=0
"$ARENA" --verify "$AW_TMP/tampered.replay" >"$AW_TMP/verify" 2>/dev/null || status=$?
expected=$(((step / 64 + 1) * 64))
[ "$status" = 1 ] && grep -q ": out of sync at step $expected: recorded [0-9a-f]\{16\}, computed " "$AW_TMP/verify" ||
    aw_fail "tampered at step $step: status $status, $(cat "$AW_TMP/verify")"
aw_note "a command tampered at step $step is caught at step $expected"

# Killed mid-match: no end line, and it plays to its last checkpoint.
aw_start -nointro -watch -seed 7 -record "$AW_TMP/killed"
aw_wait_window
# Killed once it has recorded two checkpoints (a few seconds of play).
for _ in $(seq 1 300); do
    [ "$(cat "$AW_TMP"/killed/*.replay 2>/dev/null | grep -c '^check ')" -ge 2 ] && break
    sleep 0.1
done
kill -9 "$AW_PID"; wait "$AW_PID" 2>/dev/null
aw_wait_exit 5
cut_short=("$AW_TMP"/killed/*.replay)
last="$(sed -n 's/^check \([0-9]*\) .*/\1/p' "${cut_short[0]}" | tail -n 1)"
[ -n "$last" ] && ! grep -q '^end ' "${cut_short[0]}" || aw_fail "not a cut-short recording: $(tail -n 2 "${cut_short[0]}")"
"$ARENA" --verify "${cut_short[0]}" 2>/dev/null | grep -q ": ok, $last steps, .*(cut short: no end line)" ||
    aw_fail "the cut-short replay did not verify"
watch_replay "${cut_short[0]}" "$last"
aw_note "a recording killed after $last steps plays to its last line"

# A FIFO is no replay: one line on stderr, the menu on screen, and no hang.
mkfifo "$AW_TMP/fifo.replay"
aw_start -nointro -replay "$AW_TMP/fifo.replay"
aw_wait_window
aw_shot_until 20 refused menu_shown || aw_fail "no menu after a refused replay"
[ "$(count 60 668 900 24 drawn)" -ge 1000 ] || aw_fail "no notice on the menu"
[ "$(grep -c . "$AW_TMP/game.err")" = 1 ] && aw_expect_stderr "not a regular file"
aw_key Escape
aw_wait_exit 10
aw_expect_status 0
aw_note "a FIFO is refused on the menu"

# A notice wider than the window goes on over more lines, inside the window, and says why.
aw_start -nointro -replay "$AW_TMP/$(printf 'folder%.0s' $(seq 40))/$(printf 'x%.0s' $(seq 60)).replay"
aw_wait_window
aw_shot_until 20 long menu_shown || aw_fail "no menu after a replay that is not there"
[ "$(count 0 620 12 75 drawn)" = 0 ] && [ "$(count 1012 620 12 75 drawn)" = 0 ] &&
    [ "$(count 60 622 900 24 drawn)" -ge 300 ] && [ "$(count 60 668 900 24 drawn)" -ge 300 ] ||
    aw_fail "the long notice is not on several lines inside the window"
aw_expect_stderr "No such file or directory"
aw_key Escape
aw_wait_exit 10
aw_expect_status 0
aw_note "a notice longer than the window wraps inside it"
