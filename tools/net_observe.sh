#!/usr/bin/env bash
# What observers cost, on loopback only. (1) Two matches at once, each through a relay of
# 50 +- 10 ms each way and 5 % loss (100 +- 20 ms round trip), busy on both sides for MINUTES:
# one with no observers, one with four, each through a relay of its own at the same settings;
# the players' stalls a minute (the players' relays alike, so that both measure the same
# round trip) and the observers' bytes a second are printed. (2) A match
# played as fast as its turns allow to 15 minutes (56,250 steps, a build every 8 steps a
# side); observers joining from then on print how long they took to catch up.
# Usage: tools/net_observe.sh [MINUTES] (default 3)
set -u
cd "$(dirname "$0")/.."
peer=build/ampwarden-netpeer
relay=build/ampwarden-netrelay
minutes="${1:-3}"
steps=$((minutes * 3750))
seconds=$((minutes * 60 + 60))
tmp="$(mktemp -d /tmp/aw_netobs.XXXXXX)"
# Seats of matches cut short stay in the scratch folder, not in the user's state.
export XDG_STATE_HOME="$tmp/state"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$tmp"' EXIT
bad=(--delay 50 --jitter 10 --loss 5 --seconds "$seconds")
base=$((30000 + RANDOM % 900 * 20))

for n in 0 4; do
    p=$((base + n * 10))
    nice -n 10 "$relay" --listen $((p + 1)) --to $p --seed 1 "${bad[@]}" >/dev/null &
    observers=()
    [ "$n" -gt 0 ] && observers=(--observers $((p + 2)))
    nice -n 10 "$peer" --host $p --seed 5 --steps $steps --busy 8 --seconds "$seconds" "${observers[@]}" \
        >"$tmp/h$n.out" 2>"$tmp/h$n.err" &
    sleep 0.3
    nice -n 10 "$peer" --join $((p + 1)) --steps $steps --busy 8 --seconds "$seconds" >"$tmp/j$n.out" 2>"$tmp/j$n.err" &
    for i in $(seq 1 "$n"); do
        nice -n 10 "$relay" --listen $((p + 2 + i)) --to $((p + 2)) --seed $((10 + i)) "${bad[@]}" >/dev/null &
        (sleep 2 && exec nice -n 10 "$peer" --observe $((p + 2 + i)) --seconds "$seconds") >"$tmp/o$i.out" 2>"$tmp/o$i.err" &
    done
done
wait
for n in 0 4; do
    echo "with $n observers:"
    for side in h j; do grep -o 'netpeer [a-z]*: steps.*stalled [0-9]* ms' "$tmp/$side$n.out" | sed 's/^/  /'; done
done
for i in 1 2 3 4; do grep -o 'observer [0-9]: caught up.*' "$tmp/o$i.out" | sed 's/^/  /'; done

# (2) Catching up with a 15-minute match.
p=$((base + 100))
nice -n 10 "$peer" --host $p --observers $((p + 2)) --seed 9 --steps 60000 --busy 8 --fast-until 56250 \
    --seconds 900 >"$tmp/long.out" 2>"$tmp/long.err" &
host=$!
nice -n 10 "$peer" --join $p --steps 60000 --busy 8 --fast-until 56250 --seconds 900 >/dev/null 2>&1 &
found=0
for _ in $(seq 1 900); do
    kill -0 $host 2>/dev/null || break
    nice -n 10 "$peer" --observe $((p + 2)) --steps 1 --seconds 60 >"$tmp/catch.out" 2>/dev/null
    step="$(sed -n 's/.*caught up at step \([0-9]*\).*/\1/p' "$tmp/catch.out")"
    if [ -n "$step" ] && [ "$step" -ge 56250 ]; then
        grep -o 'observer [0-9]: caught up.*to catch up' "$tmp/catch.out" | sed 's/^/  15 min: /'
        found=$((found + 1))
        [ "$found" -ge 3 ] && break
    else
        sleep 1
    fi
done
wait
