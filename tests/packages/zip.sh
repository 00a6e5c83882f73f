#!/usr/bin/env bash
# Tests of the Windows zip as a player gets it, unzipped into a fresh directory outside the build.
#   zip.sh contents ZIP VERSION SOURCE_DIR DATA_DIR
#       the files a player finds, the texts with CR LF line ends, and the exe's icon, version
#       resource and manifest read back with icoutils' wrestool
#   zip.sh play ZIP GAME_TEST LOCALE CODEPAGE [legacy]
#       the whole-game test plays the exe under Wine (WINEPREFIX from CTest), unzipped
#       into a folder whose name no single ANSI code page can spell, with Wine in LOCALE, whose
#       ANSI code page must be CODEPAGE; "legacy" plays it as Windows before 10 1903 runs it,
#       in that code page rather than the UTF-8 its manifest asks for
set -u
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

make_zip="make it with 'cmake --build --preset siblings' (the windows preset's build and its zip,\
 which takes the linux build's data)"

# same_text A B: the same text, whatever the line ends.
same_text() {
    cmp -s <(tr -d '\r' <"$1") <(tr -d '\r' <"$2")
}

check_files() {
    local source=$1 data=$2 listing
    listing=$(cd "$folder" && ls | tr '\n' ' ')
    [ "$listing" = "LICENSE.txt OFL.txt README.txt data pelmora.exe textures " ] ||
        fail "the zip's folder holds: $listing"
    same_text "$folder/LICENSE.txt" "$source/LICENSE" || fail "LICENSE.txt differs from LICENSE"
    same_text "$folder/OFL.txt" "$source/assets/fonts/OFL.txt" ||
        fail "OFL.txt is not the font's licence"
    diff -r "$folder/textures" "$data/textures" && diff -r "$folder/data" "$data/data" ||
        fail "the zip's game data differs from the linux build's"
    local text
    for text in README.txt LICENSE.txt OFL.txt; do
        check_crlf "$folder/$text"
    done
}

check_icon() {
    local exe=$1 sizes
    # icotool seeks in an icon whose large image is PNG, so it reads a file rather than a pipe.
    wrestool --extract --type=14 "$exe" >"$unpacked/icon.ico" || fail "the exe carries no icon"
    sizes=$(icotool --list "$unpacked/icon.ico" |
        sed -n 's/.*--width=\([0-9]*\) --height=\1 .*/\1/p' | sort -n | tr '\n' ' ')
    [ "$sizes" = "16 32 48 256 " ] || fail "the exe's icon has the sizes: ${sizes:-none}"
}

# The version resource: the fixed part (VS_FIXEDFILEINFO, which Explorer compares) and the
# strings the file's properties show.
check_version() {
    local exe=$1 version=$2 major minor patch
    IFS=. read -r major minor patch <<<"$version"
    local -a words
    read -r -a words <<<"$(wrestool --extract --raw --type=16 "$exe" | od -An -tx4 -v | tr '\n' ' ')"
    # VS_VERSION_INFO's header and key take 40 bytes; the fixed part starts with its signature.
    [ "${words[10]:-}" = feef04bd ] || fail "no fixed version information in the exe"
    local ms ls
    ms=$(printf '%08x' $(((major << 16) | minor)))
    ls=$(printf '%08x' $((patch << 16)))
    [ "${words[12]} ${words[13]}" = "$ms $ls" ] ||
        fail "file version words ${words[12]} ${words[13]}, not $version ($ms $ls)"
    [ "${words[14]} ${words[15]}" = "$ms $ls" ] ||
        fail "product version words ${words[14]} ${words[15]}, not $version"
    local strings key value
    strings=$(wrestool --extract --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 | tr '\0' '\n')
    for key in FileVersion ProductVersion ProductName; do
        value=$(awk -v key="$key" '$0 ~ key "$" { found = 1; next } found && NF { print; exit }' \
            <<<"$strings")
        case $key in
        ProductName) [ "$value" = Pelmora ] ;;
        *) [ "$value" = "$version" ] ;;
        esac || fail "the version resource's $key is \"$value\""
    done
}

check_manifest() {
    local exe=$1 manifest wanted
    manifest=$(wrestool --extract --raw --type=24 --name=1 "$exe")
    [ -n "$manifest" ] || fail "the exe carries no application manifest"
    for wanted in 'level="asInvoker"' \
        '>true</dpiAware>' '>PerMonitorV2</dpiAwareness>' '>UTF-8</activeCodePage>' \
        '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}' \
        '{1f676c76-80e1-4239-95bb-83d0f6d0da78}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
        grep -qF -- "$wanted" <<<"$manifest" || fail "the manifest lacks $wanted"
    done
}

# use_locale NAME: in_locale becomes the env command that runs Wine in the Unix locale NAME. Wine
# takes the Windows locale, and with it the ANSI code page, from the locale's name; its data only
# has to load. A locale the system has not generated gets C.UTF-8's data under its name
# (LOCPATH), so that Unix file names stay UTF-8 for Wine.
use_locale() {
    local name=$1
    in_locale=(env LC_ALL="$name")
    if ! locale -a | tr -d - | grep -qixF "$(tr -d - <<<"$name")"; then
        [ -d /usr/lib/locale/C.utf8 ] || fail "neither $name nor C.UTF-8 is on this system"
        make_temp_dir locales locale
        ln -s /usr/lib/locale/C.utf8 "$locales/$name"
        in_locale+=(LOCPATH="$locales")
    fi
}

# Windows before 10 1903 does not know the manifest's activeCodePage and runs the game in the
# system's code page. The element renamed, at the same length so that the resource stays whole,
# is what such a system sees.
make_legacy() {
    local exe=$1
    perl -0777 -pi -e 's/activeCodePage/legacyCodePage/g' "$exe" || fail "cannot change $exe"
    [ "$(wrestool --extract --raw --type=24 --name=1 "$exe" | grep -o legacyCodePage | wc -l)" = 2 ] ||
        fail "the manifest's activeCodePage was not renamed"
}

play() {
    local zip=$1 game_test=$2 locale=$3 codepage=$4 legacy=$5
    source "$(dirname "${BASH_SOURCE[0]}")/../display.sh"
    # Cyrillic and Latin-1 letters: no ANSI code page holds both.
    unpack "$zip" "$make_zip" "Jürgen/Мои игры"
    use_locale "$locale"
    local acp key='HKLM\System\CurrentControlSet\Control\Nls\CodePage'
    acp=$("${in_locale[@]}" wine reg query "$key" /v ACP | tr -d '\r' | awk '$1 == "ACP" { print $3 }')
    [ "$acp" = "$codepage" ] || fail "Wine in $locale runs programs with code page ${acp:-unknown}," \
        "not $codepage"
    if [ -n "$legacy" ]; then
        need_tool wrestool icoutils
        make_legacy "$folder/pelmora.exe"
    fi
    export PELMORA_GAME_COMMAND="${in_locale[*]} wine '$folder/pelmora.exe'"
    export PELMORA_RUN_DIR=$folder
    play_whole_game "$game_test"
    # The log lies beside the exe, not in a data folder the game was left in.
    [ ! -e "$folder/data/pelmora.log" ] && [ ! -e "$folder/textures/pelmora.log" ] ||
        fail "the game left its working directory for one of its data folders"
    local how="the manifest's UTF-8 code page"
    [ -n "$legacy" ] && how="code page $acp, the manifest's UTF-8 unknown"
    echo "played from $folder under $locale ($how)"
}

case ${1:-} in
contents)
    [ $# -eq 5 ] || fail "usage: $0 contents ZIP VERSION SOURCE_DIR DATA_DIR"
    need_tool wrestool icoutils
    need_tool icotool icoutils
    unpack "$2" "$make_zip"
    check_files "$4" "$5"
    check_icon "$folder/pelmora.exe"
    check_version "$folder/pelmora.exe" "$3"
    check_manifest "$folder/pelmora.exe"
    echo "zip contents, icon, version $3 and manifest as released"
    ;;
play)
    { [ $# -eq 5 ] || { [ $# -eq 6 ] && [ "$6" = legacy ]; }; } ||
        fail "usage: $0 play ZIP GAME_TEST LOCALE CODEPAGE [legacy]"
    play "$2" "$3" "$4" "$5" "${6:-}"
    ;;
*)
    fail "usage: $0 contents ZIP VERSION SOURCE_DIR DATA_DIR |" \
        "play ZIP GAME_TEST LOCALE CODEPAGE [legacy]"
    ;;
esac
