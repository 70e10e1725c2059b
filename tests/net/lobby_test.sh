#!/usr/bin/env bash
# The lobby on a real chat server (Prosody, started here on loopback as an unprivileged user):
# two headless peers make their accounts, one advertises a match, the other finds it by
# account and joins; the match is played to its end and both replays are the same and verify.
# Hostile occupants change nothing they should not: a match of another version is refused by
# name, 10 KB of text is not read, 1,000 advertisements from one account are one match, a
# chat flood is cut at 5 lines, a nickname that mimics another account does not draw its
# joiners, an offer with a port out of range is refused; a server stopped mid-match leaves the
# match to go on, and the lobby comes back once the server does.
# Usage: lobby_test.sh NETPEER NETRELAY ARENA (from the repository root, which holds Data/).
set -u
source "$(dirname "$0")/lib.sh"
net_init "$@"
command -v prosody >/dev/null || { echo "prosody is not installed (tools/setup.sh installs it)" >&2; exit 1; }
server="$(pwd)/tools/lobby_server.sh"
# The server's folder is handed to an unprivileged user: the scratch folder lets it through.
chmod o+x "$tmp"
trap '"$server" stop "$tmp/lobby"; net_cleanup' EXIT
# A free port for the server, one for the game.
xmpp=""
for _ in $(seq 1 50); do
    p=$((30000 + RANDOM % 20000))
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { xmpp=$p; break; }
done
[ -n "$xmpp" ] || fail "no free port"
game=$((xmpp + 1))
"$server" start "$tmp/lobby" --port "$xmpp" --owner $$ >/dev/null || fail "the lobby server does not start"
lobby=(--lobby "127.0.0.1:$xmpp")
# A player of the lobby: NAME SECONDS ACCOUNT ARGS...
player() { local name="$1" seconds="$2" account="$3"; shift 3; run "$name" "$seconds" "${lobby[@]}" --account "$account" --password "pw-$account" "$@"; }

# 1. Two new accounts: alice advertises, bob finds her match and joins; the replays agree.
player host 60 alice --register --host-lobby --host "$game" --seed 91 --steps 640 --busy 6 --record "$tmp/host.rec"
sleep 1
player join 60 bob --register --join-lobby alice --steps 640 --busy 6 --record "$tmp/join.rec"
expect host 0
expect join 0
grep -q "open match of alice@localhost" "$tmp/join.out" || fail "bob did not see alice's match"
grep -q "advertisement withdrawn" "$tmp/host.out" || fail "alice's match stayed advertised once started"
same_replays host join "- found and joined through the lobby: " >/dev/null
echo "- bob found alice's match in the lobby and played it; replays agree and verify"

# 2. Hostile occupants, then a match found among them.
player mimic 40 mallory --register --nick alice --lobby-evil bad-port
player oldver 40 eve --register --lobby-evil bad-version
player long 40 trent --register --lobby-evil long-text
player many 40 oscar --register --lobby-evil many-ads
player flood 40 fiona --register --lobby-evil flood
for name in mimic oldver long many flood; do
    for _ in $(seq 1 100); do grep -q "sent" "$tmp/$name.out" 2>/dev/null && break; sleep 0.1; done
done
sleep 1
# Another version: refused by name before any connection.
player join 30 bob --join-lobby eve
expect join 3 "eve@localhost plays program version 9.99-evil"
# An offer with a port out of range.
player join 30 bob --join-lobby mallory
expect join 7 "an offer with no port from 1 to 65535"
# The real alice, whose nickname mallory took: bob's join goes to her account.
player host 60 alice --host-lobby --host "$game" --seed 92 --steps 320 --busy 6
sleep 1.5
player join 60 bob --join-lobby alice --steps 320 --busy 6
expect host 0
expect join 0
grep -q "open match of alice@localhost (nick alice-2)" "$tmp/join.out" || fail "alice's match is not listed by her account"
grep -q "open match of mallory@localhost (nick alice)" "$tmp/join.out" || fail "mallory's match is not listed by her own account"
[ "$(grep -c "open match of oscar@localhost" "$tmp/join.out")" = 1 ] || fail "1,000 advertisements are not one match"
! grep -q "open match of trent@localhost" "$tmp/join.out" || fail "10 KB of text was read as a match"
# The room's history holds fiona's flood: at most 5 of its lines are heard.
line="$(grep "^lobby: offers" "$tmp/join.out")"
[[ "$line" =~ chat\ heard\ ([0-9]+),\ dropped\ ([0-9]+),\ refused\ ([0-9]+) ]] || fail "no lobby figures: $line"
[ "${BASH_REMATCH[1]}" -le 5 ] && [ "${BASH_REMATCH[2]}" -ge 10 ] || fail "the chat flood was not cut: $line"
[ "${BASH_REMATCH[3]}" -ge 1 ] || fail "nothing hostile was refused: $line"
echo "- hostile occupants: other version and bad port refused, mimic not followed, flood cut ($line)"
for name in mimic oldver long many flood; do kill "$(cat "$tmp/$name.pid")" 2>/dev/null; done

# 3. The server stops mid-match: the match goes on; the lobby comes back with the server.
player host 60 alice --host-lobby --host "$game" --seed 93 --steps 1500 --busy 6 --hashes "$tmp/host.hashes"
sleep 1
player join 60 bob --join-lobby alice --steps 1500 --busy 6 --hashes "$tmp/join.hashes"
for _ in $(seq 1 100); do grep -q "match started" "$tmp/host.out" 2>/dev/null && break; sleep 0.1; done
sleep 2
"$server" stop "$tmp/lobby"
sleep 3
"$server" start "$tmp/lobby" --port "$xmpp" --owner $$ >/dev/null || fail "the lobby server does not start again"
expect host 0 "The lobby's server is gone; trying again in 1 s"
expect join 0 "The lobby's server is gone"
grep -q "back in the room" "$tmp/host.err" || fail "the host's lobby did not come back"
cmp -s "$tmp/host.hashes" "$tmp/join.hashes" || fail "the hashes differ after the server stopped"
echo "- server stopped mid-match: the match went on to its end; the lobby came back"
