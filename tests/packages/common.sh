# shellcheck shell=bash
# Shared by the package tests (and the web zip's): how they fail, the tools they need, temporary
# directories that are removed however the test ends, unpacking a zip, the players' texts; and
# how a test is skipped (tests/skip.sh).
source "$(dirname "${BASH_SOURCE[0]}")/../skip.sh"

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

# unpack ZIP HOW [SUBDIR]: the zip unpacked into a fresh directory, or into SUBDIR made inside
# one; HOW says how to make a zip that is missing (need_built then skips the test). Everything
# must sit in one folder named after the zip, so that unpacking spills nothing: $folder.
unpack() {
    local zip=$1 place
    need_built "$zip" "$2"
    make_temp_dir unpacked zip
    place=$unpacked${3:+/$3}
    mkdir -p "$place" || fail "cannot make $place"
    (cd "$place" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
    folder=$place/$(basename "$zip" .zip)
    [ -d "$folder" ] || fail "the zip has no top folder $(basename "$zip" .zip)/"
}

# check_crlf FILE: a text for players, opened in Notepad as readily as anywhere: more than a few
# lines, every one ending with CR LF.
check_crlf() {
    local lines crlf
    [ -f "$1" ] || fail "there is no $(basename "$1")"
    lines=$(wc -l <"$1")
    crlf=$(grep -c $'\r$' "$1")
    [ "$lines" -gt 5 ] && [ "$lines" = "$crlf" ] ||
        fail "$(basename "$1"): $crlf of $lines lines end with CR LF"
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
