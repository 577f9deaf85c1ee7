#!/usr/bin/env bash
# Drives the dialogs demo in tmux as a user would, at 80 x 25 and at 80 x 24: the menu opens
# the dialog (or --open-dialog does), Tab walks its controls in order with the status line
# naming the focused control's keys and the cursor on it, the history list opens under the
# input line, typing fills the line, Space marks a check box, arrows move the radio buttons,
# typing "Ива" in the sorted list focuses the first name that begins with it, Enter presses
# the default button, a second run cancelled with Esc prints nothing, and after Alt+X the
# printed record holds what was entered. Skipped (77) without tmux.
set -uo pipefail
export LC_ALL=C.UTF-8 # character counts below are in characters, not bytes
demo=$(readlink -f "$1")
socket_base="zarvo-dialogs-$$"
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/tmux_demo.sh"
last_row() { screen | sed -n "${rows}p"; }
# "column row" of the cursor, and whether it is shown (1) or hidden (0).
cursor() { tmux -L "$socket" display -p -t demo '#{cursor_x} #{cursor_y}'; }
cursor_shown() { tmux -L "$socket" display -p -t demo '#{cursor_flag}'; }

# Waits up to 5 seconds for the bottom row to name the keys $1 (the status line follows the
# focus on its own beat).
wait_status() {
    local deadline=$((SECONDS + 5))
    while [ $SECONDS -lt $deadline ]; do
        last_row | grep -qF -- "$1" && return 0
        sleep 0.2
    done
    echo "--- bottom row '$(last_row)', expected '$1'"
    return 1
}

# "column row" (0-based) of the first $1 on the screen, or nothing.
where() {
    local row=0 line
    while IFS= read -r line; do
        if [[ "$line" == *"$1"* ]]; then
            local before=${line%%"$1"*}
            echo "${#before} $row"
            return
        fi
        row=$((row + 1))
    done < <(screen)
}

# "column row" of $1 on the screen moved by ($2, $3).
offset_of() {
    local at
    at=$(where "$1")
    [ -n "$at" ] || return 1
    echo "$((${at% *} + $2)) $((${at#* } + $3))"
}

# Waits up to 5 seconds for the cursor to stand at "$1".
wait_cursor() {
    local deadline=$((SECONDS + 5))
    while [ $SECONDS -lt $deadline ]; do
        [ "$(cursor)" = "$1" ] && return 0
        sleep 0.2
    done
    echo "--- cursor at '$(cursor)', expected '$1'; screen:"
    screen
    return 1
}

# Each run gets a tmux server of its own, sized $1 x $2; more arguments go to the demo.
start() {
    tmux -L "$socket" kill-server 2>/dev/null
    run=$((run + 1))
    socket="$socket_base-$run"
    size="$1x$2"
    rows=$2
    local options="${*:3}"
    rm -f "$work/stderr"
    tmux -L "$socket" new-session -d -s demo -x "$1" -y "$2" -c "$work" \
        "TERM=xterm LANG=C.UTF-8 '$demo' --host=terminal --settings='$work/dialogs_demo.ini' \
         $options 2>'$work/stderr'; echo DEMO-EXITED \$?; sleep 60"
}

# The menu: Alt and the key of "Ф" opens "Файл", its first item opens the dialog.
open_by_menu() {
    wait_status "Alt+X Выход" || { fail "the desktop's keys are not on the bottom row"; return 1; }
    [ "$(screen | head -n1 | grep -c "Файл  Окна")" -eq 1 ] || fail "the menu bar is not the top row"
    keys M-a
    wait_for "Диалог..." 5 || { fail "Alt+Ф did not open the Файл menu"; return 1; }
    wait_status "Esc Закрыть" || fail "the status line does not list an open menu's keys"
    keys Enter
}

# Tab from the input line visits the controls in order and comes back after six stops: the
# status line names each one's keys and the cursor stands on it where it has one.
check_tab_walk() {
    local -a hints=("Переход  ↑↓ Пункт  Пробел Отметить  Enter" "Переход  ↑↓ Выбор  Enter"
        "Переход  Буквы Поиск  ↑↓ Выбор  Enter" "Переход  Пробел Нажать  Enter"
        "Переход  Пробел Нажать  Enter" "Переход  ↓ История  Ins Вставка  Enter")
    local -a marks=("[X] Новости" "(•) Курьер" "Андреев Алексей" "" "" "")
    local -a columns=(1 1 0 0 0 0)
    local line_cursor step
    line_cursor=$(cursor)
    for step in 0 1 2 3 4 5; do
        keys Tab
        wait_status "${hints[$step]}" || fail "Tab $((step + 1)) did not reach '${hints[$step]}'"
        if [ -n "${marks[$step]}" ]; then
            wait_cursor "$(offset_of "${marks[$step]}" "${columns[$step]}" 0)" ||
                fail "Tab $((step + 1)): the cursor is not on '${marks[$step]}'"
        elif [ $step -lt 5 ]; then
            [ "$(cursor_shown)" = 0 ] || fail "Tab $((step + 1)): a button shows the cursor"
        fi
    done
    [ "$(cursor)" = "$line_cursor" ] || fail "six Tabs did not come back to the input line"
}

check_demo() {
    start "$@"
    if [[ "$*" == *--open-dialog* ]]; then
        wait_for "Анкета" 20 || { fail "--open-dialog did not show the dialog"; return; }
    else
        wait_for "Alt+X" 20 || { fail "the demo did not start"; return; }
        open_by_menu || return
        wait_for "Анкета" 5 || { fail "the menu item did not open the dialog"; return; }
    fi
    for text in Город Рассылки Доставка Сотрудник Принять Отказ "Список сотрудников"; do
        screen | grep -qF -- "$text" || fail "'$text' is missing from the dialog"
    done
    wait_status "↓ История" || fail "the status line does not list the input line's keys"
    wait_cursor "$(offset_of Город 1 1)" || fail "the input line under 'Город' has no cursor"
    check_tab_walk

    # The history list under the input line, cancelled; then the typed town.
    keys Down
    wait_for "Санкт-Петербург" 5 || fail "Down did not open the history list"
    wait_status "Del Удалить" || fail "the status line does not list the history list's keys"
    keys Escape
    wait_status "↓ История" || fail "Esc did not close the history list"
    typed "Казань"
    wait_for "Казань  " 5 || fail "the typed town is not in the input line"

    keys Tab Down Space
    wait_for "[X] Акции и скидки" 5 || fail "Space did not mark the second check box"
    keys Tab Down
    wait_for "(•) Самовывоз" 5 || fail "Down did not move the radio buttons to Самовывоз"

    # Typed search: the first name that begins with "Ива", then with "Иван".
    keys Tab
    wait_status "Буквы Поиск" || fail "Tab did not reach the list"
    typed "Ива"
    wait_for "Ивакин Алексей" 5 || fail "typing 'Ива' did not bring 'Ивакин Алексей' into view"
    wait_cursor "$(offset_of "Ивакин Алексей" 3 0)" ||
        fail "the focus is not on 'Ивакин Алексей' after 'Ива'"
    typed "н"
    wait_cursor "$(offset_of "Иванов Алексей" 4 0)" ||
        fail "the focus is not on 'Иванов Алексей' after 'Иван'"

    keys Enter
    wait_status "Alt+X Выход" || fail "Enter did not close the dialog"
    screen | grep -qF "Анкета" && fail "the dialog is still on the screen after Enter"

    # A second run shows the accepted town again; Esc ends it without a record.
    keys M-a
    wait_for "Диалог..." 5 && keys Enter
    wait_for "Анкета" 5 || fail "the dialog did not open a second time"
    wait_for "Казань  " 5 || fail "the second run does not show the accepted town"
    keys Escape
    wait_status "Alt+X Выход" || fail "Esc did not close the dialog"

    keys M-x
    wait_for "DEMO-EXITED 0" 10 || { fail "Alt+X did not end the demo with exit code 0"; return; }
    local expected
    for expected in "Город: Казань" "Рассылки: Новости, Акции и скидки (3)" \
        "Доставка: Самовывоз (1)" "Сотрудник: Иванов Алексей"; do
        screen | grep -qF -- "$expected" || fail "the printed record lacks '$expected'"
    done
    [ "$(screen | grep -c "Анкета принята")" -eq 1 ] ||
        fail "expected one printed record (the cancelled run prints none)"
    grep -q "^dialogs_demo: ended$" "$work/stderr" || fail "no orderly end on stderr"
    [ "$(grep -c . "$work/stderr")" -eq 1 ] || { fail "stderr has more:"; cat "$work/stderr"; }
}

check_demo 80 25
check_demo 80 24 --open-dialog

if [ $failures -eq 0 ]; then
    echo "dialogs demo in the terminal: all checks passed"
fi
exit $failures
