# Sourced after a check's preamble (which gives cleanup) with $share set to a path under
# /mnt: mounts a 64 MB tmpfs there as the server share, or skips (77) unless root may mount
# one; the share goes on exit after the preamble's cleanup.
mkdir -p "$share"
if ! mount -t tmpfs -o size=64m zarvo-e2e "$share" 2>/dev/null; then
    rmdir "$share"
    echo "SKIP: cannot mount a tmpfs under /mnt"
    exit 77
fi
trap 'cleanup; umount "$share"; rmdir "$share"' EXIT
