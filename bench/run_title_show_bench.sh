#!/usr/bin/env bash
# Times showing titles of 4 Ki to 1 Mi characters (Latin without blanks, lines joined by CR LF,
# Japanese, mixed scripts) in the title box, the tree and the status bar of the real window, on
# the offscreen platform and under Xvfb, and fetching such a text from the X clipboard.
# With bench/title_paste_bench.py these figures chose TitleBox::kMaxTitleLength. With PASTE=1
# it then times real pastes of 300 KiB and 1 MiB and titles near the limit through xclip.
# Usage: bench/run_title_show_bench.sh [RUNS] [CHARS...]   (needs xvfb, xclip; builds build/bench)
set -euo pipefail
source "$(dirname "$0")/bench_setup.sh" title_show_bench mossleaf
export LANG=C.UTF-8

QT_QPA_PLATFORM=offscreen "$build/bench/title_show_bench" "$@" 2>/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    "$build/bench/title_show_bench" "$@"
if [ "${PASTE:-}" = 1 ]; then
    python3 "$root/bench/title_paste_bench.py" "$build/src/mossleaf" 300:lines 1024:lines \
        29:japanese 16:mixed
fi
