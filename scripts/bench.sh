#!/usr/bin/env bash
# Runs every benchmark executable of a build under Wine and prints its report.
set -euo pipefail
build="$(cd "${1:?usage: bench.sh BUILD_DIR}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/session.sh"
session_start "$build"
trap session_stop EXIT
shopt -s nullglob
benches=("$build"/bench/*.exe)
[ ${#benches[@]} -gt 0 ] || { echo "bench: no benchmark executables in $build/bench" >&2; exit 1; }
for exe in "${benches[@]}"; do
    echo "== $(basename "$exe" .exe)"
    "$build/wine-run.sh" "$exe"
done
