#!/usr/bin/env bash
# The screens the menu opens, walked with real keys and clicks and read back with tesseract:
# Settings (a name typed, the music turned down, both kept after a restart; F1's help over it;
# full screen on and off while it runs), Watch (a match started from a chosen seed, recorded by
# default), Replays (that match listed beside a broken file, played and left back to the list,
# one file deleted after the question), Play a Friend (this machine's addresses, a join to a
# closed loopback port, pasted, given up with Cancel). A hostile settings file is named once on
# stderr and left as it was. With AW_SAVE_SCREENSHOTS=1 each screen is saved into
# dist/screenshots (doc/playing.md shows them).
source "$(dirname "$0")/lib.sh"
aw_init "$@"
for tool in tesseract xclip; do command -v $tool >/dev/null || aw_fail "missing tool: $tool (./test.sh installs it)"; done

settings="$XDG_CONFIG_HOME/ampwarden/settings"
replays="$XDG_DATA_HOME/ampwarden/replays"
shots="$AW_ROOT/dist/screenshots"
mkdir -p "$replays"
# ocr X Y W H: the text in that part of the last screenshot.
ocr() {
    convert "$AW_SHOT" -crop "${3}x${4}+${1}+${2}" +repage -resize 200% -colorspace gray -negate "$AW_TMP/ocr.png" ||
        aw_fail "cannot crop"
    tesseract "$AW_TMP/ocr.png" - --psm 6 2>/dev/null
}
expect_text() { # WHAT X Y W H PATTERN
    local text
    text="$(ocr "$2" "$3" "$4" "$5")"
    echo "$text" | grep -Eq "$6" || aw_fail "$1: expected /$6/, read: $text"
}
keep_shot() { [ -z "${AW_SAVE_SCREENSHOTS:-}" ] || cp "$AW_TMP/$1.png" "$shots/$1.png"; }
# Keys where the pointer is: moving it would choose the entry under it.
keys() { xdotool key --delay 50 "$@" || aw_fail "cannot send keys $*"; }
clear_field() { keys End $(printf 'BackSpace %.0s' $(seq 1 "$1")); }

# The defaults: no settings file, so every match is recorded. A broken replay waits in the folder.
rm -f "$settings"
printf 'ampwarden-replay 1\nprogram 0.1\n\x01\x02' >"$replays/20200101-000000.000-1-1.replay"

aw_start -nointro
aw_wait_window
aw_move 900 700
sleep 1
aw_screenshot menu
expect_text "menu rows" 140 440 300 160 "Play a Friend"
expect_text "menu rows" 140 440 300 160 "Settings"
keep_shot menu

# Settings, with the keys only: down the menu from New Game to Settings, then the name and
# the music.
aw_key Down Down Down Down Down Return
sleep 0.5
keys Down Down Down Down
clear_field 10
xdotool type --delay 60 "Tester"
keys Up Up Up Left Left
sleep 0.5
aw_screenshot settings
expect_text "settings title" 312 35 400 40 "Settings"
expect_text "name field" 453 292 410 26 "Tester"
expect_text "music volume" 760 170 100 30 "90"
keep_shot settings
grep -qx "name Tester" "$settings" && grep -qx "music-volume 90" "$settings" && grep -qx "record 1" "$settings" ||
    aw_fail "settings not saved: $(cat "$settings" 2>&1)"
aw_note "Settings: a name typed and the music turned down, saved at once"

# F1: the help over the screen, which takes no keys meanwhile (Left would turn the music down).
keys F1 Left
sleep 0.3
aw_screenshot help
expect_text "help over a screen" 60 60 400 60 "How to play"
keys Escape
grep -qx "music-volume 90" "$settings" || aw_fail "Left under the help reached the music slider"
# Full screen at once: the picture fills the screen, the file says so; and back.
root_ocr() { import -window root "$AW_TMP/root.png" && AW_SHOT="$AW_TMP/root.png" && ocr "$@"; }
read -r sw sh < <(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x\([0-9]*\).*/\1 \2/p')
[ "$sw" -gt 1100 ] && [ "$sh" -gt 850 ] || aw_fail "the screen ($sw x $sh) is too small to tell"
keys Down Right
sleep 1.5
# The picture fills the screen, scaled to fit: its title where the scaled layout puts it.
read -r s fx fy < <("$AW_PYTHON" -c "
s = min($sw / 1024, $sh / 768)
print(s, ($sw - 1024 * s) / 2, ($sh - 768 * s) / 2)")
at() { "$AW_PYTHON" -c "print(int($2 + $1 * $s))"; }
root_ocr "$(at 312 "$fx")" "$(at 35 "$fy")" "$(at 400 0)" "$(at 40 0)" | grep -q Settings &&
    grep -qx "fullscreen 1" "$settings" || aw_fail "Settings not scaled to fill the screen in full screen"
# Back in the window with a click on the value, where the scaled picture shows it.
xdotool mousemove "$(at 600 "$fx")" "$(at 225 "$fy")" click 1 || aw_fail "cannot click"
sleep 1.5
root_ocr 312 35 400 40 | grep -q Settings && grep -qx "fullscreen 0" "$settings" || aw_fail "not back in the window"
keys Escape
aw_note "F1's help over Settings; full screen scales the picture to fill the screen, and back"

# Watch, with the mouse: a seed typed, the match started.
aw_click 200 510
sleep 0.5
aw_click 600 225
clear_field 12
xdotool type --delay 60 "4242"
sleep 0.3
aw_screenshot watch
expect_text "watch title" 312 35 400 40 "Watch"
expect_text "seed" 453 212 410 26 "4242"
expect_text "levels" 140 125 700 80 "Green plays at"
keep_shot watch
aw_click 220 345
sleep 3
aw_screenshot watching
expect_text "viewer legend" 500 55 500 25 "Space ?pause"
keys Escape
sleep 0.5
aw_note "Watch: seed 4242 typed, the match runs with the viewer's controls"

# Replays: the watched match is listed (cut short: it is still going), the broken file too.
aw_click 200 550
sleep 0.8
aw_screenshot replays
expect_text "replays title" 312 35 400 40 "Replays"
expect_text "watched match" 40 220 944 60 "Computer"
expect_text "broken file" 40 220 944 60 "unreadable"
keep_shot replays
[ "$(ls "$replays" | wc -l)" = 2 ] || aw_fail "expected two files: $(ls "$replays")"
keys Return
sleep 2
aw_screenshot replaying
expect_text "replay legend" 370 55 630 25 "Replay"
keys Escape
sleep 0.5
aw_screenshot replays_again
expect_text "back in the list" 312 35 400 40 "Replays"
aw_note "Replays: the recorded match and the broken file listed; Enter plays the match, Escape comes back"

# Delete asks first; Escape keeps the file, Delete twice removes it.
keys Delete
sleep 0.3
aw_screenshot asking
expect_text "the question" 100 80 824 25 "Delete"
keys Escape
[ "$(ls "$replays" | wc -l)" = 2 ] || aw_fail "Escape removed a file"
keys Delete Delete
sleep 0.3
[ "$(ls "$replays" | wc -l)" = 1 ] || aw_fail "Delete twice did not remove a file"
keys Escape
aw_note "Replays: Delete asks, Escape keeps, a second Delete removes"

# Play a Friend: the addresses, and a join to a loopback port nobody listens on, pasted with
# spaces and a line end round it, given up.
aw_click 200 470
sleep 0.5
aw_click 600 305
clear_field 70
printf '  127.0.0.1:9 \n' | timeout 20 xclip -quiet -loops 1 -selection clipboard >/dev/null 2>&1 &
sleep 0.5
keys ctrl+v Return
sleep 2
aw_screenshot friend
expect_text "friend title" 312 35 400 40 "Play a Friend"
expect_text "addresses" 140 210 800 40 "This machine"
expect_text "waiting line" 100 80 824 25 "Reaching 127.0.0.1 port ?9"
keep_shot friend
aw_click 180 625
sleep 0.5
aw_screenshot gave_up
expect_text "given up" 100 80 824 25 "Gave up"
expect_text "joined lately at once" 440 365 500 30 "127.0.0.1:9"
grep -qx "127.0.0.1:9" "$XDG_STATE_HOME/ampwarden/recent-hosts" || aw_fail "the address joined is not kept, trimmed"
keys Escape Escape
aw_wait_exit 10
aw_expect_status 0
grep -q "You left the match" "$AW_TMP/game.err" && aw_fail "left a match that never began: $(cat "$AW_TMP/game.err")"
aw_note "Play a Friend: addresses shown, a join pasted with spaces round it waits, is given up and listed"

# After a restart the settings stand; the address joined is offered.
aw_start -nointro
aw_wait_window
aw_click 200 590
sleep 0.5
aw_screenshot settings_again
expect_text "name kept" 453 292 410 26 "Tester"
expect_text "music kept" 760 170 100 30 "90"
keys Escape
aw_click 200 470
sleep 0.5
aw_screenshot friend_again
expect_text "recent address" 440 365 500 30 "127.0.0.1:9"
keys Escape Escape
aw_wait_exit 10
aw_expect_status 0
aw_note "settings and the last address survive a restart"

# A hostile settings file: said once on stderr, defaults used, the file left alone.
printf 'name \x1b[31mEvil\nmusic-volume 1000\n\xff\xfe\x00binary\n' >"$settings"
cp "$settings" "$AW_TMP/hostile"
aw_start -nointro
aw_wait_window
sleep 0.5
aw_key Escape
aw_wait_exit 10
aw_expect_status 0
[ "$(grep -c "settings file $settings" "$AW_TMP/game.err")" = 1 ] || aw_fail "not said once: $(cat "$AW_TMP/game.err")"
cmp -s "$settings" "$AW_TMP/hostile" || aw_fail "the hostile file was rewritten"
aw_note "a hostile settings file is named once and left as it was"
