#!/usr/bin/env bash
# Starts or stops the Xvfb that the X server tests share:
#   xvfb.sh start|stop <state directory>
# The server takes whichever display is free when it starts (Xvfb -displayfd), so that two test
# runs, the benchmarks and other programs' servers on one machine never meet, and the display's
# name (":3", say) is written to xvfb.display in the state directory; the tests read it from
# there (tests/display.sh, and the test programs' common main). The process id and the log stay
# beside it (the build's tests folder), not in /tmp. -noreset keeps a keyboard layout set with
# setxkbmap after the last client leaves.
# The server is stopped by its process id. Nothing else is touched: no lock file or socket of
# any display is removed here (the server removes its own as it ends).
set -eu
action=$1
state=$2
pidfile=$state/xvfb.pid
display_file=$state/xvfb.display
number_file=$state/xvfb.number

# Whether the process is an Xvfb that runs. Nobody here is its parent, so once it ends it may
# stay a zombie until whoever inherited it reaps it: that one has ended too.
running_xvfb() {
    local stat
    [ "$(cat "/proc/$1/comm" 2>/dev/null)" = Xvfb ] && stat=$(cat "/proc/$1/stat" 2>/dev/null) &&
        [ "$(cut -d' ' -f3 <<<"$stat")" != Z ]
}

# The Xvfb that a start in this state directory left running: a process of that id that is not
# a running Xvfb is not ours.
our_server() {
    local pid
    pid=$(cat "$pidfile" 2>/dev/null) || return 1
    [ -n "$pid" ] && running_xvfb "$pid" || return 1
    echo "$pid"
}

stop_server() {
    local pid
    if pid=$(our_server); then
        kill "$pid" 2>/dev/null || true
        # Waiting lets the server take its lock file and socket away before the next start; one
        # that does not end is killed, and the next Xvfb finds its lock stale.
        for _ in $(seq 1 50); do
            running_xvfb "$pid" || break
            sleep 0.1
        done
        if running_xvfb "$pid"; then
            kill -KILL "$pid" 2>/dev/null || true
        fi
    fi
    rm -f "$pidfile" "$display_file" "$number_file"
}

case $action in
start)
    stop_server # left running by a run that was interrupted
    # Xvfb writes the number of the display it took to descriptor 3 once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp \
        3>"$number_file" >"$state/xvfb.log" 2>&1 &
    server=$!
    echo $server >"$pidfile"
    for _ in $(seq 1 100); do
        if read -r number <"$number_file"; then
            # Written whole or not at all: a test never reads half a name.
            echo ":$number" >"$display_file.new"
            mv "$display_file.new" "$display_file"
            rm -f "$number_file"
            echo "Xvfb serves :$number"
            exit 0
        fi
        kill -0 $server 2>/dev/null || break
        sleep 0.1
    done
    echo "Xvfb did not start; its log, $state/xvfb.log:" >&2
    cat "$state/xvfb.log" >&2
    stop_server
    exit 1
    ;;
stop)
    stop_server
    ;;
*)
    echo "usage: $0 start|stop STATE_DIRECTORY" >&2
    exit 2
    ;;
esac
