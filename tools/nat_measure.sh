#!/usr/bin/env bash
# Measures play through home routers in the NAT rig (tests/net/nat_rig.sh; as root): for each
# kind of path, the time from a lobby join being asked to the match's first step, then a busy
# match of about a minute on the clock: its lockstep stalls a minute and the bytes a second the
# link carried (through the relay, where it is relayed). With --delay, 50 ms +- 10 ms is added in
# both routers (tc netem), where the kernel has it.
#   tools/nat_measure.sh BUILD_DIR [--delay] [--seconds S]
# Run from the repository root. Prints one line per case.
set -u
build="${1:?usage: tools/nat_measure.sh BUILD_DIR [--delay] [--seconds S]}"
shift
delay="" seconds=60
while [ $# -gt 0 ]; do
    case "$1" in
    --delay) delay=1 ;;
    --seconds) seconds="$2"; shift ;;
    *) echo "usage: tools/nat_measure.sh BUILD_DIR [--delay] [--seconds S]" >&2; exit 2 ;;
    esac
    shift
done
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../tests/net/nat_rig.sh"
source "$here/lobby_turn.sh"
rig_can || exit 77
peer="$(realpath "$build/ampwarden-netpeer")"
tmp="$(mktemp -d /tmp/aw_natm.XXXXXX)"
chmod 711 "$tmp"
trap '"$here/lobby_server.sh" stop "$tmp/lobby" >/dev/null 2>&1; rig_down; rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM
steps=$((seconds * 1000 / 16))

measure() {
    local name="$1" mode_a="$2" mode_b="$3" blocked="$4" added="no delay"
    rig_up "$mode_a" "$mode_b" "$blocked" || return 1
    if [ -n "$delay" ]; then
        rig_delay 50 10 && added="50+-10 ms in each router" || added="no delay (this kernel has no netem)"
    fi
    rm -rf "$tmp/lobby" "$tmp"/*.out
    rig_in inet "$here/lobby_server.sh" start "$tmp/lobby" --address "$RIG_SERVER" --turn >/dev/null || return 1
    local lobby=(--lobby "$RIG_SERVER:5222" --register)
    XDG_STATE_HOME="$tmp/sa" rig_in ha "$peer" --seconds $((seconds + 30)) "${lobby[@]}" --account alice \
        --password alice-pw-1 --host-lobby 1 --host 4000 --seed 7 --steps "$steps" --busy 3 >"$tmp/host.out" 2>&1 &
    local host=$!
    sleep 1
    XDG_STATE_HOME="$tmp/sb" rig_in hb "$peer" --seconds $((seconds + 30)) "${lobby[@]}" --account bob \
        --password bob-pw-123 --join-lobby alice --lobby-ice 1 --steps "$steps" --busy 3 >"$tmp/join.out" 2>&1
    wait "$host"
    local first path stats carried
    first="$(sed -n 's/^lobby: first step \([0-9]*\) ms.*/\1/p' "$tmp/join.out")"
    path="$(sed -n 's/^lobby: path \([^(]*\) (.*/\1/p' "$tmp/join.out")"
    stats="$(grep -h '^netpeer .*stalls' "$tmp/join.out" | sed 's/.*\(stalls [0-9]* ([0-9.]*\/min)\).*over \([0-9.]*\) s.*/\1 over \2 s/')"
    carried="$(sed -n 's/^lobby: path .*carried \([0-9]*\) B out, \([0-9]*\) B in/\1 \2/p' "$tmp/join.out")"
    local played
    played="$(echo "$stats" | sed 's/.*over \([0-9.]*\) s/\1/')"
    echo "$name: ${path% } ($added): join to first step ${first:-?} ms; $stats;" \
        "link carried $(echo "$carried $played" | awk '{ if ($3 > 0) printf "%.0f B/s", ($1 + $2) / $3; else print "?" }')" \
        "both ways (ENet's datagrams, without IP, UDP and TURN headers)"
    "$here/lobby_server.sh" stop "$tmp/lobby" >/dev/null 2>&1
    rig_down
}

measure open open open ""
measure cone cone cone ""
measure one-symmetric cone symmetric ""
measure symmetric symmetric symmetric ""
measure blocked cone cone blocked
