#!/usr/bin/env bash
# Creates the Wine prefix that the Wine tests of one test run share, and stops its wineserver
# afterwards. Runs on the test fixture's Xvfb (tests/display.sh).
#   prefix.sh setup PREFIX   fresh prefix, initialised, with unmanaged X11 windows
#   prefix.sh stop PREFIX    ends the prefix's wineserver and every process still in it
set -eu
source "$(dirname "${BASH_SOURCE[0]}")/../display.sh"
action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all
# No Mono or Gecko: their installers would open a dialog that nobody answers.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Ends the prefix's wineserver. Its socket directory, /tmp/wine-XXXXXX/server-<device>-<inode of
# the prefix> (both in hex), outlives it (even `wineserver -k` makes one when no server runs);
# that goes too, and its parent once empty.
stop_server() {
    wineserver -k 2>/dev/null || true
    local server dir
    server=$(stat -c 'server-%D-%i' "$WINEPREFIX" | awk -F- '{ printf "%s-%s-%x", $1, $2, $3 }')
    for dir in /tmp/wine-*/"$server"; do
        if [ -d "$dir" ]; then
            rm -rf "$dir"
            rmdir "${dir%/*}" 2>/dev/null || true
        fi
    done
}

case $action in
setup)
    if [ -d "$WINEPREFIX" ]; then
        stop_server
        rm -rf "$WINEPREFIX"
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    timeout 180 wineboot -i
    # Without a window manager, closing a window that Wine's X11 driver manages stalls for two
    # seconds; unmanaged windows close at once.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
    timeout 60 wineserver -w
    ;;
stop)
    if [ -d "$WINEPREFIX" ]; then
        stop_server
    fi
    ;;
*)
    echo "usage: $0 setup|stop PREFIX" >&2
    exit 2
    ;;
esac
