# shellcheck shell=bash
# Sourced by the scripts that run Windows programs: a display and one
# persistent wineserver for the build's prefix.
#
#   session_start BUILD [--user-display] [--screen WxH]
#
# BUILD's wine-env.sh gives the prefix, its architecture and the loader;
# they stay exported for the caller, which starts programs with "$WINELOADER".
# The display is a virtual one (Xvfb) of its own, WxH (default 1280x800), so
# that tests and benches never depend on, or disturb, the user's desktop.
# --user-display (make run) takes the caller's $DISPLAY instead when it
# answers. A developer who wants to watch tests or benches on their own
# display says so with CORVANE_USE_DISPLAY=1. SESSION_DISPLAY_KIND tells the
# caller which it got: "virtual" or "user".
#
# One session per prefix at a time: session_stop ends every Windows process
# of the prefix, so a second caller (make test, make run, make bench, make
# screenshots, on the same build) waits for the first one's session to end
# instead of having its programs killed. The lock is an flock on a file in the
# prefix, held by the caller's shell and the programs it runs, never by the
# prefix's long-lived helpers (wineserver, Xvfb), and released by
# session_stop or when the caller ends. CORVANE_PREFIX_WAIT (seconds, default
# 3600) bounds the wait.

# session_lock_prefix: takes the prefix's lock (SESSION_LOCK_FD), waiting for
# another session of it to end.
session_lock_prefix() {
    local lock="$WINEPREFIX/.corvane-session"
    mkdir -p "$WINEPREFIX"
    exec {SESSION_LOCK_FD}>>"$lock"
    if ! flock -n "$SESSION_LOCK_FD"; then
        echo "session: $WINEPREFIX is in use by $(cat "$lock" 2>/dev/null || echo "another session"); waiting for it to end" >&2
        if ! flock -w "${CORVANE_PREFIX_WAIT:-3600}" "$SESSION_LOCK_FD"; then
            echo "session: $WINEPREFIX is still in use; giving up" >&2
            exec {SESSION_LOCK_FD}>&-
            SESSION_LOCK_FD=""
            return 1
        fi
    fi
    # For whoever waits next: who has it.
    echo "process $$ ($(basename "$0"))" >"$lock"
}

session_start() {
    local build="$1"
    shift
    local want_user=0 screen=1280x800
    while [ $# -gt 0 ]; do
        case "$1" in
            --user-display) want_user=1 ;;
            --screen) screen="${2:?session_start: --screen needs WxH}"; shift ;;
            *) echo "session: unknown option $1" >&2; return 2 ;;
        esac
        shift
    done
    [ -n "${CORVANE_USE_DISPLAY:-}" ] && want_user=1

    # shellcheck source=/dev/null
    source "$build/wine-env.sh"
    session_lock_prefix || return 1
    "$(dirname "${BASH_SOURCE[0]}")/prefix.sh" "$build" {SESSION_LOCK_FD}>&-

    SESSION_XVFB_PID=""
    # shellcheck disable=SC2034  # read by the callers
    SESSION_DISPLAY_KIND=virtual
    if [ $want_user -eq 1 ] && [ -n "${DISPLAY:-}" ] && timeout 5 xdotool getdisplaygeometry >/dev/null 2>&1; then
        # shellcheck disable=SC2034  # read by the callers
        SESSION_DISPLAY_KIND=user
    else
        local fifo display
        fifo="$(mktemp -u)"; mkfifo "$fifo"
        # Started in the background by a script, Xvfb ignores Ctrl+C:
        # session_stop ends it.
        Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 {SESSION_LOCK_FD}>&- &
        SESSION_XVFB_PID=$!
        read -r -t 20 display <"$fifo" || { echo "session: Xvfb did not start" >&2; rm -f "$fifo"; return 1; }
        rm -f "$fifo"
        export DISPLAY=":$display"
    fi
    # Wine's helper processes would inherit the callers' pipes and keep them
    # open: start them here, detached, and keep one wineserver for the run.
    wineserver -p </dev/null >/dev/null 2>&1 {SESSION_LOCK_FD}>&-
    "$WINELOADER" cmd /c exit </dev/null >/dev/null 2>&1 {SESSION_LOCK_FD}>&- || true
}

# Ends every Windows process of the prefix (wineserver -k) and waits for the
# server to go, ends the virtual display, then lets the next session of the
# prefix start. Safe to call more than once.
session_stop() {
    if [ -n "${SESSION_LOCK_FD:-}" ]; then
        wineserver -k </dev/null >/dev/null 2>&1 || true
        timeout 30 wineserver -w </dev/null >/dev/null 2>&1 || true
    fi
    if [ -n "${SESSION_XVFB_PID:-}" ]; then
        kill "$SESSION_XVFB_PID" 2>/dev/null || true
        wait "$SESSION_XVFB_PID" 2>/dev/null || true
        SESSION_XVFB_PID=""
    fi
    if [ -n "${SESSION_LOCK_FD:-}" ]; then
        : >"$WINEPREFIX/.corvane-session"
        exec {SESSION_LOCK_FD}>&-
        SESSION_LOCK_FD=""
    fi
}
