#!/usr/bin/env bash
# How many network matches survive a harsh link: N matches at once, each between two headless
# peers through its own relay on 127.0.0.1, for MINUTES minutes of play at LOSS % loss,
# DELAY +- JITTER ms each way and a STALL_MS stall every STALL_EVERY seconds (all datagrams
# dropped). Prints each match's figures (stalls a minute, the longest) and how many reached
# their last step with every hash check agreed. Run it niced; it takes the minutes given.
#   tools/net_survival.sh [N=10] [MINUTES=10] [LOSS=20] [DELAY=200] [JITTER=50] [STALL_MS=5000] [STALL_EVERY=30]
set -u
count="${1:-10}" minutes="${2:-10}" loss="${3:-20}" delay="${4:-200}" jitter="${5:-50}"
stall="${6:-5000}" every="${7:-30}"
root="$(cd "$(dirname "$0")/.." && pwd)"
peer="$root/build/ampwarden-netpeer" relay="$root/build/ampwarden-netrelay"
tmp="$(mktemp -d /tmp/aw_survive.XXXXXX)"
# Seats of matches cut short stay in the scratch folder, not in the user's state.
export XDG_STATE_HOME="$tmp/state"
pids=()
players=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done; rm -rf "$tmp"' EXIT
steps=$((minutes * 60 * 1000 / 16))
# Play time plus the stalls' share and a margin; nothing runs longer.
seconds=$((minutes * 60 * (every * 1000 + stall) / (every * 1000) + 120))
port=$((40000 + ($$ % 500) * 40))
cd "$root" || exit 2
for i in $(seq 1 "$count"); do
    p=$((port + 2 * i))
    "$relay" --listen $((p + 1)) --to $p --delay "$delay" --jitter "$jitter" --loss "$loss" \
        --stall-ms "$stall" --stall-at "$every" --stall-every "$every" --seed "$i" --seconds "$seconds" \
        >"$tmp/relay$i.out" &
    pids+=($!)
    "$peer" --host $p --seed "$i" --steps "$steps" --busy 8 --seconds "$seconds" \
        --hashes "$tmp/host$i.hashes" >"$tmp/host$i.out" 2>"$tmp/host$i.err" &
    pids+=($!)
    ("$peer" --join $((p + 1)) --steps "$steps" --busy 8 --seconds "$seconds" --hashes "$tmp/join$i.hashes" \
        >"$tmp/join$i.out" 2>"$tmp/join$i.err"; echo $? >"$tmp/join$i.rc") &
    pids+=($!)
    players+=($!)
done
wait "${players[@]}"
sleep 6 # the host's last hash checks
survived=0
for i in $(seq 1 "$count"); do
    rc="$(cat "$tmp/join$i.rc" 2>/dev/null || echo none)"
    ok=no
    [ "$rc" = 0 ] && cmp -s "$tmp/host$i.hashes" "$tmp/join$i.hashes" && ok=yes && survived=$((survived + 1))
    echo "match $i: survived $ok (joiner status $rc); $(cat "$tmp/host$i.out")"
    [ "$ok" = yes ] || tail -n 2 "$tmp/host$i.err" "$tmp/join$i.err"
done
echo "survived $survived of $count: $minutes min, $loss % loss, $delay +- $jitter ms, a $stall ms stall every $every s"
