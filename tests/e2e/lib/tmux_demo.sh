# Sourced by the terminal checks after they set socket_base: skips (77) without tmux, gives
# the work directory, fail (naming the $size under test), screen, keys, typed and wait_for;
# every tmux server the check started (runs 0..$run) goes on exit with its socket file.
command -v tmux >/dev/null || { echo "SKIP: tmux is not installed"; exit 77; }
socket="$socket_base-0"
run=0
work=$(mktemp -d)
failures=0

cleanup() {
    for n in $(seq 0 "$run"); do
        tmux -L "$socket_base-$n" kill-server 2>/dev/null
        # A killed server leaves its socket file behind.
        rm -f "${TMUX_TMPDIR:-/tmp}/tmux-$(id -u)/$socket_base-$n"
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($size): $*"
    failures=$((failures + 1))
}

screen() { tmux -L "$socket" capture-pane -p -t demo; }
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

# start TERM COLS ROWS ARGS...: $zarvo in a tmux server of its own, in $work/run, its stderr
# into $zarvo_stderr when that is set; the screen says ZARVO-EXITED and the status at its end.
start() {
    local term=$1 cols=$2 rows=$3 redirect=""
    shift 3
    [ -n "${zarvo_stderr:-}" ] && redirect="2>'$zarvo_stderr'"
    tmux -L "$socket" kill-server 2>/dev/null
    run=$((run + 1))
    socket="$socket_base-$run"
    size="$term ${cols}x$rows"
    tmux -L "$socket" new-session -d -s demo -x "$cols" -y "$rows" -c "$work/run" \
        "TERM=$term LANG=C.UTF-8 '$zarvo' $* $redirect; echo ZARVO-EXITED \$?; sleep 60"
}
