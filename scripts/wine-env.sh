# Sourced by the scripts that run Windows programs under Wine:
#   source scripts/wine-env.sh; wine_start [PREFIX]; ...; wine_stop
# wine_start prepares a 32-bit Japanese prefix (a fresh one unless PREFIX is
# given and already set up), a display, and a running Wine server.

wine_start() {
  export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree=
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
  if [ -n "${WINE_STARTED_XVFB:-}" ]; then
    kill "$WINE_STARTED_XVFB" 2>/dev/null || true
    wait "$WINE_STARTED_XVFB" 2>/dev/null || true
  fi
}
