#!/usr/bin/env bash
# Runs clang-tidy, with the checks of .clang-tidy at the top, on every C++ source of ours that
# the build in BUILD_DIR compiles, and fails on any finding. The build must have run first: the
# sources include what moc generates. Exit 77, a skip for CTest, without clang-tidy.
#   scripts/check-tidy.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: check-tidy.sh BUILD_DIR}" && pwd)
command -v clang-tidy >/dev/null || { echo "clang-tidy is not installed" >&2; exit 77; }
[ -f "$build/compile_commands.json" ] || { echo "$build/compile_commands.json is missing" >&2; exit 1; }

# Our sources only: not what moc and rcc generate in the build tree, each file once.
mapfile -t files < <(python3 - "$build/compile_commands.json" "$root" <<'PY'
import json, os, sys
root = sys.argv[2] + os.sep
ours = ("src", "tests", "tools", "bench")
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(root) and path[len(root):].split(os.sep)[0] in ours and path not in seen:
        seen.add(path)
        print(path)
PY
)
[ ${#files[@]} -ne 0 ] || { echo "no sources of ours in $build/compile_commands.json" >&2; exit 1; }

# One clang-tidy per file, as many at once as there are cores; each prints its findings whole.
start=$SECONDS
printf '%s\n' "${files[@]}" |
    xargs -P "$(nproc)" -I{} clang-tidy -p "$build" --quiet --warnings-as-errors='*' {} \
        2> >(grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' >&2)
echo "clang-tidy: ${#files[@]} files clean in $((SECONDS - start)) s"
