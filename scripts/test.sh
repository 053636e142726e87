#!/usr/bin/env bash
# Runs every test suite of a build under Wine, on one virtual display.
set -euo pipefail
build="$(cd "${1:?usage: test.sh BUILD_DIR [ctest args]}" && pwd)"
shift
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/session.sh"

session_start "$build"
trap session_stop EXIT

status=0
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@" || status=$?
if [ $status -ne 0 ] && [ -s "$build/Testing/Temporary/LastTestsFailed.log" ]; then
    # Tests that drive real input on a display without a window manager, and
    # Wine's start of a process, fail now and then for reasons outside the
    # program (about one run in three of the whole suite here). The failed
    # tests run once more, and the log above keeps their first failure: a
    # fault of the program fails both times.
    echo "test: running the failed tests once more:"
    sed 's/^[0-9]*:/  /' "$build/Testing/Temporary/LastTestsFailed.log"
    status=0
    ctest --test-dir "$build" --output-on-failure --timeout 300 --rerun-failed "$@" || status=$?
fi
exit $status
