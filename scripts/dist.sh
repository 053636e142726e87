#!/usr/bin/env bash
# Builds the release archive BUILD_DIR/dist/corvane-<version>-win32.zip
# (corvane.exe and readme.txt) and prints its SHA-256. The same sources give
# the same bytes: the linker writes no time stamp into the executable, and the
# archive holds fixed times, modes and order and no extra fields.
#   dist.sh BUILD_DIR
#   dist.sh --verify BUILD_DIR   also builds the archive again in a clean
#                                build tree at another path (BUILD_DIR/verify)
#                                and fails unless the executables and the
#                                archives are byte for byte the same.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
verify=0
if [ "${1:-}" = --verify ]; then
    verify=1
    shift
fi
build="${1:?usage: dist.sh [--verify] BUILD_DIR}"

version="$(sed -n 's/^project(Corvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[ -n "$version" ] || { echo "dist: no version in CMakeLists.txt" >&2; exit 1; }
name="corvane-$version-win32"

# The archive's time for every member: SOURCE_DATE_EPOCH when given, else the
# time of the last commit, so that it follows the sources and not the clock.
# Zip stores local DOS times from 1980 on, read here in UTC.
epoch="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}"
[ -n "$epoch" ] && [ "$epoch" -ge 315532800 ] 2>/dev/null || epoch=315532800

# build_archive BUILD_DIR: the program built there, then the archive.
build_archive() {
    local dir="$1"
    cmake -S "$root" -B "$dir" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
    cmake --build "$dir" -j 2 --target corvane -- --no-print-directory >"$dir/dist-build.log" 2>&1 ||
        { cat "$dir/dist-build.log" >&2; return 1; }

    local stage="$dir/dist/$name"
    rm -rf "$dir/dist"
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

build_archive "$build"
archive="$build/dist/$name.zip"
echo "dist: $archive"
sha256sum "$archive" | sed "s|  .*|  $name.zip|"

if [ $verify -eq 1 ]; then
    again="$build/verify"
    rm -rf "$again"
    mkdir -p "$again"
    build_archive "$again"
    if cmp -s "$archive" "$again/dist/$name.zip" && cmp -s "$build/corvane.exe" "$again/corvane.exe"; then
        echo "dist: a clean rebuild in $again gives the same corvane.exe and the same archive"
    else
        echo "dist: NOT reproducible: $archive and $again/dist/$name.zip differ" >&2
        cmp "$build/corvane.exe" "$again/corvane.exe" >&2 || true
        exit 1
    fi
fi
