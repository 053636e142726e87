#!/usr/bin/env bash
# make run: Corvane over the stand-in taskbar, with five sample task windows.
#
#   run.sh BUILD_DIR
#
# On the user's display ($DISPLAY, when it answers) it runs until Corvane is
# closed; Enter in the terminal restarts the stand-in taskbar meanwhile, as a
# shell restarts, and Corvane puts the buttons back in its list's order. With
# no display it runs on a virtual one, waits until the main window is shown,
# saves a screenshot to BUILD_DIR/screenshots/run.png, restarts the stand-in,
# saves BUILD_DIR/screenshots/run-restarted.png and ends. Either way every program it started, and the prefix's wineserver, are
# gone when it returns, also after Ctrl+C.
#
# Sourced (scripts/screenshots.sh does), it only defines the run_* functions.

run_here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$run_here/session.sh"

RUN_PIDS=()

# run_exe EXE [ARGS...]: a Windows program in the background; RUN_LAST_PID is
# its process (the loader becomes the program, so the id stays the program's).
run_exe() {
    "$WINELOADER" "$@" </dev/null >/dev/null 2>&1 &
    RUN_LAST_PID=$!
    RUN_PIDS+=("$RUN_LAST_PID")
}

# run_wait_window SECONDS WHAT XDOTOOL_SEARCH_ARGS...: polls every 100 ms until
# a window matches; fails with a message after SECONDS.
run_wait_window() {
    local tenths=$(($1 * 10)) what="$2"
    shift 2
    while ! xdotool search "$@" >/dev/null 2>&1; do
        if [ $tenths -le 0 ]; then
            echo "run: $what did not appear" >&2
            return 1
        fi
        tenths=$((tenths - 1))
        sleep 0.1
    done
}

# run_start_taskbar BUILD: the stand-in taskbar, then five task windows with
# distinct titles, two English and three Chinese ones, which the stand-in gives
# buttons in the order they appear.
run_start_taskbar() {
    local build="$1"
    run_start_standin "$build"
    # --all: every condition, not any one of them.
    run_exe "$build/standin/corvane_samples.exe" --count 2 --prefix "Sample window"
    run_wait_window 20 "sample window" --all --onlyvisible --pid "$RUN_LAST_PID" --name '^Sample window 2$'
    run_exe "$build/standin/corvane_samples.exe" --count 3 --prefix "任务窗口"
    run_wait_window 20 "sample window" --all --onlyvisible --pid "$RUN_LAST_PID" --name '^任务窗口 3$'
    # The stand-in looks for new windows every 150 ms.
    sleep 0.5
}

# run_start_standin BUILD [OPTIONS...]: the stand-in taskbar alone
# (RUN_STANDIN_PID), with the stand-in's options if any.
run_start_standin() {
    run_exe "$1/standin/corvane_standin.exe" "${@:2}"
    RUN_STANDIN_PID=$RUN_LAST_PID
    run_wait_window 20 "stand-in taskbar" --all --onlyvisible --pid "$RUN_STANDIN_PID" --class '^corvane_standin\.exe$'
}

# run_restart_standin BUILD: ends the stand-in at once, as a shell that
# crashes, and starts it again. The new one gives the open windows their
# buttons in window-enumeration order and broadcasts "TaskbarCreated".
run_restart_standin() {
    kill "$RUN_STANDIN_PID" 2>/dev/null || true
    wait "$RUN_STANDIN_PID" 2>/dev/null || true
    run_start_standin "$1"
}

# run_start_corvane BUILD: starts corvane.exe (RUN_CORVANE_PID) and waits until
# its main window is shown, with the list filled in.
run_start_corvane() {
    local build="$1"
    run_exe "$build/corvane.exe"
    RUN_CORVANE_PID=$RUN_LAST_PID
    run_wait_window 30 "Corvane main window" --all --onlyvisible --pid "$RUN_CORVANE_PID" --name '^Corvane$'
    # The window is shown after the list was filled; give it a moment to paint.
    sleep 0.5
}

# run_focus: gives the main window the keyboard (the X input focus, which
# Wine passes on to it) and parks the pointer off the window, where the list
# cannot pick an entry under a resting pointer.
run_focus() {
    local main key value right=0 bottom=0
    main="$(xdotool search --all --onlyvisible --pid "$RUN_CORVANE_PID" --name '^Corvane$' | head -n1)"
    # Lines X=.., Y=.., WIDTH=.., HEIGHT=.. among others.
    while IFS='=' read -r key value; do
        case "$key" in
            X | WIDTH) right=$((right + value)) ;;
            Y | HEIGHT) bottom=$((bottom + value)) ;;
        esac
    done < <(xdotool getwindowgeometry --shell "$main")
    xdotool mousemove --sync $((right + 40)) $((bottom + 40))
    xdotool windowfocus --sync "$main"
    sleep 0.3
}

# run_screenshot FILE: the whole screen, as an 8-bit palette PNG.
run_screenshot() {
    mkdir -p "$(dirname "$1")"
    import -window root "PNG8:$1"
}

# Ends what was started, then the session. Safe to call more than once.
run_stop() {
    local pid
    for pid in "${RUN_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    session_stop
    for pid in "${RUN_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    RUN_PIDS=()
}

run_main() {
    set -euo pipefail
    local build
    build="$(cd "${1:?usage: run.sh BUILD_DIR}" && pwd)"
    [ -f "$build/corvane.exe" ] || { echo "run: $build/corvane.exe is missing: make build first" >&2; return 1; }

    trap run_stop EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    session_start "$build" --user-display --screen 1024x768
    run_start_taskbar "$build"
    run_start_corvane "$build"

    if [ "$SESSION_DISPLAY_KIND" = user ]; then
        echo "run: Corvane runs on display $DISPLAY; close it to end."
        local interactive=0
        if [ -t 0 ]; then
            interactive=1
            echo "run: press Enter here to restart the stand-in taskbar, as a shell restarts."
        fi
        while kill -0 "$RUN_CORVANE_PID" 2>/dev/null; do
            if [ $interactive -eq 0 ]; then
                sleep 1
                continue
            fi
            local status=0
            read -r -t 1 _ || status=$?
            if [ $status -eq 0 ]; then
                run_restart_standin "$build"
                echo "run: the stand-in taskbar was restarted; Corvane puts its buttons back in the list's order."
            elif [ $status -le 128 ]; then
                # End of input: nothing more to read.
                interactive=0
            fi
        done
    else
        local shot="$build/screenshots/run.png" restarted="$build/screenshots/run-restarted.png"
        run_focus
        run_screenshot "$shot"
        run_restart_standin "$build"
        # Corvane looks at the new taskbar every 200 ms and puts the buttons
        # back once their count has settled.
        sleep 1.5
        run_screenshot "$restarted"
        echo "run: no display answered, so Corvane ran on a virtual one; screenshots: $shot, and $restarted after a restart of the stand-in taskbar"
    fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    run_main "$@"
fi
