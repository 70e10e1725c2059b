#!/usr/bin/env bash
# How long a joiner started again takes to be back in its match, for matches dropped at 1, 5
# and 15 minutes, on loopback only: a host and a joiner play as fast as their turns allow
# (scripted builds every BUSY steps on both sides), the joiner crashes at the minute, and the
# time from its new program's start to standing ready (play then resumes after the 3 s
# countdown) and the catch-up's size are printed. Usage: tools/net_rejoin.sh [BUSY] [MINUTES...]
set -u
cd "$(dirname "$0")/.."
peer=build/ampwarden-netpeer
busy="${1:-8}"
shift || true
minutes=("${@:-1 5 15}")
tmp="$(mktemp -d /tmp/aw_netrm.XXXXXX)"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$tmp"' EXIT
for m in ${minutes[@]}; do
    port=$((29000 + RANDOM % 900 * 4))
    crash=$((m * 3750))
    steps=$((crash + 300))
    XDG_STATE_HOME="$tmp/h$m" nice -n 10 "$peer" --host $port --seed $m --steps $steps --busy "$busy" --fast 1 \
        --seconds 900 --drop-wait 120000 >"$tmp/h$m.out" 2>"$tmp/h$m.err" &
    XDG_STATE_HOME="$tmp/j$m" nice -n 10 "$peer" --join $port --steps $steps --busy "$busy" --fast 1 \
        --seconds 900 --crash-at $crash >/dev/null 2>"$tmp/c$m.err"
    XDG_STATE_HOME="$tmp/j$m" nice -n 10 "$peer" --join $port --steps $steps --busy "$busy" --fast 1 \
        --seconds 120 >"$tmp/j$m.out" 2>"$tmp/j$m.err"
    status=$?
    wait
    echo "dropped at $m min (step $crash), exit $status: $(grep -o 'rejoin at.*' "$tmp/j$m.out")"
done
