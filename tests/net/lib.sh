# Helpers for the network scripts: headless peers and relays on loopback only, each in the
# background with its output, status and pid in a scratch folder ($tmp), all ended on exit.
# A script sources this file, then calls net_init "$@" (NETPEER NETRELAY ARENA).
net_init() {
    peer="$1"
    relay="$2"
    arena="$3"
    tmp="$(mktemp -d /tmp/aw_net.XXXXXX)"
    pids=()
    trap net_cleanup EXIT
}
net_cleanup() {
    for pid in "${pids[@]}"; do kill -CONT "$pid" 2>/dev/null; kill "$pid" 2>/dev/null; done
    rm -rf "$tmp"
}
fail() {
    echo "FAIL: $*" >&2
    tail -n 5 "$tmp"/*.err >&2 2>/dev/null
    exit 1
}
# run NAME SECONDS ARGS...: a peer in the background with its state folder ($STATE, else its own).
run() {
    local name="$1" seconds="$2"
    shift 2
    rm -f "$tmp/$name.rc"
    (XDG_STATE_HOME="$tmp/${STATE:-state-$name}" "$peer" --seconds "$seconds" "$@" >"$tmp/$name.out" 2>"$tmp/$name.err" &
        echo $! >"$tmp/$name.pid"; wait $!; echo $? >"$tmp/$name.rc") &
    pids+=($!)
}
# net ARGS...: a relay in the background for at most 120 s.
net() { "$relay" --seconds 120 "$@" >/dev/null & pids+=($!); }
rc_of() {
    for _ in $(seq 1 900); do [ -s "$tmp/$1.rc" ] && break; sleep 0.1; done
    cat "$tmp/$1.rc" 2>/dev/null || echo timeout
}
expect() { # NAME STATUSES [TEXT]: the status is one of STATUSES (e.g. "4|7") and stderr says TEXT
    local rc
    rc="$(rc_of "$1")"
    [[ "$rc" =~ ^($2)$ ]] || fail "$1 ended with $rc, expected $2"
    [ -z "${3:-}" ] || grep -qF -- "$3" "$tmp/$1.err" || fail "$1 does not say: $3"
}
# same_replays A B [TEXT]: both sides recorded the same file, and it verifies; prints TEXT and its
# last line. (Not inside $(...), where a failure would end only the subshell.)
same_replays() {
    local a b
    a="$(ls "$tmp/$1.rec"/*.replay)" && b="$(ls "$tmp/$2.rec"/*.replay)" || fail "$1/$2: no replays"
    cmp "$a" "$b" >&2 || fail "$1 and $2 wrote different replays"
    "$arena" --verify "$a" >"$tmp/verify.out" 2>&1 || fail "$1's replay does not verify: $(cat "$tmp/verify.out")"
    echo "${3:-}$(tail -n 1 "$a")"
}
