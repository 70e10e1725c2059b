#!/usr/bin/env bash
# Strangers and lying peers on loopback only (attackers from 127.0.0.2): a waiting host's slots
# and its observers' port flooded with squatters and half-open handshakes, a stranger of another
# version, peers that keep the link alive but send no turn, a two-way cut past the wait, a stolen
# seat file, a zombie seat holder, and an absurd catch-up. All run side by side.
# Usage: attacks_test.sh NETPEER NETRELAY ARENA (from the repository root, which holds Data/).
set -u
source "$(dirname "$0")/lib.sh"
net_init "$@"
port=$((10000 + ($$ % 300) * 32))
now_ms() { echo $(($(date +%s%N) / 1000000)); }
wait_for() { # FILE TEXT SECONDS
    for _ in $(seq 1 $(($3 * 10))); do grep -qF -- "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
    fail "$1 never said: $2"
}
# 1. More squatters than slots (20 of 12, each connecting again once let go) and half-open
# handshakes from two ports every 0.5 s, on the players' port and the observers' port.
a=$port
run hostA 45 --host $a --seed 1 --steps 1400 --observers $((a + 1))
sleep 0.3
for p in $a $((a + 1)); do
    run squat$p 30 --squat 20 --join $p
    run half$p 30 --half-open 2 --join $p
done
# 2. A stranger of another version knocks first; the host keeps waiting.
b=$((port + 2))
run hostB 30 --host $b --seed 2 --steps 100
sleep 0.3
run strangerB 10 --join $b --version 0.0-stranger
# A stranger of this version that greets, then talks but never agrees on the match (for 14 s).
e=$((port + 13))
run hostE 45 --host $e --seed 7 --steps 100
sleep 0.3
run talker 14 --squat 1 --squat-greets 1 --join $e
# 3. Liars: the link kept alive by the heartbeat, or by fragments of a packet never finished.
for i in 0 1; do
    evil=$([ $i = 0 ] && echo stall || echo fragments)
    run liarhost$i 40 --host $((port + 3 + i)) --seed 3 --steps 100000 --drop-wait 2000
    run liar$i 40 --join $((port + 3 + i)) --steps 100000 --evil $evil --evil-at 150
done
# 4. A two-way cut past the silence and the wait (10 s + 2 s): neither side wins.
c=$((port + 6))
net --listen $((c + 1)) --to $c --stall-ms 16000 --stall-at 4
run cuthost 45 --host $c --seed 4 --steps 100000 --drop-wait 2000 --record "$tmp/cuthost.rec"
run cutjoin 45 --join $((c + 1)) --steps 100000 --drop-wait 2000 --record "$tmp/cutjoin.rec"
# 5. A copy of the seat file offered while its joiner plays; a seat holder left a zombie; a
# host that answers a returning side with a catch-up at step 100,000,000.
d=$((port + 8))
run seathost 45 --host $d --seed 5 --steps 1500
STATE=seatj run seatjoin 45 --join $d --steps 1500
for i in 0 1; do
    run backhost$i 50 --host $((port + 10 + i)) --seed 6 --steps 1200 --drop-wait 20000 \
        $([ $i = 1 ] && echo "--evil catch-up")
    STATE=back$i run backjoin$i 50 --join $((port + 10 + i)) --steps 1200 --crash-at 100
done
# 6. Nobody on the port: the joiner gives up after 15 s, as the manual says.
run nobody 30 --join $((port + 12))
nobody_at=$(now_ms)

sleep 3
joined_at=$(now_ms)
run joinA 40 --join $a --steps 1400
run joinB 20 --join $b --steps 100
sleep 1
run watchA 40 --observe $((a + 1)) --steps 600
wait_for "$tmp/joinA.err" "connected; playing blue" 15
echo "- joiner got in $(($(now_ms) - joined_at)) ms after it started, under 40 squatters and 4 half-open ports"

# The seat file copied from the live joiner, its pid made a dead one's (a program that lies).
for _ in $(seq 1 50); do ls "$tmp"/seatj/ampwarden/seat-* >/dev/null 2>&1 && break; sleep 0.1; done
mkdir -p "$tmp/thief" && cp -r "$tmp/seatj/ampwarden" "$tmp/thief/"
sed -i 's/^pid .*/pid 999999999/' "$tmp"/thief/ampwarden/seat-*
STATE=thief run thief 20 --join $d --steps 1500
# The crashed joiners' seats, one held by a zombie: a child that ended and is never reaped.
expect backjoin0 9
expect backjoin1 9
python3 -c 'import os,time
pid=os.fork()
if pid==0: os._exit(0)
print(pid,flush=True); time.sleep(25)' >"$tmp/zombie" &
pids+=($!)
for _ in $(seq 1 50); do [ -s "$tmp/zombie" ] && break; sleep 0.1; done
z="$(cat "$tmp/zombie")"
started="$(sed 's/.*) //' "/proc/$z/stat" | cut -d' ' -f20)"
sed -i "s/^pid .*/pid $z/; s/^started .*/started $started/" "$tmp"/back0/ampwarden/seat-*
grep -q "^Z" <(sed 's/.*) //' "/proc/$z/stat") || fail "the child is not a zombie"
STATE=back0 run backjoin0b 40 --join $((port + 10)) --steps 1200
back_at=$(date +%s)
STATE=back1 run backjoin1b 40 --join $((port + 11)) --steps 1200

expect joinA 0
expect hostA 0
expect watchA 0
for p in $a $((a + 1)); do expect squat$p 0; expect half$p 0; done
lines=$(grep -c "" "$tmp/hostA.err")
[ "$lines" -le 16 ] || fail "the host wrote $lines lines under attack"
grep -q "let go of" "$tmp/hostA.err" || fail "the host did not sum up what it let go"
echo "- observer watched to step 600 under the same attack; the host wrote $lines lines, e.g. $(grep -m1 -o 'let go of.*' "$tmp/hostA.err")"
wait_for "$tmp/hostE.err" "did not agree on the match within 10 s: waiting for another opponent" 20
expect talker 0
run joinE 20 --join $e --steps 100
expect joinE 0
expect hostE 0
echo "- a stranger that greeted and never agreed was let go after 10 s; the host took the real joiner"
expect strangerB 3 "program version 0.0-stranger here"
expect joinB 0
expect hostB 0
echo "- a stranger of another version was let go and the host took the real joiner"
for i in 0 1; do
    expect liarhost$i 4 "blue sends no turn though its link is alive; waiting 0:02"
    grep -qF "blue lost its connection: you win" "$tmp/liarhost$i.err" || fail "liarhost$i did not win"
done
echo "- a liar that stalls with its link alive loses after 10 s + the wait (heartbeat, unfinished fragments)"
expect cuthost 7 "No result: the link to blue was cut"
expect cutjoin 7 "No result: the link to green was cut"
for side in cuthost cutjoin; do
    grep -q "^end [0-9]* none " "$tmp/$side.rec"/*.replay || fail "$side's replay names a winner: $(tail -n 1 "$tmp/$side.rec"/*.replay)"
done
echo "- a 16 s two-way cut with a 2 s wait: no winner on either side ($(tail -n 1 "$tmp"/cuthost.rec/*.replay) / $(tail -n 1 "$tmp"/cutjoin.rec/*.replay))"
expect thief 3 "the seat's holder still plays"
expect seatjoin 0
expect seathost 0
echo "- a copy of the seat file offered during play was refused; the joiner played on to the end"
expect backjoin0b 0 "back in the match at step"
expect backhost0 0
echo "- a joiner whose seat names a zombie came back: $(grep -o 'back in the match at step [0-9]*' "$tmp/backjoin0b.err")"
expect backjoin1b 6 "more than its match can have run"
took=$(($(stat -c %Y "$tmp/backjoin1b.rc") - back_at))
[ "$took" -le 10 ] || fail "the absurd catch-up was refused only after $took s"
echo "- a catch-up at step 100000000 refused within $took s: $(grep -o 'sent a catch-up.*' "$tmp/backjoin1b.err")"
expect nobody 7 "does not answer"
waited=$(($(stat -c %Y "$tmp/nobody.rc") * 1000 - nobody_at))
[ "$waited" -ge 14000 ] && [ "$waited" -le 16500 ] || fail "'does not answer' came after $waited ms"
echo "- 'does not answer' after about $waited ms"
exit 0
