#!/usr/bin/env bash
# Runs the game (the Linux binary, or the Windows one under Wine) in a run directory of its own
# on the test X server, closes it and checks that it ended cleanly: exit status 0 and the four
# lifecycle lines of pelmora.log in their order.
#   game_run.sh prepare RUNDIR DATADIR PROGRAM
#       fresh RUNDIR holding a copy of PROGRAM and of DATADIR's textures/ and data/
#   game_run.sh close CLOSE RUNDIR DATADIR PROGRAM [LAUNCHER...]
#       prepare, start LAUNCHER ./PROGRAM in RUNDIR, wait for the main loop, then close it with
#       CLOSE: "alt-f4" (the window's close request, typed on the keyboard), "sigterm" or "sighup"
#       (the terminal the game was started from closing)
set -u
tests=$(dirname "${BASH_SOURCE[0]}")/..
source "$tests/skip.sh"

start_timeout=${PELMORA_START_TIMEOUT:-90}
exit_timeout=${PELMORA_EXIT_TIMEOUT:-30}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prepare() {
    local rundir=$1 datadir=$2 program=$3
    case $program in
    *.exe)
        need_built "$program" \
            "make it with 'cmake --preset windows && cmake --build --preset windows'"
        ;;
    *) [ -f "$program" ] || fail "$program does not exist: build it first" ;;
    esac
    local dir
    for dir in textures data; do
        [ -d "$datadir/$dir" ] || fail "$datadir/$dir does not exist: build the game's data first"
    done
    rm -rf "$rundir"
    mkdir -p "$rundir"
    cp "$program" "$rundir/" || fail "cannot copy $program"
    cp -r "$datadir/textures" "$datadir/data" "$rundir/" || fail "cannot copy the game's data"
}

show_output() {
    echo "---- pelmora.log"
    tr -d '\r' <"$rundir/pelmora.log" 2>/dev/null || echo "(none)"
    echo "---- output"
    cat "$rundir/output.txt" 2>/dev/null
    echo "----"
}

# The game's window: the X window named as the game names its window. Wine may also give the
# window a child of the same name; the first one found is the top-level one.
find_window() {
    local window
    for _ in $(seq 1 100); do
        window=$(xdotool search --name '^Pelmora Application$' 2>/dev/null | head -n 1)
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

close_window() {
    local window
    window=$(find_window) || fail "no window named 'Pelmora Application' on $DISPLAY"
    # No window manager gives the window the focus, so the key presses are aimed at it by hand.
    xdotool windowfocus "$window" 2>/dev/null
    sleep 0.3
    xdotool key --clearmodifiers alt+F4
}

wait_exit() {
    local deadline=$((SECONDS + exit_timeout))
    while kill -0 "$pid" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            kill -KILL "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
            show_output
            fail "the game was still running $exit_timeout s after it was asked to close"
        fi
        sleep 0.1
    done
    wait "$pid"
}

check_log() {
    # Files that Wine's C runtime writes in text mode end their lines with CR LF.
    tr -d '\r' <"$rundir/pelmora.log" | awk '
        BEGIN {
            n = split("Application initialising...|Initialisation successful|" \
                      "Running main loop...|Application terminated", want, "|")
            i = 1
        }
        i <= n && $0 == want[i] { i++ }
        { last = $0 }
        END {
            if (i <= n) { print "missing or out of order: \"" want[i] "\""; exit 1 }
            if (last != want[n]) { print "written after the end: \"" last "\""; exit 1 }
        }'
}

close_test() {
    local close=$1
    rundir=$2
    local datadir=$3 program=$4
    shift 4
    case $close in alt-f4 | sigterm | sighup) ;; *) fail "unknown way to close: $close" ;; esac
    source "$tests/display.sh"
    prepare "$rundir" "$datadir" "$program"

    (cd "$rundir" && exec "$@" "./$(basename "$program")" >output.txt 2>&1 </dev/null) &
    pid=$!

    local deadline=$((SECONDS + start_timeout))
    until grep -qF "Running main loop..." "$rundir/pelmora.log" 2>/dev/null; do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            local status=$?
            show_output
            fail "the game ended with status $status before its main loop ran"
        fi
        if [ $SECONDS -ge $deadline ]; then
            kill -KILL "$pid" 2>/dev/null
            show_output
            fail "no \"Running main loop...\" in pelmora.log after $start_timeout s"
        fi
        sleep 0.2
    done

    case $close in
    alt-f4) close_window ;;
    sigterm) kill -TERM "$pid" ;;
    sighup) kill -HUP "$pid" ;;
    esac
    wait_exit
    local status=$?
    if [ $status -ne 0 ]; then
        show_output
        fail "exit status $status after $close, not 0"
    fi
    if ! check_log; then
        show_output
        fail "pelmora.log does not hold the lifecycle lines in order"
    fi
    echo "closed by $close: exit status 0, lifecycle lines in order"
}

case ${1:-} in
prepare)
    shift
    prepare "$@"
    ;;
close)
    shift
    close_test "$@"
    ;;
*)
    echo "usage: $0 prepare RUNDIR DATADIR PROGRAM | close alt-f4|sigterm|sighup RUNDIR DATADIR PROGRAM [LAUNCHER...]" >&2
    exit 2
    ;;
esac
