#!/usr/bin/env bash
# Each route from a data file to a linked program, side by side in one run:
# the list, the string literal, #embed (clang-19), the assembler's .incbin,
# arrayforge's object file, and objcopy's. For each: the time to generate,
# to compile (or assemble), to link, the CPU of all three, and the peak
# memory of the route's largest step; ratios to the objcopy route, medians
# over shuffled rounds (no pause between them: these machines give idle
# memory back to the host). The compiled routes are skipped above 16 MiB,
# where a list takes gcc gigabytes.
#
#   bench/link.sh [ARRAYFORGE_BINARY] [SIZE_MIB]      (ROUNDS=3 by default)
set -euo pipefail

source "$(dirname "$0")/common.sh"
tool=$(front_end "${1:-}")
size_mib=${2:-8}
rounds=${ROUNDS:-3}

work=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-link.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
head -c $((size_mib << 20)) /dev/urandom > data.bin
cat > main.c <<'EOF'
#include <stdio.h>
extern const unsigned char data[];
extern const unsigned long long data_size;
int main(void) { printf("%llu %u\n", data_size, data[data_size - 1]); return 0; }
EOF
gcc -O0 -c main.c -o main.o
expected="$((size_mib << 20)) $(tail -c 1 data.bin | od -An -tu1 | tr -d ' ')"

routes=(object objcopy asm)
if [ "$size_mib" -le 16 ]; then
  routes+=(list string)
  command -v clang-19 >/dev/null && routes+=(embed)
fi

# One step, timed: its wall seconds, CPU seconds and peak kilobytes added
# to the route's record for this round.
step() {
  local route=$1; shift
  local start end
  start=$(date +%s.%N)  # the finer clock: /usr/bin/time counts hundredths
  /usr/bin/time -f '%U %S %M' -o step.time "$@" >/dev/null 2>step.err || { cat step.err >&2; return 1; }
  end=$(date +%s.%N)
  read -r user system kilobytes < step.time
  echo "$(echo "$end - $start" | bc -l) $(echo "$user + $system" | bc -l) $kilobytes" >> "$route.steps"
}

# A route from data.bin to a program that prints the data's size and last byte.
run_route() {
  local route=$1 af=("$tool" -f -q -t u8 -n data --const --length)
  rm -f "$route.steps" data.o data.c data.s program
  case $route in
    object) step "$route" "${af[@]}" --format object -o data.o data.bin; echo "0 0 0" >> "$route.steps" ;;
    objcopy)
      step "$route" objcopy -I binary -O elf64-x86-64 -B i386:x86-64 \
        --rename-section .data=.rodata,alloc,load,readonly,data,contents \
        --redefine-sym _binary_data_bin_start=data data.bin data.o
      echo "0 0 0" >> "$route.steps" ;;
    asm) step "$route" "${af[@]}" --format asm -o data.s data.bin; step "$route" gcc -c data.s -o data.o ;;
    list) step "$route" "${af[@]}" --utf8 -o data.c data.bin; step "$route" gcc -O0 -c data.c -o data.o ;;
    string) step "$route" "${af[@]}" --utf8 --format string -o data.c data.bin; step "$route" gcc -O0 -c data.c -o data.o ;;
    embed) step "$route" "${af[@]}" --utf8 --format embed -o data.c data.bin; step "$route" clang-19 -std=c23 -O0 -c data.c -o data.o ;;
  esac
  if [ "$route" = objcopy ]; then  # objcopy gives no size symbol: a small object of its own has it
    printf 'const unsigned long long data_size = %d;\n' $((size_mib << 20)) > size.c
    gcc -c size.c -o size.o
    step "$route" gcc main.o data.o size.o -o program
  else
    step "$route" gcc main.o data.o -o program
  fi
  [ "$(./program)" = "$expected" ] || { echo "route $route gives a wrong program" >&2; exit 1; }
  # generate, compile, link: wall seconds each; CPU seconds in all; peak KiB
  awk -v r="$route" '{ w[NR] = $1; cpu += $2; if ($3 > peak) peak = $3 }
    END { printf "%s %s %s %s %s %s\n", r, w[1], w[2], w[3], cpu, peak }' "$route.steps" >> results
}


for route in "${routes[@]}"; do run_route "$route"; done  # warm-up, not counted
: > results
for _ in $(seq "$rounds"); do
  for route in $(printf '%s\n' "${routes[@]}" | shuf); do run_route "$route"; done
done

printf 'input: %d MiB of random bytes; %d rounds, medians; load average %s\n\n' "$size_mib" "$rounds" \
  "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-8s %9s %9s %9s %9s %9s %9s %10s %9s\n' route generate compile link total "x objcopy" "CPU s" "x objcopy" "peak MiB"
column() { awk -v r="$1" -v c="$2" '$1 == r { print $c }' results | median; }
base_total=$(awk '$1 == "objcopy" { print $2 + $3 + $4 }' results | median)
base_cpu=$(column objcopy 5)
for route in "${routes[@]}"; do
  total=$(awk -v r="$route" '$1 == r { print $2 + $3 + $4 }' results | median)
  cpu=$(column "$route" 5)
  printf '%-8s %9.3f %9.3f %9.3f %9.3f %8.2fx %9.2f %9.2fx %9.1f\n' "$route" "$(column "$route" 2)" \
    "$(column "$route" 3)" "$(column "$route" 4)" "$total" "$(echo "$total / $base_total" | bc -l)" "$cpu" \
    "$(echo "$cpu / $base_cpu" | bc -l)" "$(echo "$(column "$route" 6) / 1024" | bc -l)"
done
