#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# natively (release and sanitizers), then the Windows build under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
bash scripts/build.sh native sanitize windows

echo "== native tests"
ctest --test-dir build/native --output-on-failure
echo "== native tests with sanitizers"
ctest --test-dir build/sanitize --output-on-failure

echo "== Windows tests under Wine"
source scripts/wine-env.sh
small_drive=
cleanup() {
  wine_stop
  if [ -n "$small_drive" ]; then umount "$small_drive" 2>/dev/null || true; rmdir "$small_drive" 2>/dev/null || true; fi
  [ -n "${WINEPREFIX:-}" ] && rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
wine_start
# A drive of 64 KiB for the full-disk cases (needs the right to mount).
small_drive=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-small.XXXXXX")
if mount -t tmpfs -o size=64k tmpfs "$small_drive" 2>/dev/null; then
  ln -sfn "$small_drive" "$WINEPREFIX/dosdevices/x:"
  export ARRAYFORGE_SMALL_DRIVE=X:
else
  echo "note: cannot mount a small drive here; the full-disk cases are skipped"
  rmdir "$small_drive"; small_drive=
fi
ctest --test-dir build/windows --output-on-failure
