#!/usr/bin/env bash
# Builds the Debian package of Zarvo: a Release build (as a user or a packager builds it) and
# cpack's .deb from its install rules, copied into the current directory.
#
#   tools/make-deb.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build-deb beside this tree; an existing Release build (./test.sh's
# build) is only built on, not built again from nothing. Prints the
# package's path on the last line.
set -euo pipefail
root="$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)"
build=$(realpath -m -- "${1:-$root/build-deb}")
out=$PWD

"$root/tools/install-deps.sh" package
# An existing Release build (./test.sh's) is packaged as it is configured: its tests stay.
if ! grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt" 2>/dev/null; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVO_TESTS=OFF \
        -DZARVO_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target zarvo
rm -f "$build"/zarvo_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || {
    echo "make-deb: cpack failed (details in $build/_CPack_Packages)" >&2
    exit 1
}
package=$(ls "$build"/zarvo_*.deb)
cp "$package" "$out/"
echo "$out/$(basename "$package")"
