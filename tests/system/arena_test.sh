#!/usr/bin/env bash
# The arena: its options and exit codes, a small tournament played twice with different
# numbers of worker processes giving the same matches, and a listed match shown in the game.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
ARENA="$(dirname "$AW_GAME")/ampwarden-arena"
[ -x "$ARENA" ] || aw_fail "no arena beside the game at $ARENA"
cd "$AW_ROOT"

# --help names every option and succeeds.
"$ARENA" --help >"$AW_TMP/help" || aw_fail "--help failed"
for option in --levels --green --blue --matches --seed --jobs --cap-minutes --csv --list --watch --help; do
    grep -q -- "$option" "$AW_TMP/help" || aw_fail "--help does not document $option"
done

# Bad options: one line on stderr, status 2; a catalogue that is not there: status 1.
expect_refusal() {
    local want="$1"
    shift
    local status=0
    "$ARENA" "$@" >/dev/null 2>"$AW_TMP/err" || status=$?
    [ "$status" = "$want" ] || aw_fail "arena $* exited $status, expected $want"
    [ "$(wc -l <"$AW_TMP/err")" = 1 ] || aw_fail "arena $* wrote other than one line: $(cat "$AW_TMP/err")"
}
expect_refusal 2 --bogus
expect_refusal 2 --matches
expect_refusal 2 --levels 0,99
expect_refusal 2 --cap-minutes -3
expect_refusal 1 --matches 1 --catalogue /nonexistent/resources.xml
aw_note "help and refusals as documented"

# The same small tournament in one process at a time and in two at a time.
run() {
    local jobs="$1"
    timeout 120 "$ARENA" --levels 0,3 --matches 2 --seed 500 --cap-minutes 3 --jobs "$jobs" --list \
        --csv "$AW_TMP/jobs$jobs.csv" >"$AW_TMP/jobs$jobs.out" 2>"$AW_TMP/jobs$jobs.err" ||
        aw_fail "tournament with --jobs $jobs exited $?: $(tail -n 3 "$AW_TMP/jobs$jobs.err")"
}
run 1
run 2
header="$(head -n 1 "$AW_TMP/jobs1.csv")"
expected="seed,green_level,blue_level,winner,steps,green_extenders,green_beams,green_shields,green_extractors,green_absorbers,blue_extenders,blue_beams,blue_shields,blue_extractors,blue_absorbers,hash,wall_seconds,cpu_seconds,crash,green_energy_earned,blue_energy_earned,green_nodes_lost,blue_nodes_lost,rules,program,data,green_levels,blue_levels,first_seed,matches_per_pairing,cap_steps,shard"
[ "$header" = "$expected" ] || aw_fail "CSV header is $header"
[ "$(wc -l <"$AW_TMP/jobs1.csv")" = 9 ] || aw_fail "expected 8 matches in the CSV"
# A standard reader takes the first line for the column names and every row whole, the
# tournament in its columns.
"$AW_PYTHON" - "$AW_TMP/jobs1.csv" <<'PY' || aw_fail "Python's csv module misreads the CSV"
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1], newline="")))
assert len(rows) == 8, len(rows)
for row in rows:
    assert None not in row and None not in row.values(), row
    assert (row["green_levels"], row["blue_levels"], row["first_seed"], row["matches_per_pairing"],
            row["cap_steps"], row["shard"]) == ("0 3", "0 3", "500", "2", "11250", "1/1"), row
    assert row["winner"] in ("green", "blue", "tie", "undecided"), row
    assert int(row["seed"]) in (500, 501) and int(row["rules"]) >= 1 and row["crash"] == "", row
PY
# Everything but the times agrees.
without_wall() { cut -d, -f1-16,19- "$1"; }
diff <(without_wall "$AW_TMP/jobs1.csv" | sort) <(without_wall "$AW_TMP/jobs2.csv" | sort) >/dev/null ||
    aw_fail "the matches differ between --jobs 1 and --jobs 2"
grep -q ',\(green\|blue\),' "$AW_TMP/jobs1.csv" || aw_fail "no match was decided, so no end was compared"
grep -q '^green \\ blue' "$AW_TMP/jobs1.out" || aw_fail "no win-rate table: $(cat "$AW_TMP/jobs1.out")"
grep -q '8/8 matches' "$AW_TMP/jobs1.err" || aw_fail "no progress line"
aw_note "8 seeded matches agree between 1 and 2 worker processes; Python's csv reads them"

# The listed match shows in the game's window: a computer match, both sides building.
watch="$(grep -m 1 '^seed 500  green 3  blue 0' "$AW_TMP/jobs1.out" | sed 's/.*watch: //')"
[ -n "$watch" ] || aw_fail "no watch command listed"
read -r -a command <<<"$watch"
[ "${command[0]}" = "$AW_GAME" ] || [ "$(readlink -f "${command[0]}")" = "$(readlink -f "$AW_GAME")" ] ||
    aw_fail "the watch command runs ${command[0]}, not the game"
aw_start "${command[@]:1}"
aw_wait_window
sleep 6
aw_screenshot watched
# Both main nodes stand in their colours and the demo's label sits at the top centre.
count() { "$AW_PYTHON" "$AW_SYSTEM_DIR/screen_probe.py" count "$AW_SHOT" "$@"; }
[ "$(count 172 359 50 50 green)" -gt 50 ] || aw_fail "no green main node on the watched board"
[ "$(count 802 359 50 50 blue)" -gt 50 ] || aw_fail "no blue main node on the watched board"
[ "$(count 462 25 100 30 white)" -gt 20 ] || aw_fail "no Demo label on the watched board"
aw_key Escape
sleep 0.5
aw_key Escape
aw_wait_exit 10
aw_expect_status 0
aw_note "watched: ${command[*]:1}"

# The game refuses a bad seed with one line.
aw_start -nointro -seed twelve
aw_wait_exit 10
aw_expect_failure
aw_expect_stderr "-seed needs a whole number"
