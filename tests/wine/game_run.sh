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
#   game_run.sh away RUNDIR DATADIR PROGRAM [LAUNCHER...]
#       prepare, start LAUNCHER RUNDIR/PROGRAM from RUNDIR/elsewhere, a folder without the game's
#       textures/ and data/, as a shortcut without a start folder does: the game must say in a
#       box what it cannot find, end with status 1 when the box is closed and make no window
#   game_run.sh second RUNDIR DATADIR PROGRAM [LAUNCHER...]
#       the same with alt-f4, but first a second copy is started in RUNDIR: it must say so in a
#       box named "Pelmora", end with status 1 once the box is closed, and leave the first one's
#       log as it was
set -u
tests=$(dirname "${BASH_SOURCE[0]}")/..
source "$tests/skip.sh"

start_timeout=${PELMORA_START_TIMEOUT:-90}
exit_timeout=${PELMORA_EXIT_TIMEOUT:-30}

# Ends with a failure, and the games this script started with it.
fail() {
    echo "FAIL: $*" >&2
    kill -KILL ${pid:-} ${second:-} 2>/dev/null
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

# The X window whose title is exactly NAME, by default the game's; waits up to TENTHS tenths of
# a second, and gives up early once the process WATCHED (a pid), if given, has ended. xwininfo
# reads titles that a program sets in UTF-8 only (as SDL's box does), which xdotool's search does
# not. Wine may also give the window a child of the same name; the tree lists the top-level one
# first.
find_window() {
    local name=${1:-Pelmora Application} tenths=${2:-100} watched=${3:-} window
    for _ in $(seq 1 "$tenths"); do
        window=$(xwininfo -root -tree 2>/dev/null |
            awk -v t=" \"$name\":" 'index($0, t) { print $1; exit }')
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        [ -z "$watched" ] || kill -0 "$watched" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Types the keys into the named window. No window manager gives the window the focus, so the
# key presses are aimed at it by hand.
type_into() {
    local name=$1 keys=$2 tenths=${3:-100} window
    window=$(find_window "$name" "$tenths") || fail "no window named '$name' on $DISPLAY"
    xdotool windowfocus "$window" 2>/dev/null
    sleep 0.3
    xdotool key --clearmodifiers "$keys"
}

close_window() {
    type_into "Pelmora Application" alt+F4
}

# A second copy started where the first one runs: a box, status 1, the first one's log untouched.
second_copy() {
    local before status
    before=$(cat "$rundir/pelmora.log")
    (cd "$rundir" && exec "$@" "./$(basename "$program")" >second.txt 2>&1 </dev/null) &
    second=$!
    type_into Pelmora Return $((start_timeout * 10))
    local deadline=$((SECONDS + exit_timeout))
    while kill -0 "$second" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || fail "the second copy was still running $exit_timeout s" \
            "after its box was closed"
        sleep 0.1
    done
    wait "$second"
    status=$?
    [ $status -eq 1 ] || fail "the second copy ended with status $status, not 1"
    if [ "$(cat "$rundir/pelmora.log")" != "$before" ]; then
        show_output
        fail "the second copy changed the first one's pelmora.log"
    fi
    echo "second copy: a box, exit status 1, the first one's log untouched"
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

away_test() {
    rundir=$1
    local datadir=$2 program=$3
    shift 3
    source "$tests/display.sh"
    prepare "$rundir" "$datadir" "$program"
    local away=$rundir/elsewhere title="Pelmora cannot find textures and data"
    mkdir "$away"

    (cd "$away" && exec "$@" "$rundir/$(basename "$program")" >"$rundir/output.txt" 2>&1 \
        </dev/null) &
    pid=$!
    local box
    if ! box=$(find_window "$title" $((start_timeout * 10)) "$pid"); then
        kill -KILL "$pid" 2>/dev/null
        show_output
        fail "no box titled '$title' on $DISPLAY"
    fi
    kill -0 "$pid" 2>/dev/null || fail "the game ended before the player read its box"
    if xwininfo -root -tree | grep -qF '"Pelmora Application"'; then
        kill -KILL "$pid" 2>/dev/null
        fail "the game made its window although it cannot play"
    fi
    # Closed as a player closes it: OK is the box's default button.
    xdotool windowfocus "$box" 2>/dev/null
    sleep 0.3
    xdotool key Return
    wait_exit
    local status=$?
    [ $status -eq 1 ] || { show_output; fail "exit status $status after the box, not 1"; }
    local said
    said=$(tr -d '\r' <"$away/pelmora.log" 2>/dev/null)
    case $said in
    "Cannot find textures and data in "*) ;;
    *) fail "pelmora.log in the folder it was started in says \"$said\"" ;;
    esac
    echo "started away from its files: a box titled '$title', exit status 1 after it"
}

close_test() {
    local close=$1 with_second=no
    rundir=$2
    local datadir=$3
    program=$4
    shift 4
    if [ "$close" = second ]; then
        close=alt-f4
        with_second=yes
    fi
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

    [ $with_second = no ] || second_copy "$@"
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
away)
    shift
    away_test "$@"
    ;;
second)
    shift
    close_test second "$@"
    ;;
*)
    echo "usage: $0 prepare RUNDIR DATADIR PROGRAM | close alt-f4|sigterm|sighup RUNDIR DATADIR PROGRAM [LAUNCHER...] | away RUNDIR DATADIR PROGRAM [LAUNCHER...] | second RUNDIR DATADIR PROGRAM [LAUNCHER...]" >&2
    exit 2
    ;;
esac
