#!/usr/bin/env bash
# A floor-check test: the check must refuse the program and name the reason.
#   refuses.sh FLOOR_CHECK REASON_REGEX EXE
set -uo pipefail
check="$1" reason="$2" exe="$3"
output="$("$check" "$exe" 2>&1)"
status=$?
printf '%s\n' "$output"
if [ $status -eq 0 ]; then
    echo "FAIL: the floor check passed $exe" >&2
    exit 1
fi
if ! grep -Eq -- "$reason" <<<"$output"; then
    echo "FAIL: the floor check refused $exe without saying: $reason" >&2
    exit 1
fi
