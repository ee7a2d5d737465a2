#!/usr/bin/env bash
# Times Execute on the real window for bodies whose first line is 10 characters or 1 MiB long
# (Latin without blanks, Latin with blanks, Japanese), up to the message that the link did not
# open, on the offscreen platform and under Xvfb; first with an opener that fails at once, then
# with the desktop's own (gio). Usage: bench/run_execute_bench.sh [RUNS] [SIZE_KIB...]
# (needs xvfb; builds build/bench in Release)
set -euo pipefail
source "$(dirname "$0")/bench_setup.sh" execute_bench
export LANG=C.UTF-8

QT_QPA_PLATFORM=offscreen "$build/bench/execute_bench" --fake "$@" 2>/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    "$build/bench/execute_bench" --fake "$@"
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    "$build/bench/execute_bench" "$@"
