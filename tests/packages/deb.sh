#!/usr/bin/env bash
# The Debian package as a player's system gets it: lintian finds nothing; dpkg installs it; a
# normal user with a home of their own starts the game as the desktop entry does, once to make
# the run directory and once more, reusing it, to play a whole game with the whole-game test;
# dpkg --purge then leaves nothing of the package outside the player's directory.
# A pelmora already on the machine is a player's game, which installing and purging the package
# under test would take away: the test then changes nothing and says it was skipped (status 77).
#   deb.sh DEB GAME_TEST        (on the tests' Xvfb; needs root or password-less sudo)
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

[ $# -eq 2 ] || fail "usage: $0 DEB GAME_TEST"
deb=$(readlink -f -- "$1")
game_test=$(readlink -f -- "$2")
need_built "$deb" "make it with 'cpack --preset linux'"
source "$(dirname "${BASH_SOURCE[0]}")/../display.sh"

# Any state but "not installed" (config files left by a removal too) belongs to someone else.
status=$(dpkg-query --show --showformat='${db:Status-Status} ${Version}' pelmora 2>/dev/null)
if [ -n "$status" ] && [ "${status%% *}" != not-installed ]; then
    skip_test "pelmora ${status#* } is on this machine (dpkg: ${status%% *}), a player's game" \
        "that this test would purge. It runs where pelmora is not installed, as on CI; remove" \
        "it yourself (sudo apt purge pelmora) to run it here."
fi

if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then
        exec sudo -n --preserve-env=PELMORA_TEST_DISPLAY_FILE,PELMORA_TEST_SKIPS,CI "$0" "$deb" \
            "$game_test"
    fi
    fail "installing a package needs root: run the tests as root or with password-less sudo"
fi
for tool in lintian:lintian dpkg:dpkg useradd:passwd setpriv:util-linux; do
    need_tool "${tool%%:*}" "${tool##*:}"
done

player=pelmora-player
launcher_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
pid=
ours=

cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"
        wait "$pid" 2>/dev/null
    fi
    if [ -n "$ours" ] && dpkg-query -W pelmora >/dev/null 2>&1; then
        dpkg_retry --purge pelmora >/dev/null
    fi
    if id "$player" >/dev/null 2>&1; then
        userdel "$player"
    fi
    remove_temp_dirs
}
trap cleanup EXIT

# dpkg waits for nobody: while another apt or dpkg holds its lock, try again for a while.
dpkg_retry() {
    local output
    for _ in $(seq 1 60); do
        if output=$(dpkg "$@" 2>&1); then
            echo "$output"
            return 0
        fi
        grep -q 'lock' <<<"$output" || break
        sleep 2
    done
    echo "$output" >&2
    return 1
}

# -- lintian --------------------------------------------------------------------------------
# Lintian leaves cache files in TMPDIR; it gets a directory that goes away.
make_temp_dir scratch lintian
TMPDIR=$scratch lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"

# -- install, and a player of the desktop --------------------------------------------------------
ours=yes
dpkg_retry --install "$deb" >/dev/null || fail "dpkg --install failed"
mapfile -t installed < <(dpkg-query --listfiles pelmora)
desktop=$(printf '%s\n' "${installed[@]}" | grep '^/usr/share/applications/.*\.desktop$')
[ -f "$desktop" ] || fail "the package holds no desktop file in /usr/share/applications"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -n "$exec_line" ] || fail "$desktop has no Exec line"

if id "$player" >/dev/null 2>&1; then
    userdel "$player" # left by a run that was killed
fi
make_temp_dir home player
useradd --home-dir "$home" --no-create-home --user-group --shell /bin/sh "$player" ||
    fail "cannot add the user $player"
chown "$player:" "$home"
run=$home/.local/share/pelmora

# The desktop runs the Exec line for the user with the session's environment, no more: a login
# PATH, HOME and the display.
start_command="setpriv --reuid=$player --regid=$player --init-groups env -i HOME=$home"
start_command+=" PATH=$launcher_path DISPLAY=$DISPLAY sh -c 'exec $exec_line'"

# -- first start: the launcher makes the run directory ----------------------------------------
sh -c "exec $start_command" >/dev/null 2>&1 </dev/null &
pid=$!
for _ in $(seq 1 450); do
    grep -qxF "Running main loop..." "$run/pelmora.log" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
grep -qxF "Running main loop..." "$run/pelmora.log" 2>/dev/null ||
    fail "the first start did not reach the game's main loop in $run"
kill -TERM "$pid"
wait "$pid"
status=$?
pid=
[ $status -eq 0 ] || fail "the first start ended with status $status"
for name in textures data; do
    [ "$(readlink "$run/$name")" = "/usr/share/games/pelmora/$name" ] ||
        fail "$run/$name does not link to the installed data"
done

# -- second start: the whole game, in the same directory -------------------------------------
PELMORA_GAME_COMMAND=$start_command PELMORA_RUN_DIR=$run play_whole_game "$game_test"

# The player's own log, written anew by the second start, which ended as the player ended it.
log=$run/pelmora.log
[ "$(stat -c %U "$log")" = "$player" ] || fail "$log does not belong to the player"
[ "$(grep -cxF "Application initialising..." "$log")" = 1 ] || fail "$log was not written anew"
[ "$(tail -n 1 "$log")" = "Application terminated" ] || fail "$log does not end the game"

# -- purge: nothing of the package stays, the player's directory does ----------------------------
dpkg_retry --purge pelmora >/dev/null || fail "dpkg --purge failed"
left=()
for path in "${installed[@]}"; do
    # Shared directories (/usr/games, the icon theme's) stay where another package owns them.
    if [ -e "$path" ] && ! dpkg-query --search "$path" >/dev/null 2>&1; then
        left+=("$path")
    fi
done
[ ${#left[@]} -eq 0 ] || fail "left after dpkg --purge: ${left[*]}"
[ -f "$log" ] || fail "dpkg --purge removed the player's log"
echo "package: lintian clean, installed, played twice from $run, purged without a trace"
