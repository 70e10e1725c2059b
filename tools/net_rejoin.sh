#!/usr/bin/env bash
# How long a side started again takes to be back in its match, for matches dropped at 1, 5
# and 15 minutes, on loopback only: a host and a joiner play as fast as their turns allow
# (scripted builds every BUSY steps on both sides); one side crashes at the minute and is
# started again with the same command line: the joiner at once, the host once its joiner
# waits for it (the joiner then reaches the host's port again within a second). Printed: the
# time from the new program's start to standing ready (play then resumes after the 3 s
# countdown) and the catch-up's size. An observer watches the host that crashes: printed, the
# time from the host's new start to the observer watching again (it tries the host's
# observers' port once a second). Usage: tools/net_rejoin.sh [BUSY] [MINUTES...]
set -u
cd "$(dirname "$0")/.."
peer=build/ampwarden-netpeer
busy="${1:-8}"
shift || true
minutes=("${@:-1 5 15}")
tmp="$(mktemp -d /tmp/aw_netrm.XXXXXX)"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$tmp"' EXIT
# play SIDE NAME SECONDS ARGS...: one side of the match, with its own state folder.
play() {
    local side="$1" name="$2" seconds="$3"
    shift 3
    XDG_STATE_HOME="$tmp/$side" nice -n 10 "$peer" --steps $steps --busy "$busy" --fast 1 --seconds "$seconds" \
        --drop-wait 120000 "$@" >"$tmp/$name.out" 2>"$tmp/$name.err"
}
for m in ${minutes[@]}; do
    crash=$((m * 3750))
    steps=$((crash + 300))
    for crashed in join host; do
        port=$((29000 + RANDOM % 900 * 4))
        hostargs=(--host $port --seed $m --observers $((port + 1)))
        joinargs=(--join $port)
        if [ $crashed = join ]; then
            play h host 900 "${hostargs[@]}" &
            play j crashed 900 "${joinargs[@]}" --crash-at $crash
            play j back 120 "${joinargs[@]}"
        else
            play j stayed 900 "${joinargs[@]}" &
            play o watcher 900 --observe $((port + 1)) &
            play h crashed 900 "${hostargs[@]}" --crash-at $crash
            for _ in $(seq 1 200); do grep -q "lost its connection" "$tmp/stayed.err" && break; sleep 0.1; done
            restarted=$(date +%s%N)
            play h back 120 "${hostargs[@]}" &
            for _ in $(seq 1 1200); do grep -q "back watching" "$tmp/watcher.err" && break; sleep 0.05; done
            if grep -q "back watching" "$tmp/watcher.err"; then
                echo "  observer watching again $((($(date +%s%N) - restarted) / 1000000)) ms after the host's new start: $(grep -o 'back watching.*' "$tmp/watcher.err")"
            else
                echo "  the observer is not back: $(tail -n 1 "$tmp/watcher.err")"
            fi
            wait $!
        fi
        status=$?
        wait
        echo "$crashed dropped at $m min (step $crash), exit $status: $(grep -o 'rejoin at.*' "$tmp/back.out")"
        rm -rf "${tmp:?}"/*
    done
done
