#!/usr/bin/env bash
# Builds every configuration and runs every test. The workflow preset `full` (CMakePresets.json)
# does the linux part in order: the Windows cross-build and the web build with both release zips
# (build preset `siblings`; the Windows zip packs the game's data, which the linux build makes),
# the linux build with tests, tools, data and benchmarks, the Debian package, and
# ctest --preset linux, which plays the Windows build under Wine and the web page in headless
# Chromium. Then the sanitizer build with the same tests, and the libFuzzer targets. Exits
# non-zero when any step fails; every step runs even after an earlier one failed, so one run
# shows all breakage.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/deps.sh

pelmora_ensure_packages "${PELMORA_TEST_PACKAGES[@]}" || exit 1

jobs=${PELMORA_JOBS:-2}
# Every build the workflow runs takes its number of jobs from here, the sibling builds too.
export CMAKE_BUILD_PARALLEL_LEVEL=$jobs
logdir=build/test-logs
mkdir -p "$logdir"
rm -f "$logdir"/*.log # a summary of this run only
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

# The output goes to the console and to a log, so that ctest's summary can be shown again at the
# end, after the long build output.
logged() {
    local log=$1
    shift
    "$@" </dev/null 2>&1 | tee "$log"
}

run_ctest() {
    logged "$logdir/ctest-$1.log" ctest --preset "$1"
}

workflow_log=$logdir/workflow-full.log
if ! step "workflow full" logged "$workflow_log" cmake --workflow --preset full; then
    # The workflow ends at its first failing step. The linux build and its tests run all the
    # same, as far as they can, when it ended before its tests did.
    if ! grep -q 'tests passed, ' "$workflow_log"; then
        step "build linux" cmake --build --preset linux -j "$jobs"
        step "ctest linux" run_ctest linux
    fi
fi
step "configure sanitize" cmake --preset sanitize &&
    step "build sanitize" cmake --build --preset sanitize -j "$jobs"
step "configure fuzz" cmake --preset fuzz &&
    step "build fuzz" cmake --build --preset fuzz -j "$jobs"
step "ctest sanitize" run_ctest sanitize

elapsed=$(($(date +%s) - started))
echo
echo "==== Summary (${elapsed} s)"
for preset in linux sanitize; do
    log=$logdir/ctest-$preset.log
    if [ "$preset" = linux ] && [ ! -f "$log" ]; then
        log=$workflow_log # the workflow's own test step
    fi
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
