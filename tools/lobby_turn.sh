# The lobby's STUN and TURN server (coturn), sourced by tools/lobby_server.sh for --turn, and by
# the NAT test and tools:
#   turn_start DIR ADDRESS [PORT]   starts coturn on ADDRESS:PORT (3478) as an unprivileged user,
#                                   its configuration, secret, log and pid in DIR
#   turn_stop DIR                   ends it
#   turn_prosody_config DIR DOMAIN  the Prosody lines that hand out short-lived credentials
#                                   for it (XEP-0215, mod_turn_external)
#   turn_credentials DIR [NAME]     "USER PASSWORD" as Prosody would hand them out (for tests
#                                   and for players who run their own server)
# The secret is made once per DIR; coturn and Prosody both read it from DIR/turn.secret.

# As root, coturn runs as this unprivileged user; otherwise as ourselves.
turn_user() { echo "${AW_TURN_USER:-nobody}"; }

turn_secret() {
    local dir="$1"
    if [ ! -s "$dir/turn.secret" ]; then
        (umask 077 && head -c 24 /dev/urandom | base64 | tr -d '/+=' >"$dir/turn.secret")
    fi
    cat "$dir/turn.secret"
}

turn_start() {
    local dir="$1" address="$2" port="${3:-3478}" user group
    user="$(turn_user)"
    group="$(id -gn "$user")"
    mkdir -p "$dir"
    turn_secret "$dir" >/dev/null
    # Relayed ports: a small range of its own, on the same address.
    cat >"$dir/turnserver.conf" <<EOF
listening-ip=$address
relay-ip=$address
listening-port=$port
min-port=49152
max-port=49407
fingerprint
use-auth-secret
static-auth-secret=$(cat "$dir/turn.secret")
realm=ampwarden
no-tcp-relay
no-tls
no-dtls
no-cli
no-multicast-peers
no-software-attribute
${AW_TURN_VERBOSE:+verbose}
# A relay for the game's datagrams, nothing more: small quotas.
user-quota=4
total-quota=400
max-bps=200000
pidfile=$dir/turnserver.pid
log-file=$dir/turnserver.log
simple-log
userdb=$dir/turnserver.db
EOF
    chmod 600 "$dir/turnserver.conf" "$dir/turn.secret"
    local as=()
    if [ "$(id -u)" -eq 0 ]; then
        chown "$user:$group" "$dir" "$dir/turnserver.conf" "$dir/turn.secret"
        as=(setpriv --reuid="$user" --regid="$group" --clear-groups --inh-caps=-all --)
    fi
    "${as[@]}" turnserver -c "$dir/turnserver.conf" --daemon >/dev/null 2>"$dir/turnserver.err" || return 1
    local i
    for i in $(seq 1 50); do
        [ -s "$dir/turnserver.pid" ] && return 0
        sleep 0.1
    done
    echo "coturn did not start: $(tail -n 3 "$dir/turnserver.log" "$dir/turnserver.err" 2>/dev/null)" >&2
    return 1
}

turn_stop() {
    local pid
    pid="$(cat "$1/turnserver.pid" 2>/dev/null)" || return 0
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -f "$1/turnserver.pid"
}

turn_prosody_config() {
    local dir="$1" domain="$2" address port
    address="$(sed -n 's/^listening-ip=//p' "$dir/turnserver.conf")"
    port="$(sed -n 's/^listening-port=//p' "$dir/turnserver.conf")"
    cat <<EOF

-- STUN and TURN (coturn beside this server): clients ask for them with XEP-0215 and get
-- credentials that last an hour, made from the secret coturn shares.
VirtualHost "$domain"
    modules_enabled = { "turn_external" }
    turn_external_host = "$address"
    turn_external_port = $port
    turn_external_secret = "$(cat "$dir/turn.secret")"
    turn_external_ttl = 3600
EOF
}

turn_credentials() {
    local name
    name="$(($(date +%s) + 3600)):${2:-ampwarden}"
    echo "$name $(printf %s "$name" | openssl dgst -sha1 -hmac "$(cat "$1/turn.secret")" -binary | base64)"
}
