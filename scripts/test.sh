#!/usr/bin/env bash
# Builds every configuration and runs every test: the Windows cross-build (its pelmora.exe is
# played under Wine by the linux tests), the linux build with tests, tools, data and benchmarks,
# the release artefacts made from those two (the Debian package and the Windows zip),
# the sanitizer build with the same tests, the libFuzzer targets, and the web build with its
# release zip (its page, and the unpacked zip, are played in headless Chromium by the linux
# tests). Exits non-zero when any
# step fails; every step runs even after an earlier one failed, so one run shows all breakage.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/deps.sh

pelmora_ensure_packages "${PELMORA_TEST_PACKAGES[@]}" || exit 1

jobs=${PELMORA_JOBS:-2}
logdir=build/test-logs
mkdir -p "$logdir"
failed=()
started=$(date +%s)

step() {
    local name=$1
    shift
    echo "==== $name: $*"
    if ! "$@"; then
        echo "==== $name FAILED" >&2
        failed+=("$name")
        return 1
    fi
}

# ctest's own output goes to the console and to a log, so that the summary can be shown again
# at the end, after the long build output.
run_ctest() {
    local preset=$1
    ctest --preset "$preset" </dev/null 2>&1 | tee "$logdir/ctest-$preset.log"
}

step "configure windows" cmake --preset windows &&
    step "build windows" cmake --build --preset windows -j "$jobs"
step "configure linux" cmake --preset linux &&
    step "build linux" cmake --build --preset linux -j "$jobs" &&
    step "package linux" cpack --preset linux
# The zip carries the game's data, which the linux build makes.
step "package windows" cpack --preset windows
step "configure sanitize" cmake --preset sanitize &&
    step "build sanitize" cmake --build --preset sanitize -j "$jobs"
step "configure fuzz" cmake --preset fuzz &&
    step "build fuzz" cmake --build --preset fuzz -j "$jobs"
# The web build makes its release zip too (target web_release), beside the page it plays.
step "configure web" cmake --preset web &&
    step "build web" cmake --build --preset web -j "$jobs" &&
    step "package web" cmake --build --preset web --target web_release
step "ctest linux" run_ctest linux
step "ctest sanitize" run_ctest sanitize

elapsed=$(($(date +%s) - started))
echo
echo "==== Summary (${elapsed} s)"
for preset in linux sanitize; do
    log=$logdir/ctest-$preset.log
    echo "-- ctest --preset $preset"
    if [ ! -f "$log" ]; then
        echo "(not run)"
    elif grep -q 'tests passed, ' "$log"; then
        # The pass ratio line, the total time and the list of failed tests, as ctest printed them.
        sed -n -e '/tests passed, /p' -e '/^Total Test time/p' \
            -e '/^The following tests/,/^Errors while running/p' "$log"
    else
        # ctest stopped before running anything, typically when listing a test program's cases
        # failed; say which program.
        echo "ctest ran no tests; from $log:"
        grep -E -A3 'CMake Error|Error running test executable|No tests were found' "$log" |
            grep -E 'Error|Path:|Result:|No tests'
    fi
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "FAILED steps: ${failed[*]}" >&2
    exit 1
fi
echo "All builds and tests passed."
