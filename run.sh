#!/usr/bin/env bash
# Builds Mossleaf (Release) and starts it: ./run.sh [outline-file]
# A relative outline-file is taken from the folder run.sh is called from.
set -euo pipefail
here=$(dirname "$0")
(
    cd "$here"
    scripts/ensure-packages.sh build-essential cmake ninja-build qt6-base-dev qt6-svg-dev \
        libglib2.0-bin fonts-ipafont-gothic qt6-translations-l10n fonts-wqy-microhei
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/release
)
exec "$here/build/release/src/mossleaf" "$@"
