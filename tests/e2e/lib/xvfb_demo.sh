# Sourced by the demos' window-host checks: skips (77) without Xvfb or xdotool, gives the
# work directory, fail, wait_until and xdo, starts a private Xvfb and exports its DISPLAY.
# The sourcing script sets demo_pid when it starts the demo; both are killed on exit.
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
