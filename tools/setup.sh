# Shared by run.sh and test.sh: installs what the build needs and builds the game.
# Source it; it defines functions only.

AW_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# What building and running the game needs.
AW_BUILD_PACKAGES=(build-essential cmake pkg-config libsdl1.2-dev libsdl-image1.2-dev
    libsdl-mixer1.2-dev libgl-dev libx11-dev libfreetype-dev libtinyxml-dev libenet-dev libstrophe-dev libgtest-dev libbenchmark-dev
    fonts-dejavu-core)
# What making the Debian package adds (CPack finds the program with file, its libraries'
# packages with dpkg-shlibdeps).
AW_PACKAGE_PACKAGES=(file dpkg-dev)
# What the tests add: a virtual X server with software OpenGL, input, clipboard and screenshot
# tools, and the checkers of the package, the desktop entry and the AppStream metadata, and an OCR
# program to read the match summary's figures off a screenshot, and GNU parallel to split an
# arena tournament into shards, and the lobby's chat server (Prosody, which brings the Lua
# modules it needs).
AW_TEST_PACKAGES=(xvfb xdotool xclip x11-utils imagemagick xauth libgl1-mesa-dri python3
    "${AW_PACKAGE_PACKAGES[@]}" lintian desktop-file-utils appstream tesseract-ocr parallel prosody)

# What tools/fuzz.sh adds: clang with libFuzzer and the sanitizer runtimes. (./test.sh
# --sanitize builds with the compiler above, whose sanitizer runtimes come with it.)
AW_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

aw_log() { echo "[ampwarden] $*" >&2; }

# Installs the given Debian packages that are not installed yet; does nothing when all are.
aw_install() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    aw_log "installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            aw_log "need root or sudo to install: ${missing[*]}"
            return 1
        fi
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q || return 1
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        "${missing[@]}" </dev/null || return 1
}

# Configures and builds an optimised build (assertions stay on) into the given directory;
# further arguments name the targets to build (all of them when none are given).
aw_build() {
    local dir="$1"
    shift
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    cmake -S "$AW_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null || return 1
    cmake --build "$dir" -j"$(nproc)" "${targets[@]}" || return 1
}
