#!/usr/bin/env bash
# Builds the configurations: native (release), native with sanitizers, and
# the 32-bit Windows cross build.   scripts/build.sh [native|sanitize|windows]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(native sanitize windows)

for config in "${configs[@]}"; do
  case $config in
    native)   args=(-DCMAKE_BUILD_TYPE=Release) ;;
    sanitize) args=(-DCMAKE_BUILD_TYPE=Debug -DARRAYFORGE_SANITIZE=ON) ;;
    windows)  args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake") ;;
    *) echo "unknown configuration $config" >&2; exit 2 ;;
  esac
  cmake -S "$root" -B "$root/build/$config" -G Ninja "${args[@]}" >/dev/null
  ninja -C "$root/build/$config" | tail -n 1
done
