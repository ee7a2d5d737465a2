#!/usr/bin/env bash
# What an idle window costs: Mossleaf shows a note with the caret in its body under Xvfb and
# openbox, and nobody touches it. After a settling wait (longer than the caret's rest), CPU
# time (from /proc/PID/task/*/schedstat) and wake-ups (context switches, all threads) of
# the program and of its X server are counted over the measured span. The runs go side by
# side, each on its own display, since an idle program barely contends.
# Usage: bench/run_idle_bench.sh [RUNS] [SECONDS] [SETTLE_SECONDS]   (defaults 5 60 15)
# MOSSLEAF_BINARY names another build of the program to measure, such as an older one.
set -euo pipefail
source "$(dirname "$0")/bench_setup.sh" mossleaf
runs="${1:-5}" span="${2:-60}" settle="${3:-15}"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

printf '<**********>,1,0,First\r\nA line of the body.\r\n<**********>,2,1,Second\r\nMore.\r\n' \
    >"$work/notes.txt"

# One line a thread: its id, CPU nanoseconds and context switches.
sample() {
    local task
    [ -d "/proc/$1" ] || return 0
    for task in /proc/"$1"/task/*; do
        echo "${task##*/} $(cut -d' ' -f1 "$task/schedstat")" \
            "$(awk '/ctxt_switches/{s+=$2} END{print s}' "$task/status")"
    done
}

# What the threads alive at both samples spent between them: "cpu_ms switches".
spent() {
    awk 'NR==FNR{c[$1]=$2; s[$1]=$3; next} ($1 in c){dc+=$2-c[$1]; ds+=$3-s[$1]}
         END{printf "%.1f %d", dc/1000000, ds}' "$1" "$2"
}

one_run() {  # one display, one window; prints "cpu_ms wakeups xserver_cpu_ms xserver_wakeups"
    local n="$1" display home xvfb app
    local d
    for d in $(seq $((60 + 10 * n)) $((69 + 10 * n))); do  # a free display of this run's ten
        [ -e "/tmp/.X$d-lock" ] || break
    done
    display=":$d"
    home="$work/home$n" && mkdir -p "$home/config" && chmod 700 "$home"
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$d" ] && break; sleep 0.05; done
    DISPLAY="$display" HOME="$home" openbox >/dev/null 2>&1 &
    local wm=$!
    sleep 0.5
    DISPLAY="$display" HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home" \
        LANG=ja_JP.UTF-8 \
        "${MOSSLEAF_BINARY:-$build/src/mossleaf}" "$work/notes.txt" 2>/dev/null &
    app=$!
    local window=""
    for _ in $(seq 100); do
        window=$(DISPLAY="$display" xdotool search --pid "$app" --onlyvisible 2>/dev/null | head -1) &&
            [ -n "$window" ] && break
        sleep 0.1
    done
    # click the first note in the tree, then into its body
    DISPLAY="$display" xdotool windowactivate --sync "$window" mousemove --window "$window" 36 78 \
        click 1 sleep 0.3 mousemove --window "$window" 300 220 click 1
    sleep "$settle"
    sample "$app" >"$work/a$n" 2>/dev/null; sample "$xvfb" >"$work/xa$n"
    sleep "$span"
    sample "$app" >"$work/b$n" 2>/dev/null; sample "$xvfb" >"$work/xb$n"
    kill "$app" "$wm" "$xvfb" 2>/dev/null || true
    [ -s "$work/b$n" ] || { echo "run $n: the program did not last the span" >&2; return; }
    echo "$(spent "$work/a$n" "$work/b$n") $(spent "$work/xa$n" "$work/xb$n")"
}

for n in $(seq "$runs"); do one_run "$n" >"$work/run$n" & pids+=($!); sleep 1; done
wait "${pids[@]}"
median() {  # of column $1 of the runs
    cat "$work"/run* | cut -d' ' -f"$1" | sort -n | awk '{v[NR]=$1} END{print v[int((NR+1)/2)]}'
}
echo "idle ${span} s with the caret in the body, median of $(cat "$work"/run* | grep -c .) runs side by side:"
echo "  mossleaf: $(median 1) ms CPU, $(median 2) wake-ups"
echo "  X server: $(median 3) ms CPU, $(median 4) wake-ups"
