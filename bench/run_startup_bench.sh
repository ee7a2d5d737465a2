#!/usr/bin/env bash
# Times Mossleaf's start with the 64 MiB, 512-record CP932 notebook on the command line, under
# Xvfb: from the exec of the program to its first painted window ("visible") and to the event
# loop's first idle moment after the file was read ("idle").
# Usage: bench/run_startup_bench.sh [RUNS]   (needs xvfb; builds build/bench in Release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BENCH_BUILD_DIR:-$root/build/bench}"
generator="${MAKE_OUTLINE:-$root/../shared/bench/make_outline.py}"
runs="${1:-7}"
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target mossleaf >/dev/null
python3 "$generator" big 128 "$work" >/dev/null
file="$work/big.outline.txt"

display=""
for n in $(seq 80 99); do
    if [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done

export DISPLAY="$display" HOME="$work/home" XDG_CONFIG_HOME="$work/home/config"
export XDG_RUNTIME_DIR="$work/home" MOSSLEAF_STARTUP_TRACE=1
mkdir -p "$XDG_CONFIG_HOME" && chmod 700 "$work/home"

measure() {  # prints "visible_ms idle_ms" for one start with the given arguments
    local log="$work/trace.log" start pid
    : >"$log"
    start=$(date +%s%3N)
    "$build/src/mossleaf" "$@" 2>"$log" &
    pid=$!
    for _ in $(seq 600); do grep -q 'mossleaf-startup idle' "$log" && break; sleep 0.01; done
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
    awk -v s="$start" '/mossleaf-startup visible/{v=$3-s} /mossleaf-startup idle/{i=$3-s}
                       END{print v, i}' "$log"
}

report() {  # label, then the arguments for mossleaf
    local label="$1"; shift
    measure "$@" >/dev/null  # warm the page cache and the font caches
    for _ in $(seq "$runs"); do measure "$@"; done | sort -n -k2 |
        awk -v label="$label" '{v[NR]=$1; i[NR]=$2} END{m=int((NR+1)/2);
            printf "%-22s visible median %d ms, idle median %d ms (idle min %d, max %d; %d runs)\n",
                   label, v[m], i[m], i[1], i[NR], NR}'
}

echo "file: $(wc -c <"$file") bytes"
report "no file" 
report "64 MiB notebook" "$file"
