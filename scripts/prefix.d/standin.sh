#!/usr/bin/env bash
# Registers the stand-in taskbar's TaskbarList server in the prefix ($1), so
# that CoCreateInstance(CLSID_TaskbarList) in any process of the prefix loads
# it. The build directory is the prefix's parent; the DLL need not be built
# yet, only its path is written. HKLM, because Wine 8 does not let
# HKCU\Software\Classes override this class. Writing the same values again
# changes nothing, so running this twice is harmless.
set -euo pipefail
prefix="${1:?usage: standin.sh PREFIX_DIR}"
export WINEPREFIX="$prefix"
build="$(cd "$(dirname "$prefix")" && pwd)"
dll="$build/standin/corvane_standin_taskbarlist.dll"
key='HKLM\Software\Classes\CLSID\{56FDF344-FD6D-11D0-958A-006097C9A090}\InprocServer32'

dll_path="$(winepath -w "$dll" 2>/dev/null)"
[ -n "$dll_path" ] || { echo "standin.sh: winepath could not map $dll" >&2; exit 1; }
wine reg add "$key" /ve /t REG_SZ /d "$dll_path" /f </dev/null >/dev/null 2>&1
wine reg add "$key" /v ThreadingModel /t REG_SZ /d Apartment /f </dev/null >/dev/null 2>&1
