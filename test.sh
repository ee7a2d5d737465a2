#!/usr/bin/env bash
# Builds Mossleaf with its tests and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh build-essential cmake ninja-build qt6-base-dev libglib2.0-bin \
    fonts-ipafont-gothic xvfb xauth xdotool imagemagick python3
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOSSLEAF_TESTS=ON >/dev/null
cmake --build build/test
cd build/test
ctest --output-on-failure --timeout 300 "$@"
