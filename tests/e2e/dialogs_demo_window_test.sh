#!/usr/bin/env bash
# The dialogs demo in the window host on a private Xvfb: its window appears under its name
# with the dialog open, takes Tab, typed Cyrillic letters in the sorted list and a click on
# "Принять", prints the accepted record on stdout, and Alt+X ends it in order with exit
# code 0; losing the display while the history list is open ends it in order as well.
# Skipped (77) where Xvfb or xdotool is missing.
set -uo pipefail
demo=$(readlink -f "$1")
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/xvfb_demo.sh"

(cd "$work" && exec "$demo" --host=window --open-dialog --settings="$work/dialogs_demo.ini" \
    >"$work/stdout" 2>"$work/stderr") &
demo_pid=$!

find_window 'Zarvo: диалоги' || { fail "no window named 'Zarvo: диалоги' appeared"; exit 1; }

# Three Tabs reach the list; "Ива" focuses the first name beginning with it.
sleep 0.5
xdo key --delay 60 Tab Tab Tab || fail "xdotool could not type"
xdo type --delay 80 "Ива" || fail "xdotool could not type Cyrillic letters"
sleep 0.5
# The 72 x 20 dialog is centred on the desktop's 23 rows: "Принять" spans columns 41-54 of
# row 18 on the screen.
x=$((45 * cell_w + cell_w / 2))
y=$((18 * cell_h + cell_h / 2))
xdo mousemove --window "$window" "$x" "$y" click 1 || fail "xdotool could not click"
wait_until 10 grep -q "Анкета принята" "$work/stdout" ||
    fail "a click on 'Принять' printed no record"
grep -qF "Сотрудник: Ивакин Алексей" "$work/stdout" ||
    { fail "the record does not hold the name found by 'Ива':"; cat "$work/stdout"; }
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
grep -q "^dialogs_demo: ended$" "$work/stderr" || fail "no orderly end on stderr"

# The display going away while the history list runs inside the dialog ends the demo in
# order too: the quit does not wait for runs no input can end any more.
(cd "$work" && exec "$demo" --host=window --open-dialog --settings="$work/dialogs_demo.ini" \
    >"$work/stdout" 2>"$work/stderr") &
demo_pid=$!
find_window 'Zarvo: диалоги' || fail "the window did not appear a second time"
sleep 0.5
xdo key Down || fail "xdotool could not press Down"
sleep 0.5
kill "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null
xvfb_pid=""
wait_until 10 bash -c "! ps -o stat= -p $demo_pid | grep -qv '^Z'" ||
    fail "the demo did not end within 10 s of losing its display"
alive && kill -KILL "$demo_pid"
wait "$demo_pid"
status=$?
demo_pid=""
[ "$status" -eq 0 ] || fail "the demo ended with exit code $status after losing its display"
grep -q "^dialogs_demo: ended$" "$work/stderr" ||
    fail "no orderly end on stderr after losing the display"

if [ $failures -eq 0 ]; then
    echo "dialogs demo in the window host: all checks passed"
fi
exit $failures
