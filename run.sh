#!/usr/bin/env bash
# Installs what is missing, builds, and starts Karstomat on the massif given, or on the
# sample massif when none is given.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
export CCACHE_BASEDIR="$PWD"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" --target karstomat
fichier=${1:-examples/pierrefeu.fic}
if [ -e "$fichier" ]; then
  exec "$BUILD_DIR/bin/karstomat" "$(realpath "$fichier")"
fi
exec "$BUILD_DIR/bin/karstomat" "$fichier"
