#!/usr/bin/env bash
# The main window's tests expect a tab-control taskbar: the engine reads the
# taskbar kind from the Windows version, which Wine takes per executable.
# Run by prefix.sh with the build's Wine environment.
set -euo pipefail
"$WINELOADER" reg add 'HKCU\Software\Wine\AppDefaults\app_tests.exe' /v Version /d win2k /f </dev/null >/dev/null 2>&1
