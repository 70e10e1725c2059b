#!/usr/bin/env bash
# Two headless peers (ampwarden-netpeer) play network matches on loopback only: through a
# relay that delays, drops, duplicates and reorders, with garbage at the host's port, they end
# with equal hashes at every check; a version mismatch, a third peer, a killed side, a message
# that breaks the rules, a packet far longer than any message and a desync each end the
# session with the reason on both sides.
# Over ::1, the same busy match ends with equal hashes, a third peer is turned away and
# garbage at the host's IPv6 port changes nothing.
# Both sides' replays are the same file and verify. Usage: lockstep_test.sh NETPEER NETRELAY
# ARENA (from the repository root, which holds Data/).
set -u
source "$(dirname "$0")/lib.sh"
net_init "$@"
# Ports of our own, away from other runs on this machine.
port=$((20000 + ($$ % 2000) * 10))

# 1. A busy match through a bad network, with garbage at the host's port: equal hashes.
net --listen $((port + 1)) --to $port --delay 20 --jitter 10 --loss 3 --dup 3 --reorder 3
run host 40 --host $port --seed 77 --steps 640 --busy 6 --hashes "$tmp/host.hashes" --record "$tmp/host.rec"
sleep 0.3
run join 40 --join $((port + 1)) --steps 640 --busy 6 --hashes "$tmp/join.hashes" --record "$tmp/join.rec"
sleep 3
for i in $(seq 1 20); do head -c $((i * 7)) /dev/urandom >/dev/udp/127.0.0.1/$port; done
expect host 0
expect join 0
[ "$(wc -l <"$tmp/host.hashes")" -ge 20 ] || fail "too few hash checks: $(wc -l <"$tmp/host.hashes")"
cmp -s "$tmp/host.hashes" "$tmp/join.hashes" || fail "the two sides' hashes differ"
# Both sides recorded the same replay, and it plays back to the same match.
same_replays host join >/dev/null
grep -q "^cmd .* build green" "$tmp"/host.rec/*.replay && grep -q "^cmd .* build blue" "$tmp"/host.rec/*.replay ||
    fail "the replay lacks one side's builds"
grep -q "nodes" "$tmp/host.out" && ! grep -q " 12 nodes" "$tmp/host.out" || fail "no scripted build took effect"
echo "- bad network: $(wc -l <"$tmp/host.hashes") equal hash checks; $(cat "$tmp/host.out")"

# 2. Different program versions: the joiner is refused, naming both; the host lets it go
# (counted) and waits on.
run host 4 --host $((port + 2))
sleep 0.3
run join 40 --join $((port + 2)) --version 0.9-test
expect join 3 "program version 0.9-test here"
expect host 8 "refused 1"
echo "- version mismatch refused by the joiner; the host waited on"

# 3. A third peer is turned away; a side killed mid-match is reported to the other.
run host 40 --host $((port + 3)) --steps 100000
sleep 0.3
run join 40 --join $((port + 3)) --steps 100000 --drop-wait 2000
sleep 1.5
run third 40 --join $((port + 3))
expect third 7 "already has an opponent"
killed="$(date +%s)"
kill -KILL "$(cat "$tmp/host.pid")"
expect join 7 "No result: the link to green was cut"
grep -qF "green lost its connection; waiting 0:02" "$tmp/join.err" || fail "the joiner did not wait for the host"
[ $(($(date +%s) - killed)) -le 14 ] || fail "the killed host was reported only after $(($(date +%s) - killed)) s"
echo "- third peer turned away; killed host reported"

# 4. A command for the wrong side, or a packet far longer than any message (which ENet
# would drop unread while its channel waited for it), ends the session on both sides.
for evil in "wrong-side:a command for the wrong side" "oversized:a packet of 65536 bytes (at most 4096 are taken)"; do
    run host 40 --host $((port + 4)) --steps 100000
    sleep 0.3
    run join 40 --join $((port + 4)) --steps 100000 --evil "${evil%%:*}" --evil-at 40
    expect host 6 "${evil#*:}"
    expect join 6 "broke its rules"
    echo "- ${evil#*:}: ends the session"
done

# 5. A match that goes apart stops at the first check after it, on both sides, with dumps.
mkdir -p "$tmp/dumps"
run host 40 --host $((port + 5)) --steps 100000 --dump-dir "$tmp/dumps"
sleep 0.3
run join 40 --join $((port + 5)) --steps 100000 --desync-at 40 --dump-dir "$tmp/dumps"
expect host 5 "Out of sync at step 64"
expect join 5 "Out of sync at step 64"
diff -q "$tmp/dumps/desync-step-64-green.txt" "$tmp/dumps/desync-step-64-blue.txt" >/dev/null &&
    fail "the dumps of a desync do not differ"
echo "- desync found at step 64 on both sides, with node dumps"

# 6. Joined over IPv6: a third peer there is turned away, garbage (too big, or from more
# addresses than the host keeps) changes nothing, and the hashes agree.
if ! (: >/dev/udp/::1/9) 2>/dev/null; then
    echo "- no IPv6 on this machine: the match over ::1 is not played"
    exit 0
fi
run host 40 --host $((port + 6)) --seed 78 --steps 640 --busy 6 --hashes "$tmp/host6.hashes"
sleep 0.3
run join 40 --join "[::1]:$((port + 6))" --steps 640 --busy 6 --hashes "$tmp/join6.hashes"
sleep 1.5
run third 40 --join "[::1]:$((port + 6))"
expect third 7 "already has an opponent"
for i in $(seq 1 20); do head -c $((i * 7)) /dev/urandom >/dev/udp/::1/$((port + 6)); done
head -c 5000 /dev/urandom >/dev/udp/::1/$((port + 6))
expect host 0
expect join 0
[ "$(wc -l <"$tmp/host6.hashes")" -ge 20 ] || fail "too few hash checks over IPv6"
cmp -s "$tmp/host6.hashes" "$tmp/join6.hashes" || fail "the two sides' hashes differ over IPv6"
echo "- over ::1: $(wc -l <"$tmp/host6.hashes") equal hash checks, a third peer turned away"
