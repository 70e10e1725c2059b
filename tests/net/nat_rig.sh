# A small internet of our own, inside Linux network namespaces (sourced by the NAT test and the
# NAT measurement tool; needs root, or CAP_NET_ADMIN):
#
#   home A 198.18.1.10 --- router A --+                       +-- router B --- home B 198.18.2.10
#          (lan 198.18.1.0/24)   wan 203.0.113.21   internet 203.0.113.10   wan 203.0.113.22
#                                     +------ (one bridge: servers live here) ------+
#
# Each router either routes the home's addresses as they are ("open"), or hides them behind
# its wan address with nftables: "cone" keeps one outside port for an inside port whatever the
# destination (endpoint-independent mapping, as most home routers do), "symmetric" picks a new
# random port for every destination (address-and-port-dependent mapping, as carrier-grade and
# some office NATs do). Replies are let in; nothing else from outside is. With rig_blocked, the
# routers also drop every UDP datagram between the home and anything but the server.
# Addresses come only from the documentation and benchmarking ranges, and exist only here: the
# namespaces have no link to this machine's own network. Every name ends with the shell's PID.
#
# rig_can            true when namespaces can be made here (else says why on stderr)
# rig_up MODE_A MODE_B [blocked]   builds it (open|cone|symmetric for each router)
# rig_in NODE CMD... runs CMD in NODE (inet, ra, rb, ha, hb)
# rig_delay MS JITTER             adds netem delay in both routers; false where the kernel lacks it
# rig_down           removes all of it (also run on exit by rig_trap)

RIG_ID="aw$$"
RIG_NODES=(inet ra rb ha hb)
RIG_SERVER=203.0.113.10
RIG_HOST_A=198.18.1.10
RIG_HOST_B=198.18.2.10

rig_ns() { echo "${RIG_ID}$1"; }
rig_in() {
    local node="$1"
    shift
    ip netns exec "$(rig_ns "$node")" "$@"
}

rig_can() {
    local probe="${RIG_ID}probe"
    if ! command -v ip >/dev/null || ! command -v nft >/dev/null; then
        echo "needs ip (iproute2) and nft (nftables)" >&2
        return 1
    fi
    if ! ip netns add "$probe" 2>/dev/null; then
        echo "cannot make network namespaces here (needs root or CAP_NET_ADMIN)" >&2
        return 1
    fi
    if ! ip netns exec "$probe" nft add table ip probe 2>/dev/null; then
        ip netns del "$probe"
        echo "nftables does not work inside a network namespace here" >&2
        return 1
    fi
    ip netns del "$probe"
}

rig_down() {
    local node
    for node in "${RIG_NODES[@]}"; do
        ip netns del "$(rig_ns "$node")" 2>/dev/null
    done
    return 0
}

# rig_link NODE1 IF1 NODE2 IF2: a veth pair made straight inside the two namespaces.
rig_link() {
    ip link add "$2" netns "$(rig_ns "$1")" type veth peer name "$4" netns "$(rig_ns "$3")"
}

# rig_router NODE LAN_NET MODE BLOCKED
rig_router() {
    local node="$1" lan="$2" mode="$3" blocked="$4" rules
    rig_in "$node" sysctl -qw net.ipv4.ip_forward=1
    rules="table ip rig {
  chain forward {
    type filter hook forward priority 0; policy drop;
    ct state established,related accept
    iifname \"lan\" accept
    iifname \"wan\" ip daddr $lan accept comment \"open routers only: NATs never see these\"
  }"
    if [ "$blocked" = blocked ]; then
        rules="$rules
  chain blocked {
    type filter hook forward priority -10; policy accept;
    iifname \"lan\" meta l4proto udp ip daddr != $RIG_SERVER drop
    iifname \"wan\" meta l4proto udp ip saddr != $RIG_SERVER drop
  }"
    fi
    case "$mode" in
    open) ;;
    cone) rules="$rules
  chain post { type nat hook postrouting priority 100; oifname \"wan\" masquerade persistent; }" ;;
    symmetric) rules="$rules
  chain post { type nat hook postrouting priority 100; oifname \"wan\" masquerade random,fully-random; }" ;;
    *) echo "rig: no router mode $mode" >&2; return 1 ;;
    esac
    # A NATing router takes nothing new from outside: only replies come back in. Dropped before
    # the router keeps a record of it, which would take the port its home uses (and make the
    # router map that home's next datagram elsewhere, as no home router does).
    [ "$mode" = open ] || rules="${rules/iifname \"wan\" ip daddr $lan accept/iifname \"wan\" drop}
  chain input { type filter hook input priority 0; iifname \"wan\" ct state new drop; }"
    rig_in "$node" nft -f - <<<"$rules
}"
}

rig_up() {
    local mode_a="$1" mode_b="$2" blocked="${3:-}" node
    for node in "${RIG_NODES[@]}"; do
        ip netns add "$(rig_ns "$node")" || return 1
        rig_in "$node" ip link set lo up
    done
    # The internet: one bridge, the servers' address on it.
    rig_in inet ip link add wire type bridge
    rig_in inet ip addr add "$RIG_SERVER/24" dev wire
    rig_in inet ip link set wire up
    rig_link inet pa ra wan
    rig_link inet pb rb wan
    rig_link ra lan ha eth
    rig_link rb lan hb eth
    local side lan wan host
    for side in a b; do
        [ $side = a ] && lan=198.18.1 wan=203.0.113.21 host=$RIG_HOST_A
        [ $side = b ] && lan=198.18.2 wan=203.0.113.22 host=$RIG_HOST_B
        rig_in inet ip link set "p$side" master wire up
        rig_in "r$side" ip addr add "$wan/24" dev wan
        rig_in "r$side" ip addr add "$lan.1/24" dev lan
        rig_in "r$side" ip link set wan up
        rig_in "r$side" ip link set lan up
        rig_in "h$side" ip addr add "$host/24" dev eth
        rig_in "h$side" ip link set eth up
        rig_in "h$side" ip route add default via "$lan.1"
    done
    # Whatever has no route here goes nowhere, silently, as on the real internet (where an
    # unreachable home address is dropped far away, with no error that would end a relay's
    # allocation): the default route leads into a veth whose other end takes nothing.
    for node in inet ra rb; do
        rig_in "$node" ip link add void type veth peer name voidend
        rig_in "$node" ip link set void up
        rig_in "$node" ip link set voidend up
        rig_in "$node" ip neigh add 192.0.2.254 lladdr 02:00:00:00:00:01 dev void nud permanent
        rig_in "$node" ip route add default via 192.0.2.254 dev void onlink
    done
    # Open routers' homes are reachable across the internet as they are.
    [ "$mode_a" = open ] && rig_in inet ip route add 198.18.1.0/24 via 203.0.113.21 &&
        rig_in rb ip route add 198.18.1.0/24 via 203.0.113.21
    [ "$mode_b" = open ] && rig_in inet ip route add 198.18.2.0/24 via 203.0.113.22 &&
        rig_in ra ip route add 198.18.2.0/24 via 203.0.113.22
    rig_router ra 198.18.1.0/24 "$mode_a" "$blocked" && rig_router rb 198.18.2.0/24 "$mode_b" "$blocked"
}

rig_delay() {
    local node
    for node in ra rb; do
        rig_in "$node" tc qdisc add dev wan root netem delay "${1}ms" "${2}ms" 2>/dev/null || return 1
    done
}

rig_trap() { trap 'rig_down; '"${1:-}" EXIT; trap 'exit 130' INT TERM; }
