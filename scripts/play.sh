#!/usr/bin/env bash
# Installs what the game needs to build, builds it with its data (textures and font) and starts
# it from the build directory, which is the run directory that holds textures/ and data/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/deps.sh

# Without a desktop the game cannot open its window; say so instead of failing obscurely later.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: the game needs an X11 or Wayland desktop (DISPLAY is not set)." >&2
    exit 1
fi

pelmora_ensure_packages "${PELMORA_PLAY_PACKAGES[@]}"
cmake --preset linux
cmake --build --preset linux -j "${PELMORA_JOBS:-2}" --target pelmora

cd build/linux
exec ./pelmora
