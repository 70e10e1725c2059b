#!/usr/bin/env bash
# The Debian package builds with the games layout, the libraries the program links and the font
# package as dependencies, and lintian finds no errors in it.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
build="$(dirname "$AW_GAME")"
for tool in cpack dpkg-deb lintian; do
    command -v "$tool" >/dev/null || aw_fail "missing tool: $tool (./test.sh installs it)"
done

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$AW_TMP/pkg" >"$AW_TMP/cpack.log" 2>&1 ||
    { cat "$AW_TMP/cpack.log" >&2; aw_fail "cpack failed"; }
deb="$AW_TMP/pkg/ampwarden_$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || aw_fail "no $(basename "$deb"); made: $(ls "$AW_TMP/pkg")"

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$AW_TMP/files"
for path in ./usr/games/ampwarden ./usr/games/ampwarden-arena ./usr/share/man/man6/ampwarden-arena.6.gz \
    ./usr/share/games/ampwarden/Data/resources.xml \
    ./usr/share/games/ampwarden/Data/sprites/gear.png ./usr/share/games/ampwarden/AWIcon.bmp \
    ./usr/share/man/man6/ampwarden.6.gz ./usr/share/doc/ampwarden/copyright \
    ./usr/share/doc/ampwarden/README.md ./usr/share/doc/ampwarden/doc/README.md \
    ./usr/share/icons/hicolor/{32x32,48x48,64x64,128x128,256x256}/apps/ampwarden.png; do
    grep -qxF "$path" "$AW_TMP/files" || aw_fail "package lacks $path"
done
grep -q '^./usr/share/applications/.*\.desktop$' "$AW_TMP/files" || aw_fail "package lacks the desktop entry"
grep -q '^./usr/share/metainfo/.*\.metainfo\.xml$' "$AW_TMP/files" || aw_fail "package lacks the metadata"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || aw_fail "section is not games"
depends="$(dpkg-deb -f "$deb" Depends)"
for pkg in libsdl1.2debian libsdl-mixer1.2 libsdl-image1.2 libfreetype6 libtinyxml2.6.2v5 libgl1 fonts-dejavu-core; do
    [[ "$depends" == *"$pkg"* ]] || aw_fail "Depends lacks $pkg: $depends"
done
aw_note "$(basename "$deb"): $(wc -l <"$AW_TMP/files") entries; Depends: $depends"

lintian "$deb" >"$AW_TMP/lintian.log" 2>&1
status=$?
grep '^E:' "$AW_TMP/lintian.log" && aw_fail "lintian reports errors"
[ "$status" = 0 ] || { cat "$AW_TMP/lintian.log" >&2; aw_fail "lintian did not run (status $status)"; }
aw_note "lintian: $(grep -c '^[WE]:' "$AW_TMP/lintian.log") warnings, no errors"
