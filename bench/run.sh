#!/bin/bash
# Installs what is missing of the benchmark packages (PELMORA_BENCH_PACKAGES in scripts/deps.sh),
# builds the benchmarks and runs them all on a private Xvfb with openbox as the window manager,
# then prints the table: the game against the bare SDL2 programs, side by side in one run, and
# the web release page in headless Chromium (bench/web_bench.py).
#   bash bench/run.sh [build-dir]        (default: build/linux, configured with the linux preset)
# The Xvfb takes whichever display is free, as the tests' does (tests/xvfb.sh starts both).
# Environment: PELMORA_BENCH_RUNS (start-up runs, 11), PELMORA_BENCH_FRAME_RUNS (3),
# PELMORA_BENCH_FRAMES (1000), PELMORA_BENCH_CALLGRIND (1; 0 skips),
# PELMORA_BENCH_THROTTLED_RUNS (the web page's throttled cold loads, 5), PELMORA_BENCH_PARTS (the
# parts to run, of "startup frames callgrind readers web"; all of them unless set).
set -euo pipefail

SRC=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/deps.sh
source "$SRC/scripts/deps.sh"
pelmora_ensure_packages "${PELMORA_BENCH_PACKAGES[@]}"
BUILD=${1:-$SRC/build/linux}
RUNS=${PELMORA_BENCH_RUNS:-11}
FRAME_RUNS=${PELMORA_BENCH_FRAME_RUNS:-3}
FRAMES=${PELMORA_BENCH_FRAMES:-1000}
WARMUP=100

if [ -z "${1:-}" ]; then
    (cd "$SRC" && cmake --preset linux >/dev/null)
else
    cmake -S "$SRC" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD" -j2 --target bench >/dev/null

GAME=$BUILD/pelmora
PROBE=$BUILD/bench/pelmora-bench-probe.so
HARNESS=$BUILD/bench/bench-harness
BARE_STARTUP=$BUILD/bench/bench-bare-startup
BARE_FRAME=$BUILD/bench/bench-bare-frame
FIRST_DRAW=$BUILD/bench/bench-first-draw
PARTS=" ${PELMORA_BENCH_PARTS:-startup frames callgrind readers web} "
part() { [[ "$PARTS" == *" $1 "* ]]; }
WORK=$(mktemp -d /tmp/pelmora-bench.XXXXXX)

# ---- Display: Xvfb with a window manager, as on a desktop; both stopped by pid at the end.
WM_PID=
cleanup() {
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
    "$SRC/tests/xvfb.sh" stop "$WORK"
    rm -rf "$WORK"
}
trap cleanup EXIT
"$SRC/tests/xvfb.sh" start "$WORK" >/dev/null
DISPLAY_NAME=$(cat "$WORK/xvfb.display")
export DISPLAY=$DISPLAY_NAME
openbox >"$WORK/openbox.log" 2>&1 &
WM_PID=$!
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done
sleep 0.5

# The game runs in a directory of its own with the build's data, so its log stays out of the way.
RUN=$WORK/run
mkdir -p "$RUN"
ln -s "$BUILD/textures" "$RUN/textures"
ln -s "$BUILD/data" "$RUN/data"
cd "$RUN"

median() { sort -n | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# ---- Start-up, interleaved so that all sides see the same load on the machine: the game, the
# clear-only program, the game's picture drawn in the game's states and in the fewest states.
# The probe also notes each program's SDL start-up calls and texture uploads (steps.*), and
# bench-first-draw the first drawing in each combination of states, one process each.
# Mesa's shader cache is left as a desktop has it: each program's drawing code is made once and
# then read from the cache, so the runs after the first see what a player's later starts see.
COMBINATIONS="rgb:repeat:replace:opaque:mip rgba:repeat:replace:opaque:mip
rgba:clamp:replace:blend:mip rgba:repeat:replace:blend:mip alpha:repeat:modulate:blend:one
rgba:repeat:modulate:blend:one rgba:edge:modulate:blend:one"
# Where no session bus is set up, the game makes SDL skip its search for one; the yardsticks,
# which stand for programs that use no message bus at all, skip it too (their own SDL would
# otherwise fork the bus library's helper and start later than such a program).
YARDSTICK=(env)
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && ! [ -S "${XDG_RUNTIME_DIR:-/nonexistent}/bus" ]; then
    YARDSTICK=(env DBUS_SESSION_BUS_ADDRESS=disabled:)
fi
if part startup; then
    echo "start-up: $RUNS runs each" >&2
    for _ in $(seq "$RUNS"); do
        PELMORA_BENCH_STEPS=$WORK/steps.game "$HARNESS" startup "$PROBE" "$GAME" >>"$WORK/startup.game"
        PELMORA_BENCH_STEPS=$WORK/steps.bare "${YARDSTICK[@]}" "$HARNESS" startup "$PROBE" "$BARE_STARTUP" \
            >>"$WORK/startup.bare"
        PELMORA_BENCH_STEPS=$WORK/steps.bareframe "${YARDSTICK[@]}" "$HARNESS" startup "$PROBE" "$BARE_FRAME" \
            "$SRC/assets" >>"$WORK/startup.bareframe"
        PELMORA_BENCH_STEPS=$WORK/steps.fewest "${YARDSTICK[@]}" "$HARNESS" startup "$PROBE" "$BARE_FRAME" \
            --fewest-states "$SRC/assets" >>"$WORK/startup.fewest"
        for c in $COMBINATIONS; do
            "$FIRST_DRAW" "$c" >>"$WORK/firstdraw"
        done
    done
fi

# ---- Frame rate with a 49-petal flower; swap interval 0 (llvmpipe has no vsync at all).
if part frames; then
    echo "frames: $FRAME_RUNS runs of $FRAMES frames each" >&2
    export PELMORA_BENCH_WARMUP=$WARMUP PELMORA_BENCH_FRAMES=$FRAMES
    for _ in $(seq "$FRAME_RUNS"); do
        PELMORA_BENCH_PIN_SEED=1 "$HARNESS" frames "$PROBE" "$GAME" >>"$WORK/frames.game"
        "$HARNESS" frames "$PROBE" "$BARE_FRAME" "$SRC/assets" >>"$WORK/frames.bare"
    done
    unset PELMORA_BENCH_WARMUP PELMORA_BENCH_FRAMES
fi

# ---- Instructions per frame in the pelmora binary (engine and game are linked into it): the
# difference of two runs of different lengths removes start-up. llvmpipe on one thread.
IR_ENGINE=skipped
IR_LIBM=skipped
if [ "${PELMORA_BENCH_CALLGRIND:-1}" != 0 ] && part callgrind; then
    echo "callgrind: two runs (a minute or two)" >&2
    selfCost() { # <callgrind file> <object path>: sum of the object's functions' self cost
        callgrind_annotate --inclusive=no --threshold=100 "$1" |
            awk -v obj="[$2]" '$NF == obj {gsub(",", "", $1); sum += $1} END {print sum + 0}'
    }
    LIBM=$(ldd "$GAME" | awk '$1 ~ /^libm\.so/ {print $3}')
    LIBM=$(readlink -f "$LIBM")
    for n in 5 25; do
        LP_NUM_THREADS=0 PELMORA_BENCH_PIN_SEED=1 PELMORA_BENCH_MODE=frames PELMORA_BENCH_WARMUP=1 \
            PELMORA_BENCH_FRAMES=$((n - 1)) PELMORA_BENCH_OUT=$WORK/cg.out LD_PRELOAD=$PROBE \
            valgrind --tool=callgrind --callgrind-out-file="$WORK/cg.$n" "$GAME" >/dev/null 2>&1
    done
    IR_ENGINE=$(( ($(selfCost "$WORK/cg.25" "$GAME") - $(selfCost "$WORK/cg.5" "$GAME")) / 20 ))
    IR_LIBM=$(( ($(selfCost "$WORK/cg.25" "$LIBM") - $(selfCost "$WORK/cg.5" "$LIBM")) / 20 ))
fi

# ---- Readers from memory, and the game's own files read without GL (Google Benchmark).
touch "$WORK/readers.csv"
if part readers; then
    echo "readers: Google Benchmark" >&2
    "$BUILD/bench/bench-readers" --benchmark_format=csv --benchmark_min_time=0.3 \
        >"$WORK/readers.csv" 2>/dev/null
fi
readerRate() { awk -F, -v n="\"$1\"" '$1 == n {printf "%.0f", $6 / 1048576}' "$WORK/readers.csv"; }
readerTime() { awk -F, -v n="\"$1\"" '$1 == n {printf "%.2f", $3}' "$WORK/readers.csv"; }

# ---- The web release page in headless Chromium: cold, warm and throttled navigation to first
# frame, frames per second, and the bytes a cold load costs.
W_COLD=skipped W_WARM=skipped W_THROTTLED=skipped W_FLOOR=skipped W_FIRST_BYTES=skipped W_FPS=skipped
W_BYTES=skipped W_FILES=skipped
THROTTLED_RUNS=${PELMORA_BENCH_THROTTLED_RUNS:-5}
if part web; then
    echo "web: the release page in headless Chromium" >&2
    (cd "$SRC" && cmake --preset web >/dev/null && cmake --build --preset web -j2 >/dev/null)
    WEB=$SRC/build/web/pelmora-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$SRC/build/web/CMakeCache.txt")-web
    read -r W_COLD W_WARM W_THROTTLED W_FLOOR W_FIRST_BYTES W_FPS W_BYTES < <(/usr/bin/python3 "$SRC/bench/web_bench.py" \
        "$WEB" "$RUNS" "$FRAMES" "$THROTTLED_RUNS" 2>"$WORK/web.requests")
    W_FILES=$(cd "$WEB" && for f in index.html page.js pelmora.js.gz pelmora.wasm.gz pelmora.data.gz \
        pelmora.js pelmora.wasm pelmora.data pelmora.webmanifest sw.js favicon.ico \
        icons/pelmora-192.png icons/pelmora-512.png; do
        printf '%s %s, ' "$f" "$(stat -c %s "$f")"; done | sed 's/, $//')
fi

# ---- The table. A part that did not run leaves its figures as "-".
col() { # <file> <column>: the median of that column, or - without figures
    if [ -s "$1" ]; then awk -v c="$2" '$c >= 0 {print $c}' "$1" | median; else echo -; fi
}
G_START=$(col "$WORK/startup.game" 1)
B_START=$(col "$WORK/startup.bare" 1)
BF_START=$(col "$WORK/startup.bareframe" 1)
F_START=$(col "$WORK/startup.fewest" 1)
G_LOAD=$(col "$WORK/startup.game" 2)
G_FRAME=$(col "$WORK/startup.game" 4)
B_FRAME=$(col "$WORK/startup.bare" 4)
BF_FRAME=$(col "$WORK/startup.bareframe" 4)
F_FRAME=$(col "$WORK/startup.fewest" 4)
G_FPS=$(col "$WORK/frames.game" 1)
B_FPS=$(col "$WORK/frames.bare" 1)
G_RSS=$(awk '{print $2}' "$WORK/frames.game" 2>/dev/null | sort -n | tail -1 || true)
B_RSS=$(awk '{print $2}' "$WORK/frames.bare" 2>/dev/null | sort -n | tail -1 || true)
BS_RSS=$(awk '{print $3}' "$WORK/startup.bare" 2>/dev/null | sort -n | tail -1)
number() { [[ "$1" =~ ^[0-9.]+$ ]] && [ "$1" != 0 ]; }
ratio() { if number "$1" && number "$2"; then awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; else echo -; fi; }
mib() { if number "$1"; then awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; else echo -; fi; }
# The median time of each step over the runs of one program: "<step> <ms> <calls>" lines.
stepMedians() {
    [ -s "$1" ] || return 0
    awk '$1 != "-" {print}' "$1" | sort -k1,1 -k2,2n |
        awk '{n[$1]++; v[$1, n[$1]] = $2; calls[$1] = $3}
             END {for (s in n) {m = n[s]; h = int((m + 1) / 2);
                  x = m % 2 ? v[s, h] : (v[s, h] + v[s, h + 1]) / 2; printf "%s %.2f %d\n", s, x, calls[s]}}' |
        sort
}
stepOf() { awk -v s="$2" '$1 == s {printf "%s (%d)", $2, $3; found = 1} END {if (!found) print "-"}' "$1"; }

echo
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores;" \
    "Mesa $(dpkg-query -W -f='${Version}' libgl1-mesa-dri 2>/dev/null || echo '?') llvmpipe," \
    "SDL $(pkg-config --modversion sdl2 2>/dev/null || echo '?'), on Xvfb $DISPLAY_NAME with openbox; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| Figure | Pelmora | Bare program | Ratio | Goal |"
echo "|---|---|---|---|---|"
echo "| Start-up to first frame, ms (median of $RUNS) | $G_START | $B_START (clear only) | $(ratio "$G_START" "$B_START") | <= 1.15 |"
echo "| Start-up to first frame, ms, program drawing the game's picture in the fewest states | $G_START | $F_START | $(ratio "$G_START" "$F_START") | <= 1.00 |"
echo "| Start-up to first frame, ms, program drawing the game's picture in the game's states | $G_START | $BF_START | $(ratio "$G_START" "$BF_START") | (reference) |"
echo "| First frame's drawing (its clear to its presentation), ms | $G_FRAME | $F_FRAME (fewest states) / $BF_FRAME (game's states) / $B_FRAME (clear only) | $(ratio "$G_FRAME" "$F_FRAME") | - |"
echo "| Frames per second, swap interval 0, 49 petals (median of $FRAME_RUNS x $FRAMES) | $G_FPS | $B_FPS | $(ratio "$G_FPS" "$B_FPS") | >= 0.90 |"
echo "| Instructions per frame in the pelmora binary (callgrind) | $IR_ENGINE | - | - | < 100000 |"
echo "| Instructions per frame in libm (the flower's sin and cos) | $IR_LIBM | - | - | - |"
echo "| Asset loading in the game: 5 textures + font, ms (median of $RUNS) | $G_LOAD | - | - | - |"
echo "| The same files read without GL upload, ms (Google Benchmark) | $(readerTime gameAssetsRead) | - | - | - |"
echo "| .glt reader, 2048 x 2048 RGBA from memory, MiB/s | $(readerRate textureReader/2048) | - | - | - |"
echo "| .glf reader, 4096 x 4096 alpha from memory, MiB/s | $(readerRate fontReader/4096) | - | - | - |"
echo "| Peak resident set, MiB | $(mib "$G_RSS") | $(mib "$B_RSS") (same picture) / $(mib "$BS_RSS") (clear only) | $(ratio "$G_RSS" "$B_RSS") | - |"
echo "| Web page, headless Chromium (SwiftShader): cold navigation to first frame (caches cleared), ms (median of $RUNS) | $W_COLD | - | - | - |"
echo "| Web page: warm navigation to first frame (from the service worker's cache), ms (median of $RUNS) | $W_WARM | - | - | - |"
echo "| Web page: cold navigation to first frame, network throttled to 10 Mbit/s and 40 ms, cache off, ms (median of $THROTTLED_RUNS) | $W_THROTTLED | $W_FLOOR (the link's floor) | $(ratio "$W_THROTTLED" "$W_FLOOR") | <= 900 |"
echo "| Web page: bytes received before the first frame on that link (the floor's bytes; median) | $W_FIRST_BYTES | - | - | - |"
echo "| Web page: frames per second over $FRAMES frames (animation frames, as vsync asks) | $W_FPS | - | - | - |"
echo "| Web page: bytes sent by a plain static server for one cold load, service worker's cache filled | $W_BYTES | - | - | <= 700000 |"
echo
if [ -s "$WORK/startup.game" ]; then
    stepMedians "$WORK/steps.game" >"$WORK/steps.game.m"
    stepMedians "$WORK/steps.bare" >"$WORK/steps.bare.m"
    stepMedians "$WORK/steps.fewest" >"$WORK/steps.fewest.m"
    echo "Start-up by step: time in each call the program itself makes before its first frame, ms (calls), medians of $RUNS"
    echo
    echo "| Call | Pelmora | Clear only | Fewest states |"
    echo "|---|---|---|---|"
    for step in $(cat "$WORK"/steps.*.m | awk '{print $1}' | sort -u); do
        echo "| $step | $(stepOf "$WORK/steps.game.m" "$step") | $(stepOf "$WORK/steps.bare.m" "$step") | $(stepOf "$WORK/steps.fewest.m" "$step") |"
    done
    echo
    echo "First drawing by combination of states (format:wrap:texture mode:blending:levels), 512 x 512 quad, ms, medians of $RUNS processes"
    echo
    echo "| Combination | First use | Same texture again | Another texture of the kind | First use's extra |"
    echo "|---|---|---|---|---|"
    for c in $COMBINATIONS; do
        awk -v c="$c" '$1 == c {print $2, $3, $4}' "$WORK/firstdraw" >"$WORK/firstdraw.one"
        first=$(col "$WORK/firstdraw.one" 1) again=$(col "$WORK/firstdraw.one" 2) other=$(col "$WORK/firstdraw.one" 3)
        echo "| $c | $first | $again | $other | $(awk -v a="$first" -v b="$again" 'BEGIN {printf "%.2f", a - b}') |"
    done
fi
echo
echo "Web release files, bytes: $W_FILES"
echo "Requests of one cold load (path, status, bytes sent):"
cat "$WORK/web.requests" 2>/dev/null || true
