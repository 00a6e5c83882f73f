#!/usr/bin/env bash
# Starts or stops the Xvfb that the X server tests share:
#   xvfb.sh start|stop <display> <state directory>
# The server's process id and log are kept in the state directory (the build's tests folder),
# not in /tmp. -noreset keeps a keyboard layout set with setxkbmap after the last client leaves;
# the server is stopped by its process id.
set -eu
action=$1
display=${2:-:77}
state=${3:-.}
pidfile=$state/xvfb${display#:}.pid
case $action in
start)
    if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
        kill "$(cat "$pidfile")" || true
        sleep 0.5
    fi
    rm -f "/tmp/.X${display#:}-lock"
    Xvfb "$display" -screen 0 1024x768x24 -noreset -nolisten tcp >"$state/xvfb${display#:}.log" 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 1 100); do
        if xdpyinfo -display "$display" >/dev/null 2>&1; then
            exit 0
        fi
        sleep 0.1
    done
    echo "Xvfb on $display did not start" >&2
    exit 1
    ;;
stop)
    if [ -f "$pidfile" ]; then
        kill "$(cat "$pidfile")" 2>/dev/null || true
        rm -f "$pidfile"
    fi
    ;;
esac
