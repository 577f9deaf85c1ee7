#!/usr/bin/python3
"""Reads zarvo-history.csv with Python's csv module as a script would, checks the heading and
every value against the documented columns, and prints the rows as a JSON list of objects
(numbers as numbers, empty as null). Exits non-zero, saying why, when anything is off.

Usage: check_history.py HISTORY
"""
import csv
import json
import re
import sys

COLUMNS = [
    "start_time", "host", "directory", "file_size", "iteration", "write_bytes", "read_bytes",
    "write_seconds", "read_seconds", "write_mb_s", "read_mb_s", "error_bytes",
    "first_mismatch_offset", "mismatch_blocks", "persistent_blocks", "transient_blocks",
    "write_p50_ms", "write_p99_ms", "write_max_ms", "read_p50_ms", "read_p99_ms", "read_max_ms",
    "longest_stall_s", "outcome",
]
INTEGERS = {"file_size", "iteration", "write_bytes", "read_bytes", "error_bytes",
            "mismatch_blocks", "persistent_blocks", "transient_blocks"}
MAY_BE_EMPTY = {"write_mb_s", "read_mb_s", "first_mismatch_offset", "write_p50_ms",
                "write_p99_ms", "write_max_ms", "read_p50_ms", "read_p99_ms", "read_max_ms"}
DECIMALS = {"write_seconds": 3, "read_seconds": 3, "write_mb_s": 2, "read_mb_s": 2,
            "write_p50_ms": 3, "write_p99_ms": 3, "write_max_ms": 3, "read_p50_ms": 3,
            "read_p99_ms": 3, "read_max_ms": 3, "longest_stall_s": 1}
START = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$")
OUTCOME = re.compile(r"^(ok|errors|cancelled|failed: .+)$")


def fail(message):
    sys.exit("check_history: " + message)


def value(row_number, name, text):
    if text == "":
        if name not in MAY_BE_EMPTY:
            fail(f"row {row_number}: {name} is empty")
        return None
    if name == "first_mismatch_offset" or name in INTEGERS:
        if not re.fullmatch(r"\d+", text):
            fail(f"row {row_number}: {name} is not a whole number: {text!r}")
        return int(text)
    if name in DECIMALS:
        if not re.fullmatch(r"\d+\.\d{%d}" % DECIMALS[name], text):
            fail(f"row {row_number}: {name} has not {DECIMALS[name]} decimals: {text!r}")
        return float(text)
    if name == "start_time" and not START.match(text):
        fail(f"row {row_number}: start_time is not ISO 8601 with an offset: {text!r}")
    if name == "outcome" and not OUTCOME.match(text):
        fail(f"row {row_number}: unknown outcome {text!r}")
    return text


def main():
    with open(sys.argv[1], newline="", encoding="utf-8") as history:
        rows = list(csv.reader(history, strict=True))
    if not rows or rows[0] != COLUMNS:
        fail(f"heading {rows[0] if rows else None} is not {COLUMNS}")
    result = []
    for number, row in enumerate(rows[1:], start=1):
        if len(row) != len(COLUMNS):
            fail(f"row {number} has {len(row)} fields: {row}")
        result.append({name: value(number, name, text) for name, text in zip(COLUMNS, row)})
    print(json.dumps(result, ensure_ascii=False))


if __name__ == "__main__":
    main()
