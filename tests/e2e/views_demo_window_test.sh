#!/usr/bin/env bash
# The views demo in the window host on a private Xvfb: its window appears under its name,
# takes the window keys and a mouse drag without ending, and Alt+X ends it in order with
# exit code 0. Skipped (77) where Xvfb or xdotool is missing.
set -uo pipefail
demo=$(readlink -f "$1")
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/xvfb_demo.sh"

(cd "$work" && exec "$demo" --host=window --settings="$work/views_demo.ini" 2>"$work/stderr") &
demo_pid=$!

find_window 'Zarvo: окна' || { fail "no window named 'Zarvo: окна' appeared"; exit 1; }

# Window keys, then a drag of the front window's top row and a double click on it (zoom).
xdo key --delay 40 alt+2 Down Next alt+3 ctrl+F5 Left Left Return F5 F5 F6 F6 ||
    fail "xdotool could not type"
top_x=$(((60 * cell_w) + cell_w / 2))
top_y=$(((9 * cell_h) + cell_h / 2))
xdo mousemove --window "$window" "$top_x" "$top_y" mousedown 1 \
    mousemove --window "$window" $((top_x - 3 * cell_w)) $((top_y + 2 * cell_h)) mouseup 1 ||
    fail "xdotool could not drag"
xdo click --repeat 2 --delay 80 1 || fail "xdotool could not double-click"
sleep 0.5
alive() { ps -o stat= -p "$demo_pid" 2>/dev/null | grep -qv '^Z'; }
alive || fail "the demo ended before Alt+X"

xdo key alt+x || fail "xdotool could not press Alt+X"
wait_until 10 bash -c "! ps -o stat= -p $demo_pid | grep -qv '^Z'" ||
    fail "Alt+X did not end the demo within 10 s"
alive && kill -KILL "$demo_pid"
wait "$demo_pid"
status=$?
demo_pid=""
[ "$status" -eq 0 ] || fail "the demo ended with exit code $status"
grep -q "^views_demo: ended$" "$work/stderr" || fail "no orderly end on stderr"

if [ $failures -eq 0 ]; then
    echo "views demo in the window host: all checks passed"
fi
exit $failures
