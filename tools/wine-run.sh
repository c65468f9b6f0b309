#!/usr/bin/env bash
# ctest's emulator: runs a built Windows exe through Wine in the build folder's test prefix.
# The build folder is linked into the prefix as C:\ardmoor, and the exe is started by that
# path, so the program sees ordinary drive paths (the prefix has no drive Z:).
set -eu
exe="$1"; shift
real="$(readlink -f "$exe")"
build="$(dirname "$real")"
while [ "$build" != "/" ] && [ ! -f "$build/CMakeCache.txt" ]; do build="$(dirname "$build")"; done
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$build/wineprefix" HOME="$build/home"
  export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache"
  export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
fi
link="$WINEPREFIX/drive_c/ardmoor"
if [ "$build" != "/" ] && [ -d "$WINEPREFIX/drive_c" ]; then
  [ "$(readlink -f "$link" 2>/dev/null)" = "$build" ] || ln -sfn "$build" "$link"
  rel="${real#"$build"/}"
  exe="C:\\ardmoor\\${rel//\//\\}"
  cd "$WINEPREFIX/drive_c"
fi
exec wine "$exe" "$@"
