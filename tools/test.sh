#!/usr/bin/env bash
# Builds Ardmoor and its tests and runs every test through Wine, in a prefix under the build
# folder, on a virtual X display. Installs missing Debian packages first.
# Extra arguments go to ctest (for example -R Registry).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_all

# Nothing below may touch the user's own home or Wine prefix.
init_test_prefix "$ARDMOOR_BUILD/wineprefix" "$ARDMOOR_BUILD/home"
start_display
trap 'wineserver -k >/dev/null 2>&1 || true; stop_printer; stop_display' EXIT
start_printer

# A warm wineserver keeps every test from waiting for it to let go of ctest's output pipe.
wineserver -p
(cd "$WINEPREFIX/drive_c" && wine cmd /c exit >/dev/null 2>&1) || true

say "running tests"
cd "$ARDMOOR_BUILD"
ctest --output-on-failure -j"${ARDMOOR_TEST_JOBS:-2}" "$@"
