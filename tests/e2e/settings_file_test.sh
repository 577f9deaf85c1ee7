#!/usr/bin/env bash
# The real program in tmux with a settings file somebody else put there: a fifo (reading it
# would wait forever) and a link to /dev/zero (it never ends). Either is refused with a word
# and left as it is; the program starts, runs its short test and ends by itself.
set -uo pipefail
zarvo=$(readlink -f "$1")
socket_base="zarvo-settings-$$"
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/tmux_demo.sh"
size="xterm 80x24"

check() { # name, how to make Zarvo.ini
    local name=$1 make=$2
    rm -rf "$work/run" "$work/server"
    mkdir -p "$work/run" "$work/server"
    (cd "$work/run" && eval "$make")
    tmux -L "$socket" kill-server 2>/dev/null
    run=$((run + 1))
    socket="$socket_base-$run"
    tmux -L "$socket" new-session -d -s demo -x 80 -y 24 -c "$work/run" \
        "TERM=xterm LANG=C.UTF-8 '$zarvo' --dir '$work/server' --size 1 --work-time 00:00:01 \
         --period 00:00:00 2>'$work/errors'; echo ZARVO-EXITED \$?; sleep 60"
    wait_for "ZARVO-EXITED 0" 30 || fail "$name: the program did not start and end by itself"
    grep -q 'Размер файла 1 Мб' <(iconv -f CP866 -t UTF-8 "$work/run/protocol.doc" 2>/dev/null) ||
        fail "$name: no entry for the test"
    grep -qF "Файл настроек" "$work/errors" "$work/run/Zarvo.log" 2>/dev/null ||
        fail "$name: the refusal of the settings file was not said"
}

check "fifo" 'mkfifo Zarvo.ini'
[ -p "$work/run/Zarvo.ini" ] || fail "fifo: the fifo was replaced"
check "link to /dev/zero" 'ln -s /dev/zero Zarvo.ini'
[ "$(readlink "$work/run/Zarvo.ini")" = /dev/zero ] || fail "link to /dev/zero: the link was replaced"

if [ $failures -eq 0 ]; then
    echo "settings file: all checks passed"
fi
exit $failures
