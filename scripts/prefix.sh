#!/usr/bin/env bash
# Prepares a build's own Wine prefix (never ~/.wine), of the build's
# architecture (BUILD_DIR/wine-env.sh): Chinese fonts mapped, no crash dialog,
# no window-manager stalls. Idempotent: a stamp records the settings that were
# applied, so a prepared prefix costs nothing.
#   prefix.sh BUILD_DIR
set -euo pipefail
build="${1:?usage: prefix.sh BUILD_DIR}"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=/dev/null
source "$build/wine-env.sh"
prefix="$WINEPREFIX"
stamp="$prefix/.corvane-stamp"
# The stamp is the digest of this script and its extensions: any change to
# them prepares the prefix again.
shopt -s nullglob
extensions=("$here"/prefix.d/*.sh)
version="$( (cat "$0" "${extensions[@]}"; echo "$WINEARCH") | md5sum | cut -d' ' -f1)"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
    exit 0
fi

mkdir -p "$prefix"
echo "prefix: preparing $prefix"
# A 64-bit prefix reports a missing syswow64\rundll32.exe here: harmless.
"$WINELOADER" wineboot -i </dev/null >/dev/null 2>&1 || true
wineserver -w

reg_file="$(mktemp --suffix=.reg)"
trap 'rm -f "$reg_file"' EXIT
cat >"$reg_file" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
# The key names are Chinese: regedit reads the file in the UTF-8 locale above.
"$WINELOADER" regedit /S "$("$WINELOADER" winepath -w "$reg_file")" </dev/null >/dev/null 2>&1
wineserver -w

fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true

# Extensions by the parts of the project (the stand-in's COM server), each
# given the build folder and this environment; they must be idempotent too.
for extra in "${extensions[@]}"; do
    bash "$extra" "$build"
done
wineserver -w

echo "$version" >"$stamp"
