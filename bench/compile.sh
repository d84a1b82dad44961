#!/usr/bin/env bash
# What each output form costs the compiler: gcc's time and peak memory to
# compile arrayforge's output for one random input (4 MiB by default), side
# by side. gcc 12 has no #embed, so the embed form builds its list there;
# clang-19, where installed, shows #embed itself.
#
#   bench/compile.sh [ARRAYFORGE_BINARY] [SIZE_MIB]
set -euo pipefail

source "$(dirname "$0")/common.sh"
tool=$(front_end "${1:-}")
size_mib=${2:-4}

work=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-compile.XXXXXX")
trap 'rm -rf "$work"' EXIT
head -c $((size_mib << 20)) /dev/urandom > "$work/input.bin"

# form label | arrayforge options | compiler and its options
forms=(
  "list, char (default)||gcc -std=c17"
  "list, u8|-t u8 --const|gcc -std=c17"
  "list, u32|-t u32 --const|gcc -std=c17"
  "string, u8|-t u8 --const --format string|gcc -std=c17"
  "embed, u8 (list)|-t u8 --const --format embed|gcc -std=c17"
)
command -v clang-19 >/dev/null && forms+=("embed, u8 (#embed)|-t u8 --const --format embed|clang-19 -std=c23")

printf '%-22s %-20s %9s %9s\n' form compiler seconds "peak MB"
for entry in "${forms[@]}"; do
  IFS='|' read -r label options compiler <<<"$entry"
  # shellcheck disable=SC2086
  "$tool" -f --utf8 $options -o "$work/out.c" "$work/input.bin" 2>/dev/null
  # shellcheck disable=SC2086
  /usr/bin/time -f '%e %M' -o "$work/time" $compiler -O0 -c "$work/out.c" -o "$work/out.o"
  read -r seconds kilobytes <"$work/time"
  printf '%-22s %-20s %9s %9d\n' "$label" "$compiler" "$seconds" $((kilobytes / 1024))
done
