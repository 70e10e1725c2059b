#!/usr/bin/env bash
# Losses explained, from a replay of a made-up match that green (a human) loses: blue's
# emitter destroys green's extender (the line over the board says so, read with tesseract),
# blue's second emitter feeds green's absorber beside green's main node (its blast reach is
# marked in orange; the replay's time line marks the losses), and when green's main falls the summary opens with the main nodes'
# health over the match. With AW_SCREENSHOTS=DIR the three pictures are kept there.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
command -v tesseract >/dev/null || aw_fail "missing tool: tesseract (./test.sh installs it)"

count() { "$AW_PYTHON" "$AW_SYSTEM_DIR/screen_probe.py" count "$AW_SHOT" "$@" || aw_fail "cannot probe $*"; }
# ocr NAME X Y W H: the text in that part of the last screenshot, enlarged and inverted.
ocr() {
    convert "$AW_SHOT" -crop "${4}x${5}+${2}+${3}" +repage -resize 300% -colorspace gray -negate \
        "$AW_TMP/$1.png" || aw_fail "cannot crop $1"
    tesseract "$AW_TMP/$1.png" - --psm 6 2>/dev/null
}
keep() { [ -z "${AW_SCREENSHOTS:-}" ] || cp "$AW_TMP/$1.png" "$AW_SCREENSHOTS/$2.png"; }

replay="$AW_TMP/losses.replay"
cat >"$replay" <<'REPLAY'
ampwarden-replay 1
program 1.01
data c38dea7b3dbcf3b5
seed 4242
date 2026-12-07T17:08:15Z
green human
blue human
demo 0
watched 0
cmd 0 build green tool extender at 240.5 315 aim 240.5 315 node 11
cmd 300 build green tool absorber at 190 280 aim 190 280 node 11
cmd 400 build blue tool beam at 700 315 aim 0 315 node 12
cmd 2600 build blue tool beam at 700 280 aim 0 280 node 12
end 4024 blue 35423897b1ccc187
REPLAY

aw_start -nointro -replay "$replay"
aw_wait_window
# The extender falls about 27 seconds in; the line stands for four.
line=""
for _ in $(seq 1 90); do
    aw_screenshot loss
    line="$(ocr line 112 662 800 40)"
    echo "$line" | grep -qE "Extender destroyed by b[li]ue.s beam" && break
    sleep 0.2
done
echo "$line" | grep -qE "Extender destroyed by b[li]ue.s beam" || aw_fail "no loss line for the extender: $line"
keep loss losses
aw_note "the loss line says: $line"
# The legend names the jump key, and the time line under it marks green's losses in green.
legend="$(ocr legend 470 54 515 22)"
echo "$legend" | grep -qE "N ?next mark" || aw_fail "no jump key in the legend: $legend"
[ "$(count 474 76 510 14 green)" -ge 4 ] || aw_fail "no marks on the time line"

# The second emitter fires into green's absorber from 42 game seconds on: its blast will
# reach green's main node, so its reach is ringed in orange.
aw_key 4
found=0
for _ in $(seq 1 60); do
    sleep 0.3
    aw_screenshot absorber
    # The absorber stands at board (190, 280), window (229, 418); the blast's reach is 40.
    if "$AW_PYTHON" "$AW_SYSTEM_DIR/xtool.py" region "$AW_SHOT" 180 370 100 100 255 140 0 40; then
        found=1
        break
    fi
done
[ "$found" = 1 ] || aw_fail "no orange blast reach round green's absorber"
keep absorber absorber
aw_note "the absorber's blast reach is marked"

# Green's main falls at about 64 game seconds; the summary opens with the health graph.
title=""
for _ in $(seq 1 60); do
    sleep 0.5
    aw_screenshot summary
    title="$(ocr title 45 92 720 44)"
    echo "$title" | grep -q "Match summary" && break
done
echo "$title" | grep -qE "You l.se" || aw_fail "no summary naming the result: $title"
ocr graph 505 132 320 26 | grep -q "Main node health" || aw_fail "no main node health graph: $(ocr graph 505 132 320 26)"
[ "$(count 512 152 450 140 green)" -ge 20 ] || aw_fail "no green line in the health graph"
[ "$(count 512 152 450 140 blue)" -ge 20 ] || aw_fail "no blue line in the health graph"
keep summary summary
aw_note "the summary shows both main nodes' health"
aw_key Escape
sleep 0.5
aw_key Escape
aw_wait_exit 10
aw_expect_status 0
