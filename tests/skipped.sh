#!/usr/bin/env bash
# Run by ctest after the tests (CTEST_CUSTOM_POST_TEST, in the build's CTestCustom.cmake). CTest
# shows no skipped test's output, so the reasons that the skipped tests noted (tests/skip.sh,
# tests/support/TestSupport.h) are printed here, each once; then the notes go.
#   skipped.sh NOTES
notes=$1
[ -s "$notes" ] || exit 0
echo
echo "Why tests were skipped:"
sort -u "$notes" | sed 's/^/  /'
if grep -q ' does not exist: ' "$notes"; then
    echo "Every build that the tests use, made at once: cmake --build --preset siblings"
    echo "(from the source directory; or the whole run: cmake --workflow --preset full)"
fi
rm -f "$notes"
