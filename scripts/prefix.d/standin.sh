#!/usr/bin/env bash
# Registers the stand-in taskbar's TaskbarList server in the build's prefix,
# so that CoCreateInstance(CLSID_TaskbarList) in any process of the prefix
# loads it. The server is built for the build's architecture, the only one its
# programs can load in process, and reg.exe of that architecture writes the
# registry view they read. The DLL need not be built yet, only its path is
# written. HKLM, because Wine 8 does not let HKCU\Software\Classes override
# this class. Writing the same values again changes nothing, so running this
# twice is harmless. Run by prefix.sh (BUILD_DIR, the build's Wine environment).
set -euo pipefail
build="$(cd "${1:?usage: standin.sh BUILD_DIR}" && pwd)"
dll="$build/standin/corvane_standin_taskbarlist.dll"
key='HKLM\Software\Classes\CLSID\{56FDF344-FD6D-11D0-958A-006097C9A090}\InprocServer32'

dll_path="$("$WINELOADER" winepath -w "$dll" 2>/dev/null)"
[ -n "$dll_path" ] || { echo "standin.sh: winepath could not map $dll" >&2; exit 1; }
"$WINELOADER" reg add "$key" /ve /t REG_SZ /d "$dll_path" /f </dev/null >/dev/null 2>&1
"$WINELOADER" reg add "$key" /v ThreadingModel /t REG_SZ /d Apartment /f </dev/null >/dev/null 2>&1
