# Sourced by the run_*_bench.sh scripts: builds the given targets in Release into build/bench
# (or $BENCH_BUILD_DIR) and gives the benchmark a throwaway home, so that no run reads or
# writes the user's settings. Sets root, build and work.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${BENCH_BUILD_DIR:-$root/build/bench}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target "$@" >/dev/null
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
chmod 700 "$work"
