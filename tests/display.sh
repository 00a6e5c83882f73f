# shellcheck shell=bash
# Sourced by the shell tests that run on the tests' X server: DISPLAY becomes the display that
# the xvfb fixture (tests/xvfb.sh) took for this run, read from the file that
# PELMORA_TEST_DISPLAY_FILE names (CTest sets it). The fixture takes a free display each time,
# so no test may assume one, nor the DISPLAY it was started with.
if [ -z "${PELMORA_TEST_DISPLAY_FILE:-}" ]; then
    echo "FAIL: PELMORA_TEST_DISPLAY_FILE is not set: run this test with ctest, whose xvfb" \
        "fixture starts the X server it runs on" >&2
    exit 1
fi
DISPLAY=$(cat "$PELMORA_TEST_DISPLAY_FILE" 2>/dev/null)
if [ -z "$DISPLAY" ]; then
    echo "FAIL: $PELMORA_TEST_DISPLAY_FILE names no display: the xvfb fixture (tests/xvfb.sh" \
        "start) has not started the tests' X server, or it has stopped" >&2
    exit 1
fi
export DISPLAY
