#!/usr/bin/env bash
# A real network share on a slow link, for the tests and for trying Zarvo by hand: a server in
# a network namespace whose loopback is limited by a token bucket, its directory mounted here,
# so every byte Zarvo moves crosses the limited link. The server is sshd (mounted with sshfs)
# or, with --smb, smbd with a private configuration and state (mounted with the kernel's cifs
# where the kernel has it, otherwise with the FUSE client smbnetfs).
#
#   share_rig.sh up [--smb] RATE MOUNTPOINT [DIRECTORY]   RATE as tc writes it: 100mbit, 2mbit
#   share_rig.sh attach MOUNTPOINT OTHER_MOUNTPOINT   the same sshfs share once more, over the
#                                                   same link (one client per workstation)
#   share_rig.sh down MOUNTPOINT
#
# DIRECTORY is what the share serves (default: a fresh tmpfs the rig removes at "down"). Every
# local user may use the mount, with root's rights on the served side: serve nothing precious.
# Needs root and the Debian packages iproute2 and openssh-server and sshfs, or samba and
# smbnetfs (cifs-utils for the kernel's client). No system server is started or changed.
# Exit codes: 0 done, 77 this machine cannot make network namespaces (the reason on one line),
# 1 other failures.
set -uo pipefail

usage() {
    echo "usage: $0 up [--smb] RATE MOUNTPOINT [DIRECTORY] | $0 attach MOUNTPOINT OTHER |" \
        "$0 down MOUNTPOINT" >&2
    exit 1
}
cannot() { # this machine cannot run the rig at all
    echo "share_rig: $*" >&2
    exit 77
}
fail() {
    echo "share_rig: $*" >&2
    exit 1
}

[ $# -ge 2 ] || usage
action=$1
shift
kind=sshfs
if [ "$action" = up ] && [ "$1" = --smb ]; then
    kind=smb
    shift
fi
case $action in
up) [ $# -ge 2 ] && [ $# -le 3 ] || usage ;;
attach) [ $# -eq 2 ] || usage ;;
down) [ $# -eq 1 ] || usage ;;
*) usage ;;
esac
if [ "$action" = up ]; then mount_point=$2; else mount_point=$1; fi
[ "$action" = attach ] && other_mount=$(realpath -m -- "$2")
mount_point=$(realpath -m -- "$mount_point")
# One rig per mount point: the namespace and the state directory are named after it.
name="zarvo-rig-$(printf '%s' "$mount_point" | md5sum | cut -c1-10)"
state="/var/tmp/zarvo-share-rig/$name"
netns="/run/netns/$name"

mounted() { findmnt -rn --mountpoint "$mount_point" >/dev/null 2>&1; }

down() {
    # The attached mounts first: their clients go with the namespace below.
    local other
    while read -r other; do
        findmnt -rn --mountpoint "$other" >/dev/null 2>&1 || continue
        fusermount3 -u "$other" 2>/dev/null || fusermount -u "$other" 2>/dev/null ||
            umount "$other" 2>/dev/null || umount -l "$other" 2>/dev/null
    done < <(cat "$state/attached" 2>/dev/null)
    if mounted; then
        fusermount3 -u "$mount_point" 2>/dev/null || fusermount -u "$mount_point" 2>/dev/null ||
            umount "$mount_point" 2>/dev/null || umount -l "$mount_point" 2>/dev/null
    fi
    # Whatever still runs in the namespace was started by this rig: the server, its sessions
    # and the client under the mount (ssh under sshfs, smbnetfs).
    if [ -e "$netns" ]; then
        local pids
        pids=$(ip netns pids "$name" 2>/dev/null)
        [ -n "$pids" ] && kill $pids 2>/dev/null
        for _ in $(seq 50); do
            [ -z "$(ip netns pids "$name" 2>/dev/null)" ] && break
            sleep 0.1
        done
        pids=$(ip netns pids "$name" 2>/dev/null)
        [ -n "$pids" ] && kill -KILL $pids 2>/dev/null
        ip netns del "$name" 2>/dev/null
    fi
    # A served directory the caller named is the caller's; only the rig's own goes.
    findmnt -rn --mountpoint "$state/served" >/dev/null 2>&1 && umount "$state/served"
    if [ -d "$state" ] && ! findmnt -rn --mountpoint "$state/served" >/dev/null 2>&1; then
        rm -rf -- "$state"
    fi
    return 0
}

if [ "$action" = down ]; then
    down
    if mounted || [ -e "$netns" ]; then fail "could not take down the share at $mount_point"; fi
    exit 0
fi

mount_sshfs() { # served directory, mount point: a client in the namespace, over its link
    local user attempt
    user=$(id -un)
    for attempt in $(seq 10); do
        if timeout 10 nsenter --net="$netns" sshfs "$user@127.0.0.1:$1" "$2" \
            -o IdentityFile="$state/client_key",UserKnownHostsFile="$state/known_hosts" \
            -o StrictHostKeyChecking=yes,BatchMode=yes,ConnectTimeout=5,ServerAliveInterval=5 \
            -o allow_other 2>"$state/sshfs.err"; then
            return 0
        fi
        [ "$attempt" -eq 10 ] && fail "sshfs could not mount: $(tail -1 "$state/sshfs.err")"
        sleep 0.25
    done
}

if [ "$action" = attach ]; then
    # Every client of the rig's one server crosses the same limited loopback, so the mounts
    # share its rate as workstations share a server's link.
    [ -e "$netns" ] && [ -f "$state/client_key" ] && [ -f "$state/served_path" ] ||
        fail "no sshfs rig is up for $mount_point"
    [ -d "$other_mount" ] || fail "the mount point $other_mount is not a directory"
    findmnt -rn --mountpoint "$other_mount" >/dev/null 2>&1 && fail "$other_mount is already a mount point"
    echo "$other_mount" >>"$state/attached"
    mount_sshfs "$(cat "$state/served_path")" "$other_mount"
    findmnt -rn --mountpoint "$other_mount" >/dev/null 2>&1 ||
        fail "the client reported success but $other_mount is not mounted"
    echo "share_rig: the share of $mount_point mounted on $other_mount too"
    exit 0
fi

rate=$1
[ "$(id -u)" -eq 0 ] || cannot "needs root to make a network namespace"
command -v ip >/dev/null && command -v tc >/dev/null ||
    cannot "needs ip and tc (Debian package iproute2)"
# The kernel's SMB client where the kernel has one; the FUSE client everywhere else.
kernel_cifs=no
if [ "$kind" = smb ] && command -v mount.cifs >/dev/null; then
    grep -qw cifs /proc/filesystems 2>/dev/null ||
        { command -v modprobe >/dev/null && modprobe -q cifs 2>/dev/null; }
    grep -qw cifs /proc/filesystems 2>/dev/null && kernel_cifs=yes
fi
if [ "$kind" = sshfs ]; then
    [ -c /dev/fuse ] || cannot "needs /dev/fuse for the sshfs mount"
    for tool in sshfs ssh ssh-keygen nsenter findmnt; do
        command -v "$tool" >/dev/null || fail "$tool not found: install openssh-server and sshfs"
    done
    [ -x /usr/sbin/sshd ] || fail "/usr/sbin/sshd not found: install openssh-server"
else
    [ "$kernel_cifs" = yes ] || [ -c /dev/fuse ] ||
        cannot "needs /dev/fuse for the smbnetfs mount (the kernel has no cifs)"
    for tool in nsenter findmnt; do
        command -v "$tool" >/dev/null || fail "$tool not found"
    done
    [ -x /usr/sbin/smbd ] || fail "/usr/sbin/smbd not found: install samba"
    [ "$kernel_cifs" = yes ] || command -v smbnetfs >/dev/null ||
        fail "smbnetfs not found: install smbnetfs"
fi
[ -d "$mount_point" ] || fail "the mount point $mount_point is not a directory"
mounted && fail "$mount_point is already a mount point"
[ -e "$netns" ] && fail "a rig is already up for $mount_point (run: $0 down $mount_point)"

ip netns add "$name" 2>/dev/null || cannot "this machine cannot make network namespaces"
trap 'down' EXIT # a partial start leaves nothing behind
mkdir -p "$state" && chmod 700 "$state" || fail "cannot make $state"
if [ $# -eq 3 ]; then
    served=$(realpath -e -- "$3") || fail "no directory $4 to serve"
else
    # In memory, so the server's disk (a shared one, on a test machine) does not blur what
    # the link gives.
    served="$state/served"
    mkdir "$served" && mount -t tmpfs -o size=25%,mode=0777 zarvo-share "$served" ||
        fail "cannot make $served"
fi
echo "$served" >"$state/served_path"
in_ns() { nsenter --net="$netns" "$@"; }

# The link: jumbo frames, both directions through one bucket of a few frames, so a transfer
# of a few MB gets next to nothing beyond the rate. (With 1500-byte frames dd's figures over
# the mount scattered by 20 % on a busy machine; with 9000 they stay within a few per cent.)
in_ns ip link set lo mtu 9000 up || fail "cannot bring up the namespace's loopback"
in_ns tc qdisc add dev lo root tbf rate "$rate" burst 32kb latency 50ms 2>"$state/tc.err" ||
    fail "tc refused rate $rate: $(head -1 "$state/tc.err")"

# The mount stays in the caller's mount namespace; only the network is the namespace's.

up_sshfs() {
    ssh-keygen -q -t ed25519 -N '' -f "$state/host_key" || fail "cannot make the host key"
    ssh-keygen -q -t ed25519 -N '' -f "$state/client_key" || fail "cannot make the client key"
    cp "$state/client_key.pub" "$state/authorized_keys"
    echo "127.0.0.1 $(cut -d' ' -f1,2 "$state/host_key.pub")" >"$state/known_hosts"
    cat >"$state/sshd_config" <<EOF
ListenAddress 127.0.0.1
Port 22
HostKey $state/host_key
PidFile $state/sshd.pid
AuthorizedKeysFile $state/authorized_keys
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
StrictModes no
Subsystem sftp internal-sftp
EOF
    mkdir -p /run/sshd # sshd's privilege-separation directory; empty, as the package makes it
    in_ns /usr/sbin/sshd -f "$state/sshd_config" -E "$state/sshd.log" ||
        fail "sshd did not start: $(tail -1 "$state/sshd.log" 2>/dev/null)"
    mount_sshfs "$served" "$mount_point"
}

up_smb() {
    # Everything smbd keeps (pid, locks, tdb files, the log) under the rig's state; guests
    # act as root on the share, as sshfs's login does.
    mkdir -p "$state/samba" && chmod 700 "$state/samba" || fail "cannot make $state/samba"
    cat >"$state/smb.conf" <<EOF
[global]
server role = standalone server
interfaces = 127.0.0.1
bind interfaces only = yes
smb ports = 445
disable netbios = yes
server min protocol = SMB2
pid directory = $state/samba
lock directory = $state/samba
state directory = $state/samba
cache directory = $state/samba
private dir = $state/samba
ncalrpc dir = $state/samba/ncalrpc
log file = $state/smbd.log
max log size = 0
load printers = no
printing = bsd
printcap name = /dev/null
disable spoolss = yes
map to guest = Bad User
guest account = root
[zarvo]
path = $served
read only = no
guest ok = yes
guest only = yes
force user = root
EOF
    in_ns /usr/sbin/smbd --daemon -s "$state/smb.conf" ||
        fail "smbd did not start: $(tail -1 "$state/smbd.log" 2>/dev/null)"
    # The client's configuration lives under a home of its own, so root's ~/.smb is not
    # read or written.
    local home="$state/client" attempt
    mkdir -p "$home/.smb" && chmod 700 "$home" || fail "cannot make $home"
    printf '[global]\nclient min protocol = SMB2\n' >"$home/.smb/smb.conf"
    printf 'auth "guest" ""\nsmb_query_browsers "false"\nuse_libsecret "false"\n' \
        >"$home/.smb/smbnetfs.conf"
    chmod 600 "$home/.smb/smbnetfs.conf" # smbnetfs ignores auth lines others can read
    for attempt in $(seq 10); do
        if [ "$kernel_cifs" = yes ]; then
            timeout 10 nsenter --net="$netns" mount -t cifs //127.0.0.1/zarvo "$mount_point" \
                -o guest,vers=3.0,file_mode=0777,dir_mode=0777 2>"$state/mount.err" && break
        else
            # The FUSE default of 4 KB writes would make every write a round trip of its own.
            # smbnetfs does not ask the server for its free space but reports a set number of
            # 4 KB pages (none by default): the served directory's, as it stands now.
            HOME="$home" timeout 10 nsenter --net="$netns" smbnetfs "$mount_point" \
                -o config="$home/.smb/smbnetfs.conf",allow_other,big_writes,max_write=131072 \
                -o free_space_size="$(($(stat -f -c '%S * %a' "$served") / 4096))" \
                -o modules=subdir,subdir=/127.0.0.1/zarvo 2>"$state/mount.err" &&
                timeout 10 ls "$mount_point" >/dev/null 2>>"$state/mount.err" && break
            mounted && { fusermount -u "$mount_point" 2>/dev/null || umount -l "$mount_point"; }
        fi
        [ "$attempt" -eq 10 ] &&
            fail "the SMB share could not be mounted: $(tail -1 "$state/mount.err")"
        sleep 0.25
    done
}

if [ "$kind" = smb ]; then up_smb; else up_sshfs; fi
mounted || fail "the client reported success but $mount_point is not mounted"
trap - EXIT
echo "share_rig: $served served at $rate, mounted on $mount_point with $kind"
