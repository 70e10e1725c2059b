#!/usr/bin/env bash
# The lobby's chat server (Prosody) on this machine, with its configuration, accounts, room and
# logs in one folder.
#   tools/lobby_server.sh start DIR [--address A] [--port P] [--domain D] [--tls 1] [--owner PID]
#   tools/lobby_server.sh stop DIR
# Defaults: 127.0.0.1, port 5222, domain localhost, so the room is lobby@conference.localhost.
# Started as root (as in CI), the server runs as the unprivileged user "prosody" (else "nobody"),
# which then owns DIR. --owner PID stops the server once that process has ended, however it
# ended (tests give their own pid). Prints the server's pid; exits non-zero, with why, when the
# server does not answer on its port within 15 s.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
templates="$here/dist/lobby"
[ -d "$templates" ] || templates="/usr/share/ampwarden/lobby"

usage() {
    echo "usage: $0 start DIR [--address A] [--port P] [--domain D] [--tls 1] [--owner PID] | stop DIR" >&2
    exit 2
}
die() { echo "lobby_server: $*" >&2; exit 1; }
# A process that runs (one that ended but was not yet reaped does not).
alive() { [ -n "$1" ] && [[ "$(ps -o stat= -p "$1" 2>/dev/null)" =~ ^[^Z] ]]; }

# The user the server runs as: ourselves, unless we are root.
server_user() {
    if [ "$(id -u)" -ne 0 ]; then
        id -un
    elif getent passwd prosody >/dev/null; then
        echo prosody
    else
        echo nobody
    fi
}
# The command that runs what follows it as that user (nothing when we are not root).
as_user() {
    [ "$(id -u)" -ne 0 ] || echo setpriv --reuid="$1" --regid="$(id -g "$1")" --clear-groups --inh-caps=-all
}

cmd="${1:-}"
dir="${2:-}"
[ -n "$cmd" ] && [ -n "$dir" ] || usage
dir="$(realpath -m "$dir")"
shift 2

case "$cmd" in
start)
    address=127.0.0.1 port=5222 domain=localhost tls=false owner=""
    while [ $# -ge 2 ]; do
        case "$1" in
        --address) address="$2" ;;
        --port) port="$2" ;;
        --domain) domain="$2" ;;
        --tls) [ "$2" = 1 ] && tls=true ;;
        --owner) owner="$2" ;;
        # A relay for players behind routers that let nothing in (coturn) belongs here, started
        # and stopped with the chat server and kept in the same folder: not built yet.
        --turn) die "--turn is not built yet" ;;
        *) usage ;;
        esac
        shift 2
    done
    [ $# -eq 0 ] || usage
    [[ "$port" =~ ^[0-9]+$ ]] && [ "$port" -ge 1 ] && [ "$port" -le 65535 ] || die "bad port: $port"
    [[ "$address" =~ ^[0-9a-fA-F.:]+$ ]] || die "bad address: $address (a numeric IPv4 or IPv6 address)"
    [[ "$domain" =~ ^[a-z0-9.-]+$ ]] || die "bad domain: $domain"
    [ -e "$dir/prosody.pid" ] && alive "$(cat "$dir/prosody.pid")" &&
        die "a server already runs in $dir"
    command -v prosody >/dev/null || die "prosody is not installed (tools/setup.sh installs it)"
    user="$(server_user)"
    mkdir -p "$dir/data" "$dir/modules" "$dir/certs" || die "cannot make $dir"
    cp "$templates"/mod_*.lua "$dir/modules/"
    sed -e "s|@DIR@|$dir|g" -e "s|@ADDRESS@|$address|g" -e "s|@PORT@|$port|g" \
        -e "s|@DOMAIN@|$domain|g" -e "s|@TLS@|$tls|g" -e "s|@TLSMODULE@|$([ "$tls" = true ] && echo '"tls";')|g" "$templates/prosody.cfg.lua.in" >"$dir/prosody.cfg.lua"
    [ "$(id -u)" -ne 0 ] || chown -R "$user:$(id -g "$user")" "$dir"
    $(as_user "$user") test -w "$dir/data" ||
        die "$user cannot write $dir (every folder above it must be open to others, as /tmp is)"
    $(as_user "$user") setsid prosody -F --config "$dir/prosody.cfg.lua" </dev/null >>"$dir/prosody.out" 2>&1 &
    pid=$!
    echo "$pid" >"$dir/prosody.pid"
    if [ -n "$owner" ]; then
        # Bounded by the server's own life: it ends when the server ends.
        (while alive "$owner" && alive "$pid"; do sleep 1; done
            alive "$pid" && "$0" stop "$dir") </dev/null >/dev/null 2>&1 &
    fi
    host="$address"
    [[ "$address" == *:* ]] && host="[$address]"
    [ "$address" = "0.0.0.0" ] && host=127.0.0.1
    [ "$address" = "::" ] && host="::1"
    for _ in $(seq 1 150); do
        alive "$pid" || die "prosody ended at once: $(tail -n 5 "$dir/prosody.out" "$dir/prosody.err" 2>/dev/null)"
        if (exec 3<>"/dev/tcp/${host//[\[\]]/}/$port") 2>/dev/null && grep -q "room lobby@" "$dir/prosody.log" 2>/dev/null; then
            echo "$pid"
            exit 0
        fi
        sleep 0.1
    done
    "$0" stop "$dir"
    die "prosody does not answer on $address port $port"
    ;;
stop)
    [ $# -eq 0 ] || usage
    [ -s "$dir/prosody.pid" ] || exit 0
    pid="$(cat "$dir/prosody.pid")"
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 1 50); do alive "$pid" || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null
    rm -f "$dir/prosody.pid"
    ;;
*) usage ;;
esac
