#!/usr/bin/env bash
# Times Qt laying out one piece of N characters (Latin without blanks, Latin with blanks,
# Japanese) in Text2's font and width, on the offscreen platform and under Xvfb.
# Usage: bench/run_piece_layout_bench.sh [RUNS] [N...]   (needs xvfb; builds build/bench)
set -euo pipefail
source "$(dirname "$0")/bench_setup.sh" piece_layout_bench

QT_QPA_PLATFORM=offscreen "$build/bench/piece_layout_bench" "$@"
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    "$build/bench/piece_layout_bench" "$@"
