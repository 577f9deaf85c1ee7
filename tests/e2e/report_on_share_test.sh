#!/usr/bin/env bash
# The picture of a real run: three or more iterations over a limited sshfs share
# (share_rig.sh), their history drawn by zarvo-report into an SVG that parses and names both
# rates. Catches a history the report cannot read, or rows it drops.
set -uo pipefail
zarvo=$(readlink -f "$1")
source_dir="$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.."
rig="$source_dir/tests/support/share_rig.sh"
report="$source_dir/report/zarvo-report"
[ "$(id -u)" -eq 0 ] || {
    echo "report_on_share_test: needs root for the share rig" >&2
    exit 77
}
command -v gnuplot >/dev/null || {
    echo "report_on_share_test: gnuplot not found: run tools/install-deps.sh test" >&2
    exit 1
}
# One shaped share at a time on this machine, as the rate tests take it.
exec {machine_lock}>/var/tmp/zarvo-share-rig.lock
flock -w 900 "$machine_lock" || {
    echo "report_on_share_test: the shaped-share lock stayed taken" >&2
    exit 1
}
work=$(mktemp -d /tmp/zarvo-report-share.XXXXXX)
mkdir -p "$work/share" "$work/run"
cleanup() {
    "$rig" down "$work/share" >/dev/null 2>&1
    rm -rf -- "$work"
}
trap cleanup EXIT
rig_line=$("$rig" up 100mbit "$work/share" 2>&1)
status=$?
if [ $status -eq 77 ]; then
    echo "report_on_share_test: $rig_line" >&2
    exit 77
fi
[ $status -eq 0 ] || {
    echo "FAIL: share_rig: $rig_line" >&2
    exit 1
}

# 1 MB a pass and a second between starts: seven seconds hold at least three iterations.
(cd "$work/run" && timeout 120 "$zarvo" --no-ui --dir "$work/share" --size 1 \
    --work-time 00:00:07 --period 00:00:01 2>"$work/lines.txt")
status=$?
[ $status -eq 0 ] || {
    tail -5 "$work/lines.txt" >&2
    echo "FAIL: the run over the share ended with $status" >&2
    exit 1
}
rows=$(python3 -c 'import csv, sys; print(len(list(csv.DictReader(open(sys.argv[1], encoding="utf-8")))))' \
    "$work/run/zarvo-history.csv")
[ "$rows" -ge 3 ] || {
    echo "FAIL: $rows iterations in the history, wanted three or more" >&2
    exit 1
}
timeout 60 "$report" "$work/run/zarvo-history.csv" "$work/rates.svg" || {
    echo "FAIL: zarvo-report failed on the run's history" >&2
    exit 1
}
python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' "$work/rates.svg" || {
    echo "FAIL: the picture is not XML" >&2
    exit 1
}
for name in "запись" "чтение"; do
    grep -qF "$name, МБ/с" "$work/rates.svg" || {
        echo "FAIL: the picture does not name the $name rate" >&2
        exit 1
    }
done
echo "report_on_share_test: $rows iterations drawn"
