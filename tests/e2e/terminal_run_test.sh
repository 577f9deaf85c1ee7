#!/usr/bin/env bash
# Drives the real program in tmux as an operator would: the whole test from the command line
# in its progress window (title, result lines, phase, bar, ticking clock, key hints), the
# parameters dialog with a cancel answered "Нет" and then "Да", SIGTERM in the middle of a
# pass, and the dialog in other terminals; checks the entries and what is left behind.
set -uo pipefail
zarvo=$(readlink -f "$1")
socket_base="zarvo-run-$$"
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/tmux_demo.sh"
mkdir -p "$work/run" "$work/server"
server="$work/server"
size="xterm-256color 80x24"

entries() { iconv -f CP866 -t UTF-8 "$work/run/protocol.doc" | tr -d '\r' | grep -c '^Размер файла'; }
expect_clean() {
    [ ! -e "$server/TEST_NET.\$\$\$" ] || fail "$1: the scratch directory was left behind"
    [ ! -e "$work/run/TEMP/Zarvo.lck" ] || fail "$1: the lock file was left behind"
}

# 1. The whole test from the command line.
start xterm-256color 80 24 --dir "$server" --size 8 --work-time 00:00:10 --period 00:00:00
wait_for "Тестирование сети" 20 || fail "no progress window"
shown=$(screen)
for part in "Время работы" "Прочитано" "Esc"; do
    grep -qF "$part" <<<"$shown" || fail "the screen lacks '$part'"
done
grep -qE 'Запись|Чтение' <<<"$shown" || fail "no phase shown"
grep -qE '[0-9]+%' <<<"$shown" || fail "no bar with its percentage"
clock=$(screen | head -n1 | grep -oE '[0-9]{2}:[0-9]{2}:[0-9]{2}')
sleep 1.5
[ -n "$clock" ] && [ "$(screen | head -n1 | grep -oE '[0-9]{2}:[0-9]{2}:[0-9]{2}')" != "$clock" ] ||
    fail "the clock in the top row does not tick"
wait_for "ZARVO-EXITED 0" 60 || fail "the run did not end by itself with status 0"
entry=$(iconv -f CP866 -t UTF-8 "$work/run/protocol.doc" | tr -d '\r')
echo "$entry"
[ "$(grep -c 'Скорость' <<<"$entry")" -eq 2 ] || fail "the entry lacks its rate lines"
grep -q '^Размер файла 8 Мб$' <<<"$entry" || fail "size line"
lines=$(sed -n '/^Каталог/,$p' <<<"$entry" | tail -n +2 | grep -c .)
[ "$lines" -eq 6 ] || fail "expected six result lines, found $lines"
expect_clean "command line"
# Neither an error nor a leak (the terminal libraries' own allocations are none of ours).
[ ! -e "$work/run/Zarvo.log" ] || fail "a log was left: $(iconv -f CP866 -t UTF-8 "$work/run/Zarvo.log")"

# 2. The parameters dialog; Esc while waiting: "Нет" goes on, Ctrl+C then "Да" ends it.
start xterm-256color 80 24
wait_for "Параметры работы" 20 || fail "no parameters dialog"
keys -l "$server"
keys Tab
keys -l 1
keys Enter
wait_for "Ожидание следующего запуска в" 30 || fail "no waiting status"
keys Escape
wait_for "Вы желаете прервать процесс ?" 10 || fail "Esc did not ask"
keys -l н
sleep 1.5
screen | grep -q "ZARVO-EXITED" && fail "'Нет' ended the test"
screen | grep -qF "Вы желаете прервать процесс ?" && fail "'Нет' left the question open"
keys C-c
wait_for "Вы желаете прервать процесс ?" 10 || fail "Ctrl+C did not ask"
keys -l д
# A test asked for in the dialog leaves its entry on screen until a key is pressed.
wait_for "Информация" 20 || fail "'Да' did not end the test with its entry on screen"
keys Enter
wait_for "ZARVO-EXITED 0" 10 || fail "'Да' did not end the test with status 0"
[ "$(entries)" -eq 2 ] || fail "the cancelled run has no entry"
expect_clean "cancel"

# 3. SIGTERM in the middle of a pass: the entry and a clean server all the same.
start xterm-256color 80 24 --dir "$server" --size 64 --work-time 00:01:00 --period 00:00:00
wait_for "Запись" 20 || fail "no write pass"
pane_shell=$(tmux -L "$socket" display-message -p -t demo '#{pane_pid}')
pkill -TERM -P "$pane_shell" -x zarvo || fail "no zarvo process under the pane"
wait_for "ZARVO-EXITED 3" 20 || fail "SIGTERM did not end the run in order as cancelled (3)"
[ "$(entries)" -eq 3 ] || fail "no entry after SIGTERM"
expect_clean "SIGTERM"

# 4. Other terminals show the dialog; Ctrl+C there gives up.
for term in vt100 linux; do
    start "$term" 80 24
    wait_for "Параметры работы" 20 || fail "no parameters dialog"
    screen | grep -qF "Период между итерациями" || fail "no period caption"
    keys C-c
    wait_for "ZARVO-EXITED 0" 10 || fail "Ctrl+C did not give up"
done
[ "$(entries)" -eq 3 ] || fail "giving up wrote an entry"

if [ $failures -eq 0 ]; then
    echo "terminal run: all checks passed"
fi
exit $failures
