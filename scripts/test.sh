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
exit $status
