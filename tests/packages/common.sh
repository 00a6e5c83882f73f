# shellcheck shell=bash
# Shared by the package tests: how they fail, the tools they need, and temporary directories
# that are removed however the test ends.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# need_tool PROGRAM PACKAGE: the Debian package is named, as the build does for its own tools.
need_tool() {
    command -v "$1" >/dev/null || fail "$1 is missing: install the Debian package '$2'"
}

temp_dirs=()
remove_temp_dirs() {
    local dir
    for dir in "${temp_dirs[@]}"; do
        # Nothing in these directories is a link worth following; rm -rf never follows one.
        rm -rf -- "$dir"
    done
}
trap remove_temp_dirs EXIT

# make_temp_dir VARIABLE NAME: a fresh directory under the system's temporary directory, outside
# any build tree, removed when the test ends.
make_temp_dir() {
    local dir
    dir=$(mktemp -d "${TMPDIR:-/tmp}/pelmora-$2.XXXXXX") || fail "cannot make a temporary directory"
    temp_dirs+=("$dir")
    printf -v "$1" '%s' "$dir"
}

# Runs the whole-game test's one full game (every petal to the verdict, then Escape) and makes
# sure that it really ran: a filter that matches nothing would pass without playing.
play_whole_game() {
    local program=$1 output status
    output=$("$program" --gtest_filter=WholeGame.PlaysEveryPetalToTheVerdictAndEndsOnEscape 2>&1)
    status=$?
    echo "$output"
    [ $status -eq 0 ] || fail "the whole-game test failed (status $status)"
    grep -q '^\[  PASSED  \] 1 test' <<<"$output" || fail "the whole-game test played no game"
}
