#!/usr/bin/env bash
# Builds everything with AddressSanitizer (and LeakSanitizer) and UndefinedBehaviorSanitizer
# in build-asan/ and runs every test; a runtime error or a leak fails its test executable.
# Slower than ./test.sh, so not part of CI. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build-asan}
export CCACHE_BASEDIR="$PWD"
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKARST_WERROR=ON \
  -DKARST_SANITIZE=address,undefined >/dev/null
cmake --build "$BUILD_DIR"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Whole stacks at each allocation, so that the suppressions find the system library that
# made a block; the OpenGL driver's rasteriser without LLVM keeps that affordable.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export GALLIUM_DRIVER=softpipe
# The OpenGL driver stays loaded to the end of the run: what it keeps is then reported with
# its own frames, which the suppressions name. (Unloaded before the report, it would leave
# only the frames of its callers.) Loaded ahead of the sanitizer's runtime, which allows it.
pilote=$(ls /usr/lib/*/dri/swrast_dri.so /usr/lib/*/libgallium*.so 2>/dev/null | head -n 1 || true)
if [ -n "$pilote" ]; then
  export ASAN_OPTIONS=$ASAN_OPTIONS:verify_asan_link_order=0
fi
cd "$BUILD_DIR"
xvfb-run -a -s "-screen 0 1280x1024x24" env ${pilote:+LD_PRELOAD=$pilote} ctest --output-on-failure "$@"
