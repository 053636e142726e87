#!/usr/bin/env bash
# Runs every test suite of a build under Wine, on one virtual display.
#
#   test.sh BUILD_DIR [ctest args]
#
# Tests that fail run once more at the end. The summary then names, on a line
# of its own, the tests that passed only on that rerun: a race in the program
# passes a rerun just as a flake of the machine does, so they are reported,
# not forgiven. Before the rerun it shows the exit code and time of every
# test process that failed (the suites' wrapper, tests/run_test.sh.in, logs
# them).
set -euo pipefail
build="$(cd "${1:?usage: test.sh BUILD_DIR [ctest args]}" && pwd)"
shift
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/session.sh"

session_start "$build"
trap session_stop EXIT

name="$(basename "$build")"
temporary="$build/Testing/Temporary"
failed="$temporary/LastTestsFailed.log"
exits="$temporary/TestExitCodes.log"
rm -f "$exits"

# The test names of a LastTestsFailed.log ("number:name" lines), one a line.
failed_names() {
    sed 's/^[0-9]*://' "$failed" | sort
}

status=0
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@" || status=$?
if [ $status -ne 0 ] && [ -s "$failed" ]; then
    first="$(failed_names)"
    echo "test ($name): running the failed tests once more:"
    sed 's/^/  /' <<<"$first"
    if [ -s "$exits" ]; then
        echo "test ($name): exit codes of the failed test processes:"
        sed 's/^/  /' "$exits"
    fi
    status=0
    ctest --test-dir "$build" --output-on-failure --timeout 300 --rerun-failed "$@" || status=$?
    # ctest rewrites the list only when something failed again.
    again=""
    [ $status -ne 0 ] && [ -s "$failed" ] && again="$(failed_names)"
    rerun_passed="$(comm -23 <(echo "$first") <(echo "$again") | paste -sd ' ')"
    count="$(wc -w <<<"$rerun_passed")"
    echo "test ($name): passed only on rerun ($count): ${rerun_passed:-none}"
    if [ -n "$again" ]; then
        echo "test ($name): failed twice: $(paste -sd ' ' <<<"$again")"
    fi
elif [ $status -eq 0 ]; then
    echo "test ($name): passed only on rerun (0): none"
fi
exit $status
