#!/usr/bin/env bash
# Builds the game for web browsers (the web preset: the release folder
# build/web/pelmora-<version>-web/, the same files as the web zip) and serves that folder on this
# machine with Python's http.server; open the address it prints in a browser. PELMORA_WEB_PORT
# picks the port (default 8000); Ctrl+C stops the server.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/deps.sh

pelmora_ensure_packages "${PELMORA_WEB_PACKAGES[@]}" || exit 1
cmake --preset web >/dev/null
cmake --build --preset web -j "${PELMORA_JOBS:-2}"

port=${PELMORA_WEB_PORT:-8000}
echo "Pelmora is at http://127.0.0.1:$port/ (Ctrl+C stops the server)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/web/CMakeCache.txt)
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "build/web/pelmora-$version-web"
