#!/usr/bin/env bash
# corvane.exe as Windows 2000 in the build's prefix: the engine reads the
# taskbar kind from the Windows version, which Wine takes per executable, and
# the stand-in draws its buttons with a tab control by default. Under that
# version the program probes the tab control and lists the windows in the
# taskbar's order. Tests that want another kind set it for their own run and
# put it back. Run by prefix.sh with the build's Wine environment.
set -euo pipefail
"$WINELOADER" reg add 'HKCU\Software\Wine\AppDefaults\corvane.exe' /v Version /d win2k /f </dev/null >/dev/null 2>&1
