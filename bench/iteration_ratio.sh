#!/usr/bin/env bash
# One test iteration of a 1024 MB file on a RAM disk against dd moving the same bytes in
# 32 KiB blocks (write with fdatasync, then read), best of 3 for each; prints both and their
# ratio. The goal is a ratio of at most 2.
#   bench/iteration_ratio.sh [ZARVO_BINARY]
set -euo pipefail
root="$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)"
zarvo=$(readlink -f "${1:-$root/build/app/zarvo}")
megabytes=1024
work=$(mktemp -d)
disk=$(mktemp -d)
mounted=0
cleanup() {
    [ $mounted -eq 1 ] && umount "$disk"
    rm -rf "$work" "$disk"
}
trap cleanup EXIT
# A RAM disk of its own where we may mount one; /dev/shm otherwise.
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=$((megabytes + 64))m zarvo-bench "$disk" 2>/dev/null; then
    mounted=1
else
    rm -rf "$disk"
    disk=$(mktemp -d /dev/shm/zarvo-bench-XXXXXX)
fi

seconds() { # command...: wall time in seconds
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
best() { # values...
    printf '%s\n' "$@" | sort -g | head -1
}

run_dd() {
    dd if=/dev/zero of="$disk/dd.tmp" bs=32k count=$((megabytes * 32)) conv=fdatasync &&
        dd if="$disk/dd.tmp" of=/dev/null bs=32k && rm -f "$disk/dd.tmp"
}
# One iteration: the period pushes the next start past the working time.
run_zarvo() {
    (cd "$work" && "$zarvo" --no-ui --dir "$disk" --size "$megabytes" --work-time 00:10:00 \
        --period 01:00:00)
}

dd_times=() zarvo_times=()
for _ in 1 2 3; do
    dd_times+=("$(seconds run_dd)")
    zarvo_times+=("$(seconds run_zarvo)")
done
dd_best=$(best "${dd_times[@]}")
zarvo_best=$(best "${zarvo_times[@]}")
printf 'dd write+sync+read of %d MB: %.2f s (best of 3)\n' "$megabytes" "$dd_best"
printf 'zarvo one iteration of %d MB: %.2f s (best of 3)\n' "$megabytes" "$zarvo_best"
printf 'ratio: %.2f\n' "$(echo "$zarvo_best / $dd_best" | bc -l)"
