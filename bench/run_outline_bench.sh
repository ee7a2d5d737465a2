#!/bin/sh
# Builds a Release outline_bench, writes the 64 MiB, 512-record CP932 outline file and
# times loading and saving it. Usage: bench/run_outline_bench.sh [RUNS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BENCH_BUILD_DIR:-$root/build/bench}"
runs="${1:-7}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target outline_bench >/dev/null
python3 "${MAKE_OUTLINE:-$root/../shared/bench/make_outline.py}" big 128 "$work" >/dev/null
file="$work/big.outline.txt"
echo "file: $(wc -c <"$file") bytes"
"$build/bench/outline_bench" "$file" "$runs"
cmp -s "$file" "$file.saved" && echo "saved file is byte-identical" || {
    echo "saved file differs" >&2
    exit 1
}
