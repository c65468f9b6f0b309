# Shared by the README's commands: package installation, build, Wine prefixes, virtual display.
# Sourced, not run.

ARDMOOR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ARDMOOR_BUILD="${ARDMOOR_BUILD:-$ARDMOOR_ROOT/build}"
ARDMOOR_PACKAGES=(cmake make g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth x11-utils libz-mingw-w64-dev
  googletest imagemagick nsis wixl xdotool poppler-utils python3
  clang libclang-rt-14-dev zlib1g-dev zip unzip)

say() { printf '==> %s\n' "$*"; }

# Installs the Debian packages that are missing (needs root or sudo).
ensure_packages() {
  local missing=()
  for p in "${ARDMOOR_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Configures and builds into $ARDMOOR_BUILD.
build_all() {
  say "building in $ARDMOOR_BUILD"
  cmake -S "$ARDMOOR_ROOT" -B "$ARDMOOR_BUILD" -DCMAKE_TOOLCHAIN_FILE="$ARDMOOR_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$ARDMOOR_BUILD" -j"$(nproc)" "$@"
}

# Points Wine at a prefix and keeps it away from the user's desktop integration.
use_prefix() {
  export WINEPREFIX="$1"
  export WINEARCH=win64
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
}

# Creates a prefix set up for tests: virtual desktop, fonts, no drive Z:.
# $1 prefix folder, $2 folder used as HOME for it.
init_test_prefix() {
  local prefix="$1" home="$2"
  mkdir -p "$home"
  export HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache"
  # Wine's Recycle Bin is the XDG trash; without its parent folder the shell deletes for good.
  mkdir -p "$XDG_DATA_HOME"
  use_prefix "$prefix"
  if [ ! -f "$prefix/.ardmoor-ready-2" ]; then
    say "creating Wine prefix $prefix"
    rm -rf "$prefix"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    rm -f "$prefix/dosdevices/z:"
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    local reg="$prefix/drive_c/ardmoor-setup.reg"
    # A virtual desktop (windows get frames), and the file-type classes a Windows installation has
    # and a fresh Wine prefix lacks: programs and icon files show their own icons.
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1200x760"' '' \
      '[HKEY_LOCAL_MACHINE\Software\Classes\.exe]' '@="exefile"' '' \
      '[HKEY_LOCAL_MACHINE\Software\Classes\.ico]' '@="icofile"' '' \
      '[HKEY_LOCAL_MACHINE\Software\Classes\icofile\DefaultIcon]' '@="%1"' '' \
      | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
    (cd "$prefix/drive_c" && wine regedit /S 'C:\ardmoor-setup.reg' >/dev/null 2>&1) || true
    wineserver -w
    rm -f "$reg"
    touch "$prefix/.ardmoor-ready-2"
  fi
}

# Starts Xvfb on a free display unless one is already usable; sets DISPLAY and XVFB_PID.
start_display() {
  XVFB_PID=""
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local fdfile; fdfile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
  say "virtual display $DISPLAY (Xvfb pid $XVFB_PID)"
}

stop_display() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
}
