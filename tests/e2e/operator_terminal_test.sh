#!/usr/bin/env bash
# The operator's path in tmux where it used to trap: the parameters dialog and the directory
# chooser after the terminal shrank and grew back, the chooser's creation question asked once
# and only when the field is left, Tab through the chooser, the cursor after a stop and a
# continue, highlighting on a terminal without colours, terminals the host cannot draw on, the
# mouse wheel and a double click in the tree, and the help of F1.
set -uo pipefail
zarvo=$(readlink -f "$1")
socket_base="zarvo-operator-$$"
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/tmux_demo.sh"
mkdir -p "$work/run" "$work/server"
server="$work/server"
size="xterm-256color 80x24"

zarvo_stderr="$work/stderr"
resize() { tmux -L "$socket" resize-window -t demo -x "$1" -y "$2"; }
zarvo_pid() { pgrep -P "$(tmux -L "$socket" display-message -p -t demo '#{pane_pid}')" | head -n1; }
# The screen row that holds $1, or nothing.
row_of() { screen | grep -F -- "$1" | head -n1; }
# Waits up to $2 seconds for the screen to show $1, without telling when it does not.
shows_within() {
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        screen | grep -qF -- "$1" && return 0
        sleep 0.2
    done
    return 1
}
# The parameters dialog drawn whole: its title on a double frame line, the directory field's
# caption and its arrow, the buttons.
dialog_whole() {
    local title
    title=$(row_of "Параметры работы")
    [[ "$title" == *"╔"*"Параметры работы"*"╗"* ]] || { fail "$1: the dialog's frame or title is gone: '$title'"; screen; }
    for part in "Каталог на сервере" "Помощь" "Принять" "Период между итерациями"; do
        screen | grep -qF "$part" || { fail "$1: the dialog lacks '$part'"; screen; }
    done
    row_of "Каталог на сервере" >/dev/null
    screen | grep -qF "▐↓▌" || { fail "$1: the directory field's arrow is gone"; screen; }
}

# 1. Shrunk and grown back, the dialog comes back whole; also with the chooser open.
start xterm-256color 80 24
wait_for "Параметры работы" 20 || fail "no parameters dialog"
for small in "60 15" "50 15"; do
    resize $small
    sleep 1
    resize 80 24
    sleep 1
    dialog_whole "after ${small/ /x} and back"
done
keys -l "$server"
keys Down
wait_for "Выбор каталога" 10 || fail "Down did not open the chooser"
resize 50 15
sleep 1
resize 80 24
sleep 1
title=$(row_of "Выбор каталога")
[[ "$title" == *"╔"*"Выбор каталога"*"╗"* ]] || fail "the chooser came back without its frame: '$title'"
keys Escape
sleep 1
dialog_whole "after the chooser was open at 50x15"

keys C-c
wait_for "ZARVO-EXITED 0" 10 || fail "Ctrl+C did not give up"

# 3. The creation question: not on Down and Esc, once on Tab, never after "Нет" by itself.
start xterm-256color 80 24
wait_for "Параметры работы" 20 || fail "no parameters dialog"
missing="$server/нет такого"
keys -l "$missing"
keys Down
wait_for "Выбор каталога" 10 || fail "Down did not open the chooser"
keys Escape
shows_within "Создать?" 2 && { fail "Down then Esc asked about creating the directory"; keys -l н; }
keys Tab
wait_for "Создать?" 10 || fail "leaving the field did not ask about creating the directory"
keys -l н
sleep 0.5
shows_within "Создать?" 2 && fail "'Нет' was followed by the same question again"
[ ! -e "$missing" ] || fail "the directory was made against 'Нет'"

keys C-c
wait_for "ZARVO-EXITED 0" 10 || fail "Ctrl+C did not give up"

# 5. Tab and Shift+Tab run through the chooser as it is drawn: tree, Выбрать, Отмена, ...
start xterm-256color 80 24
wait_for "Параметры работы" 20 || fail "no parameters dialog"
keys -l "$server"
keys Down
wait_for "Выбор каталога" 10 || fail "Down did not open the chooser"
keys Tab Tab Enter # the tree, "Выбрать", "Отмена"
sleep 1
screen | grep -qF "Выбор каталога" && { fail "Tab twice and Enter did not press 'Отмена'"; keys Escape; }
keys -l "/x" # the chooser opens at $server, and a choice takes "/x" away
keys Down
wait_for "Выбор каталога" 10 || fail "Down did not open the chooser again"
keys BTab BTab BTab BTab BTab Enter # back round to "Выбрать"
sleep 1
screen | grep -qF "Выбор каталога" && { fail "Shift+Tab five times and Enter did not press 'Выбрать'"; keys Escape; }
screen | grep -qF "$server/x" && fail "Shift+Tab five times and Enter did not choose"
keys C-c
wait_for "ZARVO-EXITED 0" 10 || fail "Ctrl+C did not give up"

# The wheel scrolls the tree, a double click in it chooses, F1 and "Помощь" show the help.
mkdir -p "$work/m"
for n in $(seq -w 1 40); do mkdir -p "$work/m/кат $n"; done
start xterm-256color 80 24
wait_for "Параметры работы" 20 || fail "no parameters dialog"
keys F1
wait_for "Каталог на сервере - каталог на сетевом диске" 10 || fail "F1 did not show the dialog's help"
keys Enter
sleep 0.5
screen | grep -qF "каталог на сетевом диске" && fail "the help stayed open"
keys -l "$work/m/кат 01"
keys Down
wait_for "Выбор каталога" 10 || fail "Down did not open the chooser"
keys F1
wait_for "двойной щелчок" 10 || fail "F1 did not show the chooser's help"
keys Enter
sleep 0.5
# The tree's first row, two below the chooser's title.
tree_top() { screen | grep -A2 -F "Выбор каталога" | sed -n 3p; }
top=$(tree_top)
row=$(screen | grep -nF "кат 01" | head -n1 | cut -d: -f1)
for _ in 1 2 3 4 5; do typed $'\e[<65;30;'"$row"'M'; done # the wheel turned down
sleep 1
[ "$(tree_top)" != "$top" ] || fail "the wheel did not scroll the tree"
screen | grep -qF "кат 12" || fail "the wheel did not bring 'кат 12' into view"
down=$(tree_top)
for _ in 1 2 3 4 5; do typed $'\e[<64;30;'"$row"'M'; done # and up again
sleep 1
[ "$(tree_top)" != "$down" ] || fail "the wheel up did not scroll the tree back"
for _ in 1 2 3 4 5; do typed $'\e[<65;30;'"$row"'M'; done
sleep 1
click_row=$(screen | grep -nF "кат 12" | head -n1 | cut -d: -f1)
if [ -n "$click_row" ]; then
    click_col=$(screen | sed -n "${click_row}p" | sed 's/кат 12.*//' | wc -m)
    press=$'\e[<0;'"$((click_col + 2))"';'"$click_row"
    typed "${press}M${press}m${press}M${press}m"
    sleep 1
    screen | grep -qF "Выбор каталога" && { fail "a double click in the tree did not choose"; keys Escape; }
    screen | grep -qF "$work/m/кат 12" || fail "the double-clicked directory is not in the field"
fi
keys C-c
wait_for "ZARVO-EXITED 0" 10 || fail "Ctrl+C did not give up"

# 8. A stop and a continue bring the text cursor back with the screen.
start xterm-256color 80 24
wait_for "Параметры работы" 20 || fail "no parameters dialog"
sleep 0.5
[ "$(tmux -L "$socket" display-message -p -t demo '#{cursor_flag}')" = 1 ] || fail "no cursor in the field"
pid=$(zarvo_pid)
kill -TSTP "$pid"
sleep 1
kill -CONT "$pid"
wait_for "Параметры работы" 10 || fail "the dialog did not come back after the continue"
sleep 1
[ "$(tmux -L "$socket" display-message -p -t demo '#{cursor_flag}')" = 1 ] ||
    fail "the cursor stayed hidden after the stop and continue"
keys C-c
wait_for "ZARVO-EXITED 0" 10 || fail "Ctrl+C did not give up"

# 9. Without colours (vt100) the input lines stand apart from their dialog, and the bar's
# highlighted part grows with the test. attrs prints each screen row as its video attributes,
# one digit a cell: the sum of 1 bold, 2 underline, 4 reverse; with an argument, only the row
# holding that text, as "<its text> <the number of reverse cells>", from the one capture.
attrs() {
    tmux -L "$socket" capture-pane -p -e -t demo | python3 -c '
import re, sys
find = sys.argv[1] if len(sys.argv) > 1 else None
for line in sys.stdin.read().split("\n"):
    out, text, state, i = [], [], set(), 0
    while i < len(line):
        m = re.match(r"\x1b\[([0-9;]*)m", line[i:])
        if m:
            for p in (m.group(1) or "0").split(";"):
                p = int(p or 0)
                if p == 0: state = set()
                elif p in (1, 4, 7): state.add(p)
            i += m.end()
            continue
        out.append(str((1 in state) + 2 * (4 in state) + 4 * (7 in state)))
        text.append(line[i])
        i += 1
    if find is None:
        print("".join(out))
    elif re.search(find, "".join(text)):
        print(re.search(find, "".join(text)).group(0), sum(c in "4567" for c in out))
        break' "$@"
}
start vt100 80 24
wait_for "Параметры работы" 20 || fail "no parameters dialog"
row=$(screen | grep -nF "Размер файла" | cut -d: -f1)
ground=$(screen | grep -nF "Параметры работы" | cut -d: -f1) # the blank row below it
field=$(screen | sed -n "${row}p" | sed 's/100.*//' | wc -m)
# The size field's blank after its "100", and the dialog's ground above it.
cell=$(attrs | sed -n "${row}p" | cut -c$((field + 4)))
above=$(attrs | sed -n "$((ground + 1))p" | cut -c$((field + 4)))
[ "$cell" != "$above" ] || fail "the size field looks like the dialog around it ($cell)"
keys C-c
wait_for "ZARVO-EXITED 0" 10 || fail "Ctrl+C did not give up"
start vt100 80 24 --dir "$server" --size 400 --work-time 00:00:30 --period 00:00:00
wait_for "%" 20 || fail "no progress bar"
# Sampled in pairs: within a pass (the percentage went up) the highlight must grow, never shrink.
grew=0
shrank=0
prev_percent=""
for _ in $(seq 40); do
    [ $grew -eq 1 ] && break
    read -r percent lit < <(attrs '[0-9]+%')
    percent=${percent%\%}
    if [ -n "$prev_percent" ] && [ -n "$percent" ] && [ "$percent" -gt "$prev_percent" ]; then
        [ "$lit" -gt "$prev_lit" ] && grew=1
        [ "$lit" -lt "$prev_lit" ] && shrank=1
    fi
    prev_percent=$percent
    prev_lit=$lit
    sleep 0.2
done
[ $grew -eq 1 ] && [ $shrank -eq 0 ] || fail "the bar's highlighted part does not grow with the test"
keys Escape
wait_for "Вы желаете прервать процесс ?" 10 || fail "Esc did not ask"
keys -l y # the Latin y answers "Да"
wait_for "ZARVO-EXITED 3" 20 || fail "'y' did not end the test as cancelled"

# 10. A terminal the host cannot draw on: without options the no-terminal status 1 and why;
# with every test option the test runs without a UI, as from cron.
for term in dumb no-such-terminal; do
    start "$term" 80 24
    wait_for "ZARVO-EXITED" 10 || fail "the program did not end"
    screen | grep -qF "ZARVO-EXITED 1" || fail "expected status 1 without options"
    grep -qF "TERM" "$work/stderr" || fail "stderr does not say why: $(cat "$work/stderr")"
    start "$term" 80 24 --dir "$server" --size 1 --work-time 00:00:02 --period 00:00:00
    wait_for "ZARVO-EXITED" 30 || fail "the run without a UI did not end"
    screen | grep -qF "ZARVO-EXITED 0" || { fail "expected the test run through with status 0"; cat "$work/stderr"; }
done
[ "$(iconv -f CP866 -t UTF-8 "$work/run/protocol.doc" | tr -d '\r' | grep -c '^Размер файла')" -eq 3 ] ||
    fail "expected an entry from the run on vt100 and from each run without a UI"

if [ $failures -eq 0 ]; then
    echo "operator's terminal path: all checks passed"
fi
exit $failures
