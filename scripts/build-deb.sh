#!/usr/bin/env bash
# Builds the Debian package of Mossleaf into build/deb and prints the .deb's path as its
# last line: scripts/build-deb.sh
#
# dpkg-buildpackage with debhelper, not CPack: debhelper strips the program into a -dbgsym
# package, computes the dependencies (shlibdeps), compresses the manual pages and the
# changelog, writes md5sums and sets the permissions the way lintian checks them, from the
# same `cmake --install` rules a source build uses.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh build-essential cmake ninja-build qt6-base-dev qt6-svg-dev \
    debhelper dpkg-dev lintian

version=$(sed -n 's/^project(Mossleaf VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
packaged=$(dpkg-parsechangelog -S Version)
if [ "$version" != "$packaged" ]; then
    echo "debian/changelog is at $packaged, the program at $version: add a changelog entry." >&2
    exit 1
fi

out=build/deb
tree=$out/mossleaf-$version
rm -rf "$out"
mkdir -p "$tree"
# A clean copy of the sources: dpkg-buildpackage writes into the tree and beside it.
tar --exclude=./.git --exclude='./build*' -cf - . | tar -xf - -C "$tree"
(cd "$tree" && dpkg-buildpackage --build=binary --no-sign) >"$out/build.log" 2>&1 || {
    tail -n 40 "$out/build.log" >&2
    echo "The package build failed; the whole log is $out/build.log." >&2
    exit 1
}
deb=$(realpath "$out/mossleaf_${version}_$(dpkg --print-architecture).deb")
lintian --fail-on error --display-info "$deb" >&2
echo "$deb"
