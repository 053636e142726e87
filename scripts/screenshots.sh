#!/usr/bin/env bash
# Makes the README's pictures on an 800x600 virtual display, whatever display
# the caller has: docs/main-window.png (the main window over the stand-in
# taskbar and the sample windows) and docs/about-box.png (the About box over
# the main window), at 96 DPI, docs/main-window-144dpi.png, the main window of
# a system set to 144 DPI, docs/tray-menu.png, the menu of the notification
# icon while the order is kept, docs/no-taskbar.png, the main window where it
# finds no taskbar, and docs/grouping.png, a stand-in that groups similar
# buttons with six windows of three programs and Corvane told it runs on XP.
# Uses the same start-up as `make run`.
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

# 144 DPI: the prefix's LogPixels, which a program reads when it starts; put
# back to 96 whatever happens.
set_dpi() {
    "$WINELOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
}
trap 'set_dpi 96; run_stop' EXIT
kill "$RUN_CORVANE_PID" 2>/dev/null || true
wait "$RUN_CORVANE_PID" 2>/dev/null || true
set_dpi 144
run_start_corvane "$build"
run_focus
run_screenshot "$docs/main-window-144dpi.png"

# Keeping the order: Corvane started with /tray while the order is kept, its
# window hidden, and the menu of its icon at the right end of the stand-in's
# strip. The value that turns the mode on goes again whatever happens.
set_dpi 96
keep_order() {
    if [ "$1" = on ]; then
        "$WINELOADER" reg add 'HKCU\Software\Corvane' /v KeepOrder /t REG_DWORD /d 1 /f </dev/null >/dev/null 2>&1
    else
        "$WINELOADER" reg delete 'HKCU\Software\Corvane' /f </dev/null >/dev/null 2>&1 || true
    fi
}
trap 'keep_order off; set_dpi 96; run_stop' EXIT
kill "$RUN_CORVANE_PID" 2>/dev/null || true
wait "$RUN_CORVANE_PID" 2>/dev/null || true
keep_order on
run_exe "$build/corvane.exe" /tray
RUN_CORVANE_PID=$RUN_LAST_PID
# The icon takes the last slot of the strip (24 pixels wide, 32 high); a
# right click there opens its menu.
sleep 3
read -r screen_width screen_height < <(xdotool getdisplaygeometry)
xdotool mousemove --sync $((screen_width - 12)) $((screen_height - 16)) click 3
sleep 1
run_screenshot "$docs/tray-menu.png"
convert "$docs/tray-menu.png" -crop 320x130+$((screen_width - 320))+$((screen_height - 130)) +repage "PNG8:$docs/tray-menu.png"
xdotool key Escape
kill "$RUN_CORVANE_PID" 2>/dev/null || true
wait "$RUN_CORVANE_PID" 2>/dev/null || true
keep_order off

# No taskbar: the stand-in gone, as on a system whose taskbar Corvane cannot
# arrange.
kill "$RUN_CORVANE_PID" "$RUN_STANDIN_PID" 2>/dev/null || true
wait "$RUN_CORVANE_PID" "$RUN_STANDIN_PID" 2>/dev/null || true
run_start_corvane "$build"
run_focus
run_screenshot "$docs/no-taskbar.png"

# Grouping: the stand-in as XP's taskbar (a toolbar that groups similar
# buttons), windows of three programs (the samples program and two copies
# under other names) opened A B C A B A, and Corvane as on XP, its list
# arranged onto the taskbar with Shift+F10 and "按列表排列任务栏(&A)". The copies
# and the version setting go again whatever happens.
programs="$build/grouping-programs"
corvane_version() {
    "$WINELOADER" reg add 'HKCU\Software\Wine\AppDefaults\corvane.exe' /v Version /d "$1" /f </dev/null >/dev/null 2>&1
}
trap 'corvane_version win2k; run_stop; rm -rf "$programs"' EXIT
# Only these windows: everything started before goes.
for pid in "${RUN_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
done
mkdir -p "$programs"
cp "$build/standin/corvane_samples.exe" "$programs/program_a.exe"
cp "$build/standin/corvane_samples.exe" "$programs/program_b.exe"
cp "$build/standin/corvane_samples.exe" "$programs/program_c.exe"
run_start_standin "$build" --toolbar --group
declare -A opened=()
for program in a b c a b a; do
    opened[$program]=$((${opened[$program]:-0} + 1))
    title="${program^^} ${opened[$program]}"
    run_exe "$programs/program_$program.exe" --count 1 --title "$title"
    run_wait_window 20 "sample window" --all --onlyvisible --pid "$RUN_LAST_PID" --name "^$title\$"
done
sleep 0.5
corvane_version winxp
run_start_corvane "$build"
run_focus
xdotool key --clearmodifiers shift+F10
sleep 0.5
xdotool key a
sleep 1
run_screenshot "$docs/grouping.png"
corvane_version win2k

stat -c 'screenshots: %n (%s bytes)' "$docs/main-window.png" "$docs/about-box.png" "$docs/main-window-144dpi.png" \
    "$docs/tray-menu.png" "$docs/no-taskbar.png" "$docs/grouping.png"
