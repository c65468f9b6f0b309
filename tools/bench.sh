#!/usr/bin/env bash
# Builds and runs the benchmarks in their own Wine prefix under the build folder; they print
# their figures. Benchmarks are not tests: they never fail on time.
#   tools/bench.sh             every benchmark
#   tools/bench.sh refresh     only bench_refresh.exe (arguments after the name go to it)
#   tools/bench.sh zip 7       only the zip reader against unzip, natively (7 rounds)
#   tools/bench.sh install_search 5   only the install wizard's search (5 rounds) and its Stop
#   tools/bench.sh export 2000 10000 7   only ardmoor.exe /list /json (2,000 entries, 7 rounds) and
#                                        the export's memory for 10,000 entries
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_all --target benchmarks
init_test_prefix "$ARDMOOR_BUILD/bench-prefix" "$ARDMOOR_BUILD/bench-home"
start_display
trap 'wineserver -k >/dev/null 2>&1 || true; stop_display' EXIT
# The install wizard's search reads two fixture drives, made once natively, linked before Wine starts.
if [ -z "${1:-}" ] || [ "${1:-}" = install_search ]; then
  python3 "$ARDMOOR_ROOT/bench/make_search_drive.py" "$ARDMOOR_BUILD/bench-drives"
  ln -sfn "$ARDMOOR_BUILD/bench-drives/search" "$WINEPREFIX/dosdevices/s:"
  ln -sfn "$ARDMOOR_BUILD/bench-drives/big" "$WINEPREFIX/dosdevices/t:"
fi
wineserver -p
(cd "$WINEPREFIX/drive_c" && wine cmd /c exit >/dev/null 2>&1) || true

only="${1:-}"
[ -n "$only" ] && shift
for exe in "$ARDMOOR_BUILD"/bench/bench_*.exe; do
  name="$(basename "$exe" .exe)"; name="${name#bench_}"
  [ -n "$only" ] && [ "$only" != "$name" ] && continue
  say "benchmark $name"
  "$ARDMOOR_ROOT/tools/wine-run.sh" "$exe" "$@"
done

# The zip reader, built natively, against Info-ZIP's unzip: tools/bench.sh zip [rounds]
if [ -z "$only" ] || [ "$only" = zip ]; then
  say "benchmark zip (native, against unzip)"
  "$ARDMOOR_BUILD/native/bench_zip" "${1:-7}" "$ARDMOOR_BUILD/native/zip-bench"
fi
