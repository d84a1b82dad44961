# Sourced by the scripts that run Windows programs under Wine:
#   source scripts/wine-env.sh; wine_start [PREFIX]; ...; wine_stop
# wine_start prepares a Japanese prefix (a fresh one unless PREFIX is given
# and already set up), a display, and a running Wine server.
#
# Some kernels run no 32-bit programs at all (no IA-32 emulation), and so no
# 32-bit Wine. There the Windows build under test is the 64-bit one
# (build/windows64) in a 64-bit prefix; elsewhere the 32-bit program itself.

# True when this machine runs 32-bit Linux programs, and so 32-bit Wine.
wine_runs_32bit() { /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; }

# The Windows build the tests and the program run from.
wine_build_config() { if wine_runs_32bit; then echo windows; else echo windows64; fi; }

wine_start() {
  export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree=
  if ! wine_runs_32bit; then
    # Debian's "wine" starts the 32-bit loader whenever it is installed: a
    # folder of our own early in PATH gives the 64-bit one instead.
    WINE_WRAPPERS=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-wine64.XXXXXX")
    local name
    for name in wine wine-stable; do
      printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' > "$WINE_WRAPPERS/$name"
      chmod +x "$WINE_WRAPPERS/$name"
    done
    export PATH="$WINE_WRAPPERS:$PATH" WINEARCH=win64
  fi
  # Code page 932 is the ANSI code page only under a Japanese locale.
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  export WINEPREFIX=${1:-$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-wine.XXXXXX")}
  WINE_STARTED_XVFB=
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    local display
    for display in $(seq 90 120); do
      [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
    done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_STARTED_XVFB=$!
    export DISPLAY=":$display"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    # Without a window manager every hidden or closed window waits 2 s
    # unless Wine manages the windows itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    local face
    for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic'; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
    done
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
    # Caption buttons are drawn with this font.
    [ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  # A persistent server, started and booted before the tests, keeps Wine's
  # background services away from the test runner's pipes. (-p answers 2
  # when a server is already up, so any earlier one is stopped first.)
  wineserver -k 2>/dev/null || true
  wineserver -p
  wine wineboot >/dev/null 2>&1 || true
}

wine_stop() {
  wineserver -k 2>/dev/null || true
  [ -n "${WINE_WRAPPERS:-}" ] && rm -rf "$WINE_WRAPPERS"
  if [ -n "${WINE_STARTED_XVFB:-}" ]; then
    kill "$WINE_STARTED_XVFB" 2>/dev/null || true
    wait "$WINE_STARTED_XVFB" 2>/dev/null || true
  fi
}
