#!/usr/bin/env bash
# Measures how much processor time the running game takes, at the menu and in a demo match,
# under a private virtual X server with silent audio. Prints one line per round:
#   menu <percent of one core>  demo <percent of one core>
# Usage: tools/cpu_use.sh [GAME] [ROUNDS] [SECONDS]; run it from the repository root.
set -euo pipefail
game="${1:-build/ampwarden}"
rounds="${2:-3}"
seconds="${3:-10}"
hz="$(getconf CLK_TCK)"

display=170
while [ -e "/tmp/.X${display}-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$display" SDL_AUDIODRIVER=dummy
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# Processor ticks (user + system, all threads) the process has used so far.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Percent of one core used over the next $seconds.
measure() {
    local before after
    before="$(ticks "$1")"
    sleep "$seconds"
    after="$(ticks "$1")"
    echo $(((after - before) * 100 / hz / seconds))
}

for _ in $(seq 1 "$rounds"); do
    "$game" -nointro >/dev/null 2>&1 &
    game_pid=$!
    win="$(timeout 20 xdotool search --sync --onlyvisible --name '^Ampwarden$' | head -n 1)"
    sleep 2
    menu="$(measure "$game_pid")"
    # New Game, then the Demo row of the difficulty list.
    xdotool mousemove --window "$win" 200 260 click 1
    sleep 0.5
    xdotool mousemove --window "$win" 600 260 click 1
    xdotool mousemove --window "$win" 1000 20
    sleep 2
    demo="$(measure "$game_pid")"
    echo "menu $menu  demo $demo"
    kill "$game_pid"
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
done
