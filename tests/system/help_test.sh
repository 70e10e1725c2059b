#!/usr/bin/env bash
# Both programs answer --help and --version with no display, and the options --help lists are
# exactly those their manual pages describe.
source "$(dirname "$0")/lib.sh"
aw_init "$@"
ARENA="$(dirname "$AW_GAME")/ampwarden-arena"
version="$(sed -n 's/^set(AW_VERSION \(.*\))$/\1/p' "$AW_ROOT/CMakeLists.txt")"

# Options in --help: the first column of the lines that start with an option.
help_options() { sed -n 's/^  \(-[^ ].*\)$/\1/p' "$1" | sed 's/  .*//' | grep -oE -- '-{1,2}[a-z-]+' | sort -u; }
# Options in the manual: every option named on a .TP entry's first line under OPTIONS.
manual_options() {
    awk '/^\.SH /{on = ($2 == "OPTIONS")} on && prev == ".TP" {print} {prev = $0}' "$1" |
        grep -oE '(\\-)+[a-z][a-z\\-]*' | sed 's/\\-/-/g' | sort -u
}

for program in "$AW_GAME" "$ARENA"; do
    name="$(basename "$program")"
    for ask in --help -h -help; do
        env -u DISPLAY timeout 10 "$program" "$ask" >"$AW_TMP/help" 2>"$AW_TMP/err" ||
            aw_fail "$name $ask failed: $(cat "$AW_TMP/err")"
    done
    [ "$(env -u DISPLAY timeout 10 "$program" --version)" = "$name $version" ] || aw_fail "$name --version"
    diff <(help_options "$AW_TMP/help") <(manual_options "$AW_ROOT/dist/$name.6") >"$AW_TMP/diff" ||
        aw_fail "$name: --help (<) and the manual page (>) list different options: $(cat "$AW_TMP/diff")"
    [ "$(help_options "$AW_TMP/help" | wc -l)" -ge 10 ] || aw_fail "$name: too few options found in --help"
    aw_note "$name: --help and --version without a display; $(help_options "$AW_TMP/help" | wc -l) options, as in $name(6)"
done
