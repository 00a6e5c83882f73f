#!/usr/bin/env bash
# Tests of the install rules that the Debian package wraps, in a fresh prefix outside the build.
#   install.sh tree BUILD_DIR DEB
#       `cmake --install` lays out under any prefix exactly the tree that the package holds,
#       and AppStream finds its metadata and the desktop file it names valid
#   install.sh launcher BUILD_DIR VERSION
#       the installed launcher: --help and --version answered without starting the game, a run
#       directory with links into its own prefix, and a clear message with a non-zero exit,
#       changing nothing, for each start it cannot make
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_tree() {
    make_temp_dir root install
    # The launcher is tried as another user below, who must be able to reach it.
    chmod 755 "$root"
    prefix=$root/usr
    cmake --install "$1" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
}

# Modes and paths, "drwxr-xr-x ./usr/share/" as dpkg-deb lists them.
listing_of_tree() {
    (cd "$root" && find . -mindepth 1 -printf '%M %p\n' |
        sed -e 's|^\(d.*\)$|\1/|' | sort)
}

listing_of_package() {
    dpkg-deb --contents "$1" | awk '$6 != "./" { print $1, $6 }' | sort
}

check_tree() {
    local deb=$2
    need_built "$deb" "make it with 'cpack --preset linux'"
    install_tree "$1"
    local differences
    differences=$(diff <(listing_of_package "$deb") <(listing_of_tree)) ||
        fail "the installed tree (>) and the package (<) differ:"$'\n'"$differences"
    echo "cmake --install lays out the package's $(listing_of_tree | wc -l) entries"

    # Software centres list the game only when its metadata passes without a warning.
    need_tool appstreamcli appstream
    local report
    report=$(appstreamcli validate-tree --no-net --strict "$root" 2>&1) ||
        fail "appstreamcli finds the installed metadata invalid:"$'\n'"$report"
    grep -qE '^ *[EWI]: ' <<<"$report" && fail "appstreamcli reports:"$'\n'"$report"
    echo "appstreamcli: $(tail -n 1 <<<"$report")"
}

# launch EXPECTED_STATUS MESSAGE [env settings...] [-- arguments...]: runs the launcher with
# exactly the given environment and arguments and checks its exit status and the message it
# prints, which it keeps in $output.
launch() {
    local expected=$1 message=$2
    shift 2
    local settings=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        settings+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    local status
    output=$("${as_player[@]}" env -i "${settings[@]}" "$prefix/games/pelmora" "$@" 2>&1)
    status=$?
    [ $status -eq "$expected" ] || fail "status $status, not $expected, with $*: $output"
    grep -qF -- "$message" <<<"$output" || fail "no \"$message\" with $*, but: $output"
}

check_launcher() {
    local version=$2
    install_tree "$1"
    make_temp_dir player launcher
    chmod 755 "$player"
    # Root may write anywhere; the unwritable directory is tried by a user who may not.
    as_player=()
    if [ "$(id -u)" -eq 0 ]; then
        need_tool setpriv util-linux
        as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups)
        chown 65534:65534 "$player"
    fi

    # A display that no X server can serve, whatever runs on this machine: its number is not a
    # number, so Xlib refuses it without looking for a server (any real number may be taken).
    local no_server=:none
    # A good start: the run directory with links into this prefix's data, and the game started
    # there. With no X server behind DISPLAY the game stops at once, after creating its log.
    local home=$player/home run=$player/home/.local/share/pelmora name
    "${as_player[@]}" mkdir "$home"
    "${as_player[@]}" env -i HOME="$home" DISPLAY=$no_server "$prefix/games/pelmora" >/dev/null 2>&1
    for name in textures data; do
        [ "$(readlink "$run/$name")" = "$prefix/share/games/pelmora/$name" ] ||
            fail "$run/$name does not link to $prefix/share/games/pelmora/$name"
    done
    [ -f "$run/pelmora.log" ] || fail "the game did not start in $run"

    launch 1 "no display" HOME="$player/nodisplay"
    [ ! -e "$player/nodisplay" ] || fail "a start without a display made $player/nodisplay"
    launch 1 "HOME is not set" DISPLAY=$no_server
    launch 1 "HOME is $player/missing, which does not exist" HOME="$player/missing" DISPLAY=$no_server
    [ ! -e "$player/missing" ] || fail "a start with a missing HOME made it"
    # The root as HOME, which the player cannot write to: its paths have no "//".
    launch 1 "cannot create /.local/share/pelmora" HOME=/ DISPLAY=$no_server
    ! grep -qF // <<<"$output" || fail "a doubled slash with HOME=/: $output"

    # --help and --version answer with and without a display, and start nothing: no run
    # directory, no log.
    local fresh=$player/fresh
    "${as_player[@]}" mkdir "$fresh"
    launch 0 "Usage: pelmora [--help | --version]" -- --help
    launch 0 "pelmora $version" HOME="$fresh" DISPLAY=$no_server -- --version
    [ "$output" = "pelmora $version" ] || fail "--version prints: $output"
    launch 0 "Usage: pelmora" HOME="$fresh" DISPLAY=$no_server -- --help
    launch 2 "takes no arguments" HOME="$fresh" DISPLAY=$no_server -- --fullscreen
    [ -z "$(ls -A "$fresh")" ] || fail "--help, --version or an argument made: $(ls -A "$fresh")"

    local locked=$player/locked
    mkdir -m 555 "$locked"
    launch 1 "cannot create $locked/pelmora" HOME="$home" XDG_DATA_HOME="$locked" DISPLAY=$no_server

    # Something of the player's where either link belongs is kept as it is, and the refusal
    # leaves the other place as it was.
    local own other
    for name in textures data; do
        own=$player/own-$name
        other=textures
        [ "$name" = textures ] && other=data
        "${as_player[@]}" mkdir -p "$own/pelmora"
        echo "the player's own" | "${as_player[@]}" tee "$own/pelmora/$name" >/dev/null
        launch 1 "$own/pelmora/$name is in the way" HOME="$home" XDG_DATA_HOME="$own" DISPLAY=$no_server
        [ "$(cat "$own/pelmora/$name")" = "the player's own" ] || fail "$name was changed"
        [ ! -e "$own/pelmora/$other" ] && [ ! -L "$own/pelmora/$other" ] ||
            fail "the launcher made $other although it refused to start"
    done
    echo "launcher: --help and --version answered; links into $prefix; no display, no or a" \
        "missing HOME, unwritable, textures or data in the way refused"
}

case ${1:-} in
tree)
    [ $# -eq 3 ] || fail "usage: $0 tree BUILD_DIR DEB"
    check_tree "$2" "$3"
    ;;
launcher)
    [ $# -eq 3 ] || fail "usage: $0 launcher BUILD_DIR VERSION"
    check_launcher "$2" "$3"
    ;;
*)
    fail "usage: $0 tree BUILD_DIR DEB | launcher BUILD_DIR VERSION"
    ;;
esac
