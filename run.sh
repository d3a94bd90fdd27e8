#!/usr/bin/env bash
# Installs what is missing, builds, and starts Karstomat, on the massif given if any.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
export CCACHE_BASEDIR="$PWD"
# Configured exactly as test.sh does, so that running one after the other reuses every
# object the first built.
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKARST_WERROR=ON >/dev/null
cmake --build "$BUILD_DIR" --target karstomat
if [ $# -eq 0 ]; then
  exec "$BUILD_DIR/bin/karstomat"
fi
if [ -e "$1" ]; then
  exec "$BUILD_DIR/bin/karstomat" "$(realpath "$1")"
fi
exec "$BUILD_DIR/bin/karstomat" "$1"
