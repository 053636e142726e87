#!/usr/bin/env bash
# Prepares the project's own Wine prefix (never ~/.wine): 32-bit, Chinese fonts
# mapped, no crash dialog, no window-manager stalls. Idempotent: a stamp records
# the settings that were applied, so a prepared prefix costs nothing.
set -euo pipefail
prefix="${1:?usage: prefix.sh PREFIX_DIR}"
here="$(cd "$(dirname "$0")" && pwd)"
stamp="$prefix/.corvane-stamp"
# The stamp is the digest of this script and its extensions: any change to
# them prepares the prefix again.
shopt -s nullglob
extensions=("$here"/prefix.d/*.sh)
version="$(cat "$0" "${extensions[@]}" | md5sum | cut -d' ' -f1)"

export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
export LC_ALL=zh_CN.UTF-8

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
    exit 0
fi

mkdir -p "$prefix"
echo "prefix: preparing $prefix"
wineboot -i </dev/null >/dev/null 2>&1 || true
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
wine regedit /S "$(winepath -w "$reg_file")" </dev/null >/dev/null 2>&1
wineserver -w

fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true

# Extensions by the parts of the project (the stand-in's COM server), each
# given the prefix; they must be idempotent too.
for extra in "${extensions[@]}"; do
    bash "$extra" "$prefix"
done
wineserver -w

echo "$version" >"$stamp"
