#!/usr/bin/env bash
# Checks beyond the gcc test suites.
#   check.sh static CLANG_DIR
#       The programs and their libraries built with clang for 32-bit Windows
#       (cmake/clang-mingw-i686.cmake; corvane.exe over the win32-thread
#       runtime, as the program we ship), every warning an error, and that
#       program's floor check; then cppcheck over our sources, every finding
#       an error. Part of `make test`.
#   check.sh full CLANG_DIR RELEASE_DIR
#       What `make test` leaves out: everything built with clang for 64-bit
#       Windows (cmake/clang-mingw-x86_64.cmake), which runs on every machine
#       here, and its test suites run under Wine; and the release archives
#       built again in clean trees at another path and found byte for byte the
#       same (scripts/dist.sh --verify). `make check`.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
usage="usage: check.sh static CLANG_DIR | check.sh full CLANG_DIR RELEASE_DIR"
mode="${1:?$usage}"
clang_dir="${2:?$usage}"
case "$mode" in static | full) ;; *) echo "$usage" >&2; exit 2 ;; esac

# Our code only: GoogleTest's sources under /usr/src are not ours.
sources=(framework engine controls app standin bench tests)
# The programs and the libraries under them; the suites come in `full`.
programs=(corvane corvane_standin corvane_standin_taskbarlist corvane_samples)

# Both compilers' warnings for both architectures: the gcc builds compile
# i686 and x86_64, clang one in each mode.
declare -A clang_arch=([static]=i686 [full]=x86_64)

clang_configure() {
    cmake -S "$root" -B "$clang_dir" --no-warn-unused-cli \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/clang-mingw-${clang_arch[$mode]}.cmake" \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
}

# clang_build [TARGET...]: no target builds everything. Only the compiler's
# own words are shown when it fails.
clang_build() {
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    echo "check: clang ${clang_arch[$mode]} build (${*:-everything}) in $clang_dir"
    cmake --build "$clang_dir" -j 2 "${targets[@]}" -- --no-print-directory >"$clang_dir/check-build.log" 2>&1 ||
        { grep -v '^\[\|^Built target\|^Scanning dependencies' "$clang_dir/check-build.log" >&2; return 1; }
}

run_cppcheck() {
    echo "check: cppcheck ${sources[*]}"
    # --library=windows knows the Win32 API; the defines are those of the
    # MinGW-w64 build (CMakeLists.txt, engine/CMakeLists.txt).
    (cd "$root" && cppcheck --quiet --error-exitcode=1 -j 2 \
        --enable=warning,style,performance,portability \
        --std=c++17 --language=c++ --library=windows --library=googletest \
        -I . -D_WIN32 -D__MINGW32__ -D__i386__ -D_M_IX86 \
        -D_WIN32_WINNT=0x0501 -D_WIN32_IE=0x0600 -DWINVER=0x0501 -DNOMINMAX -DSTRICT -DNOCRYPT \
        --inline-suppr --suppressions-list=scripts/cppcheck.suppress \
        --template='{file}:{line}: {severity}: {message} [{id}]' \
        "${sources[@]}")
}

clang_configure
if [ "$mode" = static ]; then
    clang_build "${programs[@]}"
    # clang's program too imports only what the floor has.
    "$here/floor-check.sh" "$clang_dir/corvane.exe"
    run_cppcheck
else
    release_dir="${3:?$usage}"
    clang_build
    "$here/floor-check.sh" "$clang_dir/corvane.exe"
    # The soak and the 300-window run take two of the suites' four minutes and
    # already run on the gcc build in `make test`; the clang program meets
    # every other end-to-end test.
    echo "check: the clang build's test suites under Wine (all but the soak and the 300-window run)"
    "$here/test.sh" "$clang_dir" -E '^(E2eSoak\.|E2eFault\.ThreeHundredWindows)'
    "$here/dist.sh" --verify "$release_dir"
fi
echo "check: passed"
