#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# natively (release and sanitizers), then the Windows build under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
source scripts/wine-env.sh
# The 32-bit program is always built; where it cannot run, the tests run
# the same sources built for 64 bits.
windows_tests=$(wine_build_config)
configs=(native sanitize windows)
[ "$windows_tests" = windows ] || configs+=("$windows_tests")
bash scripts/build.sh "${configs[@]}"

small_drive=
cleanup() {
  wine_stop
  if [ -n "$small_drive" ]; then umount "$small_drive" 2>/dev/null || true; rmdir "$small_drive" 2>/dev/null || true; fi
  [ -n "${WINEPREFIX:-}" ] && rm -rf "$WINEPREFIX"
  [ -n "${browser_dir:-}" ] && rm -rf "$browser_dir"
}
trap cleanup EXIT
# A file system of 64 KiB for the full-disk cases (needs the right to mount):
# ARRAYFORGE_SMALL_DIR, a folder ending in its separator; under Wine, drive X:.
small_drive=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-small.XXXXXX")
if mount -t tmpfs -o size=64k tmpfs "$small_drive" 2>/dev/null; then
  export ARRAYFORGE_SMALL_DIR=$small_drive/
else
  echo "note: cannot mount a small file system here; the full-disk cases are skipped"
  rmdir "$small_drive"; small_drive=
fi

echo "== native tests"
ctest --test-dir build/native -C integration --output-on-failure
echo "== native tests with sanitizers"
ctest --test-dir build/sanitize --output-on-failure

echo "== Windows tests under Wine ($windows_tests)"
wine_start
if [ -n "$small_drive" ]; then
  ln -sfn "$small_drive" "$WINEPREFIX/dosdevices/x:"
  export ARRAYFORGE_SMALL_DIR='X:\'
fi
# A browser and mail program that only log what they are asked to open:
# the links of the About box are followed into this log.
browser_dir=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-browser.XXXXXX")
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >> "%s/opened.log"\n' "$browser_dir" > "$browser_dir/browser"
chmod +x "$browser_dir/browser"
for kind in Browsers Mailers; do
  wine reg add 'HKCU\Software\Wine\WineBrowser' /v "$kind" /t REG_SZ /d "$browser_dir/browser" /f >/dev/null 2>&1
done
export ARRAYFORGE_BROWSER_LOG="Z:${browser_dir//\//\\}\\opened.log"

ctest --test-dir "build/$windows_tests" --output-on-failure
