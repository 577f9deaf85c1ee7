#!/usr/bin/python3
"""Reads the run's JSON summary with Python's json module as a script would, checks its shape
against the documented one (the iterations' keys are the history's columns), and prints it
back. Exits non-zero, saying why, when anything is off.

Usage: check_run_json.py SUMMARY
"""
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_history import COLUMNS  # noqa: E402

PARAMETERS = {"directory": str, "file_size": int, "work_time_minutes": (int, float),
              "period_minutes": (int, float), "host": str}
BLOCK = {"iteration": int, "pass": str, "offset": int, "class": str}


def fail(message):
    sys.exit("check_run_json: " + message)


def check_types(what, value, types):
    if not isinstance(value, dict) or set(value) != set(types):
        fail(f"{what} has keys {sorted(value) if isinstance(value, dict) else value}, "
             f"not {sorted(types)}")
    for key, kind in types.items():
        if not isinstance(value[key], kind) or isinstance(value[key], bool):
            fail(f"{what}.{key} is {value[key]!r}")


def main():
    with open(sys.argv[1], encoding="utf-8") as summary:
        run = json.load(summary)
    if set(run) != {"parameters", "iterations", "blocks", "totals", "exit_status"}:
        fail(f"top-level keys {sorted(run)}")
    check_types("parameters", run["parameters"], PARAMETERS)
    for number, row in enumerate(run["iterations"], start=1):
        if list(row) != COLUMNS:
            fail(f"iteration {number} has keys {list(row)}")
        for key, value in row.items():
            if not (value is None or isinstance(value, (int, float, str))):
                fail(f"iteration {number}: {key} is {value!r}")
    for block in run["blocks"]:
        check_types("block", block, BLOCK)
        if block["pass"] != "read" or block["class"] not in ("persistent", "transient"):
            fail(f"block {block}")
    if not isinstance(run["totals"], dict) or not isinstance(run["exit_status"], int):
        fail("totals or exit_status")
    print(json.dumps(run, ensure_ascii=False))


if __name__ == "__main__":
    main()
