#!/usr/bin/env bash
# Drives the records demo in tmux as a user would, at 80 x 25: the generated dialog shows its
# first page with the page indicator, PgDn and PgUp switch pages, a number out of range is
# refused with its message while the dialog stays open, the accepted record is printed with
# the entered number, and a run ended with Esc prints nothing. Skipped (77) without tmux.
set -uo pipefail
export LC_ALL=C.UTF-8 # character counts below are in characters, not bytes
demo=$(readlink -f "$1")
socket_base="zarvo-records-$$"
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/tmux_demo.sh"
keys() { tmux -L "$socket" send-keys -t demo "$@"; }
typed() { tmux -L "$socket" send-keys -t demo -l "$1"; }

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

# Waits up to $2 seconds for the screen to stop showing $1.
wait_gone() {
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        screen | grep -qF -- "$1" || return 0
        sleep 0.2
    done
    return 1
}

# A run of its own, sized $1 x $2.
start() {
    tmux -L "$socket" kill-server 2>/dev/null
    run=$((run + 1))
    socket="$socket_base-$run"
    size="$1x$2"
    rm -f "$work/stderr"
    tmux -L "$socket" new-session -d -s demo -x "$1" -y "$2" -c "$work" \
        "TERM=xterm LANG=C.UTF-8 '$demo' --host=terminal --settings='$work/records_demo.ini' \
         2>'$work/stderr'; echo DEMO-EXITED \$?; sleep 60"
    wait_for "Все типы полей" 20 || { fail "the demo did not show the record dialog"; return 1; }
}

check_pages() {
    for text in "Целое " "Строка " "Принять" "Отказ" "Помощь" " 1:2 "; do
        screen | grep -qF -- "$text" || fail "'$text' is missing from the first page"
    done
    keys PageDown
    wait_for " 2:2 " 5 || fail "PgDn did not show the second page"
    screen | grep -qF "Строка с длиной" || fail "the second page lacks its fields"
    screen | grep -qF "Целое " && fail "the first page's fields are still shown on the second"
    keys PageUp
    wait_for " 1:2 " 5 || fail "PgUp did not come back to the first page"
}

check_refused_number() {
    # The number field has the focus with its text selected: typing replaces it.
    typed "70000"
    wait_for "70000" 5 || fail "the typed number is not in its field"
    keys Enter
    wait_for "Число должно быть не менее 0 и не более 65535." 5 ||
        fail "a number out of range was not refused with its message"
    keys Enter
    wait_gone "Число должно быть" 5 || fail "the message did not close"
    screen | grep -qF "Все типы полей" || fail "the dialog closed after the refusal"
    # The refused field keeps the focus with its whole text selected.
    typed "4242"
    wait_for "4242" 5 || fail "the corrected number is not in its field"
}

check_accepted() {
    start 80 25 || return
    check_pages
    check_refused_number
    keys Enter
    wait_for "DEMO-EXITED 0" 10 || { fail "accepting did not end the demo with code 0"; return; }
    for expected in "Целое: 4242" "Дата: 15/03/2027" "Время: 01:00:00" "Строка: Запись" \
        "Длинное вещественное: 0.50"; do
        screen | grep -qF -- "$expected" || fail "the printed record lacks '$expected'"
    done
    grep -q "^records_demo: ended$" "$work/stderr" || fail "no orderly end on stderr"
}

check_cancelled() {
    start 80 25 || return
    typed "7"
    keys Escape
    wait_for "DEMO-EXITED 0" 10 || { fail "Esc did not end the demo with code 0"; return; }
    screen | grep -qF "Целое:" && fail "a cancelled run printed the record"
    grep -q "^records_demo: ended$" "$work/stderr" || fail "no orderly end on stderr"
}

check_accepted
check_cancelled

if [ $failures -eq 0 ]; then
    echo "records demo in the terminal: all checks passed"
fi
exit $failures
