#!/usr/bin/env bash
# Fails when a folder includes one above it, or one beside it, so the layering of the libraries
# cannot be crossed unnoticed. Each folder is one layer; folders of the same rank never include
# each other. tests/, bench/ and tools/ may include anything.
# Usage: check-layers.sh [source root] (default: the checkout).
set -uo pipefail
root=${1:-"$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)"}

# folder:rank, lowest first.
layers="platform:0 diagnostics:1 library:2 log:3 records:3 console:4 views:5
record_inputs:6 dirselect:6 resources:6 app:7"

crossings=0
for layer in $layers; do
    folder=${layer%%:*}
    [ -d "$root/$folder" ] || continue
    # Every include that names a folder, quoted or in angle brackets, judged in one pass;
    # system headers name folders no layer has.
    count=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^/"<>]+/' "$root/$folder" \
        --include='*.h' --include='*.cpp' --include='*.hpp' --include='*.inc' |
        awk -v folder="$folder" -v root="$root/" -v layers="$layers" '
            BEGIN {
                n = split(layers, pairs, /[[:space:]]+/)
                for (i = 1; i <= n; i++) {
                    split(pairs[i], pair, ":")
                    rank[pair[1]] = pair[2] + 0
                }
                crossed = 0
            }
            {
                target = $0
                sub(/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*["<]/, "", target)
                sub(/\/.*/, "", target)
                if (!(target in rank))
                    next
                if (rank[target] > rank[folder] || (rank[target] == rank[folder] && target != folder)) {
                    where = $0
                    sub(/^[^:]*:[0-9]+:/, "", where)
                    file = $0
                    sub(/:.*/, "", file)
                    split($0, parts, ":")
                    sub("^" root, "", file)
                    printf "layer crossed: %s:%s: %s (%s may not include %s)\n", file, parts[2], where, folder, target > "/dev/stderr"
                    crossed++
                }
            }
            END { print crossed }')
    crossings=$((crossings + count))
done

if [ "$crossings" -ne 0 ]; then
    echo "check-layers: $crossings include(s) cross the layers" >&2
    exit 1
fi
exit 0
