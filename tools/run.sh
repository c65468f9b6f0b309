#!/usr/bin/env bash
# Builds Ardmoor and starts it under Wine in your Wine prefix ($WINEPREFIX, default ~/.wine).
# Without a display it starts a virtual one, shows the program there for a few seconds, saves a
# screenshot and says where. Installs missing Debian packages first.
#   tools/run.sh           your prefix
#   tools/run.sh --demo    a project-local prefix with sample programs installed
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

demo=0
[ "${1:-}" = "--demo" ] && demo=1

ensure_packages
build_all --target ardmoor

if [ $demo -eq 1 ]; then
  source "$ARDMOOR_ROOT/tools/demo.sh"
  prepare_demo_prefix
else
  use_prefix "${WINEPREFIX:-$HOME/.wine}"
  if [ ! -d "$WINEPREFIX/drive_c" ]; then
    say "creating Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Wine's own fonts give captions and caption buttons their glyphs.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
fi

exe="$ARDMOOR_BUILD/ardmoor.exe"
# A prefix without drive Z: (the demo's) reaches the build folder through C:\ardmoor.
if [ ! -e "$WINEPREFIX/dosdevices/z:" ]; then
  ln -sfn "$ARDMOOR_BUILD" "$WINEPREFIX/drive_c/ardmoor"
  exe='C:\ardmoor\ardmoor.exe'
fi
cd "$WINEPREFIX/drive_c"
start_display
if [ -z "${XVFB_PID:-}" ]; then
  say "starting Ardmoor in $WINEPREFIX"
  exec wine "$exe"
fi

trap 'stop_display' EXIT
say "starting Ardmoor in $WINEPREFIX on the virtual display"
# A Wine virtual desktop gives the window its frame without changing the prefix's settings.
wine explorer /desktop=Ardmoor,1200x760 "$exe" &
app=$!
for _ in $(seq 1 60); do
  xdotool search --name '^Ardmoor$' >/dev/null 2>&1 && break
  sleep 0.5
done
sleep "${ARDMOOR_SHOT_DELAY:-4}"
mkdir -p "$ARDMOOR_BUILD/screenshots"
shot="$ARDMOOR_BUILD/screenshots/ardmoor-run.png"
import -window root "$shot"
say "screenshot saved: $shot"
wid="$(xdotool search --name '^Ardmoor$' 2>/dev/null | head -n1 || true)"
[ -n "$wid" ] && xdotool windowclose "$wid" 2>/dev/null || true
sleep 2
kill "$app" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
