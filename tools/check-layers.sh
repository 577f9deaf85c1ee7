#!/usr/bin/env bash
# Fails when a folder includes one above it, so the layering of the libraries cannot be
# crossed unnoticed: platform < diagnostics < library < diagnostics/log < console < views <
# records and dirselect < app; records and dirselect never include each other. The log is the
# diagnostics' upper half: it writes through the library's streams and utilities. tests/, bench/ and tools/
# may include anything. Usage: check-layers.sh [source root] (default: the checkout).
set -uo pipefail
root=${1:-"$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)"}

folders="platform diagnostics diagnostics/log library console views records dirselect app"
crossings=0
for folder in $folders; do
    [ -d "$root/$folder" ] || continue
    # Every include that names a folder, quoted or in angle brackets, judged in one pass;
    # system headers name folders no layer has.
    # The lower diagnostics are judged without their upper half, which has its own pass.
    exclude=()
    [ "$folder" = diagnostics ] && exclude=(--exclude-dir=log)
    count=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^/"<>]+/' "$root/$folder" \
        --include='*.h' --include='*.cpp' --include='*.hpp' --include='*.inc' "${exclude[@]}" |
        awk -v folder="$folder" -v root="$root/" '
            BEGIN {
                rank["platform"] = 0; rank["diagnostics"] = 1; rank["library"] = 2
                rank["diagnostics/log"] = 2.5
                rank["console"] = 3; rank["views"] = 4; rank["records"] = 5
                rank["dirselect"] = 5; rank["app"] = 6
                crossed = 0
            }
            {
                target = $0
                sub(/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*["<]/, "", target)
                if (target ~ /^diagnostics\/log\//)
                    target = "diagnostics/log"
                else
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
