# Shared by the README's commands: package installation, build, Wine prefixes, virtual display.
# Sourced, not run.

ARDMOOR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ARDMOOR_BUILD="${ARDMOOR_BUILD:-$ARDMOOR_ROOT/build}"
# Every Debian package the build, the tests, the demo and the benchmarks use, named one per line
# (a machine may have Wine without its recommendations, so what the tests need from those is here).
ARDMOOR_PACKAGES=(
  cmake
  make
  python3                      # tools/make_icons.py
  g++-mingw-w64-x86-64-posix
  libz-mingw-w64-dev
  googletest
  wine
  wine64
  fonts-wine                   # Tahoma and the other fonts the tests' prefix gets (Wine only recommends them)
  libxrender1                  # Wine's X11 driver loads these at run time: drawing, display modes,
  libxrandr2                   # input, pointers and windows (Wine only recommends them)
  libxi6
  libxcursor1
  libxfixes3
  libxinerama1
  libxcomposite1
  xvfb
  xauth
  x11-utils                    # xdpyinfo
  xdotool
  imagemagick                  # import, for screenshots
  nsis                         # real installers built at test time
  wixl
  poppler-utils                # pdftotext, pdftoppm: the printed pages read back
  cups                         # the tests' private print spooler, a printer that writes PDF,
  printer-driver-cups-pdf      # and the library Wine prints through
  libcups2
  clang                        # the zip reader built natively: its tests under sanitizers,
  libclang-rt-14-dev           # its fuzzer (libFuzzer, address and undefined sanitizers),
  zlib1g-dev                   # and its benchmark
  zip                          # archives the zip reader's tests read, and the benchmark's baseline
  unzip
)

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

# A private print spooler for the tests: a cupsd of its own, with its configuration, socket, spool
# and logs under $ARDMOOR_BUILD/cups (a CUPS the machine runs already is left alone), and two
# cups-pdf queues, PDF (the default) and PDF2, whose PDFs land in $ARDMOOR_BUILD/cups/pdf/<queue>.
# cups-pdf reads its settings only from /etc/cups/cups-pdf-<name>.conf, so each queue gets such a
# file named after this build folder, removed again by stop_printer. Exports CUPS_SERVER (Wine's
# spooler asks the cupsd it names) and ARDMOOR_TEST_PRINTER, the promise that tests may print.
# Without root or without cupsd it says so and promises nothing: the print tests that need a
# printer then report themselves skipped.
start_printer() {
  CUPSD_PID=""
  local root="$ARDMOOR_BUILD/cups"
  if [ "$(id -u)" -ne 0 ] || ! command -v cupsd >/dev/null || [ ! -x /usr/lib/cups/backend/cups-pdf ]; then
    say "no test printer: a private cupsd with cups-pdf needs root and the cups packages"
    return 0
  fi
  ARDMOOR_CUPS_ID="ardmoor-$(printf %s "$ARDMOOR_BUILD" | md5sum | cut -c1-8)"
  rm -rf "$root"
  mkdir -p "$root/etc" "$root/spool" "$root/cache" "$root/state" "$root/log" "$root/tmp" "$root/pdf"
  # Filters run as lp and need a place of their own for temporary files.
  chown root:lp "$root/tmp" && chmod 1770 "$root/tmp"
  local socket="$root/socket"
  [ ${#socket} -le 100 ] || socket="$(mktemp -d /tmp/ardmoor-cups.XXXXXX)/socket"
  printf '%s\n' "ServerRoot $root/etc" "RequestRoot $root/spool" "TempDir $root/tmp" "CacheDir $root/cache" \
    "StateDir $root/state" "AccessLog $root/log/access_log" "ErrorLog $root/log/error_log" \
    "PageLog $root/log/page_log" "FileDevice No" "SystemGroup root" >"$root/etc/cups-files.conf"
  printf '%s\n' "Listen $socket" "Printcap $root/printcap" "LogLevel info" "Browsing No" \
    "BrowseLocalProtocols none" "WebInterface No" "DefaultAuthType None" \
    "<Location />" "Order allow,deny" "Allow all" "</Location>" \
    "<Policy default>" "<Limit All>" "Order deny,allow" "</Limit>" "</Policy>" >"$root/etc/cupsd.conf"
  cupsd -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" >"$root/log/cupsd.out" 2>&1 &
  CUPSD_PID=$!
  export CUPS_SERVER="$socket"
  for _ in $(seq 1 100); do lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done
  local queue
  for queue in PDF PDF2; do
    mkdir -p "$root/pdf/$queue" "$root/pdf/spool-$queue"
    printf '%s\n' "Out $root/pdf/$queue" "Spool $root/pdf/spool-$queue" "Label 1" \
      >"/etc/cups/cups-pdf-$ARDMOOR_CUPS_ID-$queue.conf"
    if ! lpadmin -p "$queue" -v "cups-pdf:/$ARDMOOR_CUPS_ID-$queue" -E \
      -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>>"$root/log/lpadmin.out"; then
      say "no test printer: the private cupsd did not take queue $queue (see $root/log)"
      stop_printer
      return 0
    fi
  done
  lpadmin -d PDF 2>>"$root/log/lpadmin.out" || true
  export ARDMOOR_TEST_PRINTER=PDF
  say "test printers PDF and PDF2 on a private cupsd (pid $CUPSD_PID, $CUPS_SERVER)"
}

stop_printer() {
  if [ -n "${CUPSD_PID:-}" ]; then
    kill "$CUPSD_PID" 2>/dev/null || true
    wait "$CUPSD_PID" 2>/dev/null || true
  fi
  CUPSD_PID=""
  [ -n "${ARDMOOR_CUPS_ID:-}" ] && rm -f "/etc/cups/cups-pdf-$ARDMOOR_CUPS_ID-"*.conf
  case "${CUPS_SERVER:-}" in /tmp/ardmoor-cups.*/socket) rm -rf "$(dirname "$CUPS_SERVER")" ;; esac
  unset ARDMOOR_TEST_PRINTER CUPS_SERVER
  return 0
}
