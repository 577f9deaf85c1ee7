#!/usr/bin/env bash
# The fleet playbook for real: one sshfs server behind a limited link (share_rig.sh), three
# workstation network namespaces, each with its own sshd and host name and the share mounted,
# and ansible-playbook from this namespace. Checks the merged history (three hosts, write rates
# that together stay within the link, so the runs did overlap), each host's directory left
# clean, and a workstation whose share is gone reported with status 2 and a failed play.
#
#   fleet_test.sh ZARVO_BINARY SOURCE_DIR
#
# With ZARVO_FLEET_KEEP=DIR the first run's results (each host's files, fleet.csv, fleet.svg)
# are copied there, for a look at a real merged report.
# Exit codes: 0 passed, 1 failed, 77 this machine cannot make network namespaces.
set -uo pipefail
zarvo=$(readlink -f "$1")
source_dir=$(readlink -f "$2")
rig="$source_dir/tests/support/share_rig.sh"
playbook="$source_dir/deploy/ansible/fleet.yml"
report="$source_dir/report/zarvo-report"
rate=40mbit # three 8 MB files take about five seconds to write together
link_mb_s=$(python3 -c "print(40e6 / 8 / 1048576)")

[ "$(id -u)" -eq 0 ] || {
    echo "fleet_test: needs root for network namespaces" >&2
    exit 77
}
for tool in ansible-playbook ip tc nsenter unshare sshfs ssh-keygen python3 gnuplot flock; do
    command -v "$tool" >/dev/null || {
        echo "fleet_test: $tool not found: run tools/install-deps.sh test" >&2
        exit 1
    }
done
probe="zarvo-fleet-probe-$$"
ip netns add "$probe" 2>/dev/null || {
    echo "fleet_test: cannot make network namespaces" >&2
    exit 77
}
ip netns del "$probe"

# One shaped share on the machine at a time (the rate tests' rule): their figures and ours
# would disturb each other.
exec {machine_lock}>/var/tmp/zarvo-share-rig.lock
flock -w 900 "$machine_lock" || {
    echo "fleet_test: the shaped-share lock stayed taken" >&2
    exit 1
}

work=$(mktemp -d /var/tmp/zarvo-fleet-test.XXXXXX)
hosts=(ws1 ws2 ws3)
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
stop() {
    echo "FAIL: $*" >&2
    exit 1
}
namespace() { echo "zarvo-fleet-$$-$1"; }
cleanup() {
    local host pids
    for host in "${hosts[@]}"; do
        [ -e "/run/netns/$(namespace "$host")" ] || continue
        pids=$(ip netns pids "$(namespace "$host")" 2>/dev/null)
        [ -n "$pids" ] && kill $pids 2>/dev/null
    done
    sleep 0.2
    for host in "${hosts[@]}"; do
        ip netns del "$(namespace "$host")" 2>/dev/null
    done
    "$rig" down "$work/ws1/share" >/dev/null 2>&1
    rm -rf -- "$work"
}
trap cleanup EXIT

# The server and its three mounts, all through the rig's one limited link.
for host in "${hosts[@]}"; do mkdir -p "$work/$host/share" "$work/$host/run"; done
rig_line=$("$rig" up "$rate" "$work/ws1/share" 2>&1)
status=$?
if [ $status -eq 77 ]; then
    echo "fleet_test: $rig_line" >&2
    exit 77
fi
[ $status -eq 0 ] || stop "share_rig: $rig_line"
served=$(sed -nE 's/^share_rig: (.*) served at .*/\1/p' <<<"$rig_line")
for host in ws2 ws3; do
    "$rig" attach "$work/ws1/share" "$work/$host/share" >/dev/null ||
        stop "the share could not be mounted for $host"
done

# The workstations: a namespace each, reached from here over a pair of virtual cables, with
# an sshd of its own that knows itself by the workstation's name.
mkdir -p "$work/ssh" /run/sshd
ssh-keygen -q -t ed25519 -N '' -f "$work/ssh/host_key" &&
    ssh-keygen -q -t ed25519 -N '' -f "$work/ssh/client_key" &&
    cp "$work/ssh/client_key.pub" "$work/ssh/authorized_keys" || stop "no ssh keys"
index=0
for host in "${hosts[@]}"; do
    index=$((index + 1))
    ns=$(namespace "$host")
    outer="zf$$-$index" # at most 15 characters, as interface names are
    address="198.18.77.$((4 * index + 2))"
    { ip netns add "$ns" &&
        ip link add name "$outer" type veth peer name "zfin$index" &&
        ip link set "zfin$index" netns "$ns" &&
        ip addr add "198.18.77.$((4 * index + 1))/30" dev "$outer" && ip link set "$outer" up &&
        ip -n "$ns" link set "zfin$index" name eth0 &&
        ip -n "$ns" addr add "$address/30" dev eth0 && ip -n "$ns" link set eth0 up &&
        ip -n "$ns" link set lo up; } || stop "the network of $host"
    printf '%s\n' "ListenAddress $address" "HostKey $work/ssh/host_key" \
        "PidFile $work/$host/sshd.pid" "AuthorizedKeysFile $work/ssh/authorized_keys" \
        "PermitRootLogin prohibit-password" "PasswordAuthentication no" \
        "KbdInteractiveAuthentication no" "UsePAM no" "StrictModes no" \
        "Subsystem sftp internal-sftp" >"$work/$host/sshd_config"
    nsenter --net="/run/netns/$ns" unshare --uts sh -c \
        "hostname $host && exec /usr/sbin/sshd -f '$work/$host/sshd_config' -E '$work/$host/sshd.log'" ||
        stop "sshd of $host did not start: $(tail -1 "$work/$host/sshd.log" 2>/dev/null)"
    echo "$host ansible_host=$address zarvo_share=$work/$host/share zarvo_workdir=$work/$host/run" \
        >>"$work/hosts.ini"
done
{
    echo "[zarvo_workstations]"
    cat "$work/hosts.ini"
    echo
    echo "[zarvo_workstations:vars]"
    echo "ansible_user=root"
    echo "ansible_python_interpreter=/usr/bin/python3"
    echo "ansible_ssh_private_key_file=$work/ssh/client_key"
    echo "ansible_ssh_common_args='-o UserKnownHostsFile=/dev/null -o StrictHostKeyChecking=no -o ConnectTimeout=10'"
    echo "zarvo_command=$zarvo"
    echo "zarvo_work_time=00:00:01"
    echo "zarvo_period=00:00:00"
    echo "zarvo_slack_seconds=240"
} >"$work/inventory.ini"
# Ansible's own files under the test's directory, none in root's home.
export HOME="$work/home" ANSIBLE_LOCAL_TEMP="$work/ansible/local" \
    ANSIBLE_REMOTE_TEMP="$work/ansible/remote" ANSIBLE_ASYNC_DIR="$work/ansible/async" \
    ANSIBLE_SSH_CONTROL_PATH_DIR="$work/ansible/cp" ANSIBLE_HOST_KEY_CHECKING=False \
    ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_PIPELINING=True ANSIBLE_CONFIG="$work/ansible.cfg"
mkdir -p "$HOME"
: >"$ANSIBLE_CONFIG" # no configuration of this machine's or the caller's

play() { # results dir, size in MB: the playbook's status; its output beside the results dir
    mkdir -p "$1"
    timeout 600 ansible-playbook -i "$work/inventory.ini" "$playbook" \
        -e "zarvo_results=$1" -e "zarvo_size=$2" -e "zarvo_report=$report" \
        -e zarvo_start_delay=15 >"$1.log" 2>&1
}

# All three at once.
play "$work/all" 8
status=$?
[ $status -eq 0 ] ||
    fail "the play over three good shares ended with $status: $(grep -E 'FAILED|fatal|status' "$work/all.log" | head -10)"
for host in "${hosts[@]}"; do
    grep -q "$host: status 0" "$work/all.log" || fail "$host's status is not reported as 0"
    [ -s "$work/all/$host/protocol.doc" ] || fail "$host's protocol was not fetched"
    [ -d "$served/$host" ] || fail "$host's directory was not made on the share"
    [ -z "$(ls -A "$served/$host" 2>/dev/null)" ] ||
        fail "$host's directory on the server is not clean: $(ls -A "$served/$host")"
done
# The merge needs a zarvo that writes a history (or --json); one that writes neither leaves
# these checks out.
writes_json=no
"$zarvo" --help | grep -q -- --json && writes_json=yes
if [ $writes_json = yes ]; then
    for host in "${hosts[@]}"; do
        [ -s "$work/all/$host/zarvo-run.json" ] || fail "$host's JSON was not fetched"
    done
fi
# A host that started late had the link to itself for a while, which the rates below would
# show only as a puzzle.
late=$(grep -h "after the common moment" "$work"/all/ws*/zarvo-progress.log 2>/dev/null)
[ -z "$late" ] || fail "not all started together: $late"
if [ $writes_json = yes ] || [ -s "$work/all/ws1/zarvo-history.csv" ]; then
    [ -s "$work/all/fleet.csv" ] || fail "no merged history"
    python3 - "$work/all/fleet.csv" "$link_mb_s" <<'CHECK' || fail "the merged history (above)"
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1], encoding="utf-8", newline="")))
link = float(sys.argv[2])
problems = []
first = {}
for row in rows:
    first.setdefault(row["host"], row)
if sorted(first) != ["ws1", "ws2", "ws3"]:
    problems.append(f"hosts {sorted(first)}")
rates = [float(r["write_mb_s"] or 0) for r in first.values()]
if any(rate <= 0 for rate in rates):
    problems.append(f"a host wrote nothing: {rates}")
# Runs one after another would each get the whole link: three times it together. Together,
# the one that ends first has had more than a third for a while: a fifth more is allowed.
if sum(rates) > link * 1.2:
    problems.append(f"write rates {rates} sum to {sum(rates):.2f} MB/s, over the link's {link:.2f}")
if any(r["outcome"] != "ok" for r in first.values()):
    problems.append(f"outcomes {[r['outcome'] for r in first.values()]}")
for p in problems:
    print("fleet.csv:", p, file=sys.stderr)
sys.exit(1 if problems else 0)
CHECK
    python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' "$work/all/fleet.svg" ||
        fail "the fleet's picture is not SVG"
    grep -qF "сумма: запись" "$work/all/fleet.svg" || fail "the fleet's picture has no summed rates"
else
    echo "fleet_test: this zarvo writes no history: the merged-history checks are left out" >&2
fi

[ -n "${ZARVO_FLEET_KEEP:-}" ] && mkdir -p "$ZARVO_FLEET_KEEP" && cp -r "$work/all/." "$ZARVO_FLEET_KEEP/"

# One share gone: that host fails with status 2 and the play with it; the others still pass,
# and nothing is made on the bare mount point.
fusermount3 -u "$work/ws3/share" 2>/dev/null || fusermount -u "$work/ws3/share" 2>/dev/null ||
    umount "$work/ws3/share"
play "$work/one-gone" 1
status=$?
[ $status -ne 0 ] || fail "the play passed with ws3's share gone"
grep -q "ws3: status 2, the share .* is not mounted" "$work/one-gone.log" ||
    fail "ws3's failure is not reported: $(grep -E 'ws3' "$work/one-gone.log" | head -5)"
grep -qF 'share check failed on: ws3"' "$work/one-gone.log" ||
    fail "the play's verdict does not name ws3 alone: $(grep 'share check failed' "$work/one-gone.log")"
for host in ws1 ws2; do
    grep -q "$host: status 0" "$work/one-gone.log" || fail "$host did not pass beside the failed ws3"
done
[ -z "$(ls -A "$work/ws3/share")" ] || fail "something was made on ws3's bare mount point"

if [ $failures -eq 0 ]; then
    echo "fleet: all checks passed"
else
    for log in "$work"/*.log; do
        echo "== $(basename "$log")" >&2
        tail -40 "$log" >&2
    done
fi
[ $failures -eq 0 ]
