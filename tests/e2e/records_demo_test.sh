#!/usr/bin/env bash
# Drives the records demo in tmux as a user would, at 80 x 25: the generated dialog shows its
# first page with the page indicator, PgDn and PgUp switch pages, a number out of range is
# refused with its message while the dialog stays open, Ctrl+K in the number field opens the
# calculator where "12+30=" gives 42 and Enter puts it into the field, Ctrl+K in the date field
# opens the calendar on the field's date and Enter puts the chosen day back, an impossible
# date is refused with its message while the dialog stays open, the accepted record is
# printed with what was entered, and a run ended with Esc prints nothing. Skipped (77)
# without tmux.
set -uo pipefail
export LC_ALL=C.UTF-8 # character counts below are in characters, not bytes
demo=$(readlink -f "$1")
socket_base="zarvo-records-$$"
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/tmux_demo.sh"

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
    for text in "Целое " "Дата " "Время " "Строка " "Принять" "Отказ" "Помощь" " 1:2 "; do
        screen | grep -qF -- "$text" || fail "'$text' is missing from the first page"
    done
    keys PageDown
    wait_for " 2:2 " 5 || fail "PgDn did not show the second page"
    screen | grep -qF "Строка с длиной" || fail "the second page lacks its fields"
    screen | grep -qF "Дата " && fail "the first page's fields are still shown on the second"
    keys PageUp
    wait_for " 1:2 " 5 || fail "PgUp did not come back to the first page"
}

# The row of the dialog that holds caption $1.
row_of() { screen | grep -F -- "║ $1 " | head -n1; }

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
}

check_calculator() {
    # The refused field keeps the focus; Ctrl+K there opens the calculator.
    keys C-k
    wait_for "] Калькулятор " 5 ||
        { fail "Ctrl+K in the number field opened no calculator"; return; }
    typed "12+30="
    wait_for " 42 " 5 || fail "the calculator does not show 42 after 12+30="
    keys Enter
    wait_gone "] Калькулятор " 5 || fail "Enter did not close the calculator"
    [[ "$(row_of Целое)" == *" 42 "* ]] || fail "the calculator's 42 is not in the number field"
}

check_calendar() {
    keys Tab
    keys C-k
    wait_for "] Календарь " 5 || { fail "Ctrl+K in the date field opened no calendar"; return; }
    screen | grep -qF "Март      2027" || fail "the calendar did not open on the field's month"
    keys Right
    keys Enter
    wait_gone "] Календарь " 5 || fail "Enter did not close the calendar"
    [[ "$(row_of Дата)" == *"16/03/2027"* ]] ||
        fail "the day after the field's date is not in the date field"
}

check_refused_date() {
    typed "31022027"
    wait_for "31/02/2027" 5 || fail "the typed date is not in its field"
    keys Enter
    wait_for "Неправильно введено поле. Повторите" 5 ||
        fail "an impossible date was not refused with its message"
    keys Enter
    wait_gone "Неправильно введено поле" 5 || fail "the message did not close"
    screen | grep -qF "Все типы полей" || fail "the dialog closed after the refused date"
    typed "01042027"
    wait_for "01/04/2027" 5 || fail "the corrected date is not in its field"
}

check_accepted() {
    start 80 25 || return
    check_pages
    check_refused_number
    check_calculator
    check_calendar
    check_refused_date
    keys Enter
    wait_for "DEMO-EXITED 0" 10 || { fail "accepting did not end the demo with code 0"; return; }
    for expected in "Целое: 42" "Дата: 01/04/2027" "Время: 01:00:00" "Строка: Запись" \
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
