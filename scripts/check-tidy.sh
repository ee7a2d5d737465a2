#!/usr/bin/env bash
# Runs clang-tidy, with the checks of .clang-tidy at the top, on every C++ source of ours that
# the build in BUILD_DIR compiles, and fails on any finding. The build must have run first: the
# sources include what moc generates. Exit 77, a skip for CTest, without clang-tidy.
#   scripts/check-tidy.sh BUILD_DIR
#
# A clean result is remembered outside the clone (MOSSLEAF_TIDY_CACHE, by default
# ~/.cache/mossleaf/clang-tidy), under a key made of all it depends on: the clang-tidy version,
# every .clang-tidy that applies, its options here, the file's compile commands and the contents of
# the file and of every header it includes (as the build's last compile of it saw them, from
# Ninja's dependency log). A file with the same key is clean again without a run; a file
# without a key (no Ninja log, a header gone) is always checked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: check-tidy.sh BUILD_DIR}" && pwd)
command -v clang-tidy >/dev/null || { echo "clang-tidy is not installed" >&2; exit 77; }
[ -f "$build/compile_commands.json" ] || { echo "$build/compile_commands.json is missing" >&2; exit 1; }
cache=${MOSSLEAF_TIDY_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/mossleaf/clang-tidy}
mkdir -p "$cache"
options=(--quiet --warnings-as-errors='*')

# "file key" for each source of ours (not what moc and rcc generate in the build tree), each
# file once; the key is "-" where it cannot be made.
mapfile -t entries < <(python3 - "$build" "$root" "${options[*]}" <<'PY'
import hashlib, json, os, shlex, shutil, subprocess, sys

build, root, options = sys.argv[1], sys.argv[2], sys.argv[3]
ours = ("src", "tests", "tools", "bench")
commands = {}  # file -> its compile entries, in the order of the database
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    rel = os.path.relpath(path, root)
    if rel.split(os.sep)[0] in ours and not rel.startswith(".."):
        commands.setdefault(path, []).append(entry)


def named(text):
    """A path, or an argument holding one (-I/...), as the key sees it: the same in every
    clone and build folder."""
    return text.replace(build, "@BUILD@").replace(root, "@ROOT@")


def arguments(entry):
    return entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])


def output(entry):
    args = arguments(entry)
    return args[args.index("-o") + 1] if "-o" in args else None


# Every header of every object, from one `ninja -t deps`; an object whose record is stale or
# missing gets no key.
deps = {}
objects = [o for entries in commands.values() for o in map(output, entries) if o]
if objects and shutil.which("ninja") and os.path.isfile(os.path.join(build, "build.ninja")):
    listing = subprocess.run(["ninja", "-C", build, "-t", "deps", *objects], text=True,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    current = None
    for line in listing.splitlines():
        if line.startswith("    ") and current is not None:
            deps[current].append(os.path.normpath(os.path.join(build, line.strip())))
        elif "#deps" in line:
            target, _, state = line.partition(": #deps")
            current = target if state.rstrip().endswith("(VALID)") else None
            if current is not None:
                deps[current] = []
        else:
            current = None

digests = {}


def digest(path):
    if path not in digests:
        with open(path, "rb") as f:
            digests[path] = hashlib.sha256(f.read()).hexdigest()
    return digests[path]


common = hashlib.sha256()
common.update(subprocess.run(["clang-tidy", "--version"], capture_output=True).stdout)
common.update(f"options {options}\n".encode())


def key(path, entries):
    h = common.copy()
    folder = os.path.dirname(path)
    while True:  # every .clang-tidy from the file's folder up, as clang-tidy looks for them
        config = os.path.join(folder, ".clang-tidy")
        if os.path.isfile(config):
            h.update(f"config {named(config)} {digest(config)}\n".encode())
        if folder == os.path.dirname(folder):
            break
        folder = os.path.dirname(folder)
    for entry in entries:
        obj = output(entry)
        if obj not in deps or not deps[obj]:
            return "-"
        # A file changed since that compile may include headers the log does not name yet.
        built = os.stat(os.path.join(build, obj)).st_mtime_ns
        if any(os.stat(dep).st_mtime_ns > built for dep in deps[obj]):
            return "-"
        h.update(" ".join(named(a) for a in arguments(entry)).encode() + b"\n")
        for dep in deps[obj]:
            h.update(f"{named(dep)} {digest(dep)}\n".encode())
    return h.hexdigest()


for path, entries in commands.items():
    try:
        print(path, key(path, entries))
    except OSError:
        print(path, "-")
PY
)
[ ${#entries[@]} -ne 0 ] || { echo "no sources of ours in $build/compile_commands.json" >&2; exit 1; }

todo=()
for entry in "${entries[@]}"; do
    file=${entry% *}
    key=${entry##* }
    if [ "$key" != - ] && [ -e "$cache/$key" ]; then
        touch "$cache/$key"
    else
        todo+=("$file" "$key")
    fi
done
# Results not used for a month belong to code long gone.
find "$cache" -type f -mtime +30 -delete 2>/dev/null || true

# One clang-tidy per file, as many at once as there are cores; each prints its findings whole.
start=$SECONDS
if [ ${#todo[@]} -ne 0 ]; then
    printf '%s\n' "${todo[@]}" |
        xargs -d '\n' -n 2 -P "$(nproc)" bash -c '
            build=$1 cache=$2 file=${@: -2:1} key=${@: -1}
            clang-tidy -p "$build" "${@:3:$#-4}" "$file" || exit
            [ "$key" = - ] || touch "$cache/$key"' check-tidy "$build" "$cache" "${options[@]}" \
        2> >(grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' >&2)
fi
echo "clang-tidy: ${#entries[@]} files clean, $((${#todo[@]} / 2)) of them checked now" \
     "in $((SECONDS - start)) s, the others unchanged since a clean check"
