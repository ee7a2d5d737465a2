#!/usr/bin/env bash
# Times showing 1 MiB and 16 MiB bodies (single lines of Latin without blanks, Latin with
# blanks, Japanese; and short lines) in Text2 of the real window: to idle, and until a body
# shown in parts is all in with the longest wait an input met meanwhile; with the peak memory it
# adds, on the offscreen platform and under Xvfb; and one key typed into such a body.
# Usage: bench/run_body_show_bench.sh [RUNS] [SIZE_KIB...]   (needs xvfb; builds build/bench)
set -euo pipefail
source "$(dirname "$0")/bench_setup.sh" body_show_bench

QT_QPA_PLATFORM=offscreen "$build/bench/body_show_bench" "$@"
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    "$build/bench/body_show_bench" "$@"
