#!/usr/bin/env bash
# Builds the configurations: native (release), native with sanitizers, the
# 32-bit Windows cross build, and the 64-bit one (for testing where 32-bit
# programs cannot run).   scripts/build.sh [native|sanitize|windows|windows64]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(native sanitize windows)

for config in "${configs[@]}"; do
  case $config in
    native)   args=(-DCMAKE_BUILD_TYPE=Release) ;;
    sanitize) args=(-DCMAKE_BUILD_TYPE=Debug -DARRAYFORGE_SANITIZE=ON) ;;
    windows)  args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake") ;;
    windows64) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake") ;;
    *) echo "unknown configuration $config" >&2; exit 2 ;;
  esac
  cmake -S "$root" -B "$root/build/$config" -G Ninja "${args[@]}" >/dev/null
  # Quiet when it works; the whole log, compiler errors included, when not.
  log=$(mktemp)
  if ! ninja -C "$root/build/$config" >"$log" 2>&1; then
    cat "$log" >&2; rm -f "$log"; exit 1
  fi
  tail -n 1 "$log"; rm -f "$log"
done
