#!/usr/bin/env bash
# Fuzzes one of the game's loaders with libFuzzer under AddressSanitizer and UBSan.
#   tools/fuzz.sh TARGET SECONDS [libFuzzer options...]
# TARGET is catalogue, sprite_image, font, sound or music. The working corpus grows in
# build-fuzz/corpus/TARGET, starting from the checked-in seeds; inputs that crash or hang a
# loader land in build-fuzz/findings/TARGET: mend the fault and add them to tests/fuzz/corpus.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

[ $# -ge 2 ] || { echo "usage: $0 TARGET SECONDS [libFuzzer options...]" >&2; exit 2; }
target="$1"
seconds="$2"
shift 2
[ -d "$AW_ROOT/tests/fuzz/corpus/$target" ] || { aw_log "no such fuzz target: $target"; exit 2; }

aw_install "${AW_BUILD_PACKAGES[@]}" "${AW_FUZZ_PACKAGES[@]}"
build="$AW_ROOT/build-fuzz"
cmake -S "$AW_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DAW_FUZZ=ON -DAW_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "fuzz_$target"

mkdir -p "$build/corpus/$target" "$build/findings/$target"
cp -n "$AW_ROOT/tests/fuzz/corpus/$target"/* "$build/corpus/$target/"
# The sound and music targets open the dummy audio device. No input may cost more than the
# media budgets allow (an atlas page of 64 MB, 32 MB of sounds) with room for the sanitizers:
# one that asks for more is a finding, as a 33-byte image whose atlas page took 2 GB was.
SDL_AUDIODRIVER=dummy "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
    -max_len=8192 -rss_limit_mb=1024 -malloc_limit_mb=160 -print_final_stats=1 -artifact_prefix="$build/findings/$target/" "$@" \
    "$build/corpus/$target"
