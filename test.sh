#!/usr/bin/env bash
# Builds Mossleaf with its tests and runs every test through CTest, several at a time.
#   ./test.sh [ctest arguments]              in build/test
#   ./test.sh --sanitize [ctest arguments]   in build/sanitize, everything built with
#                                            AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")"
build=build/test
sanitize=OFF
if [ "${1:-}" = --sanitize ]; then
    shift
    build=build/sanitize
    sanitize=ON
fi
scripts/ensure-packages.sh build-essential cmake ninja-build qt6-base-dev qt6-svg-dev libglib2.0-bin \
    fonts-ipafont-gothic xvfb xauth xdotool imagemagick python3 qt6-translations-l10n \
    desktop-file-utils appstream ccache
# the end-to-end test's window manager, and xwininfo/xprop to see its frames
scripts/ensure-packages.sh openbox x11-utils
# the style and static checks (CTest tests format_check and clang_tidy)
scripts/ensure-packages.sh clang-format clang-tidy

# Objects come from ccache's cache (~/.cache/ccache) when another build, in this clone or any
# other, compiled the same source the same way: paths under the clone are hashed relative to
# it, so a fresh clone elsewhere finds what the last one left.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi
start=$SECONDS
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOSSLEAF_TESTS=ON \
    -DMOSSLEAF_SANITIZE="$sanitize" -DMOSSLEAF_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build"
echo "$build: configured and built in $((SECONDS - start)) s"
cd "$build"
start=$SECONDS
# Most tests wait on an X server, a timer or a child process more than they compute: one more
# at a time than there are cores keeps the cores busy. Tests that share anything say so with
# RESOURCE_LOCK.
ctest --output-on-failure --timeout 300 -j "$(($(nproc) + 1))" "$@"
echo "$build: tests run in $((SECONDS - start)) s"
