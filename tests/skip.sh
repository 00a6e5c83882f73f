# shellcheck shell=bash
# Sourced by the tests that may be skipped: how a test that cannot run here says so. CTest
# reports the status 77 as a skip (SKIP_RETURN_CODE, which pelmora_skippable_tests() sets) and
# shows no skipped test's output, so the reason also goes to the notes file that CTest names in
# PELMORA_TEST_SKIPS, which tests/skipped.sh prints after CTest's summary.

pelmora_skip_status=77

# skip_test REASON...: ends the test as skipped.
skip_test() {
    echo "SKIPPED: $*"
    if [ -n "${PELMORA_TEST_SKIPS:-}" ]; then
        echo "$*" >>"$PELMORA_TEST_SKIPS"
    fi
    exit $pelmora_skip_status
}

# need_built FILE HOW: FILE is made by a build other than this one (the windows or the web
# preset's, a release artefact), and HOW says how to make it. Without it the test is skipped,
# but under CI=true it fails: CI must never pass with these tests left out.
need_built() {
    [ -e "$1" ] && return 0
    if [ "${CI:-}" = true ]; then
        echo "FAIL: $1 does not exist: $2 (under CI=true a missing build fails)" >&2
        exit 1
    fi
    skip_test "$1 does not exist: $2"
}
