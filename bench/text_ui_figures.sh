#!/usr/bin/env bash
# The text UI's figures: milliseconds from the start to the first screen with the parameters
# dialog (in a terminal, and in a window on a private Xvfb), the CPU an idle dialog uses over
# 10 s, and the resident memory while a 65535 MB test writes (into DIR, which needs about
# 70 GB free; the test is stopped with SIGTERM after 10 s and cleans up after itself).
#   bench/text_ui_figures.sh [ZARVO_BINARY] [DIR]
set -euo pipefail
root="$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)"
zarvo=$(readlink -f "${1:-$root/build/app/zarvo}")
share=${2:-/var/tmp}
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# in_pty MODE [ARGUMENTS]: the program run in a pseudo-terminal, measured as MODE says.
cat >"$work/in_pty.py" <<'PY'
import fcntl, os, pty, select, signal, struct, sys, termios, time


def spawn(*arguments):
    """The program in a pty of 80 x 25 with a terminal of its own and no display."""
    pid, fd = pty.fork()
    if pid == 0:
        os.environ["TERM"] = "xterm-256color"
        os.environ.pop("DISPLAY", None)
        os.execv(sys.argv[1], [sys.argv[1], *arguments])
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", 25, 80, 0, 0))
    return pid, fd


def drain(fd, seconds):
    """Reads (and drops) what the program writes for SECONDS."""
    os.set_blocking(fd, False)
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            os.read(fd, 65536)
        except BlockingIOError:
            time.sleep(0.05)
        except OSError:
            break


def first_screen():
    best = None
    for _ in range(5):
        start = time.monotonic()
        pid, fd = spawn()
        seen = b""
        while "Параметры работы".encode() not in seen:
            ready, _, _ = select.select([fd], [], [], 5)
            if not ready:
                break
            seen += os.read(fd, 65536)
        took = (time.monotonic() - start) * 1000
        best = took if best is None else min(best, took)
        os.kill(pid, signal.SIGTERM)
        os.waitpid(pid, 0)
        os.close(fd)
    print(f"{best:.0f}")


def idle():
    pid, fd = spawn()

    def ticks():
        fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])

    drain(fd, 2)
    before = ticks()
    drain(fd, 10)
    used = ticks() - before
    print(f"idle dialog: {used / os.sysconf('SC_CLK_TCK') / 10 * 100:.2f} % of one core over 10 s "
          f"({used} clock ticks of 1/{os.sysconf('SC_CLK_TCK')} s)")
    os.kill(pid, signal.SIGTERM)
    os.waitpid(pid, 0)


def memory(server):
    pid, fd = spawn("--dir", server, "--size", "65535", "--work-time", "00:00:00",
                    "--period", "00:00:00")
    drain(fd, 10)
    status = dict(line.split(":", 1) for line in open(f"/proc/{pid}/status"))
    rss = int(status["VmRSS"].split()[0]) // 1024
    peak = int(status["VmHWM"].split()[0]) // 1024
    os.kill(pid, signal.SIGTERM)
    while os.waitpid(pid, os.WNOHANG)[0] != pid:
        drain(fd, 0.1)
    print(f"65535 MB test in the text UI, after 10 s of writing: resident {rss} MB, peak {peak} MB")


{"first_screen": first_screen, "idle": idle, "memory": memory}[sys.argv[2]](*sys.argv[3:])
PY
in_pty() { python3 "$work/in_pty.py" "$zarvo" "$@"; }

# Terminal: a pty of 80 x 25; the time until the dialog's title has been written, best of 5.
terminal_ms=$(cd "$work" && in_pty first_screen)
echo "first screen, terminal: $terminal_ms ms (best of 5)"

# Window: the time until the window exists and its first expose was painted, best of 5.
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" \
        >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do grep -q . "$work/display" && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$work/display")"
    best=""
    for _ in $(seq 5); do
        start=$(date +%s%N)
        (cd "$work" && exec "$zarvo" >/dev/null 2>&1) &
        pid=$!
        until xdotool search --onlyvisible --name '^Тестирование локальной сети$' >/dev/null 2>&1; do
            sleep 0.005
        done
        took=$((($(date +%s%N) - start) / 1000000))
        kill "$pid"
        wait "$pid" 2>/dev/null || true
        [ -z "$best" ] || [ "$took" -lt "$best" ] && best=$took
    done
    echo "first screen, window: $best ms (best of 5; the window mapped, polled every 5 ms)"
    unset DISPLAY
fi

# Idle: the dialog open, nobody typing, for 10 s.
(cd "$work" && in_pty idle)

# Memory: the resident set while a 65535 MB test writes, in the terminal's text UI.
server=$(mktemp -d "$share/zarvo-memory-XXXXXX")
(cd "$work" && in_pty memory "$server")
rm -rf "$server"
