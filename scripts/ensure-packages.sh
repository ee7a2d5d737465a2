#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are not installed yet.
# Sourced or run by run.sh and test.sh; does nothing (and needs no network) when all are present.
set -euo pipefail

missing=()
for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    SUDO=()
elif command -v sudo >/dev/null 2>&1; then
    SUDO=(sudo)
else
    echo "Missing packages: ${missing[*]}; run as root or install sudo." >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
# A fresh machine may have no package lists yet.
"${SUDO[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
