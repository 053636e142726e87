#!/usr/bin/env bash
# Runs the test suites of several builds side by side (scripts/test.sh each):
# every build has a Wine prefix and a virtual display of its own, so the
# builds' suites cannot meet, while within a build every test still runs
# alone. A build whose programs this machine cannot run is skipped with a
# line that says so. Each build's output is kept in its own log and shown
# whole, one build after the other, once all have ended.
#
#   test-builds.sh BUILD_DIR...
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
[ $# -gt 0 ] || { echo "usage: test-builds.sh BUILD_DIR..." >&2; exit 2; }

builds=()
logs=()
pids=()
for build in "$@"; do
    if ! "$here/runnable.sh" "$build"; then
        if grep -q '^export WINEARCH=win32$' "$build/wine-env.sh"; then
            echo "32-bit suites skipped: this kernel does not run 32-bit programs"
        else
            echo "$build: suites skipped: this machine does not run its programs"
        fi
        continue
    fi
    log="$build/Testing/test-run.log"
    mkdir -p "$(dirname "$log")"
    "$here/test.sh" "$build" >"$log" 2>&1 &
    builds+=("$build")
    logs+=("$log")
    pids+=($!)
done
echo "test: the suites of ${builds[*]} run side by side; their output follows when all have ended"

status=0
statuses=()
for i in "${!pids[@]}"; do
    s=0
    wait "${pids[$i]}" || s=$?
    statuses+=("$s")
done
for i in "${!builds[@]}"; do
    echo "===== test: ${builds[$i]} ====="
    cat "${logs[$i]}"
    [ "${statuses[$i]}" -eq 0 ] || status=1
done
# The summary lines of every build together at the end, where a reader of a
# long log looks first.
for i in "${!builds[@]}"; do
    grep -E '^test \(|tests passed|tests failed out of' "${logs[$i]}" | sed "s|^|${builds[$i]##*/}: |" || true
done
exit $status
