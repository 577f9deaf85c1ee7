#!/usr/bin/env bash
# zarvo-report on histories written here: the picture of one history, the merge of several
# (and of a --json file) into one CSV and a picture with the fleet's summed rates, PNG as well
# as SVG, and refusals that name their reason.
set -uo pipefail
report="$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../../report/zarvo-report"
command -v gnuplot >/dev/null || {
    echo "report_test: gnuplot not found: run tools/install-deps.sh test" >&2
    exit 1
}
work=$(mktemp -d /tmp/zarvo-report-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
header='start_time,host,directory,file_size,iteration,write_bytes,read_bytes,write_seconds,read_seconds,write_mb_s,read_mb_s,error_bytes,first_mismatch_offset,mismatch_blocks,persistent_blocks,transient_blocks,write_p50_ms,write_p99_ms,write_max_ms,read_p50_ms,read_p99_ms,read_max_ms,longest_stall_s,outcome'
row() { # start, host, directory, write s, read s, write MB/s, read MB/s, error bytes, stall, outcome
    echo "$1,$2,$3,16777216,1,16777216,16777216,$4,$5,$6,$7,$8,,0,0,0,1.000,2.000,3.000,1.000,2.000,3.000,$9,${10}"
}
{
    echo "$header"
    row 2026-12-11T03:00:00+03:00 ws1 /mnt/a 1.600 1.455 10.00 11.00 0 0.0 ok
    row 2026-12-11T03:01:00+03:00 ws1 /mnt/a 1.600 1.455 10.00 11.00 512 0.0 errors
    row 2026-12-11T03:02:00+03:00 ws1 /mnt/a 1.600 "" 10.00 "" 0 46.0 '"failed: Сервер не отвечает, ""46"" с"'
} >"$work/ws1.csv"
{
    echo "$header"
    row 2026-12-11T00:00:30Z ws2 '"/mnt/b,c"' 3.200 2.900 5.00 5.50 0 0.0 ok
} >"$work/ws2.csv"
cat >"$work/ws3.json" <<'JSON'
{"parameters":{"directory":"/mnt/a"},"iterations":[{"start_time":"2026-12-11T03:00:30+03:00","host":"ws3","directory":"/mnt/a","write_seconds":"3.200","read_seconds":"2.900","write_mb_s":"5.00","read_mb_s":"5.50","error_bytes":"0","longest_stall_s":"0.0","outcome":"ok"}],"totals":{},"exit_status":0}
JSON

svg_names() { # svg, texts it must hold...: parses as XML and holds every text
    local svg=$1
    shift
    python3 -c 'import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])' "$svg" ||
        { fail "$svg is not XML"; return; }
    for text in "$@"; do grep -qF -- "$text" "$svg" || fail "$(basename "$svg") does not name $text"; done
}

# One history: the short form, both rates named, no fleet sum for a single host.
"$report" "$work/ws1.csv" "$work/one.svg" || fail "the three-row history was not drawn"
svg_names "$work/one.svg" "запись, МБ/с" "чтение, МБ/с" "ошибочные байты" "ожидание сервера"
grep -qF "сумма" "$work/one.svg" && fail "a single host's picture has a fleet sum"

# Several histories (one named twice, one a --json file): one header, rows by time across
# offsets, nothing doubled, quoted fields kept, and a line per host plus the sums.
"$report" -o "$work/merged.csv" -s "$work/fleet.svg" "$work/ws1.csv" "$work/ws2.csv" \
    "$work/ws1.csv" "$work/ws3.json" || fail "the merge failed"
python3 - "$work/merged.csv" <<'PY' || fail "the merged history is wrong (above)"
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1], encoding="utf-8", newline="")))
order = [(r["host"], r["start_time"]) for r in rows]
want = [("ws1", "2026-12-11T03:00:00+03:00"), ("ws2", "2026-12-11T00:00:30Z"),
        ("ws3", "2026-12-11T03:00:30+03:00"), ("ws1", "2026-12-11T03:01:00+03:00"),
        ("ws1", "2026-12-11T03:02:00+03:00")]
problems = []
if order != want:
    problems.append(f"rows {order}")
if rows and rows[1]["directory"] != "/mnt/b,c":
    problems.append(f"directory {rows[1]['directory']!r}")
if rows and rows[-1]["outcome"] != 'failed: Сервер не отвечает, "46" с':
    problems.append(f"outcome {rows[-1]['outcome']!r}")
if open(sys.argv[1], encoding="utf-8").read().count("start_time,host") != 1:
    problems.append("more than one header")
for p in problems:
    print("merged:", p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
svg_names "$work/fleet.svg" "ws1: запись, МБ/с" "ws2: чтение, МБ/с" "ws3: запись, МБ/с" \
    "сумма: запись, МБ/с" "сумма: чтение, МБ/с"

# The PNG terminal.
"$report" -s "$work/fleet.png" "$work/merged.csv" || fail "no PNG was drawn"
[ "$(head -c 4 "$work/fleet.png" | od -An -c | tr -d ' ')" = '211PNG' ] || fail "fleet.png is no PNG"

# Refusals: status and a reason, never a picture made of half the data.
refused() { # what, expected status, text in the message, arguments...
    local what=$1 want=$2 text=$3
    shift 3
    "$report" "$@" >/dev/null 2>"$work/err"
    local status=$?
    [ $status -eq "$want" ] || fail "$what: status $status, not $want"
    grep -qF -- "$text" "$work/err" || fail "$what: no reason ($(cat "$work/err"))"
}
printf 'start_time,host\n2026-12-11T03:00:00+03:00,ws1\n' >"$work/short.csv"
printf '%s\n' "$header" "$(row yesterday ws1 /mnt/a 1 1 1 1 0 0.0 ok)" >"$work/badtime.csv"
refused "missing rate columns" 1 "write_mb_s" "$work/short.csv" "$work/x.svg"
refused "a start time that is no time" 1 "yesterday" "$work/badtime.csv" "$work/x.svg"
refused "no such history" 1 "nothing.csv" "$work/nothing.csv" "$work/x.svg"
refused "a picture neither SVG nor PNG" 1 ".gif" -s "$work/x.gif" "$work/ws1.csv"
refused "nothing to make" 2 "-o" "$work/ws1.csv"
printf '%s\n' "$header" >"$work/empty.csv"
refused "a history without rows" 1 "ни одной итерации" "$work/empty.csv" "$work/x.svg"
[ -e "$work/x.svg" ] && fail "a refused report left a picture"

[ $failures -eq 0 ] && echo "report: all checks passed"
exit $failures
