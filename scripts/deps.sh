#!/usr/bin/env bash
# The Debian 12 packages Pelmora needs, in one place, and the function that installs the missing
# ones. Sourced by play.sh, test.sh and bench/run.sh; asks apt only when dpkg says something is
# absent.

# Building the game and its data: compilers, CMake, SDL2 and GL, and what configuring the linux
# preset looks for (the preset also finds GoogleTest, Google Benchmark and X11 when it configures).
PELMORA_BUILD_PACKAGES=(
    build-essential cmake g++ pkg-config
    libsdl2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0
    libfreetype-dev libpng-dev fonts-dejavu-core
    libgtest-dev libbenchmark-dev libx11-dev libxtst-dev
)

# Making the release artefacts (scripts/release.sh): the MinGW cross-compiler and its windres for
# the exe and its resources, icoutils for the icon, dpkg-shlibdeps and lintian for the Debian
# package. The package tests use them too, and wrestool of icoutils to read the exe back.
# The web zip needs the web build's packages (below).
PELMORA_RELEASE_PACKAGES=(
    "${PELMORA_BUILD_PACKAGES[@]}"
    g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 icoutils dpkg-dev lintian
    emscripten node-terser python3
)

# The web build (play-web.sh): Emscripten, with node and its modules, terser to minify the
# page's JavaScript, icoutils for its favicon, and the native build packages for the asset tools
# that make the page's data.
PELMORA_WEB_PACKAGES=(
    "${PELMORA_BUILD_PACKAGES[@]}"
    emscripten node-terser icoutils python3
)

# Playing the game from the build (play.sh): the build's packages and the X server's core fonts,
# which SDL's message box draws with when the game must say why it cannot start (Xorg, Xvfb and
# Xwayland find them without further setup).
PELMORA_PLAY_PACKAGES=(
    "${PELMORA_BUILD_PACKAGES[@]}"
    xfonts-base
)

# Running every test: the MinGW cross-compiler and Wine for the Windows build, clang with its
# libFuzzer runtime for the fuzz targets, the X server tools the whole-game tests drive and the
# core fonts of the game's message boxes on them, weston to play the game on Wayland (shown on
# the tests' X server), Emscripten, Chromium and a DevTools client for the web build's page, a
# font without Cyrillic letters (DejaVu Math TeX Gyre) for the font baker's refusal, and
# appstreamcli to validate the package's AppStream metadata.
PELMORA_TEST_PACKAGES=(
    "${PELMORA_BUILD_PACKAGES[@]}"
    "${PELMORA_RELEASE_PACKAGES[@]}"
    clang libclang-rt-14-dev appstream
    g++-mingw-w64-x86-64-win32 wine wine64
    xvfb x11-utils xdotool x11-xkb-utils xfonts-base weston
    emscripten node-terser chromium python3-websocket
    fonts-dejavu-extra
)

# Only for bench/run.sh, which installs them itself and which CI does not run: a window manager
# for the game's full-screen window, callgrind for instruction counts, and the web build
# played in Chromium.
PELMORA_BENCH_PACKAGES=(
    "${PELMORA_BUILD_PACKAGES[@]}"
    xvfb x11-utils openbox valgrind
    emscripten node-terser icoutils chromium python3-websocket
)

# Only for scripts/fresh-machine.sh, which tries the test run in a new Debian root: debootstrap
# makes the root and git clones the checkout into it.
PELMORA_FRESH_PACKAGES=(debootstrap git)

# Prints the packages of the arguments that dpkg does not list as installed.
pelmora_missing_packages() {
    local package status
    for package in "$@"; do
        status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
        if [ "$status" != installed ]; then
            echo "$package"
        fi
    done
}

# Installs whatever of the arguments is missing: one apt-get update, then one install, as root or
# through sudo. Does nothing (and needs no network) when everything is there already.
pelmora_ensure_packages() {
    local missing
    mapfile -t missing < <(pelmora_missing_packages "$@")
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local -a asroot=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "Missing packages (${missing[*]}) and no sudo: run this script as root." >&2
            return 1
        fi
        asroot=(sudo)
    fi
    "${asroot[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
        "${asroot[@]}" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
}
