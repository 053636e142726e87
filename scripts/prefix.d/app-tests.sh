#!/usr/bin/env bash
# The main window's tests expect a tab-control taskbar: the engine reads the
# taskbar kind from the Windows version, which Wine takes per executable.
set -euo pipefail
export WINEPREFIX="$1"
wine reg add 'HKCU\Software\Wine\AppDefaults\app_tests.exe' /v Version /d win2k /f </dev/null >/dev/null 2>&1
