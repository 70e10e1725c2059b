#!/usr/bin/env bash
# Observers and chat between headless peers on loopback only. Through relays, two observers
# that join at different times end with the players' final hash; one that stops reading, one
# that floods chat, one that sends a command and one that begins a packet of 64 KB are dropped
# while the players play on unstalled; the players' chat flood is cut at 5 lines; chat lines
# stand in both replays, which verify even with a chat line changed; a ninth observer is
# turned away.
# Usage: observe_test.sh NETPEER NETRELAY ARENA (from the repository root, which holds Data/).
set -u
peer="$1"
relay="$2"
arena="$3"
tmp="$(mktemp -d /tmp/aw_observe.XXXXXX)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for f in "$tmp"/*.pid; do [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null; done
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    tail -n 5 "$tmp"/*.err >&2 2>/dev/null
    exit 1
}
port=$((40000 + (RANDOM % 1900) * 10))

start() { # NAME ARGS...: a peer in the background with a state folder of its own, its status in NAME.rc
    local name="$1"
    shift
    (
        XDG_STATE_HOME="$tmp/state-$name" "$peer" --seconds 60 "$@" >"$tmp/$name.out" 2>"$tmp/$name.err" &
        echo $! >"$tmp/$name.pid"
        wait $!
        echo $? >"$tmp/$name.rc"
    ) &
    pids+=($!)
}
expect() { # NAME STATUS [TEXT]
    local i rc=timeout
    for i in $(seq 1 700); do [ -s "$tmp/$1.rc" ] && { rc="$(cat "$tmp/$1.rc")"; break; }; sleep 0.1; done
    [ "$rc" = "$2" ] || fail "$1 ended with $rc, expected $2"
    [ -z "${3:-}" ] || grep -qF -- "$3" "$tmp/$1.err" "$tmp/$1.out" || fail "$1 does not say: $3"
}
final() { sed -n 's/.*final \(step [0-9]* \)\?hash \([0-9a-f]*\).*/\2/p' "$tmp/$1.out"; }

for r in "1 $port" "3 $((port + 2))" "4 $((port + 2))"; do
    set -- $r
    "$relay" --listen $((port + $1)) --to "$2" --delay 20 --jitter 10 --loss 3 --seed "$1" --seconds 60 \
        >"$tmp/relay$1.out" &
    pids+=($!)
done
start host --host $port --observers $((port + 2)) --seed 30 --steps 1800 --busy 6 --say-at 200 --record "$tmp/h"
sleep 0.3
start join --join $((port + 1)) --steps 1800 --busy 6 --say-at 300 --chat-flood 40 --record "$tmp/j"
sleep 1
start early --observe $((port + 3)) --say-at 100
start deaf --observe $((port + 2)) --stop-reading-at 100
start flood --observe $((port + 2)) --say-at 150 --chat-flood 30
start evil --observe $((port + 2)) --evil command --evil-at 150
start big --observe $((port + 2)) --evil oversized --evil-at 160
# Garbage at the observers' port changes nothing.
for i in $(seq 1 20); do head -c $((i * 300)) /dev/urandom >/dev/udp/127.0.0.1/$((port + 2)); done
sleep 8
start late --observe $((port + 4))
expect evil 6 "dropped us: our messages broke its rules"
expect big 6 "dropped us: our messages broke its rules"
expect flood 0
expect host 0
expect join 0
expect early 0
expect late 0
h="$(final host)"
[ -n "$h" ] && [ "$h" = "$(final join)" ] || fail "the players' final hashes differ"
[ "$(final early)" = "$h" ] && [ "$(final late)" = "$h" ] || fail "an observer ended elsewhere than the players"
e="$(sed -n 's/.*caught up at step \([0-9]*\).*/\1/p' "$tmp/early.out")"
l="$(sed -n 's/.*caught up at step \([0-9]*\).*/\1/p' "$tmp/late.out")"
[ "$l" -gt $((e + 300)) ] || fail "the late observer caught up at step $l, the early one at $e"
echo "- two observers through relays, caught up at steps $e and $l, end with the players' hash $h"

grep -qE "observer [0-9] (stopped reading|left or went silent)" "$tmp/host.err" || fail "the deaf observer was kept"
grep -qF "sends over 5 chat lines in 10 s" "$tmp/host.err" || fail "the observer's flood was not cut"
grep -qF "sent a message only players send" "$tmp/host.err" || fail "the observer's command was not refused"
grep -qF "sent a packet of 65536 bytes (messages are at most 1024): dropped" "$tmp/host.err" ||
    fail "the observer's oversized packet was not refused"
for side in host join; do
    longest="$(sed -n 's/.*longest \([0-9]*\) ms.*/\1/p' "$tmp/$side.out")"
    [ "$longest" -lt 1000 ] || fail "$side stalled for $longest ms with observers misbehaving"
done
grep -qF "chat heard 5, dropped 35" "$tmp/host.out" || fail "the joiner's flood was not cut: $(grep chat "$tmp/host.out")"
echo "- a deaf, a flooding, a commanding and an oversized observer dropped; the players' longest stall under 1 s; a flood of 40 cut to 5"

# Chat lines in both replays; verification ignores them, even changed.
for side in h j; do
    r="$(ls "$tmp/$side"/*.replay)" || fail "no replay"
    grep -q "^chat [0-9]* green good game$" "$r" && grep -q "^chat [0-9]* observer[0-9] watching from afar$" "$r" ||
        fail "$side's replay lacks the chat: $(grep ^chat "$r" | head -3)"
    sed -i 's/^\(chat [0-9]* green\) good game$/\1 a changed line/' "$r"
    "$arena" --verify "$r" >"$tmp/verify.out" 2>&1 || fail "a replay with chat does not verify: $(cat "$tmp/verify.out")"
done
echo "- chat lines in both replays, ignored by --verify"

# A ninth observer is turned away; with -quiet-observers an observer's line reaches the
# observers only.
start host2 --host $((port + 5)) --observers $((port + 7)) --quiet-observers 1 --seed 31 --steps 100000 --seconds 14
sleep 0.3
start join2 --join $((port + 5)) --steps 100000 --seconds 14
sleep 1
start watch1 --observe $((port + 7)) --seconds 14 --say-at 100 --steps 500
for i in 2 3 4 5 6 7 8; do start "watch$i" --observe $((port + 7)) --seconds 14; sleep 0.2; done
sleep 1
start ninth --observe $((port + 7)) --seconds 14
expect ninth 6 "has 8 observers already"
[ "$(grep -c "is watching" "$tmp/host2.err")" = 8 ] || fail "the host let other than 8 observers watch"
expect watch1 0
expect join2 8
grep -q "1 chat lines" "$tmp/watch1.out" && grep -q "chat heard 0," "$tmp/join2.out" ||
    fail "a quiet host's observer line went astray: $(grep -h chat "$tmp/watch1.out" "$tmp/join2.out")"
echo "- a ninth observer turned away; a quiet host's observers talk among themselves"
