#!/usr/bin/env bash
# Makes the release artefacts: build/linux/pelmora_<version>_<arch>.deb,
# build/windows/pelmora-<version>-win64.zip and build/web/pelmora-<version>-web.zip. The linux
# build comes first: it makes the game's data, which the Windows zip carries too. Installs the
# missing Debian packages first, as play.sh does.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/deps.sh

pelmora_ensure_packages "${PELMORA_RELEASE_PACKAGES[@]}"
jobs=${PELMORA_JOBS:-2}

cmake --preset linux
cmake --build --preset linux -j "$jobs" --target pelmora
cpack --preset linux
cmake --preset windows
cmake --build --preset windows -j "$jobs"
cpack --preset windows
cmake --preset web
cmake --build --preset web -j "$jobs"
echo "Made:" build/linux/pelmora_*.deb build/windows/pelmora-*-win64.zip build/web/pelmora-*-web.zip
