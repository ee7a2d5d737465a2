#!/usr/bin/env bash
# Builds Mossleaf (Release) and starts it: ./run.sh [outline-file]
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh build-essential cmake ninja-build qt6-base-dev libglib2.0-bin \
    fonts-ipafont-gothic qt6-svg-dev
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release
exec build/release/src/mossleaf "$@"
