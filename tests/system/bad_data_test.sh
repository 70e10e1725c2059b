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

# expect_fallback: the game starts in $AW_WORKDIR all the same, says nothing, and quits cleanly.
expect_fallback() {
    aw_start -nointro
    aw_wait_window 30
    sleep 0.5
    aw_key Escape
    aw_wait_exit 10
    aw_expect_status 0
    [ ! -s "$AW_TMP/game.err" ] || aw_fail "stderr is not empty"
    aw_note "fell back: $1"
}

# own_folder NAME: gives the scratch copy a folder of its own in place of the link to
# Data/NAME, its files linked one by one, so single files can be replaced.
own_folder() {
    local folder="$AW_WORKDIR/Data/$1" file
    rm "$folder"
    mkdir "$folder"
    for file in "$AW_ROOT/Data/$1"/*; do ln -s "$file" "$folder/"; done
}

# A catalogue too deep for the parser's recursion, one cut inside a UTF-8 sequence, an empty one.
aw_workdir
python3 -c "print('<a>' * 40000, end='')" >"$AW_WORKDIR/Data/resources.xml"
expect_refusal "nests its elements more than 64 deep"
aw_workdir
printf "<?xml v='1'?><a>\xf0" >"$AW_WORKDIR/Data/resources.xml"
expect_refusal "cannot parse Data/resources.xml"
aw_workdir
: >"$AW_WORKDIR/Data/resources.xml"
expect_refusal "cannot parse Data/resources.xml: Error document empty."
grep -q "line 0" "$AW_TMP/game.err" && aw_fail "the message names line 0"

# Font sizes that overflow, are not numbers, or would rasterise for minutes.
for size in 1e30 1e300 nan 10000; do
    aw_workdir
    sed -i "s/id=\"MainFont\" size=\"20\"/id=\"MainFont\" size=\"$size\"/" "$AW_WORKDIR/Data/resources.xml"
    expect_refusal "font 'MainFont' has size \"$size\"; sizes run from 1 to 256"
done

# Sprites: a FIFO would block the reading for ever; broken or absurd PNG files made the image
# library add lines of its own.
aw_workdir
own_folder sprites
rm "$AW_WORKDIR/Data/sprites/spark.png"
mkfifo "$AW_WORKDIR/Data/sprites/spark.png"
expect_refusal "spark.png: not a regular file"
aw_workdir
own_folder sprites
rm "$AW_WORKDIR/Data/sprites/gear.png"
head -c 120 "$AW_ROOT/Data/sprites/gear.png" >"$AW_WORKDIR/Data/sprites/gear.png"
expect_refusal "cannot load Data\\sprites\\gear.png"
aw_workdir
own_folder sprites
rm "$AW_WORKDIR/Data/sprites/gear.png"
{ head -c 16 "$AW_ROOT/Data/sprites/gear.png"; printf '\x00\x01\x00\x00\x00\x01\x00\x00'; tail -c +25 "$AW_ROOT/Data/sprites/gear.png"; } >"$AW_WORKDIR/Data/sprites/gear.png"
expect_refusal "an image of 65536 by 65536 pixels is no sprite"

# expect_lean_refusal TEXT: expect_refusal, spending no more memory than a normal start (about
# 110 MB) and under a second of processor time; a sanitized build gets three times the memory
# (its shadow) and five times the time, still far below what an unchecked header costs (2 GB).
lean_kb=204800
lean_seconds=1
if [ -n "${AW_SANITIZED:-}" ]; then lean_kb=$((3 * lean_kb)) lean_seconds=5; fi
expect_lean_refusal() {
    (cd "$AW_WORKDIR" && exec timeout 60 "$AW_PYTHON" "$AW_ROOT/tools/peak_memory.py" "$AW_TMP/peak" \
        "$AW_GAME" -nointro) >"$AW_TMP/game.out" 2>"$AW_TMP/game.err"
    local peak seconds cpu status
    read -r peak seconds cpu status <"$AW_TMP/peak" || aw_fail "no figures from the run"
    [ "$status" = 1 ] || aw_fail "exit status $status, expected 1"
    aw_expect_stderr "$1"
    [ "$(grep -c . "$AW_TMP/game.err")" = 1 ] || aw_fail "expected one line on stderr"
    [ "$peak" -lt "$lean_kb" ] || aw_fail "peak memory $((peak / 1024)) MB, over $((lean_kb / 1024)) MB"
    awk "BEGIN { exit !($cpu < $lean_seconds) }" || aw_fail "$cpu s of processor time"
    aw_note "refused in $seconds s, peak $((peak / 1024)) MB: $(cat "$AW_TMP/game.err")"
}

# 33 bytes whose BMP header claims 14872 by 183 pixels: decoded all the same, its atlas page
# took the game past 2 GB; as the icon it is refused by its sides. Then the budgets: 24 sprites of 2048 by 2048 pixels (17 KB each as
# PNG), five fonts at the largest size, and a two-hour sound at 8 kHz.
aw_workdir
own_folder sprites
cp --remove-destination "$AW_ROOT/tests/fuzz/corpus/sprite_image/bmp_33_bytes_claiming_14872_by_183.bmp" \
    "$AW_WORKDIR/Data/sprites/cpu_gray.png"
expect_lean_refusal "cpu_gray.png: the header claims 14872 by 183 pixels, more than the file's 23 bytes"
aw_workdir
cp "$AW_ROOT/tests/fuzz/corpus/sprite_image/bmp_33_bytes_claiming_14872_by_183.bmp" "$AW_WORKDIR/AWIcon.bmp"
expect_lean_refusal "the window icon AWIcon.bmp must be a 32x32 8-bit indexed BMP"
aw_workdir
own_folder sprites
"$AW_PYTHON" - "$AW_WORKDIR/Data/sprites/big.png" <<'PY'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
header = chunk(b"IHDR", struct.pack(">IIBBBBB", 2048, 2048, 8, 6, 0, 0, 0))
pixels = chunk(b"IDAT", zlib.compress(bytes(2048 * 8193), 9))
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + header + pixels + chunk(b"IEND", b""))
PY
sed -i "s|<sprites>|<sprites>$(printf '<sprite filepath="Data\\\\sprites\\\\big.png" id="Big%d"/>' $(seq 24))|" \
    "$AW_WORKDIR/Data/resources.xml"
expect_lean_refusal "sprite 'Big3' (Data\sprites\big.png) takes the decoded sprites past their 32 MB"
aw_workdir
sed -i "s|<fonts>|<fonts>$(printf '<font filepath="Data\\\\fonts\\\\DejaVuSans.ttf" id="Big%d" size="256"/>' $(seq 5))|" \
    "$AW_WORKDIR/Data/resources.xml"
expect_lean_refusal "font 'Big5' (Data\fonts\DejaVuSans.ttf) at size 256 takes the glyph pages past their 16 MB"
aw_workdir
own_folder sounds
"$AW_PYTHON" - "$AW_WORKDIR/Data/sounds/long.wav" <<'PY'
import struct, sys
n = 57600000
with open(sys.argv[1], "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", 36 + n) + b"WAVEfmt " + struct.pack("<IHHIIHH", 16, 1, 1, 8000, 8000, 1, 8))
    f.write(b"data" + struct.pack("<I", n) + b"\x80" * n)
PY
sed -i 's/menu_click\.wav/long.wav/' "$AW_WORKDIR/Data/resources.xml"
expect_lean_refusal "sound 'MenuClick' (Data\sounds\long.wav) takes the sounds past their 32 MB once decoded"

# Sounds, fonts and the music that cannot be used are left out: a WAV header the mixer's
# converter crashed on, FIFOs, a 1-bit bitmap font.
aw_workdir
own_folder sounds
rm "$AW_WORKDIR/Data/sounds/menu_click.wav" "$AW_WORKDIR/Data/sounds/end.wav"
{ head -c 24 "$AW_ROOT/Data/sounds/menu_click.wav"; printf '\x00\x00\x00\x00'; tail -c +29 "$AW_ROOT/Data/sounds/menu_click.wav"; } >"$AW_WORKDIR/Data/sounds/menu_click.wav"
{ head -c 22 "$AW_ROOT/Data/sounds/end.wav"; printf '\x00\x00'; tail -c +25 "$AW_ROOT/Data/sounds/end.wav"; } >"$AW_WORKDIR/Data/sounds/end.wav"
expect_fallback "sounds with sample rate 0 and no channels"
aw_workdir
own_folder sounds
own_folder fonts
rm "$AW_WORKDIR/Data/sounds/death.wav" "$AW_WORKDIR/Data/sounds/menu_music.ogg" "$AW_WORKDIR/Data/fonts/DejaVuSans.ttf"
mkfifo "$AW_WORKDIR/Data/sounds/death.wav" "$AW_WORKDIR/Data/sounds/menu_music.ogg" "$AW_WORKDIR/Data/fonts/DejaVuSans.ttf"
expect_fallback "a sound, the music and the font are FIFOs"
aw_workdir
own_folder fonts
printf 'STARTFONT 2.1\nFONT -aw-test-medium-r-normal--8-80-72-72-c-80-iso10646-1\nSIZE 8 72 72\nFONTBOUNDINGBOX 8 8 0 0\nSTARTPROPERTIES 3\nPIXEL_SIZE 8\nFONT_ASCENT 8\nFONT_DESCENT 0\nENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\nSWIDTH 1000 0\nDWIDTH 9 0\nBBX 8 8 0 0\nBITMAP\nFF\n81\n81\n81\n81\n81\n81\nFF\nENDCHAR\nENDFONT\n' >"$AW_WORKDIR/Data/fonts/box.bdf"
sed -i 's/fonts\\DejaVuSans.ttf" id="MainFont"/fonts\\box.bdf" id="MainFont"/' "$AW_WORKDIR/Data/resources.xml"
expect_fallback "a 1-bit bitmap font"

# With standard error closed, the X connection took descriptor 2 and the message went into
# it; the game then hung. It must still refuse, within the time limit, without a signal.
aw_workdir
rm "$AW_WORKDIR/Data/resources.xml"
(cd "$AW_WORKDIR" && exec timeout 20 "$AW_GAME" -nointro <&- >&- 2>&-)
status=$?
[ "$status" != 124 ] || aw_fail "hung with standard input, output and error closed"
[ "$status" != 0 ] && [ "$status" -lt 128 ] || aw_fail "status $status with the standard descriptors closed"
aw_note "refused with the standard descriptors closed: status $status"

# No X display: say so, rather than what the terminal fallback cannot do.
aw_workdir
DISPLAY= expect_refusal "no display: DISPLAY is not set"
