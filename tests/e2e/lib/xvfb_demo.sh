# Sourced by the window-host checks: skips (77) without Xvfb or xdotool, gives the work
# directory, fail, wait_until, xdo and find_window, starts a private Xvfb and exports its
# DISPLAY. The sourcing script sets demo_pid when it starts the demo; both are killed on exit.
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
xvfb_pid=""
demo_pid=""
failures=0

cleanup() {
    [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Waits up to $1 seconds for the command after it to succeed.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    while [ $SECONDS -lt $deadline ]; do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

xdo() { timeout 10 xdotool "$@"; }

# Xvfb picks a free display and writes its number once it accepts connections; -noreset
# keeps it from resetting (and refusing connections) each time its last client leaves.
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
wait_until 10 grep -q . "$work/display" || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# find_window NAME: waits up to 20 s for the window named exactly NAME, focuses it and sets
# window, cell_w and cell_h (its 80 x 25 cells); false when it does not appear.
window=""
cell_w=0
cell_h=0
window_named() { window=$(xdo search --name "^$1\$" 2>/dev/null | head -n1) && [ -n "$window" ]; }
find_window() {
    wait_until 20 window_named "$1" || return 1
    xdo windowfocus --sync "$window" || fail "the window could not take the focus"
    local width height
    read -r width height < <(xdo getwindowgeometry --shell "$window" |
        awk -F= '/^WIDTH/{w=$2} /^HEIGHT/{h=$2} END{print w, h}')
    [ "${width:-0}" -ge 80 ] && [ "${height:-0}" -ge 25 ] || fail "window size ${width}x$height"
    cell_w=$((width / 80))
    cell_h=$((height / 25))
}
