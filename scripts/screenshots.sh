#!/usr/bin/env bash
# Makes the README's pictures on an 800x600 virtual display, whatever display
# the caller has: docs/main-window.png (the main window over the stand-in
# taskbar and the sample windows) and docs/about-box.png (the About box over
# the main window). Uses the same start-up as `make run`.
#
#   screenshots.sh BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
docs="$(cd "$here/.." && pwd)/docs"
source "$here/run.sh"

build="$(cd "${1:?usage: screenshots.sh BUILD_DIR}" && pwd)"
[ -f "$build/corvane.exe" ] || { echo "screenshots: $build/corvane.exe is missing: make build first" >&2; exit 1; }

trap run_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
session_start "$build" --screen 800x600
run_start_taskbar "$build"
run_start_corvane "$build"

run_focus
run_screenshot "$docs/main-window.png"

# Alt+A is the About button's mnemonic.
xdotool key --clearmodifiers alt+a
run_wait_window 10 "About box" --all --onlyvisible --pid "$RUN_CORVANE_PID" --name '^关于 Corvane$'
sleep 0.5
run_screenshot "$docs/about-box.png"

stat -c 'screenshots: %n (%s bytes)' "$docs/main-window.png" "$docs/about-box.png"
