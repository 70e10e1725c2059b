#!/usr/bin/env bash
# Installed the Debian games way into a scratch DESTDIR, the game starts from another folder and
# finds its data beside itself; the desktop entry and metadata validate; uninstalling leaves
# nothing; a program with no data anywhere says where it looked, on one line, and fails.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
build="$(dirname "$AW_GAME")"
for tool in cmake desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || aw_fail "missing tool: $tool (./test.sh installs it)"
done

dest="$AW_TMP/dest"
prefix=/usr
DESTDIR="$dest" cmake --install "$build" --prefix "$prefix" >"$AW_TMP/install.log" 2>&1 ||
    { cat "$AW_TMP/install.log" >&2; aw_fail "install failed"; }
root="$dest$prefix"
for path in games/ampwarden games/ampwarden-arena share/games/ampwarden/Data/resources.xml \
    share/games/ampwarden/AWIcon.bmp share/man/man6/ampwarden.6.gz share/man/man6/ampwarden-arena.6.gz \
    share/doc/ampwarden/README.md share/doc/ampwarden/doc/README.md share/doc/ampwarden/doc/playing.md \
    share/doc/ampwarden/LICENSE \
    share/doc/ampwarden/copyright share/icons/hicolor/{32x32,48x48,64x64,128x128,256x256}/apps/ampwarden.png; do
    [ -e "$root/$path" ] || aw_fail "not installed: $path"
done
desktop="$(ls "$root"/share/applications/*.desktop)"
grep -qx 'Categories=Game;StrategyGame;' "$desktop" || aw_fail "desktop entry lacks the game categories"
desktop-file-validate "$desktop" || aw_fail "desktop-file-validate: $desktop"
appstreamcli validate --no-net "$root"/share/metainfo/*.metainfo.xml >"$AW_TMP/as.log" 2>&1 ||
    { cat "$AW_TMP/as.log" >&2; aw_fail "appstreamcli validate"; }
aw_note "installed under $prefix with entry, icons, metadata, manual and data; validators pass"

# Started from an empty folder, the installed game finds its data and shows the menu.
AW_GAME="$root/games/ampwarden"
AW_WORKDIR="$(mktemp -d "$AW_TMP/elsewhere.XXXXXX")"
aw_start -nointro
aw_wait_window
aw_move 900 700
sleep 1.5
aw_screenshot installed_menu
probe() { "$AW_PYTHON" "$AW_SYSTEM_DIR/screen_probe.py" count "$AW_SHOT" "$@" || aw_fail "cannot probe"; }
[ "$(probe 312 40 400 60 green)" -ge 300 ] || aw_fail "no title: the sprites were not found"
# The first row is highlighted (red) when the menu opens; either colour shows the font was found.
[ "$(probe 145 245 150 30 red)" -ge 40 ] || [ "$(probe 145 245 150 30 white)" -ge 40 ] ||
    aw_fail "no New Game row: the font was not found"
aw_key Escape
aw_wait_exit 10
aw_expect_status 0
aw_note "the installed game, started from $AW_WORKDIR, shows its menu"

# So does the installed arena: it plays a match with the game's own data.
(cd "$AW_WORKDIR" && env -u AMPWARDEN_DATA "$root/games/ampwarden-arena" --levels 3 --matches 1 \
    --cap-minutes 1) >"$AW_TMP/arena.out" 2>&1 || aw_fail "installed arena: $(tail -n 3 "$AW_TMP/arena.out")"
grep -q '^1 matches' "$AW_TMP/arena.out" || aw_fail "installed arena played no match: $(cat "$AW_TMP/arena.out")"

# With nowhere to find data: one line naming each place, and a failure status.
mkdir -p "$AW_TMP/lone/games" "$AW_TMP/nodata"
cp "$AW_GAME" "$AW_TMP/lone/games/ampwarden"
(cd "$AW_TMP/nodata" && AMPWARDEN_DATA="$AW_TMP/nodata" "$AW_TMP/lone/games/ampwarden") \
    >"$AW_TMP/game.out" 2>"$AW_TMP/game.err"
AW_STATUS=$?
aw_expect_failure
[ "$(wc -l <"$AW_TMP/game.err")" = 1 ] || aw_fail "expected one line, got: $(cat "$AW_TMP/game.err")"
for place in "working directory $AW_TMP/nodata" "AMPWARDEN_DATA=$AW_TMP/nodata" "$AW_TMP/lone/share/games/ampwarden"; do
    aw_expect_stderr "$place"
done
aw_note "no data: $(cat "$AW_TMP/game.err")"

DESTDIR="$dest" cmake --build "$build" --target uninstall >"$AW_TMP/uninstall.log" 2>&1 ||
    { cat "$AW_TMP/uninstall.log" >&2; aw_fail "uninstall failed"; }
left="$(find "$root" -mindepth 1)"
[ -z "$left" ] || aw_fail "left behind after uninstall: $left"
aw_note "uninstalling removed every file and folder it made"
