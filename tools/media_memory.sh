#!/usr/bin/env bash
# Measures the game's peak resident memory and time from start to exit on its own data and
# on data broken to cost memory, each game binary given side by side, repeated; prints the
# medians as a table.
#   tools/media_memory.sh [-n RUNS] GAME...    (e.g. build/ampwarden, an older build's binary)
# Needs an X display (DISPLAY) and SDL_AUDIODRIVER=dummy without a sound device. A game that
# starts is sent Escape once its window shows; the time then includes that wait.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs=3
[ "${1:-}" = -n ] && { runs="$2"; shift 2; }
[ $# -ge 1 ] || { echo "usage: $0 [-n RUNS] GAME..." >&2; exit 2; }
games=()
for game in "$@"; do games+=("$(realpath "$game")"); done
tmp="$(mktemp -d /tmp/aw_memory.XXXXXX)"
trap 'rm -rf "$tmp"' EXIT

# case_folder NAME: a copy of the game's folder whose media are linked file by file.
case_folder() {
    local dir="$tmp/$1" kind
    mkdir -p "$dir/Data"
    cp "$root/Data/resources.xml" "$dir/Data/"
    cp "$root/AWIcon.bmp" "$dir/"
    for kind in sprites sounds fonts; do
        mkdir "$dir/Data/$kind"
        ln -s "$root/Data/$kind"/* "$dir/Data/$kind/"
    done
    echo "$dir"
}

own="$(case_folder own)"
bmp="$(case_folder bmp33)"
rm "$bmp/Data/sprites/cpu_gray.png"
python3 -c "import sys; sys.stdout.buffer.write(bytes.fromhex(sys.argv[1]))" \
    424d500a890d474e891a0a00000000000000183a0000b7000000e30a1a0ae3e3e3 >"$bmp/Data/sprites/cpu_gray.png"
# Twenty-four sprites of 2048 by 2048 pixels, 17 KB each as PNG.
sprites="$(case_folder sprites)"
python3 - "$sprites/Data/sprites/big.png" <<'PY'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
side = 2048
rows = zlib.compress((b"\0" + b"\0" * side * 4) * side, 9)
with open(sys.argv[1], "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", rows) + chunk(b"IEND", b""))
PY
entries="$(for i in $(seq 1 24); do printf '<sprite filepath="Data\\\\sprites\\\\big.png" id="Big%d"/>' "$i"; done)"
sed -i "s|<sprites>|<sprites>$entries|" "$sprites/Data/resources.xml"
# The main font at the largest size, then five fonts at it.
font="$(case_folder font256)"
sed -i 's/id="MainFont" size="20"/id="MainFont" size="256"/' "$font/Data/resources.xml"
fonts="$(case_folder fonts256x5)"
entries="$(for i in 1 2 3 4 5; do printf '<font filepath="Data\\\\fonts\\\\DejaVuSans.ttf" id="Big%d" size="256"/>' "$i"; done)"
sed -i "s|<fonts>|<fonts>$entries|" "$fonts/Data/resources.xml"
# A sound of two hours at 8 kHz (60 MB of 8-bit mono), and a 44-byte one whose header claims that.
wav_header() { # DATA_BYTES
    python3 -c "import struct,sys; n=int(sys.argv[1]); sys.stdout.buffer.write(b'RIFF'+struct.pack('<I',36+n)+b'WAVEfmt '+struct.pack('<IHHIIHH',16,1,1,8000,8000,1,8)+b'data'+struct.pack('<I',n))" "$1"
}
sound="$(case_folder sound2h)"
rm "$sound/Data/sounds/menu_click.wav"
{ wav_header 57600000; head -c 57600000 /dev/zero | tr '\0' '\200'; } >"$sound/Data/sounds/menu_click.wav"
claim="$(case_folder soundclaim)"
rm "$claim/Data/sounds/menu_click.wav"
wav_header 57600000 >"$claim/Data/sounds/menu_click.wav"

# measure GAME FOLDER: runs the game once; prints "PEAK_KB SECONDS CPU_SECONDS STATUS".
measure() {
    (cd "$2" && exec python3 "$root/tools/peak_memory.py" "$tmp/peak" "$1" -nointro) >/dev/null 2>"$tmp/err" &
    local pid=$! i
    # Escape once the window shows; a game still running after five minutes is ended.
    for i in $(seq 1 3000); do
        kill -0 "$pid" 2>/dev/null || break
        if [ "$i" = 3000 ]; then
            pkill -P "$pid" || true
        elif xdotool search --onlyvisible --name '^Ampwarden$' >/dev/null 2>&1; then
            sleep 0.5
            xdotool key Escape 2>/dev/null || true
        fi
        sleep 0.1
    done
    wait "$pid" || true
    cat "$tmp/peak"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-12s' case
for game in "$@"; do printf ' | %-30s' "$game"; done
printf '\n'
for folder in "$own" "$bmp" "$sprites" "$font" "$fonts" "$sound" "$claim"; do
    printf '%-12s' "$(basename "$folder")"
    for game in "${games[@]}"; do
        : >"$tmp/results"
        for _ in $(seq 1 "$runs"); do measure "$game" "$folder" >>"$tmp/results"; done
        peak="$(cut -d' ' -f1 "$tmp/results" | median)"
        seconds="$(cut -d' ' -f2 "$tmp/results" | median)"
        status="$(cut -d' ' -f4 "$tmp/results" | sort -u | tr '\n' ' ')"
        printf ' | %7.1f MB %6.2f s exit %-5s' "$(awk "BEGIN { print $peak / 1024 }")" "$seconds" "$status"
    done
    printf '\n'
    if [ -s "$tmp/err" ]; then echo "    $(head -n 1 "$tmp/err")"; fi
done
