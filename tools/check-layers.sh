#!/usr/bin/env bash
# Fails when a folder includes one above it, so the layering of the libraries cannot be
# crossed unnoticed: platform < diagnostics < library < console < views < records and
# dirselect < app; records and dirselect never include each other. tests/, bench/ and tools/
# may include anything. Usage: check-layers.sh [source root] (default: the checkout).
set -uo pipefail
root=${1:-"$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)"}

rank() {
    case $1 in
    platform) echo 0 ;;
    diagnostics) echo 1 ;;
    library) echo 2 ;;
    console) echo 3 ;;
    views) echo 4 ;;
    records | dirselect) echo 5 ;;
    app) echo 6 ;;
    *) echo -1 ;;
    esac
}

crossings=0
for folder in platform diagnostics library console views records dirselect app; do
    [ -d "$root/$folder" ] || continue
    own=$(rank "$folder")
    # Every quoted include naming a folder, as "file:line:folder/...".
    while IFS= read -r hit; do
        target=$(sed -E 's/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$hit")
        other=$(rank "$target")
        [ "$other" -ge 0 ] || continue
        if [ "$other" -gt "$own" ] || { [ "$other" -eq "$own" ] && [ "$target" != "$folder" ]; }; then
            echo "layer crossed: ${hit#"$root"/} ($folder may not include $target)" >&2
            crossings=$((crossings + 1))
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$root/$folder" \
        --include='*.h' --include='*.cpp' --include='*.hpp' --include='*.inc' || true)
done

if [ "$crossings" -ne 0 ]; then
    echo "check-layers: $crossings include(s) cross the layers" >&2
    exit 1
fi
exit 0
