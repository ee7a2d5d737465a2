#!/usr/bin/env bash
# Times showing titles of 4 Ki to 1 Mi characters (Latin without blanks, lines joined by CR LF,
# Japanese, mixed scripts) in the title box, the tree and the status bar of the real window, on
# the offscreen platform and under Xvfb, and fetching such a text from the X clipboard.
# With bench/title_paste_bench.py these figures chose TitleBox::kMaxTitleLength. With PASTE=1
# it then times real pastes of 300 KiB and 1 MiB and titles near the limit through xclip.
# Usage: bench/run_title_show_bench.sh [RUNS] [CHARS...]   (needs xvfb, xclip; builds build/bench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BENCH_BUILD_DIR:-$root/build/bench}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target title_show_bench mossleaf >/dev/null
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" LANG=C.UTF-8
chmod 700 "$work"

QT_QPA_PLATFORM=offscreen "$build/bench/title_show_bench" "$@" 2>/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    "$build/bench/title_show_bench" "$@"
if [ "${PASTE:-}" = 1 ]; then
    python3 "$root/bench/title_paste_bench.py" "$build/src/mossleaf" 300:lines 1024:lines \
        29:japanese 16:mixed
fi
