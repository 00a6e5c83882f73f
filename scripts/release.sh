#!/usr/bin/env bash
# Makes both release artefacts: build/linux/pelmora_<version>_<arch>.deb and
# build/windows/pelmora-<version>-win64.zip. The linux build comes first: it makes the game's
# data, which the zip carries too. Installs the missing Debian packages first, as play.sh does.
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
echo "Made:" build/linux/pelmora_*.deb build/windows/pelmora-*-win64.zip
