#!/usr/bin/env bash
# The same way to a share in the window host on a private Xvfb, with the mouse: the share's
# path typed into the directory field, a click on the chooser, a click on "Создать" and a
# typed Cyrillic name, a click on "Выбрать", the size and times typed (Tab between them), a
# click on "Принять"; the short test ends by itself, its entry stays on screen until Enter,
# the program then ends with status 0, the entry names the chosen directory and the share is
# left clean. Skipped (77) without Xvfb or
# xdotool, or unless root may mount a tmpfs under /mnt.
set -uo pipefail
zarvo=$(readlink -f "$1")
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/xvfb_demo.sh"
share="/mnt/zarvo-e2e-window-$$"
mkdir -p "$work/run"
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/mnt_share.sh"

(cd "$work/run" && exec "$zarvo" >"$work/stdout" 2>"$work/stderr") &
demo_pid=$!
find_window 'Тестирование локальной сети' ||
    { fail "no window named 'Тестирование локальной сети'"; exit 1; }
# click COLUMN ROW: the middle of that cell.
click() {
    xdo mousemove --window "$window" $(($1 * cell_w + cell_w / 2)) $(($2 * cell_h + cell_h / 2)) \
        click 1 || fail "xdotool could not click at $1,$2"
    sleep 0.5
}
sleep 0.5
# The 74 x 10 parameters dialog stands at (3, 7): the chooser in columns 72-74 of row 9,
# the inputs from column 38, "Принять" from column 40 of row 14. The directory dialog stands
# at (9, 3) with "Выбрать" on row 5 and "Создать" on row 9 from column 59.
xdo type --delay 40 "$share" || fail "xdotool could not type"
click 73 9
click 61 9
xdo type --delay 80 "Проверка 1" || fail "xdotool could not type Cyrillic letters"
xdo key Return
wait_until 10 test -d "$share/Проверка 1" || fail "the directory was not made as typed"
sleep 0.5
click 61 5
# Tab selects a field's whole text, so what is typed replaces it.
xdo key Tab
xdo type --delay 40 "4"
xdo key Tab
xdo type --delay 40 "000003"
xdo key Tab
xdo type --delay 40 "000000"
click 42 14
# The entry stays on screen in a box until a key is pressed.
wait_until 30 test -s "$work/run/protocol.doc" || fail "the test did not end by itself"
sleep 1
kill -0 "$demo_pid" 2>/dev/null || fail "the program ended without showing its entry"
xdo windowfocus --sync "$window"
xdo key Return
wait_until 10 bash -c "! kill -0 $demo_pid 2>/dev/null" || fail "the entry's box did not end the program"
wait "$demo_pid"
status=$?
demo_pid=""
[ "$status" -eq 0 ] || fail "ended with status $status: $(cat "$work/stderr")"
iconv -f CP866 -t UTF-8 "$work/run/protocol.doc" 2>/dev/null | tr -d '\r' |
    grep -qF "Каталог $share/Проверка 1/TEST_NET.\$\$\$" || fail "no entry for the chosen directory"
[ -z "$(ls -A "$share/Проверка 1" 2>/dev/null)" ] || fail "the share was not left clean"

if [ $failures -eq 0 ]; then
    echo "directory chooser in the window host: all checks passed"
fi
exit $failures
