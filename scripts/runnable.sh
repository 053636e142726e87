#!/usr/bin/env bash
# Whether this machine can run the Windows programs of a build: its Wine
# loader starts. A kernel without 32-bit support fails the 32-bit loader with
# "Exec format error" although wine32 is installed.
#   runnable.sh BUILD_DIR
set -euo pipefail
# shellcheck source=/dev/null
source "${1:?usage: runnable.sh BUILD_DIR}/wine-env.sh"
"$WINELOADER" --version >/dev/null 2>&1
