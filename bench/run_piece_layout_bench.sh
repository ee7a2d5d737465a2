#!/usr/bin/env bash
# Times Qt laying out one piece of N characters (Latin without blanks, Latin with blanks,
# Japanese) in Text2's font and width, on the offscreen platform and under Xvfb.
# Usage: bench/run_piece_layout_bench.sh [RUNS] [N...]   (needs xvfb; builds build/bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BENCH_BUILD_DIR:-$root/build/bench}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target piece_layout_bench >/dev/null
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
chmod 700 "$work"

QT_QPA_PLATFORM=offscreen "$build/bench/piece_layout_bench" "$@"
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    "$build/bench/piece_layout_bench" "$@"
