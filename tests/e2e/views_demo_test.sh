#!/usr/bin/env bash
# Drives the views demo in tmux as a user would, at 80 x 25 and at 80 x 24: the frames and
# titles are on screen, the list scrolls, the front window moves, resizes, zooms and takes
# back a cancelled move, F6 visits every window, the mouse drags and closes a window, and
# Alt+X ends the demo in order. Skipped (77) without tmux.
set -uo pipefail
export LC_ALL=C.UTF-8 # character counts below are in characters, not bytes
demo=$(readlink -f "$1")
socket_base="zarvo-views-$$"
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/tmux_demo.sh"

show_screen() {
    echo "--- screen:"
    screen
}

# "row column" (0-based) of the first $1 on the screen, or nothing.
where() {
    local row=0 line
    while IFS= read -r line; do
        if [[ "$line" == *"$1"* ]]; then
            local before=${line%%"$1"*}
            echo "$row ${#before}"
            return
        fi
        row=$((row + 1))
    done < <(screen)
}

# Waits up to 5 seconds for $1 to be at "$2" (the active window's corners are the only
# double-line corners on the screen).
wait_at() {
    local deadline=$((SECONDS + 5))
    while [ $SECONDS -lt $deadline ]; do
        [ "$(where "$1")" = "$2" ] && return 0
        sleep 0.2
    done
    echo "--- '$1' is at '$(where "$1")', expected '$2'; screen:"
    screen
    return 1
}

# A window title sits in its frame's top line (the key row names "Окно" too).
has_title() { screen | grep -qE -- "[═─] $1 [═─]"; }

# Sends each argument as one SGR mouse report ("button;column;row" and M or m).
mouse() {
    local report
    for report in "$@"; do
        tmux -L "$socket" send-keys -t demo -H $(printf '\033[<%s' "$report" | od -An -tx1)
    done
}

# Each run gets a tmux server of its own, sized $1 x $2.
start() {
    tmux -L "$socket" kill-server 2>/dev/null
    run=$((run + 1))
    socket="$socket_base-$run"
    size="$1x$2"
    rm -f "$work/stderr"
    tmux -L "$socket" new-session -d -s demo -x "$1" -y "$2" -c "$work" \
        "TERM=xterm LANG=C.UTF-8 '$demo' --host=terminal --settings='$work/views_demo.ini' \
         2>'$work/stderr'; echo DEMO-EXITED \$?; sleep 60"
}

# Moves the active window's top-left corner by ($1, $2) through cmdResize and the arrows.
move_by() {
    local dx=$1 dy=$2 step
    keys C-F5
    for ((step = 0; step < ${dx#-}; step++)); do keys $([ "$dx" -lt 0 ] && echo Left || echo Right); done
    for ((step = 0; step < ${dy#-}; step++)); do keys $([ "$dy" -lt 0 ] && echo Up || echo Down); done
}

check_demo() {
    local rows=$2
    start "$1" "$2"
    wait_for "Alt+X Выход" 20 || { fail "the demo did not show its key row"; return; }

    for title in Текст Список Окно; do
        has_title "$title" || fail "title '$title' is missing"
    done
    for box in ═ ║ ╔ ╗ ─ │ ┌ ┐; do
        screen | grep -qF -- "$box" || fail "frame character '$box' is missing"
    done
    [ "$(screen | sed -n "${rows}p" | grep -c "Alt+X Выход")" -eq 1 ] ||
        fail "the key row is not the last row"

    # The list: Down twice and PgDn focus item 17 and scroll it into view.
    keys M-2
    wait_at "╔" "4 32" || fail "Alt+2 did not select the list window"
    screen | grep -qF "Строка 17" && fail "item 17 is visible before scrolling"
    keys Down Down PgDn
    wait_for "Строка 17" 5 || fail "Down, Down, PgDn did not scroll to item 17"
    screen | grep -qF "Строка 3 " && fail "item 3 stayed in view after scrolling"

    # The empty window: a keyboard move, a cancelled move, a resize, zoom and back.
    keys M-3
    wait_at "╔" "9 50" || fail "Alt+3 did not select the empty window"
    move_by -5 -2
    keys Enter
    wait_at "╔" "7 45" || fail "the keyboard move did not take the window to 45,7"
    move_by 4 3
    keys Escape
    wait_at "╔" "7 45" || fail "Esc did not take the move back"
    local right bottom
    right=$(where "╗")
    bottom=$(where "╚")
    keys C-F5 S-Right S-Right S-Right S-Down S-Down Enter
    wait_at "╗" "7 $((${right#* } + 3))" || fail "Shift+Right did not widen the window by 3"
    wait_at "╚" "$((${bottom% *} + 2)) 45" || fail "Shift+Down did not heighten the window by 2"
    keys F5
    wait_at "╔" "0 0" || fail "F5 did not zoom the window to the desktop"
    keys F5
    wait_at "╔" "7 45" || fail "the second F5 did not bring the window back"

    # F6 goes round all three windows.
    local seen=""
    for _ in 1 2 3; do
        keys F6
        sleep 0.3
        seen+=$(screen | grep -o "╔.*╗" | grep -oE "Текст|Список|Окно")
    done
    for title in Текст Список Окно; do
        [[ "$seen" == *"$title"* ]] || fail "F6 never made '$title' the active window"
    done

    # The mouse, as SGR reports the way the terminal sends them (columns and rows from 1): a
    # drag of the empty window's top row moves it, a click on its close icon closes it.
    keys M-3
    wait_at "╔" "7 45" || fail "Alt+3 did not bring the empty window back to the front"
    mouse "0;56;8M" "32;54;9M" "32;53;10M" "0;53;10m"
    wait_at "╔" "9 42" || fail "dragging the top row did not move the window to 42,9"
    mouse "0;45;10M" "0;45;10m"
    local deadline=$((SECONDS + 5))
    while has_title Окно && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
    has_title Окно && fail "a click on the close icon did not close the window"

    keys M-x
    wait_for "DEMO-EXITED 0" 10 || fail "Alt+X did not end the demo with exit code 0"
    grep -q "^views_demo: ended$" "$work/stderr" || fail "no orderly end on stderr"
    [ "$(grep -c . "$work/stderr")" -eq 1 ] || { fail "stderr has more:"; cat "$work/stderr"; }
}

check_demo 80 25
check_demo 80 24

if [ $failures -eq 0 ]; then
    echo "views demo in the terminal: all checks passed"
fi
exit $failures
