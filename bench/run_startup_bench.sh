#!/usr/bin/env bash
# Times Mossleaf's start with a 512-record CP932 notebook on the command line, under Xvfb: from
# the exec of the program to its first painted window ("visible") and to the event loop's
# first idle moment after the file was read ("idle"), with the peak resident memory.
# Usage: bench/run_startup_bench.sh [RUNS] [MIB...]   (default sizes: 64; needs xvfb)
# Builds build/bench in Release, unless MOSSLEAF_BINARIES names programs to compare instead
# (colon-separated); their runs are interleaved, as the machine's load changes over time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BENCH_BUILD_DIR:-$root/build/bench}"
generator="${MAKE_OUTLINE:-$root/../shared/bench/make_outline.py}"
runs="${1:-7}"
shift || true
sizes=("${@:-64}")
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

if [ -n "${MOSSLEAF_BINARIES:-}" ]; then
    IFS=: read -r -a binaries <<<"$MOSSLEAF_BINARIES"
else
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target mossleaf >/dev/null
    binaries=("$build/src/mossleaf")
fi
for mib in "${sizes[@]}"; do  # 512 records of MIB * 2 KiB each
    python3 "$generator" "big$mib" "$((mib * 2))" "$work" >/dev/null
done

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

measure() {  # prints "visible_ms idle_ms peak_kib" for one start of a program with arguments
    local log="$work/trace.log" peak="$work/peak" start pid
    : >"$log"
    start=$(date +%s%3N)
    /usr/bin/time -f %M -o "$peak" "$@" 2>"$log" &
    pid=$!
    for _ in $(seq 600); do grep -q 'mossleaf-startup idle' "$log" && break; sleep 0.01; done
    pkill -P "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
    awk -v s="$start" -v peak="$(tail -n 1 "$peak")" '/mossleaf-startup visible/{v=$3-s}
        /mossleaf-startup idle/{i=$3-s} END{print v, i, peak}' "$log"
}

summary() {  # label, then lines "visible idle peak" on stdin
    sort -n -k2 | awk -v label="$1" '{v[NR]=$1; i[NR]=$2; p[NR]=$3} END{m=int((NR+1)/2);
        printf "%-44s visible %d ms, idle median %d ms (min %d, max %d), peak %d MiB; %d runs\n",
               label, v[m], i[m], i[1], i[NR], p[m] / 1024, NR}'
}

report() {  # label, then the arguments for mossleaf; every program in turn, run by run
    local label="$1" n b
    shift
    for b in "${binaries[@]}"; do measure "$b" "$@" >/dev/null; done  # warm the caches
    for n in $(seq "$runs"); do
        for b in "${!binaries[@]}"; do measure "${binaries[$b]}" "$@" >>"$work/runs.$b"; done
    done
    for b in "${!binaries[@]}"; do
        summary "$label ($(basename "$(dirname "$(dirname "${binaries[$b]}")")"))" <"$work/runs.$b"
        rm -f "$work/runs.$b"
    done
}

uptime
report "no file"
for mib in "${sizes[@]}"; do
    file="$work/big$mib.outline.txt"
    report "$mib MiB notebook, $(wc -c <"$file") bytes" "$file"
done
