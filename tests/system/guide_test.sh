#!/usr/bin/env bash
# The first-match guide, read with tesseract: on the first New Game it asks for an extractor,
# once one is built it asks for an emitter to be aimed, G hides it and brings it back, and
# the settings note that it was offered, so the next run's first match starts without it.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
command -v tesseract >/dev/null || aw_fail "missing tool: tesseract (./test.sh installs it)"
settings="$XDG_CONFIG_HOME/ampwarden/settings"
printf 'record 0\n' >"$settings"

# hint: the text along the board's top edge, enlarged and inverted.
hint() {
    convert "$AW_SHOT" -crop 760x26+132+70 +repage -resize 300% -colorspace gray -negate "$AW_TMP/hint.png" ||
        aw_fail "cannot crop the hint"
    tesseract "$AW_TMP/hint.png" - --psm 7 2>/dev/null
}
hint_has() { hint | grep -qE "$1"; }
new_game() {
    aw_click 200 260
    sleep 0.7
    aw_click 600 380
    sleep 1.5
    aw_move 512 300
}

aw_start -nointro
aw_wait_window
sleep 1
new_game
aw_shot_until 10 first hint_has "extractor" || aw_fail "no extractor hint on the first New Game: $(hint)"
grep -qx "guide-offered 1" "$settings" || aw_fail "the offer is not noted: $(cat "$settings")"
aw_note "first New Game: $(hint)"

# An extender above the green main node, then an extractor on the site beside it.
aw_key 1
aw_click 197 484
sleep 0.3
aw_key 4
aw_click 167 534
aw_move 512 300
aw_shot_until 10 built hint_has "aim the beam emitter" || aw_fail "no aiming hint after the extractor: $(hint)"
aw_note "after the extractor: $(hint)"

aw_key g
sleep 0.5
aw_screenshot hidden
hint_has "emitter|Press" && aw_fail "G did not hide the hint: $(hint)"
aw_key g
aw_shot_until 5 shown hint_has "aim the beam emitter" || aw_fail "G did not bring the hint back: $(hint)"
aw_note "G hides the hints and brings them back"

aw_key Escape Escape
sleep 0.5
aw_close_window
aw_wait_exit 10

# The next run: the guide was offered, so the first match shows no hint.
aw_start -nointro
aw_wait_window
sleep 1
new_game
sleep 1
aw_screenshot second
hint_has "extractor|Press" && aw_fail "the guide was offered again: $(hint)"
aw_note "the next run's first match starts without the guide"
aw_close_window
aw_wait_exit 10
