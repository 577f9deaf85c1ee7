#!/usr/bin/env bash
# The operator's way to a share in tmux: the parameters dialog, the directory chooser opened
# at a tmpfs mounted under /mnt, a new directory with a Cyrillic name and a blank made there
# (Alt+С), chosen (Alt+В), a short test in the progress window, the entry written, shown in
# a box until Enter, and the share left clean but for the directory the operator made. Skipped (77) unless root may mount.
set -uo pipefail
zarvo=$(readlink -f "$1")
socket_base="zarvo-chooser-$$"
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/tmux_demo.sh"
size="80x25"
share="/mnt/zarvo-e2e-$$"
mkdir -p "$work/run"
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/mnt_share.sh"

tmux -L "$socket" new-session -d -s demo -x 80 -y 25 -c "$work/run" \
    "LANG=C.UTF-8 '$zarvo'; echo ZARVO-EXITED \$?; sleep 60"
wait_for "Параметры работы" 20 || fail "no parameters dialog"
keys -l "$share"
keys Down
wait_for "Выбор каталога" 10 || fail "Down did not open the directory chooser"
screen | grep -qF "$share" || fail "the chooser does not show the share's mount point"
keys M-c # Alt+С, typed on the С key's place
wait_for "Создание каталога" 10 || fail "Alt+С did not offer a new directory"
keys -l "Проверка 1"
keys Enter
for _ in $(seq 50); do [ -d "$share/Проверка 1" ] && break; sleep 0.2; done
[ -d "$share/Проверка 1" ] || fail "the directory was not made as typed"
sleep 0.5
screen | grep -qF "Создание каталога" && fail "the new-directory dialog stayed open"
screen | grep -qF "Проверка 1" || fail "the new directory is not in the tree"
keys M-d # Alt+В
wait_for "$share/Проверка 1" 10 || fail "the choice did not reach the directory field"
keys Tab
keys -l 4
keys Tab
keys -l 000003
keys Tab
keys -l 000000
keys Enter
wait_for "Тестирование сети" 10 || fail "no progress window"
# The entry stays on screen until a key is pressed.
wait_for "Информация" 30 || fail "the test did not end by itself with its entry on screen"
screen | grep -qF "Размер файла 4 Мб" || fail "the box does not show the entry"
keys Enter
wait_for "ZARVO-EXITED 0" 10 || fail "the entry's box did not end the program"
iconv -f CP866 -t UTF-8 "$work/run/protocol.doc" | tr -d '\r' | grep -qF "Каталог $share/Проверка 1/TEST_NET.\$\$\$" ||
    fail "no entry for the chosen directory"
[ -z "$(ls -A "$share/Проверка 1")" ] || fail "the share was not left clean: $(ls -A "$share/Проверка 1")"

if [ $failures -eq 0 ]; then
    echo "directory chooser: all checks passed"
fi
exit $failures
