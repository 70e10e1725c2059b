#!/usr/bin/env bash
# The Lobby screen on a real chat server (Prosody, started here on loopback as an unprivileged
# user): a headless alice makes her account and advertises a match; the game opens on the
# Lobby screen (-lobby), a new player is made and signed in with real clicks and typing, sees
# alice's match listed, says a line in the room's chat, clicks Join and plays it; hosts in turn
# and a headless bob joins that match; at each end the player is back on the Lobby
# screen, still signed in, and the password is kept in the state folder only, mode 0600.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
command -v tesseract >/dev/null || aw_fail "missing tool: tesseract (./test.sh installs it)"
command -v prosody >/dev/null || aw_fail "prosody is not installed (tools/setup.sh installs it)"
peer="$(dirname "$AW_GAME")/ampwarden-netpeer"
[ -x "$peer" ] || aw_fail "no headless peer at $peer"
server="$AW_ROOT/tools/lobby_server.sh"
# The server's folder is handed to an unprivileged user: the scratch folder lets it through.
chmod o+x "$AW_TMP"
trap '"$server" stop "$AW_TMP/lobby" >/dev/null 2>&1; aw_cleanup' EXIT
xmpp=""
for _ in $(seq 1 50); do
    p=$((30000 + RANDOM % 20000))
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { xmpp=$p; break; }
done
[ -n "$xmpp" ] || aw_fail "no free port"
game=$((xmpp + 1))
"$server" start "$AW_TMP/lobby" --port "$xmpp" --owner $$ >/dev/null || aw_fail "the lobby server does not start"

ocr() {
    convert "$AW_SHOT" -crop "${3}x${4}+${1}+${2}" +repage -resize 200% -colorspace gray -negate "$AW_TMP/ocr.png" ||
        aw_fail "cannot crop"
    tesseract "$AW_TMP/ocr.png" - --psm 6 2>/dev/null
}
wait_for() { # FILE TEXT SECONDS
    for _ in $(seq 1 $((${3:-15} * 10))); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
    aw_fail "no \"$2\" in $(basename "$1"): $(tail -n 5 "$1" 2>/dev/null)"
}

(cd "$AW_ROOT" && XDG_STATE_HOME="$AW_TMP/alice-state" exec "$peer" --seconds 90 --lobby "127.0.0.1:$xmpp" \
    --account alice --password pw-alice --register --host-lobby --host "$game" --seed 5 --steps 250 --busy 6 \
    >"$AW_TMP/host.out" 2>"$AW_TMP/host.err") &
host_pid=$!
aw_track "$host_pid"
wait_for "$AW_TMP/host.out" "in the room as alice@localhost"

aw_start -lobby "127.0.0.1:$xmpp"
aw_wait_window
sleep 1
aw_screenshot signin
ocr 312 35 400 40 | grep -q "Lobby" || aw_fail "-lobby does not open the Lobby screen: $(ocr 312 35 400 40)"
ocr 450 130 420 30 | grep -q "127.0.0.1:${xmpp:0:3}" || aw_fail "the server given is not filled in: $(ocr 450 130 420 30)"
# The account, its password, "Create this account", Sign in.
aw_click 600 185
xdotool type --delay 40 "carol"
aw_click 600 225
xdotool type --delay 40 "secret-9"
aw_click 200 265
aw_screenshot typed
! ocr 450 210 420 30 | grep -q "secret" || aw_fail "the password shows in clear"
aw_click 200 305
wait_for "$AW_TMP/game.err" "in the room as carol@localhost"
listed=""
for _ in $(seq 1 20); do
    aw_screenshot room
    listed="$(ocr 150 192 720 30)"
    echo "$listed" | grep -q "alice" && break
    sleep 0.5
done
echo "$listed" | grep -q "alice" || aw_fail "alice's match is not listed: $listed"
aw_note "signed in as a new account; listed: $listed"
# A line to the room's chat, shown here as the room sends it back to everyone.
aw_click 600 627
xdotool type --delay 40 "hello alice"
xdotool key Return
sleep 1.5
aw_screenshot chat
ocr 150 460 720 20 | grep -q "carol: hello alice" || aw_fail "the chat line is not shown: $(ocr 150 460 720 20)"

aw_click 200 387
wait_for "$AW_TMP/game.err" "lobby: joining alice@localhost at 127.0.0.1 port $game"
wait_for "$AW_TMP/game.err" "match started"
wait_for "$AW_TMP/host.out" "advertisement withdrawn"
aw_note "joined from the list: $(grep 'match started' "$AW_TMP/game.err" | head -n 1)"
# Alice plays her steps, every hash check agreeing (status 0), and stops with no goodbye; the
# player gives up waiting for her, which ends the match with no result (or a win, had she been heard).
for _ in $(seq 1 600); do kill -0 "$host_pid" 2>/dev/null || break; sleep 0.1; done
wait "$host_pid"
status=$?
[ "$status" = 0 ] || aw_fail "the headless host ended with $status: $(tail -n 3 "$AW_TMP/host.err")"
aw_key Escape
sleep 0.5
aw_key q
wait_for "$AW_TMP/game.err" "You left the match\|you win\|No result"
aw_key Escape
sleep 1
aw_screenshot back
ocr 312 35 400 40 | grep -q "Lobby" || aw_fail "not back on the Lobby screen: $(ocr 312 35 400 40)"
ocr 100 80 824 25 | grep -q "You left\|you win\|No result" || aw_fail "the match's end is not said: $(ocr 100 80 824 25)"
ocr 630 130 240 30 | grep -q "Sign out" || aw_fail "not signed in any more: $(ocr 630 130 240 30)"
aw_note "back on the Lobby screen, still signed in: $(ocr 100 80 824 25)"

# Now carol hosts from the screen, and a headless bob finds her match and plays it.
aw_click 455 387
sleep 0.5
(cd "$AW_ROOT" && XDG_STATE_HOME="$AW_TMP/bob-state" exec "$peer" --seconds 60 --lobby "127.0.0.1:$xmpp" \
    --account bob --password pw-bob --register --join-lobby carol --steps 150 --busy 6 \
    >"$AW_TMP/join.out" 2>"$AW_TMP/join.err") &
join_pid=$!
aw_track "$join_pid"
for _ in $(seq 1 600); do kill -0 "$join_pid" 2>/dev/null || break; sleep 0.1; done
wait "$join_pid"
status=$?
[ "$status" = 0 ] || aw_fail "the headless joiner ended with $status: $(tail -n 3 "$AW_TMP/join.err")"
grep -q "open match of carol@localhost" "$AW_TMP/join.out" || aw_fail "bob did not see carol's match"
grep -q "open matches 0$" "$AW_TMP/join.out" || aw_fail "carol's match stayed advertised: $(tail -n 1 "$AW_TMP/join.out")"
[ "$(grep -c "match started" "$AW_TMP/game.err")" = 2 ] || aw_fail "the hosted match did not start"
aw_key Escape
sleep 0.5
aw_key q
sleep 1
aw_key Escape
sleep 1
aw_screenshot back2
ocr 312 35 400 40 | grep -q "Lobby" || aw_fail "not back on the Lobby screen after hosting: $(ocr 312 35 400 40)"
aw_note "hosted from the screen, bob joined and played; back on the Lobby screen: $(ocr 100 80 824 25)"

kept="$XDG_STATE_HOME/ampwarden/lobby/127.0.0.1_$xmpp-carol.password"
[ "$(stat -c %a "$kept" 2>/dev/null)" = 600 ] || aw_fail "the password is not kept with mode 600 at $kept"
! grep -rq "secret-9" "$XDG_CONFIG_HOME" || aw_fail "the password is in the settings"
aw_key Escape Escape Escape
aw_wait_exit 15
aw_expect_status 0
aw_note "the password is kept in the state folder only (mode 600)"
