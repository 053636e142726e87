# Sourced by the scripts that run Windows programs: a virtual display (unless
# one is given) and one persistent wineserver for the build's prefix.

session_start() {
    local build="$1"
    export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}" WINEARCH=win32
    export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
    export LC_ALL=zh_CN.UTF-8
    "$(dirname "${BASH_SOURCE[0]}")/prefix.sh" "$WINEPREFIX"

    SESSION_XVFB_PID=""
    if [ -z "${CORVANE_USE_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
        local fifo display
        fifo="$(mktemp -u)"; mkfifo "$fifo"
        Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
        SESSION_XVFB_PID=$!
        read -r -t 20 display <"$fifo" || { echo "session: Xvfb did not start" >&2; rm -f "$fifo"; return 1; }
        rm -f "$fifo"
        export DISPLAY=":$display"
    fi
    # Wine's helper processes would inherit the callers' pipes and keep them
    # open: start them here, detached, and keep one wineserver for the run.
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

session_stop() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    if [ -n "${SESSION_XVFB_PID:-}" ]; then
        kill "$SESSION_XVFB_PID" 2>/dev/null || true
        wait "$SESSION_XVFB_PID" 2>/dev/null || true
    fi
}
