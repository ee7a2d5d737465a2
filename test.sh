#!/usr/bin/env bash
# Builds Mossleaf with its tests and runs every test through CTest.
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
    desktop-file-utils appstream
# the end-to-end test's window manager, and xwininfo/xprop to see its frames
scripts/ensure-packages.sh openbox x11-utils
# the style and static checks (CTest tests format_check and clang_tidy)
scripts/ensure-packages.sh clang-format clang-tidy
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOSSLEAF_TESTS=ON \
    -DMOSSLEAF_SANITIZE="$sanitize" -DMOSSLEAF_WERROR=ON >/dev/null
cmake --build "$build"
cd "$build"
ctest --output-on-failure --timeout 300 "$@"
