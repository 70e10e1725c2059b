#!/usr/bin/env bash
# Missing or broken data stops the game before its window opens, with one line on stderr
# naming what is wrong, a non-zero status and no crash.
source "$(dirname "$0")/lib.sh"
aw_init "$@"

# expect_refusal TEXT: runs the game in $AW_WORKDIR and checks how it refuses to start.
expect_refusal() {
    aw_start -nointro
    aw_wait_exit 20
    aw_expect_failure
    aw_expect_stderr "$1"
    local lines
    lines="$(grep -c . "$AW_TMP/game.err")"
    [ "$lines" = 1 ] || aw_fail "expected one line on stderr, got $lines"
    aw_note "refused: $(cat "$AW_TMP/game.err")"
}

aw_workdir
rm "$AW_WORKDIR/Data/resources.xml"
expect_refusal "cannot read Data/resources.xml"

aw_workdir
printf '<resources>\n  <sprites>\n</resources>\n' >"$AW_WORKDIR/Data/resources.xml"
expect_refusal "cannot parse Data/resources.xml"

aw_workdir
sed -i 's/cpu_green\.png/no_such_sprite.png/' "$AW_WORKDIR/Data/resources.xml"
expect_refusal "no_such_sprite.png"

aw_workdir
rm "$AW_WORKDIR/AWIcon.bmp"
expect_refusal "cannot read the window icon AWIcon.bmp"

aw_workdir
echo "not a bitmap" >"$AW_WORKDIR/AWIcon.bmp"
expect_refusal "AWIcon.bmp is not a readable BMP"
