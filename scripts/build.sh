#!/usr/bin/env bash
# Builds the configurations: native (release), native with sanitizers, the
# 32-bit Windows cross build, and the 64-bit one (for testing where 32-bit
# programs cannot run).   scripts/build.sh [native|sanitize|windows|windows64]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(native sanitize windows)

# Each configuration is a preset of CMakePresets.json (build/<name>).
for config in "${configs[@]}"; do
  case $config in
    native|sanitize|windows|windows64) ;;
    *) echo "unknown configuration $config" >&2; exit 2 ;;
  esac
  (cd "$root" && cmake --preset "$config" >/dev/null)
  # Quiet when it works; the whole log, compiler errors included, when not.
  log=$(mktemp)
  if ! ninja -C "$root/build/$config" >"$log" 2>&1; then
    cat "$log" >&2; rm -f "$log"; exit 1
  fi
  tail -n 1 "$log"; rm -f "$log"
done
