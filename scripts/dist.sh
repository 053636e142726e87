#!/usr/bin/env bash
# Builds the release archives BUILD_DIR/dist/corvane-<version>-win32.zip (the
# i686 corvane.exe, PE32) and corvane-<version>-win64.zip (the x86_64 one,
# PE32+), each with readme.txt, and prints their SHA-256. The programs are
# built in release trees of their own (BUILD_DIR/release-win32, -win64) with
# the program's own toolchains (cmake/mingw-*-win32.cmake) and warnings as
# errors, exactly as the test builds make the corvane.exe they run, so that no
# other build's configuration changes. Each program must pass the floor check
# (scripts/floor-check.sh) before it goes into its archive. The same
# sources give the same bytes: the linker writes no time stamp into the
# executable, and the archive holds fixed times, modes and order and no extra
# fields.
#   dist.sh BUILD_DIR [TESTED_WIN32 TESTED_WIN64]
#                                with the corvane.exe files the test builds
#                                run: each release program must be byte for
#                                byte the tested one of its architecture
#   dist.sh --verify BUILD_DIR   also builds both archives again in clean
#                                release trees at another path
#                                (BUILD_DIR/verify) and fails unless the
#                                executables and the archives are byte for
#                                byte the same.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
verify=0
if [ "${1:-}" = --verify ]; then
    verify=1
    shift
fi
build="${1:?usage: dist.sh [--verify] BUILD_DIR [TESTED_WIN32 TESTED_WIN64]}"
declare -A tested=([win32]="${2:-}" [win64]="${3:-}")
mkdir -p "$build"
build="$(cd "$build" && pwd)"

version="$(sed -n 's/^project(Corvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[ -n "$version" ] || { echo "dist: no version in CMakeLists.txt" >&2; exit 1; }

# The archive's time for every member: SOURCE_DATE_EPOCH when given, else the
# time of the last commit, so that it follows the sources and not the clock.
# Zip stores local DOS times from 1980 on, read here in UTC.
epoch="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}"
[ -n "$epoch" ] && [ "$epoch" -ge 315532800 ] 2>/dev/null || epoch=315532800

# Release flavours: archive suffix, toolchain file, the PE kind `file` names.
flavours=(win32 win64)
declare -A toolchain=([win32]=mingw-i686-win32 [win64]=mingw-x86_64-win32)
declare -A pe_kind=([win32]='PE32 executable' [win64]='PE32+ executable')
# The only DLLs the program may import: those that come with Windows.
system_dlls='(kernel32|user32|gdi32|comctl32|ole32|shell32|advapi32|msvcrt|psapi)\.dll'

# build_archive TOP FLAVOUR: the program built in TOP/release-FLAVOUR, then
# the archive TOP/dist/corvane-<version>-FLAVOUR.zip.
build_archive() {
    local top="$1" flavour="$2"
    local dir="$top/release-$flavour" name="corvane-$version-$flavour"
    cmake -S "$root" -B "$dir" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE="$root/cmake/${toolchain[$flavour]}.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
    cmake --build "$dir" -j 2 --target corvane -- --no-print-directory >"$dir/dist-build.log" 2>&1 ||
        { cat "$dir/dist-build.log" >&2; return 1; }
    file -b "$dir/corvane.exe" | grep -q "^${pe_kind[$flavour]} " ||
        { echo "dist: $dir/corvane.exe is not a ${pe_kind[$flavour]}" >&2; return 1; }
    local foreign
    foreign="$(x86_64-w64-mingw32-objdump -p "$dir/corvane.exe" | sed -n 's/^[[:space:]]*DLL Name: //p' |
        tr '[:upper:]' '[:lower:]' | grep -vxE "$system_dlls" || true)"
    [ -z "$foreign" ] || { echo "dist: $dir/corvane.exe imports DLLs that Windows does not bring:" $foreign >&2; return 1; }
    "$here/floor-check.sh" "$dir/corvane.exe"

    local stage="$top/dist/$name"
    rm -rf "$stage" "$top/dist/$name.zip"
    mkdir -p "$stage"
    cp "$dir/corvane.exe" "$stage/corvane.exe"
    # Windows text: CRLF line ends.
    sed 's/\r*$/\r/' "$root/dist/readme.txt" >"$stage/readme.txt"
    chmod 0644 "$stage/corvane.exe" "$stage/readme.txt"
    touch -d "@$epoch" "$stage/corvane.exe" "$stage/readme.txt"
    # -X: no extra fields (Unix times, uid/gid); -D: no directory entries;
    # the members in this order; TZ for the DOS times.
    (cd "$stage" && TZ=UTC zip -q -X -D -9 "../$name.zip" corvane.exe readme.txt)
    rm -rf "$stage"
}

for flavour in "${flavours[@]}"; do
    build_archive "$build" "$flavour"
    echo "dist: $build/dist/corvane-$version-$flavour.zip"
    if [ -n "${tested[$flavour]}" ]; then
        if cmp -s "$build/release-$flavour/corvane.exe" "${tested[$flavour]}"; then
            echo "dist: its corvane.exe is byte for byte the one the tests ran (${tested[$flavour]})"
        else
            echo "dist: $build/release-$flavour/corvane.exe differs from the one the tests ran (${tested[$flavour]})" >&2
            exit 1
        fi
    fi
done
(cd "$build/dist" && sha256sum "corvane-$version"-*.zip)

if [ $verify -eq 1 ]; then
    again="$build/verify"
    rm -rf "$again"
    for flavour in "${flavours[@]}"; do
        build_archive "$again" "$flavour"
        name="corvane-$version-$flavour"
        if cmp -s "$build/dist/$name.zip" "$again/dist/$name.zip" &&
            cmp -s "$build/release-$flavour/corvane.exe" "$again/release-$flavour/corvane.exe"; then
            echo "dist: a clean rebuild in $again gives the same $flavour corvane.exe and archive"
        else
            echo "dist: NOT reproducible: $build/dist/$name.zip and $again/dist/$name.zip differ" >&2
            cmp "$build/release-$flavour/corvane.exe" "$again/release-$flavour/corvane.exe" >&2 || true
            exit 1
        fi
    done
fi
