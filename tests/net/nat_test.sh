#!/usr/bin/env bash
# Two headless peers in two homes of a small internet built in network namespaces (nat_rig.sh),
# the lobby's servers on it (Prosody and coturn, as unprivileged users, by lobby_server.sh). ICE
# finds a path, and a busy match with builds and a chat line is played over it to its end, both
# sides' replays the same and verifying:
#   open routers                 -> direct
#   both behind cone NATs        -> through the routers (hole punching, no relay)
#   one or both symmetric        -> relayed by the server
#   UDP blocked but to the server-> relayed
#   symmetric, relay server down -> a clear failure line
#   120 candidates at a third party -> checks to the first 16 only, then the failure line
# Skips (77) where network namespaces cannot be made. Usage: nat_test.sh NETPEER NETRELAY ARENA
# (from the repository root, which holds Data/).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"
source "$here/nat_rig.sh"
source "$here/../../tools/lobby_turn.sh"
if ! rig_can 2>"/tmp/aw_nat_why.$$"; then
    echo "SKIP: $(cat "/tmp/aw_nat_why.$$")"
    rm -f "/tmp/aw_nat_why.$$"
    exit 77
fi
rm -f "/tmp/aw_nat_why.$$"
net_init "$@"
# The servers' user must reach its folder inside ours.
chmod 711 "$tmp"
nat_cleanup() {
    for dir in "$tmp"/lobby-*; do [ -d "$dir" ] && "$here/../../tools/lobby_server.sh" stop "$dir"; done
    net_cleanup
    rig_down
}
trap nat_cleanup EXIT
trap 'exit 130' INT TERM

# run_in NODE NAME SECONDS ARGS...: a peer inside a home, as run does.
run_in() {
    local node="$1" name="$2" seconds="$3"
    shift 3
    rm -f "$tmp/$name.rc"
    (XDG_STATE_HOME="$tmp/state-$name" ip netns exec "$(rig_ns "$node")" "$peer" --seconds "$seconds" "$@" \
        >"$tmp/$name.out" 2>"$tmp/$name.err" &
        echo $! >"$tmp/$name.pid"; wait $!; echo $? >"$tmp/$name.rc") &
    pids+=($!)
}

# nat_case NAME MODE_A MODE_B BLOCKED SERVER VIA EXPECT: SERVER is "up" or "down" (the relay);
# VIA "lobby" (the payloads go through Prosody, as a join from the lobby does) or "files"
# (ampwarden-netpeer --join ice, the payloads through two files); EXPECT the path both sides
# must report, or "fail".
nat_case() {
    local name="$1" mode_a="$2" mode_b="$3" blocked="$4" server="$5" via="$6" expect="$7"
    # NAT_ONLY="cone blocked" runs only those cases (while working on one).
    [ -n "${NAT_ONLY:-}" ] && [[ " $NAT_ONLY " != *" $name "* ]] && return 0
    local lobby="$tmp/lobby-$name" cred ice host join
    rig_up "$mode_a" "$mode_b" "$blocked" || fail "$name: could not build the network"
    mkdir -p "$tmp/$name"
    rig_in inet "$here/../../tools/lobby_server.sh" start "$lobby" --address "$RIG_SERVER" --turn >/dev/null ||
        fail "$name: the lobby's servers did not start"
    read -r -a cred <<<"$(turn_credentials "$lobby/turn")"
    [ "$server" = down ] && turn_stop "$lobby/turn"
    ice=(--stun "$RIG_SERVER:3478" --turn "$RIG_SERVER:3478" --turn-user "${cred[0]}" --turn-password "${cred[1]}")
    match=(--steps 480 --busy 6 --fast 1)
    # Through the lobby, the servers and credentials come from Prosody (XEP-0215).
    [ "$via" = files ] && match+=("${ice[@]}")
    if [ "$via" = lobby ]; then
        host=(--lobby "$RIG_SERVER:5222" --account alice --password alice-pw-1 --register --host-lobby 1)
        join=(--lobby "$RIG_SERVER:5222" --account bob --password bob-pw-12 --register --join-lobby alice --lobby-ice 1)
    else
        host=(--ice-out "$tmp/$name/host" --ice-in "$tmp/$name/join")
        join=(--join ice --ice-out "$tmp/$name/join" --ice-in "$tmp/$name/host")
    fi
    run_in ha "$name-host" 60 --host 4000 --seed 77 --say-at 200 "${match[@]}" --hashes "$tmp/$name-host.hashes" \
        --record "$tmp/$name-host.rec" "${host[@]}"
    sleep 1
    run_in hb "$name-join" 60 "${match[@]}" --hashes "$tmp/$name-join.hashes" --record "$tmp/$name-join.rec" "${join[@]}"
    # A third party on the internet sends garbage to the host's end of the path: dropped.
    if [ "$name" = open ]; then
        local end i
        for i in $(seq 1 100); do
            end="$(sed -n 's/^lobby: connected direct (\([0-9.]*\):\([0-9]*\) host.*/\1 \2/p' "$tmp/$name-host.out")"
            [ -n "$end" ] && break
            sleep 0.05
        done
        [ -n "$end" ] || fail "$name: the host did not say its end of the path"
        rig_in inet bash -c 'for i in $(seq 1 50); do head -c $((i * 9)) /dev/urandom >/dev/udp/$0/$1; done' $end
    fi
    if [ "$expect" = fail ]; then
        expect "$name-join" 7 "could not reach the other side: no path between the two of you worked, and the relay server $RIG_SERVER:3478 did not answer"
        kill "$(cat "$tmp/$name-host.pid")" 2>/dev/null
        echo "- $name: $(grep -v '^$\|libnice' "$tmp/$name-join.err" | tail -n 1)"
    else
        expect "$name-host" 0
        expect "$name-join" 0
        cmp -s "$tmp/$name-host.hashes" "$tmp/$name-join.hashes" || fail "$name: the two sides' hashes differ"
        # The same replays but for the chat line's step: each side records it at the step it was
        # said or heard (so the two may differ by a step or two; a fault of the recorder's).
        local replays=("$tmp/$name-host.rec"/*.replay "$tmp/$name-join.rec"/*.replay)
        cmp -s <(grep -v '^chat ' "${replays[0]}") <(grep -v '^chat ' "${replays[1]}") ||
            fail "$name: the two sides wrote different replays"
        "$arena" --verify "${replays[1]}" >"$tmp/verify.out" 2>&1 || fail "$name: the replay does not verify"
        grep -q "chat heard 1," "$tmp/$name-join.out" && grep -q '^chat .* good game' "${replays[1]}" ||
            fail "$name: the host's chat line did not come through"
        grep -qE "(ice|lobby: path) $expect \(" "$tmp/$name-host.out" &&
            grep -qE "(ice|lobby: path) $expect \(" "$tmp/$name-join.out" ||
            fail "$name: not $expect: $(grep -h 'ice\|path' "$tmp/$name-host.out" "$tmp/$name-join.out")"
        [ "$via" = files ] || grep -qF "lobby: the server names STUN $RIG_SERVER:3478 and TURN $RIG_SERVER:3478" \
            "$tmp/$name-join.out" || fail "$name: the lobby's server did not name its STUN and TURN servers"
        echo "- $name (via $via): $(grep -h ' ice \|lobby: path\|first step' "$tmp/$name-join.out" | tr '\n' ' ')"
    fi
    rig_in inet "$here/../../tools/lobby_server.sh" stop "$lobby"
    rig_down
}

nat_case open open open "" up lobby "direct"
nat_case cone cone cone "" up lobby "through your routers"
nat_case one-symmetric cone symmetric "" up lobby "relayed by the lobby's server"
nat_case symmetric symmetric symmetric "" up files "relayed by the lobby's server"
nat_case blocked cone cone blocked up lobby "relayed by the lobby's server"
nat_case server-down symmetric symmetric "" down lobby fail
# A hostile payload: 120 candidates, all at a third party's address (the server's, on ports
# where nothing listens). The joiner takes the first 16, sends them ICE checks only (counted in
# its router), and ends with the failure line.
hostile() {
    [ -n "${NAT_ONLY:-}" ] && [[ " $NAT_ONLY " != *" hostile "* ]] && return 0
    local i payload="$tmp/hostile/host" taken past
    mkdir -p "$tmp/hostile"
    rig_up cone cone || fail "hostile: could not build the network"
    printf 'ampwarden-ice 1\nufrag evil\npwd 0123456789abcdefghij+/\n' >"$payload"
    for i in $(seq 0 119); do echo "c $i 9 $RIG_SERVER $((40000 + i)) host"; done >>"$payload"
    rig_in rb nft add counter ip rig taken
    rig_in rb nft add counter ip rig past
    rig_in rb nft insert rule ip rig forward ip daddr "$RIG_SERVER" udp dport 40000-40015 counter name taken
    rig_in rb nft insert rule ip rig forward ip daddr "$RIG_SERVER" udp dport 40016-40119 counter name past
    run_in hb hostile-join 40 --join ice --steps 100 --ice-out "$tmp/hostile/join" --ice-in "$payload"
    expect hostile-join 7 "could not reach the other side: no path between the two of you worked"
    taken="$(rig_in rb nft list counter ip rig taken | sed -n 's/.*packets \([0-9]*\).*/\1/p')"
    past="$(rig_in rb nft list counter ip rig past | sed -n 's/.*packets \([0-9]*\).*/\1/p')"
    [ "${past:-x}" = 0 ] || fail "hostile: $past checks went to candidates past the bound"
    [ "${taken:-0}" -ge 16 ] && [ "$taken" -le 160 ] || fail "hostile: ${taken:-no} checks to the 16 candidates taken"
    echo "- hostile: $taken checks to the 16 candidates taken, none past them; $(grep -v '^$\|libnice' "$tmp/hostile-join.err" | tail -n 1)"
    rig_down
}
hostile
echo "PASS"
