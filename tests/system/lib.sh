# Helpers for whole-program tests: run the real game under an X server, drive it with real
# input, look at its window, and check how it ends.
#
# A test script sources this file and calls aw_init with the game binary (ctest passes it as
# the first argument), then for example:
#   aw_start -nointro; aw_wait_window
#   aw_screenshot menu; aw_expect_colour_in "$AW_SHOT" 0 0 100 100 0 51 25
#   aw_key Escape; aw_wait_exit; aw_expect_status 0
# Keep the screenshots of a failing run with AW_KEEP=1 (the scratch folder is printed).
# Every helper fails the test (exit 1, with the game's output) when something is wrong.
# Coordinates are window pixels, origin top-left, as the mouse reports them.

AW_SYSTEM_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
AW_ROOT="$(cd "$AW_SYSTEM_DIR/../.." && pwd)"
AW_PYTHON="$(command -v /usr/bin/python3 || command -v python3 || true)"
AW_PID=""
AW_WIN=""
AW_STATUS=""
AW_SHOT=""
AW_WORKDIR=""
AW_XVFB_PID=""
# Other game programs the script started (aw_track), ended with it however it ends.
AW_TRACKED=()

aw_fail() {
    echo "FAIL: $*" >&2
    # Kept runs keep the window as it was when the test gave up.
    [ -n "${AW_KEEP:-}" ] && [ -n "$AW_WIN" ] && [ -n "${AW_TMP:-}" ] && import -window "$AW_WIN" "$AW_TMP/failed.png" 2>/dev/null
    if [ -n "${AW_TMP:-}" ]; then
        [ -s "$AW_TMP/game.err" ] && { echo "--- game stderr:" >&2; tail -n 20 "$AW_TMP/game.err" >&2; }
        [ -s "$AW_TMP/game.out" ] && { echo "--- game stdout:" >&2; tail -n 20 "$AW_TMP/game.out" >&2; }
    fi
    exit 1
}

aw_note() { echo "- $*"; }

aw_cleanup() {
    aw_stop
    # A game left running would hold its window on the shared display into the next test.
    local pid
    for pid in "${AW_TRACKED[@]}"; do aw_end "$pid"; done
    [ -n "$AW_XVFB_PID" ] && { kill "$AW_XVFB_PID" 2>/dev/null; wait "$AW_XVFB_PID" 2>/dev/null; }
    if [ -n "${AW_TMP:-}" ]; then
        if [ -n "${AW_KEEP:-}" ]; then echo "kept $AW_TMP" >&2; else rm -rf "$AW_TMP"; fi
    fi
    return 0
}

# aw_init GAME: checks the tools, makes a scratch folder ($AW_TMP) and, when there is no X
# display, starts a private Xvfb for this script (of the size in $AW_SCREEN, if set).
aw_init() {
    AW_GAME="${1:-$AW_ROOT/build/ampwarden}"
    [ -x "$AW_GAME" ] || aw_fail "no game binary at $AW_GAME"
    for tool in xdotool import convert timeout; do
        command -v "$tool" >/dev/null || aw_fail "missing tool: $tool (./test.sh installs it)"
    done
    [ -n "$AW_PYTHON" ] || aw_fail "missing python3"
    AW_TMP="$(mktemp -d /tmp/aw_system.XXXXXX)"
    trap aw_cleanup EXIT
    if [ -z "${DISPLAY:-}" ]; then
        local n=150
        while [ -e "/tmp/.X${n}-lock" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 "${AW_SCREEN:-1280x1024x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
        AW_XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    fi
    xdpyinfo >/dev/null 2>&1 || aw_fail "no X display at $DISPLAY"
    export SDL_AUDIODRIVER=dummy
    # The game's settings, recordings and state go to the scratch folder, never the user's.
    export XDG_CONFIG_HOME="$AW_TMP/config" XDG_DATA_HOME="$AW_TMP/data" XDG_STATE_HOME="$AW_TMP/state"
    # Matches are recorded only where a test asks for it (-record, or its own settings file).
    # The first-match guide is taken as offered already: only its own test shows it.
    mkdir -p "$XDG_CONFIG_HOME/ampwarden" && printf 'record 0\nguide-offered 1\n' >"$XDG_CONFIG_HOME/ampwarden/settings"
}

# aw_workdir: makes a scratch copy of the game's working directory (Data/ and the icon) the
# one the game starts in ($AW_WORKDIR), for tests that break the data. Media folders are
# linked; the catalogue and the icon are copied, so they can be changed or removed.
aw_workdir() {
    local dir
    dir="$(mktemp -d "$AW_TMP/work.XXXXXX")"
    mkdir -p "$dir/Data"
    cp "$AW_ROOT/Data/resources.xml" "$dir/Data/" 2>/dev/null
    local entry
    for entry in "$AW_ROOT"/Data/*/; do
        ln -s "${entry%/}" "$dir/Data/$(basename "$entry")"
    done
    cp "$AW_ROOT/AWIcon.bmp" "$dir/" 2>/dev/null
    AW_WORKDIR="$dir"
}

# aw_start [OPTIONS...]: starts the game in the background in $AW_WORKDIR (default: the
# repository root); its output goes to $AW_TMP/game.out and game.err.
aw_start() {
    [ -z "$AW_PID" ] || aw_fail "the game is already running"
    AW_STATUS=""
    AW_WIN=""
    (cd "${AW_WORKDIR:-$AW_ROOT}" && exec "$AW_GAME" "$@") >"$AW_TMP/game.out" 2>"$AW_TMP/game.err" &
    AW_PID=$!
}

aw_running() { [ -n "$AW_PID" ] && kill -0 "$AW_PID" 2>/dev/null; }

# aw_track PID...: game programs the script started itself, ended on exit if still running.
aw_track() { AW_TRACKED+=("$@"); }

# aw_window_of PID [SECONDS]: prints the window (caption "Ampwarden") of that game program,
# waiting for it; nothing when none came. By its process, not only its caption, so that a
# window of another program on the display is never taken for it. One search at a time, again
# until it finds it: a window destroyed while xdotool looks at it (as the game's first one is,
# while the game starts) ends that search with an X error.
aw_window_of() {
    local end=$((SECONDS + ${2:-30})) win
    while :; do
        win="$(timeout 10 xdotool search --all --onlyvisible --pid "$1" --name '^Ampwarden$' 2>/dev/null | head -n 1)"
        [ -n "$win" ] && { echo "$win"; return 0; }
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# aw_wait_window [SECONDS]: waits for the window of the game started by aw_start (or whose
# pid is in $AW_PID), and puts it on top; sets $AW_WIN.
aw_wait_window() {
    local limit="${1:-30}"
    [ -n "$AW_PID" ] || aw_fail "no game started to wait for"
    AW_WIN="$(aw_window_of "$AW_PID" "$limit")"
    [ -n "$AW_WIN" ] || { aw_running || aw_wait_exit 5; aw_fail "no game window within ${limit}s"; }
    aw_running || aw_fail "the game ended right after opening its window"
    xdotool windowraise "$AW_WIN"
}

# aw_caption: the window's title.
aw_caption() { xdotool getwindowname "$AW_WIN"; }

# aw_size: "WIDTHxHEIGHT" of the window.
aw_size() { xdotool getwindowgeometry "$AW_WIN" | sed -n 's/.*Geometry: *//p'; }

# Real input, through the X server's test extension, so the game sees what a player does.
aw_move() { xdotool mousemove --window "$AW_WIN" "$1" "$2" || aw_fail "cannot move the mouse"; }
# aw_click X Y [BUTTON]: moves there and clicks (1 left, 3 right).
aw_click() {
    aw_move "$1" "$2"
    sleep 0.05
    xdotool click "${3:-1}" || aw_fail "cannot click"
}
# aw_drag X1 Y1 X2 Y2: left press at the first point, release at the second.
aw_drag() {
    aw_move "$1" "$2"
    xdotool mousedown 1 || aw_fail "cannot press"
    sleep 0.1
    aw_move "$3" "$4"
    sleep 0.1
    xdotool mouseup 1 || aw_fail "cannot release"
}
# aw_key KEY...: presses and releases keys (xdotool names: Escape, Tab, 1, r, ...).
# The pointer is moved into the window first: without a window manager, focus follows it.
aw_key() {
    aw_move 512 384
    xdotool key --delay 50 "$@" || aw_fail "cannot send keys $*"
}

# aw_screenshot [NAME]: saves the window as $AW_TMP/NAME.png and NAME.ppm and sets $AW_SHOT
# to the PPM, which aw_pixel and aw_expect_colour_in read.
aw_screenshot() {
    local name="${1:-shot}"
    import -window "$AW_WIN" "$AW_TMP/$name.png" 2>/dev/null || aw_fail "cannot take a screenshot"
    convert "$AW_TMP/$name.png" -depth 8 "ppm:$AW_TMP/$name.ppm" || aw_fail "cannot convert the screenshot"
    AW_SHOT="$AW_TMP/$name.ppm"
}

# aw_shot_until SECONDS NAME TEST...: takes screenshots (aw_screenshot NAME) until the command
# TEST, run after each, succeeds; false when it has not within SECONDS. For what the game shows a
# moment after the input that asks for it, which on a busy machine can take seconds. AW_POLL sets
# the pause between screenshots (default 0.2 s), longer for long waits, to leave the game the
# processor.
aw_shot_until() {
    local end=$((SECONDS + $1)) name="$2"
    shift 2
    while :; do
        aw_screenshot "$name"
        "$@" && return 0
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep "${AW_POLL:-0.2}"
    done
}

# aw_pixel PPM X Y: prints "R G B".
aw_pixel() { "$AW_PYTHON" "$AW_SYSTEM_DIR/xtool.py" pixel "$@" || aw_fail "cannot read pixel $2,$3"; }

# aw_colour_in PPM X Y W H R G B [TOL]: whether some pixel of the rectangle has this colour;
# aw_expect_colour_in fails the test when none has.
aw_colour_in() { "$AW_PYTHON" "$AW_SYSTEM_DIR/xtool.py" region "$1" "$2" "$3" "$4" "$5" "$6" "$7" "$8" "${9:-8}"; }
aw_expect_colour_in() {
    aw_colour_in "$@" || aw_fail "no pixel near rgb($6,$7,$8) in the ${4}x${5} area at $2,$3"
}

# aw_close_window: asks the window to close, as a window manager's close button does.
aw_close_window() { "$AW_PYTHON" "$AW_SYSTEM_DIR/xtool.py" close "$AW_WIN" || aw_fail "cannot close the window"; }

# aw_wait_exit [SECONDS]: waits for the game to end; sets $AW_STATUS.
aw_wait_exit() {
    local limit="${1:-10}" i
    for i in $(seq 1 $((limit * 10))); do
        aw_running || break
        sleep 0.1
    done
    aw_running && aw_fail "the game did not end within ${limit}s"
    wait "$AW_PID" 2>/dev/null
    AW_STATUS=$?
    AW_PID=""
    return 0
}

# aw_expect_status N: the game ended with this exit status.
aw_expect_status() {
    [ "$AW_STATUS" = "$1" ] || aw_fail "exit status $AW_STATUS, expected $1"
}

# aw_expect_failure: the game refused to start: a non-zero status, but no crash.
aw_expect_failure() {
    [ "$AW_STATUS" != 0 ] || aw_fail "the game reported success"
    [ "$AW_STATUS" -lt 128 ] || aw_fail "the game died from signal $((AW_STATUS - 128))"
}

# aw_expect_stderr TEXT: the game's error output contains the text (fixed string).
aw_expect_stderr() {
    grep -qF -- "$1" "$AW_TMP/game.err" || aw_fail "stderr does not mention: $1"
}

# aw_end PID: ends a game program the script started: asked to (SIGTERM, which the game takes
# as its window closing), killed if it has not ended within 10 s, as one stuck before it reads
# its events would not.
aw_end() {
    local watchdog
    kill -CONT "$1" 2>/dev/null
    kill "$1" 2>/dev/null
    (sleep 10 && kill -KILL "$1" 2>/dev/null) &
    watchdog=$!
    wait "$1" 2>/dev/null
    kill "$watchdog" 2>/dev/null
    wait "$watchdog" 2>/dev/null
    return 0
}

# aw_stop: ends the game if it still runs.
aw_stop() {
    [ -z "$AW_PID" ] || aw_end "$AW_PID"
    AW_PID=""
    return 0
}
