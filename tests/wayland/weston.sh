#!/usr/bin/env bash
# Plays the built game as a Wayland client: weston runs with its X11 back end in a window that
# covers the test X server's screen, and the game joins it with no X display of its own. XTest
# input to the X server reaches weston's window and so the game, and the picture weston shows is
# read back from the X screen, so the whole-game X11 test plays it unchanged.
#   weston.sh STATE_DIR GAME TEST [ARGUMENT...]
# STATE_DIR holds weston's private runtime directory while it runs; TEST is the whole-game test
# program, run with its arguments. Weston is stopped and its directory removed however this ends.
set -u

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

runtime=
weston_pid=
stop_weston() {
    if [ -n "$weston_pid" ]; then
        # A weston stuck in its start does not answer SIGTERM.
        kill -TERM "$weston_pid" 2>/dev/null
        for _ in $(seq 1 50); do
            kill -0 "$weston_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$weston_pid" 2>/dev/null
        wait "$weston_pid" 2>/dev/null
    fi
    [ -z "$runtime" ] || rm -rf -- "$runtime"
}
trap stop_weston EXIT
trap 'exit 1' INT TERM HUP

[ $# -ge 3 ] || {
    echo "usage: $0 STATE_DIR GAME TEST [ARGUMENT...]" >&2
    exit 2
}
state=$1 game=$2
shift 2
command -v weston >/dev/null || fail "weston is missing: install the Debian package 'weston'"
[ -x "$game" ] || fail "$game is not a program"
source "$(dirname "$0")/../display.sh"

# Without a window manager weston cannot ask for full screen (it waits for one that never
# comes), so its window takes the screen's size instead and lands at the top-left corner.
size=$(xdpyinfo -display "$DISPLAY" 2>/dev/null | awk '$1 == "dimensions:" { print $2 }')
[[ $size =~ ^([0-9]+)x([0-9]+)$ ]] || fail "cannot read the size of the screen of $DISPLAY"
width=${BASH_REMATCH[1]} height=${BASH_REMATCH[2]}

# mktemp makes the directory with mode 0700, as libwayland wants of XDG_RUNTIME_DIR. A socket's
# path may hold only 107 bytes: a deep build tree gets the directory in /tmp instead.
socket=wayland-pelmora
mkdir -p "$state" || fail "cannot make $state"
runtime=$(mktemp -d "$state/weston.XXXXXX") || fail "cannot make a directory in $state"
if [ $((${#runtime} + ${#socket} + 1)) -gt 107 ]; then
    rm -rf -- "$runtime"
    runtime=$(mktemp -d "${TMPDIR:-/tmp}/pelmora-weston.XXXXXX") || fail "cannot make a directory"
fi

show_weston_log() {
    echo "---- weston's log"
    cat "$runtime/weston.log" "$runtime/weston.out" 2>/dev/null
    echo "----"
}

# The kiosk shell shows the game's window alone, with no panel or background of its own; idle
# time 0 keeps weston from blanking the screen during a slow run.
XDG_RUNTIME_DIR=$runtime weston --backend=x11-backend.so --width="$width" --height="$height" \
    --use-pixman --shell=kiosk-shell.so --socket="$socket" --idle-time=0 --no-config \
    --log="$runtime/weston.log" >"$runtime/weston.out" 2>&1 </dev/null &
weston_pid=$!
for _ in $(seq 1 200); do
    [ -S "$runtime/$socket" ] && break
    if ! kill -0 "$weston_pid" 2>/dev/null; then
        show_weston_log
        fail "weston ended before it made its socket"
    fi
    sleep 0.1
done
[ -S "$runtime/$socket" ] || {
    show_weston_log
    fail "no socket $runtime/$socket after 20 s"
}

# The game finds weston only through the Wayland variables: with DISPLAY unset it cannot fall
# back to the X server behind weston. The test starts the command with sh -c, hence the quotes.
quote() { printf "'%s'" "${1//\'/\'\\\'\'}"; }
PELMORA_GAME_COMMAND="env -u DISPLAY SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY=$socket"
PELMORA_GAME_COMMAND+=" XDG_RUNTIME_DIR=$(quote "$runtime") $(quote "$game")"
export PELMORA_GAME_COMMAND
if ! "$@"; then
    show_weston_log
    fail "the whole-game test failed on weston"
fi
if ! kill -0 "$weston_pid" 2>/dev/null; then
    show_weston_log
    fail "weston ended during the game"
fi
