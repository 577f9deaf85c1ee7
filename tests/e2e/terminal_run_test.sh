#!/usr/bin/env bash
# Drives the real program in tmux as an operator would: answers the four questions, watches
# the progress on the screen, cancels with Ctrl+C, and checks what is left in the working
# and server directories.
set -uo pipefail
zarvo=$(readlink -f "$1")
socket_base="zarvo-e2e-$$"
socket="$socket_base-0"
run=0
work=$(mktemp -d)
server=$(mktemp -d)
failures=0

cleanup() {
    for n in $(seq 0 "$run"); do tmux -L "$socket_base-$n" kill-server 2>/dev/null; done
    rm -rf "$work" "$server"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

screen() { tmux -L "$socket" capture-pane -p -t e2e; }

# Waits up to $2 seconds for the screen to show $1.
wait_for() {
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        screen | grep -qF -- "$1" && return 0
        sleep 0.2
    done
    echo "--- screen while waiting for '$1':"
    screen
    return 1
}

# Each run gets a tmux server of its own.
start() {
    tmux -L "$socket" kill-server 2>/dev/null
    run=$((run + 1))
    socket="$socket_base-$run"
    tmux -L "$socket" new-session -d -s e2e -x 100 -y 30 -c "$work" \
        "LANG=C.UTF-8 '$zarvo'; echo ZARVO-EXITED \$?; sleep 60"
}

answer() {
    tmux -L "$socket" send-keys -t e2e -l "$1"
    tmux -L "$socket" send-keys -t e2e Enter
}

protocol_text() { iconv -f CP866 -t UTF-8 "$work/protocol.doc" | tr -d '\r'; }

# 1. A short run: 4 MB, working time 5 s, no pause.
start
wait_for "Каталог на сервере" 20 || fail "no question for the directory"
answer "$server"
wait_for "Размер файла" 10 || fail "no question for the size"
answer 4
answer 00:00:05
answer 00:00:00
wait_for "Тестирование сети" 10 || fail "no progress display"
wait_for "ZARVO-EXITED 0" 60 || fail "the run did not end by itself"
[ -f "$work/protocol.doc" ] || fail "no protocol.doc"
entry=$(protocol_text)
echo "$entry"
[ "$(echo "$entry" | grep -c 'Скорость')" -eq 2 ] || fail "the entry lacks its rate lines"
echo "$entry" | grep -q '^Размер файла 4 Мб$' || fail "size line"
echo "$entry" | grep -q "^Каталог .*/TEST_NET.\\\$\\\$\\\$\$" || fail "directory line"
lines=$(echo "$entry" | sed -n '/^Каталог/,$p' | tail -n +2 | grep -c .)
[ "$lines" -eq 6 ] || fail "expected six result lines, found $lines"
[ ! -e "$work/TEMP/Zarvo.lck" ] || fail "the lock file was left behind"
[ ! -e "$server/TEST_NET.\$\$\$" ] || fail "the scratch directory was left behind"

# 2. Ctrl+C while waiting for the next start: "No" goes on, "Yes" ends with an entry.
start
wait_for "Каталог на сервере" 20 || fail "no question for the directory (second run)"
answer "$server"
answer 1
answer 00:00:00
answer 01:00:00
wait_for "Ожидание следующего запуска в" 30 || fail "no waiting status"
tmux -L "$socket" send-keys -t e2e C-c
wait_for "Вы желаете прервать процесс ?" 10 || fail "Ctrl+C did not ask"
answer н
sleep 1.5
screen | grep -q "ZARVO-EXITED" && fail "'No' ended the test"
tmux -L "$socket" send-keys -t e2e C-c
wait_for "Вы желаете прервать процесс ?" 10 || fail "second Ctrl+C did not ask"
answer д
wait_for "ZARVO-EXITED 0" 20 || fail "'Yes' did not end the test"
[ "$(protocol_text | grep -c '^Размер файла')" -eq 2 ] || fail "the cancelled run has no entry"
[ ! -e "$server/TEST_NET.\$\$\$" ] || fail "scratch directory left after cancel"

# 3. SIGTERM during a run still cleans the server and writes the entry.
start
wait_for "Каталог на сервере" 20 || fail "no question (third run)"
answer "$server"
answer 1
answer 00:00:00
answer 01:00:00
wait_for "Ожидание следующего запуска в" 30 || fail "no waiting status (third run)"
pane_shell=$(tmux -L "$socket" display-message -p -t e2e '#{pane_pid}')
pkill -TERM -P "$pane_shell" -x zarvo || fail "no zarvo process under the pane"
wait_for "ZARVO-EXITED 0" 20 || fail "SIGTERM did not end the run in order"
[ "$(protocol_text | grep -c '^Размер файла')" -eq 3 ] || fail "no entry after SIGTERM"
[ ! -e "$server/TEST_NET.\$\$\$" ] || fail "scratch directory left after SIGTERM"
[ ! -e "$work/TEMP/Zarvo.lck" ] || fail "lock file left after SIGTERM"

if [ $failures -eq 0 ]; then
    echo "terminal run: all checks passed"
fi
exit $failures
