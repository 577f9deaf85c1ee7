#!/usr/bin/env bash
# The layer check itself: a planted upward include (or one between side-by-side folders),
# quoted or in angle brackets, must fail it; a tree that keeps the layers and the real source
# tree must pass.
# Usage: check_layers_test.sh <check-layers.sh> <source root>
set -uo pipefail
check=$1
source_root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Fixture: a tree that keeps the layers; each case adds one file to a copy of it.
make_tree() { # dir
    mkdir -p "$1"/{platform,library,console,views,records,record_inputs,dirselect,app,tests/app}
    echo '#include <vector>' >"$1/platform/os.h"
    printf '#include "platform/os.h"\n#include "library/array.h"\n' >"$1/library/array.cpp"
    echo '#include "library/array.h"' >"$1/console/console.h"
    echo '#include "library/array.h"' >"$1/records/record.h"
    printf '#include "records/record.h"\n#include "views/view.h"\n' >"$1/record_inputs/input.h"
    echo '#include "views/view.h"' >"$1/dirselect/dialog.h"
    printf '#include "record_inputs/input.h"\n#include "dirselect/dialog.h"\n' >"$1/app/main.cpp"
    echo '#include "app/network_test.h"' >"$1/tests/app/network_test_test.cpp"
}

expect() { # wanted result (pass|fail), case name, file to plant, its include line
    local dir="$work/$2"
    make_tree "$dir"
    if [ -n "$3" ]; then
        mkdir -p "$(dirname "$dir/$3")"
        echo "$4" >>"$dir/$3"
    fi
    local got=pass
    "$check" "$dir" 2>"$dir.log" || got=fail
    if [ "$got" != "$1" ]; then
        echo "FAIL: $2: expected the check to $1, it did $got" >&2
        cat "$dir.log" >&2
        failures=$((failures + 1))
    fi
}

expect pass clean-tree "" ""
expect fail platform-includes-console platform/os.h '#include "console/console.h"'
expect fail library-includes-views library/list.cpp '  #  include "views/view.h"'
expect fail library-includes-views-in-brackets library/list.cpp '#include <views/view.h>'
expect fail records-includes-dirselect records/record.cpp '#include "dirselect/dialog.h"'
expect fail records-includes-views records/record.cpp '#include <views/view.h>'
expect fail records-includes-console records/record.cpp '#include "console/console.h"'
expect fail records-includes-log records/record.cpp '#include "log/log.h"'
expect fail record-inputs-include-dirselect record_inputs/input.cpp '#include "dirselect/dialog.h"'
expect fail dirselect-includes-record-inputs dirselect/dialog.cpp '#include <record_inputs/input.h>'
expect fail console-includes-app console/x11/window.cpp '#include "app/main.h"'
expect pass log-includes-library log/log.cpp '#include "library/array.h"'
expect fail library-includes-log library/list.cpp '#include "log/log.h"'
expect fail diagnostics-includes-log diagnostics/error.cpp '#include <log/log.h>'
expect fail log-includes-console log/log.cpp '#include "console/console.h"'
expect pass console-includes-log console/console.cpp '#include "log/log.h"'
expect fail resources-include-app resources/builders.cpp '#include "app/main.h"'
expect fail views-include-resources views/calc.cpp '#include <resources/program_resources.h>'
expect fail resources-include-record-inputs resources/builders.cpp '#include "record_inputs/input.h"'
expect pass app-includes-resources app/main.cpp '#include "resources/program_resources.h"'
expect pass tools-include-anything tools/resource_tool.cpp '#include "app/main.h"'
expect pass tests-include-anything tests/library/x_test.cpp '#include "app/main.h"'
expect pass system-headers-ignored platform/os.cpp '#include <X11/Xlib.h>'

if ! "$check" "$source_root" 2>"$work/real.log"; then
    echo "FAIL: expected the real source tree to keep the layers:" >&2
    cat "$work/real.log" >&2
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] && echo "check-layers: all cases behave"
[ "$failures" -eq 0 ]
