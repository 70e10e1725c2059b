#!/usr/bin/env bash
# Measures the lobby on this machine, on loopback only, with a Prosody of its own started in a
# scratch folder (tools/lobby_server.sh) and ended however this script ends:
#   - signing in to the room shown (a new account, then an existing one);
#   - "Join" to the match's first step;
#   - the lobby's traffic over one idle minute, two players in the room (the server's side of
#     their TCP streams, payload bytes);
#   - N accounts (default 200) signed in at once, 50 of them advertising: the time the room
#     takes to fill, the server's CPU time and memory, and one client's frame cost with them
#     all listed.
# Usage: tools/lobby_bench.sh [BUILD_DIR] [N] (from the repository root). Prints figures only.
set -u
build="${1:-build}"
crowd="${2:-200}"
peer="$(realpath "$build/ampwarden-netpeer")"
server="$(pwd)/tools/lobby_server.sh"
tmp="$(mktemp -d /tmp/aw_lobbybench.XXXXXX)"
chmod o+x "$tmp"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    "$server" stop "$tmp/lobby"
    rm -rf "$tmp"
}
trap cleanup EXIT
port=""
for _ in $(seq 1 50); do
    p=$((30000 + RANDOM % 20000))
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { port=$p; break; }
done
[ -n "$port" ] || { echo "no free port" >&2; exit 1; }
spid="$("$server" start "$tmp/lobby" --port "$port" --owner $$)" || exit 1
lobby=(--lobby "127.0.0.1:$port")
export XDG_STATE_HOME="$tmp/state"

# Sign-in, join and first step.
"$peer" "${lobby[@]}" --account alice --password pw-a --register --host-lobby --host $((port + 1)) --steps 200 \
    --seconds 30 >"$tmp/host.out" 2>&1 &
pids+=($!)
sleep 1
"$peer" "${lobby[@]}" --account bob --password pw-b --register --join-lobby alice --steps 200 --seconds 30 \
    >"$tmp/join.out" 2>&1
wait "${pids[-1]}"
"$peer" "${lobby[@]}" --account bob --password pw-b --lobby-evil idle --seconds 1 >"$tmp/again.out" 2>&1
echo "sign-in to room shown, new account (made first): $(grep -o 'after [0-9]* ms' "$tmp/join.out" | head -1)"
echo "sign-in to room shown, existing account: $(grep -o 'after [0-9]* ms' "$tmp/again.out" | head -1)"
echo "join asked to offer received: $(grep -o 'offer from .*' "$tmp/join.out")"
echo "join asked to first step: $(grep -o 'first step .*' "$tmp/join.out")"

# One idle minute, two players in the room: payload bytes both ways on the server's sockets.
bytes() {
    ss -tinH state established "( sport = :$port )" | grep -o 'bytes_\(acked\|received\):[0-9]*' |
        awk -F: '{ s += $2 } END { print s + 0 }'
}
for who in alice bob; do
    "$peer" "${lobby[@]}" --account "$who" --password "pw-${who:0:1}" --lobby-evil idle --seconds 70 >/dev/null 2>&1 &
    pids+=($!)
done
sleep 5
before="$(bytes)"
sleep 60
after="$(bytes)"
echo "idle minute, two players in the room: $((after - before)) bytes through the server (both directions, both players)"

# The crowd.
cpu() { awk '{ print $14 + $15 }' "/proc/$spid/stat"; }
rss() { awk '/VmRSS/ { print $2 }' "/proc/$spid/status"; }
cpu0="$(cpu)" rss0="$(rss)"
"$peer" "${lobby[@]}" --lobby-crowd "$crowd" --crowd-ads 50 --register --seconds 90 >"$tmp/crowd.out" 2>&1
tick="$(getconf CLK_TCK)"
echo "$(cat "$tmp/crowd.out")"
echo "server with $crowd accounts: CPU $(((($(cpu) - cpu0) * 1000) / tick)) ms over the run; memory $rss0 KB before, $(rss) KB after"
