#!/usr/bin/env bash
# The web release zip as a host gets it: unpacked into a fresh directory outside the build, its
# one folder served as it stands and played by the browser test's cases that FILTER names
# (a GoogleTest filter): the whole game, and the release page's manifest, icons and offline start.
# The other cases play the same files from the build's release folder.
#   release.sh ZIP GAME_WEB_TEST FILTER
set -u
[ $# -eq 3 ] || { echo "usage: $0 ZIP GAME_WEB_TEST FILTER" >&2; exit 2; }
zip=$1 program=$2 filter=$3
source "$(dirname "${BASH_SOURCE[0]}")/../packages/common.sh"

unpack "$zip" "make it with 'cmake --preset web && cmake --build --preset web'"
listing=$(cd "$unpacked" && ls -A | tr '\n' ' ')
[ "$listing" = "$(basename "$folder") " ] || fail "the zip holds more than one folder: $listing"
[ -f "$folder/index.html" ] || fail "the zip's folder has no index.html"
for text in README.txt LICENSE.txt OFL.txt; do
    check_crlf "$folder/$text"
done

# The program runs each case in a child and ends with "N passed, M failed".
output=$(PELMORA_WEB_PAGE=$folder "$program" --gtest_filter="$filter" 2>&1)
status=$?
echo "$output"
# The program said why it skipped (the web build's own files missing).
[ $status -eq $pelmora_skip_status ] && exit $status
[ $status -eq 0 ] || fail "the browser test failed on the unpacked zip (status $status)"
grep -Eq '^[1-9][0-9]* passed, 0 failed$' <<<"$output" || fail "the browser test ran no case"
