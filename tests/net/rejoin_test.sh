#!/usr/bin/env bash
# Coming back into a running match, headless on loopback only: a joiner crashed at a random
# step and started again with the same command line rejoins, at once or after the host paused
# for it, and both finish with the same hashes and the same replay; a wrong token, no token and
# a seat for a match that has ended are refused, and the host plays on or keeps waiting. A host
# crashed at a random step and started again on its port is reached again by its joiner, which
# sends it the match: the same hashes and replays again; meanwhile it refuses a wrong token and
# a newcomer; one whose joiner claimed the win gives up waiting and takes a new opponent. An
# observer (over ::1 where there is IPv6) that lost the first of those hosts comes back to the
# program started again and ends with the players' hash; one that lost the second gives up.
# Usage: rejoin_test.sh NETPEER NETRELAY ARENA (from the repository root, which holds Data/).
set -u
source "$(dirname "$0")/lib.sh"
net_init "$@"
port=$((27000 + ($$ % 1000) * 32))
seat_of() { ls "$tmp/$1/ampwarden/"seat-* 2>/dev/null; }

# 1 and 2. Two matches through a relay that lets the restarted program in from its new port;
# each joiner crashes at a random step; one comes back at once, one after the host paused.
crash=(0 $((150 + RANDOM % 700)) $((150 + RANDOM % 400)))
for i in 1 2; do
    p=$((port + 4 * i))
    net --listen $((p + 1)) --to $p --delay 20 --jitter 10 --loss 5 --seed $i --new-client 1
    STATE=h$i run host$i 110 --host $p --seed $((RANDOM + i)) --steps 1600 --busy 8 --drop-wait 40000 \
        --record "$tmp/host$i.rec" --hashes "$tmp/host$i.hashes"
    STATE=j$i run first$i 60 --join $((p + 1)) --steps 1600 --busy 8 --record "$tmp/first$i.rec" --crash-at ${crash[$i]}
done
# 5 and 6. Hosts crash at a random step and are started again with the same command line: one
# through the relay while its joiner waits (it reaches the new program through a new port), one
# after its joiner claimed the win.
pk=$((port + 16))
net --listen $((pk + 1)) --to $pk --delay 20 --jitter 10 --loss 5 --seed 5 --new-client 1
hcrash=$((150 + RANDOM % 700))
hostargs=(--host $pk --seed $((RANDOM + 5)) --steps 1600 --busy 8 --drop-wait 40000 --observers $((pk + 2)))
STATE=hk run hostk 60 "${hostargs[@]}" --record "$tmp/hostk.rec" --crash-at $hcrash
STATE=jk run joink 110 --join $((pk + 1)) --steps 1600 --busy 8 --drop-wait 40000 --record "$tmp/joink.rec" \
    --hashes "$tmp/joink.hashes"
STATE=he run hoste 30 --host $((port + 20)) --seed 6 --steps 1600 --crash-at 100 --observers $((port + 21))
STATE=je run joine 30 --join $((port + 20)) --steps 1600 --drop-wait 500
at=127.0.0.1
if (: >/dev/udp/::1/9) 2>/dev/null; then at="[::1]"; else echo "- no IPv6 on this machine: observers watch over 127.0.0.1"; fi
run watchk 110 --observe "$at:$((pk + 2))"
run watche 30 --observe "$at:$((port + 21))" --return-tries 3

# 3. The first match's host, in play, refuses a seat with a wrong token and a peer with none.
for _ in $(seq 1 100); do grep -q "match started" "$tmp/host1.err" 2>/dev/null && break; sleep 0.1; done
mkdir -p "$tmp/w/ampwarden"
printf 'ampwarden seat 1\nhost 127.0.0.1\nport %d\nseed 1\ndate 1\ntoken 1234abcd\n' $((port + 4)) \
    >"$tmp/w/ampwarden/seat-127.0.0.1-$((port + 4))"
STATE=w run wrong 20 --join $((port + 4)) --steps 1600
STATE=n run none 20 --join $((port + 4)) --steps 1600
# 4. A waiting host refuses a seat for a match that has ended, and takes a fresh joiner after.
p=$((port + 12))
mkdir -p "$tmp/e/ampwarden"
printf 'ampwarden seat 1\nhost 127.0.0.1\nport %d\nseed 1\ndate 1\ntoken 99\n' $p >"$tmp/e/ampwarden/seat-127.0.0.1-$p"
STATE=h4 run host4 40 --host $p --seed 4 --steps 100
sleep 0.3
STATE=e run ended 20 --join $p --steps 100

for i in 1 2; do
    expect first$i 9 "crashing at step"
    crash[$i]="$(sed -n 's/.*crashing at step //p' "$tmp/first$i.err")"
    [ -n "$(seat_of j$i)" ] || fail "the crashed joiner $i left no seat file"
done
expect hostk 9 "crashing at step"
hcrash="$(sed -n 's/.*crashing at step //p' "$tmp/hostk.err")"
[ -n "$(ls "$tmp/hk/ampwarden/hosted-$pk")" ] || fail "the crashed host left no seat file"
STATE=hk run hostk2 80 "${hostargs[@]}" --record "$tmp/hostk2.rec" --hashes "$tmp/hostk2.hashes"
sleep 0.5
# While it waits for its joiner, the host started again refuses a wrong token and a newcomer.
mkdir -p "$tmp/wk/ampwarden"
printf 'ampwarden seat 1\nhost 127.0.0.1\nport %d\nseed 1\ndate 1\ntoken 5678\n' $pk >"$tmp/wk/ampwarden/seat-127.0.0.1-$pk"
STATE=wk run wrongk 20 --join $pk --steps 1600
STATE=nk run nonek 20 --join $pk --steps 1600
STATE=j1 run again1 80 --join $((port + 5)) --steps 1600 --busy 8 --record "$tmp/again1.rec" --hashes "$tmp/again1.hashes"
sleep 11
grep -q "blue lost its connection; waiting 0:40" "$tmp/host2.err" || fail "host 2 did not pause for its joiner"
STATE=j2 run again2 80 --join $((port + 9)) --steps 1600 --busy 8 --record "$tmp/again2.rec" --hashes "$tmp/again2.hashes"

expect wrong 3 "Refused: 127.0.0.1 holds this seat for another token"
expect none 7 "127.0.0.1 already has an opponent"
echo "- a wrong token and no token are refused while the match plays on"
expect ended 3 "has no match running for this seat (it has ended)"
[ -z "$(seat_of e)" ] || fail "the refused seat file is still there"
STATE=f run fresh 20 --join $p --steps 100
expect fresh 0
expect host4 0
echo "- a seat for an ended match is refused, its file dropped; the host took the next joiner"
for i in 1 2; do
    expect host$i 0 "blue is back in the match at step"
    expect again$i 0 "back in the match at step"
    # Every hash the returning side took is the host's at the same step.
    [ -s "$tmp/again$i.hashes" ] && [ -z "$(comm -13 <(sort "$tmp/host$i.hashes") <(sort "$tmp/again$i.hashes"))" ] ||
        fail "rejoin $i: hashes differ"
    [ -z "$(seat_of j$i)" ] || fail "rejoin $i: the seat file outlived the match"
    echo "- crashed at step ${crash[$i]}: $(grep -o 'back in the match at step.*' "$tmp/again$i.err" | head -n 1)"
    same_replays host$i again$i "  "
done
expect wrongk 3 "Refused: 127.0.0.1 holds this seat for another token"
expect nonek 3 "127.0.0.1 waits for its last match's opponent to come back"
grep -qF "refused a new opponent: waiting for blue" "$tmp/hostk2.err" || fail "the host does not say why it refused"
echo "- a host started again refuses a wrong token and a newcomer while it waits"
expect joink 0 "green was started again; sending it the match"
expect hostk2 0 "back in the match at step"
[ -s "$tmp/hostk2.hashes" ] && [ -z "$(comm -13 <(sort "$tmp/joink.hashes") <(sort "$tmp/hostk2.hashes"))" ] ||
    fail "host rejoin: hashes differ"
[ -z "$(find "$tmp/hk" "$tmp/jk" -type f)" ] || fail "host rejoin: a seat file outlived the match"
echo "- host crashed at step $hcrash: $(grep -o 'back in the match at step.*' "$tmp/hostk2.err" | head -n 1)"
same_replays joink hostk2 "  "
expect watchk 0 "back watching as observer"
h="$(sed -n 's/.*final step [0-9]* hash \([0-9a-f]*\).*/\1/p' "$tmp/joink.out")"
[ -n "$h" ] && grep -q "final hash $h" "$tmp/watchk.out" || fail "the observer that came back ended elsewhere than $h"
echo "- an observer over $at $(grep -o 'back watching.*' "$tmp/watchk.err")"
expect watche 6 "$at:$((port + 21)) did not bring the match back ("
echo "- an observer gives up on a host that did not come back: $(grep -o 'did not bring.*' "$tmp/watche.err")"
# The joiner gave up on the host: the host started again waits its time, drops the seat, plays anew.
expect hoste 9
expect joine 7 "No result: the link to green was cut"
STATE=he run hoste2 30 --host $((port + 20)) --seed 6 --steps 100 --drop-wait 2000
for _ in $(seq 1 50); do grep -q "that match has ended" "$tmp/hoste2.err" 2>/dev/null && break; sleep 0.1; done
STATE=je run joine2 20 --join $((port + 20)) --steps 100
expect joine2 0
expect hoste2 0 "blue did not come back within 2 s: that match has ended; waiting for a new opponent"
echo "- a host started again after its joiner gave up on it waited its time and played a newcomer"
exit 0
