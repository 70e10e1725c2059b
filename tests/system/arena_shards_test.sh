#!/usr/bin/env bash
# A tournament split into shards (through GNU parallel, and through the Slurm script with the
# array's variables set by hand) and merged gives the whole run's table and CSV; so does a
# run killed mid-tournament, its CSV cut mid-row, then resumed.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
ARENA="$(dirname "$AW_GAME")/ampwarden-arena"
command -v parallel >/dev/null || aw_fail "missing tool: parallel (./test.sh installs it)"
cd "$AW_ROOT"
options=(--levels 0,2,3 --matches 3 --seed 700 --cap-minutes 2)
# The win table and the ratings under it, up to the second blank line.
table() { awk 'NF == 0 && ++blank == 2 { exit } { print }' "$1"; }
# Every column but the wall and processor times, in the tournament's order.
results() { tail -n +2 "$1" | cut -d, -f1-16,19-23 | sort -t, -k2,2n -k3,3n -k1,1n; }
same_as_whole() {
    diff <(table "$AW_TMP/whole.out") <(table "$1.out") >&2 || aw_fail "$1: another table than the whole run's"
    diff <(head -n 1 "$AW_TMP/whole.csv") <(head -n 1 "$1.csv") >&2 || aw_fail "$1: another CSV header"
    diff <(results "$AW_TMP/whole.csv") <(results "$1.csv") >&2 || aw_fail "$1: other matches than the whole run's"
}

timeout 120 "$ARENA" "${options[@]}" --jobs 2 --csv "$AW_TMP/whole.csv" >"$AW_TMP/whole.out" 2>/dev/null ||
    aw_fail "the whole tournament failed"
[ "$(results "$AW_TMP/whole.csv" | wc -l)" = 27 ] || aw_fail "the whole run's CSV lacks matches"
grep -q ',\(green\|blue\),' "$AW_TMP/whole.csv" || aw_fail "no match was decided"

timeout 120 parallel --will-cite -j 2 "$ARENA" "${options[@]}" --jobs 1 --shard {}/4 \
    --csv "$AW_TMP/shard{}.csv" ">/dev/null" "2>&1" ::: 1 2 3 4 || aw_fail "a shard failed under parallel"
"$ARENA" --merge "$AW_TMP"/shard{1,2,3,4}.csv --csv "$AW_TMP/parallel.csv" >"$AW_TMP/parallel.out" ||
    aw_fail "the merge failed"
same_as_whole "$AW_TMP/parallel"
aw_note "4 shards through GNU parallel merge to the whole run's table and CSV"

for task in 5 6 7; do
    SLURM_ARRAY_TASK_ID=$task SLURM_ARRAY_TASK_MIN=5 SLURM_ARRAY_TASK_COUNT=3 AMPWARDEN_ARENA="$ARENA" \
        timeout 120 "$AW_ROOT/tools/arena_slurm.sh" "$AW_TMP/slurm" "${options[@]}" >/dev/null 2>&1 ||
        aw_fail "Slurm task $task failed"
done
"$ARENA" --merge "$AW_TMP"/slurm/shard-*.csv --csv "$AW_TMP/slurm.csv" >"$AW_TMP/slurm.out" ||
    aw_fail "the Slurm shards do not merge"
same_as_whole "$AW_TMP/slurm"
aw_note "3 Slurm array tasks merge to the whole run's table and CSV"

"$ARENA" "${options[@]}" --jobs 1 --csv "$AW_TMP/resumed.csv" >/dev/null 2>&1 &
arena=$!
for _ in $(seq 100); do
    [ "$(cat "$AW_TMP/resumed.csv" 2>/dev/null | wc -l)" -ge 6 ] && break
    sleep 0.1
done
kill -KILL "$arena"
wait "$arena" 2>/dev/null
kept="$(($(wc -l <"$AW_TMP/resumed.csv") - 1))"
[ "$kept" -ge 4 ] && [ "$kept" -lt 27 ] || aw_fail "killed with $kept matches written; expected some, not all"
printf '70' >>"$AW_TMP/resumed.csv"
timeout 120 "$ARENA" "${options[@]}" --jobs 2 --resume --csv "$AW_TMP/resumed.csv" >"$AW_TMP/resumed.out" \
    2>/dev/null || aw_fail "the resumed tournament failed"
grep -q "27 matches (cap 2.0 game minutes, $kept of them from" "$AW_TMP/resumed.out" ||
    aw_fail "the resumed run did not take the $kept kept matches: $(tail -n 2 "$AW_TMP/resumed.out")"
same_as_whole "$AW_TMP/resumed"
aw_note "killed after $kept of 27 matches and resumed: the whole run's table and CSV"

# Another tournament that plays six of the whole run's matches again pools with it: each match
# counts once, so the table and ratings are the whole run's.
timeout 120 "$ARENA" --green 2,3 --blue 0 --matches 3 --seed 700 --cap-minutes 2 --jobs 2 \
    --csv "$AW_TMP/again.csv" >/dev/null 2>&1 || aw_fail "the second tournament failed"
"$ARENA" --merge "$AW_TMP/whole.csv" "$AW_TMP/again.csv" --pool >"$AW_TMP/pool.out" || aw_fail "the pool failed"
diff <(table "$AW_TMP/whole.out") <(table "$AW_TMP/pool.out") >&2 || aw_fail "the pool's table is not the whole run's"
grep -q "^27 matches .* pooled from 2 tournaments in 2 files, 6 given twice" "$AW_TMP/pool.out" ||
    aw_fail "the pool did not count the six matches once: $(tail -n 1 "$AW_TMP/pool.out")"
aw_note "a second tournament of six of the same matches pools to the whole run's table"
