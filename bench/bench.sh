#!/usr/bin/env bash
# Throughput of the conversion against a plain write of the same number of
# output bytes (dd from /dev/zero in 1 MiB blocks; for the object form,
# which holds the input's own bytes, a plain copy of the input), and `xxd -i`, all in
# one run so that the machine's state is shared. Every round runs the
# commands in a shuffled order, back to back: no sync or pause, since these
# machines give idle memory back to the host and the next write is then
# slower. The median of the per-round ratios counts. Then the peak memory
# for a small and a large input, which must be the same.
#
#   bench/bench.sh [ARRAYFORGE_BINARY] [SIZE_MIB]      (ROUNDS=7 by default)
set -euo pipefail

source "$(dirname "$0")/common.sh"
tool=$(front_end "${1:-}")
size_mib=${2:-256}
rounds=${ROUNDS:-7}

work=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
input=$work/input.bin
head -c $((size_mib << 20)) /dev/urandom > "$input"
input_bytes=$(stat -c %s "$input")
types=(char uint ulong object)  # object: --format object of u8 elements

now() { date +%s.%N; }
mbps() { echo "scale=1; $input_bytes / 1000000 / $1" | bc -l; }

# Runs one command of the table, writing a new output, and records its time.
declare -A out_bytes seconds
# The options that make each kind of output.
options() { if [ "$1" = object ]; then echo "--format object -t u8"; else echo "-t $1"; fi; }
run() {
  local what=$1 type=$2 out=$work/out-$1-$2.c start end
  rm -f "$out"
  start=$(now)
  if [ "$what" = tool ]; then
    # shellcheck disable=SC2046
    "$tool" -f $(options "$type") -o "$out" "$input" 2>/dev/null
  elif [ "$type" = object ]; then  # the object holds the input's bytes: a plain copy of them
    cp "$input" "$out"
  else
    dd if=/dev/zero of="$out" bs=1M count="${out_bytes[$type]}" iflag=count_bytes status=none
  fi
  end=$(now)
  rm -f "$out"
  seconds[$what-$type]=$(echo "$end - $start" | bc -l)
}

for type in "${types[@]}"; do
  # shellcheck disable=SC2046
  "$tool" -f $(options "$type") -o "$work/size.c" "$input" 2>/dev/null
  out_bytes[$type]=$(stat -c %s "$work/size.c")
  rm -f "$work/size.c"
done
for type in "${types[@]}"; do run tool "$type"; run plain "$type"; done  # warm-up, not counted
for _ in $(seq "$rounds"); do
  for step in $(printf '%s\n' {tool,plain}-{char,uint,ulong,object} | shuf); do run "${step%-*}" "${step#*-}"; done
  for type in "${types[@]}"; do
    echo "${seconds[tool-$type]}" >> "$work/tool-$type"
    echo "${seconds[plain-$type]}" >> "$work/plain-$type"
    echo "${seconds[tool-$type]} / ${seconds[plain-$type]}" | bc -l >> "$work/ratio-$type"
  done
done

printf 'input: %d MiB of random bytes; %d rounds, medians; load average %s\n\n' "$size_mib" "$rounds" \
  "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-18s %10s %12s %14s %14s\n' "run" "seconds" "input MB/s" "output bytes" "x plain write"
for type in "${types[@]}"; do
  t_tool=$(median < "$work/tool-$type")
  t_plain=$(median < "$work/plain-$type")
  printf '%-18s %10.3f %12s %14d %13.2fx\n' "arrayforge $type" "$t_tool" "$(mbps "$t_tool")" "${out_bytes[$type]}" \
    "$(median < "$work/ratio-$type")"
  printf '%-18s %10.3f %12s %14d\n' "  plain write" "$t_plain" "$(mbps "$t_plain")" "${out_bytes[$type]}"
done
if command -v xxd >/dev/null; then
  start=$(now); xxd -i "$input" > "$work/xxd.c"; end=$(now)
  t_xxd=$(echo "$end - $start" | bc -l)
  printf '%-18s %10.3f %12s %14d %13.2fx  (once, x arrayforge char)\n' "xxd -i" "$t_xxd" "$(mbps "$t_xxd")" \
    "$(stat -c %s "$work/xxd.c")" "$(echo "$t_xxd / $(median < "$work/tool-char")" | bc -l)"
  rm -f "$work/xxd.c"
fi

echo
echo "peak resident size (char, output discarded):"
for mib in 16 1024; do
  big=$work/sparse-$mib.bin
  truncate -s $((mib << 20)) "$big"
  kib=$(/usr/bin/time -f %M "$tool" -f -o /dev/null "$big" 2>&1 >/dev/null | tail -n 1)
  printf '  %5d MiB input: %6d KiB\n' "$mib" "$kib"
  rm -f "$big"
done
