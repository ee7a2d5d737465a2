#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of ours is not as `clang-format -i` would leave it
# (the style is .clang-format at the top). Exit 77, a skip for CTest, without clang-format.
#   scripts/check-format.sh
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 77; }

mapfile -d '' files < <(find src tests tools bench \( -name '*.cpp' -o -name '*.h' \) -print0 |
                        sort -z)
# One clang-format for all files: started once per file it spent most of its time starting.
# Each place it would change is an error "file:line:col: error: ...".
if ! report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1 >/dev/null); then
    mapfile -t unformatted < <(printf '%s\n' "$report" |
                               sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
    [ ${#unformatted[@]} -ne 0 ] || { printf '%s\n' "$report" >&2; exit 1; }
    echo "Not formatted (run clang-format -i on them):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "${#files[@]} files formatted"
