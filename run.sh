#!/usr/bin/env bash
# Builds Zarvo when needed and starts it in the current directory.
set -euo pipefail
root="$(cd "$(dirname "$(readlink -f "$0")")" && pwd)"
"$root/tools/install-deps.sh" build
if [ ! -f "$root/build/build.ninja" ]; then
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$root/build" --target zarvo >/dev/null
exec "$root/build/app/zarvo" "$@"
