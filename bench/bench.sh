#!/usr/bin/env bash
# Throughput of the conversion, side by side with `xxd -i` and with a plain
# write of the same number of output bytes, all in one run so that the
# machine's state is shared. Then the peak memory for a small and a large
# input, which must be the same.
#
#   bench/bench.sh [ARRAYFORGE_BINARY] [SIZE_MIB]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-$here/build/native/cli/arrayforge}
size_mib=${2:-256}
[ -x "$tool" ] || { echo "no arrayforge at $tool: build first (scripts/test.sh)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
input=$work/input.bin
head -c $((size_mib << 20)) /dev/urandom > "$input"
input_bytes=$(stat -c %s "$input")

now() { date +%s.%N; }
# Seconds taken by a command; its output file is removed and the dirty
# pages written back before each run, so that every run starts alike.
timed() {
  local out=$1; shift
  rm -f "$out"; sync
  local start end
  start=$(now); "$@"; end=$(now)
  rm -f "$out"
  echo "$end - $start" | bc -l
}
min() { if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"; else echo "$1"; fi; }
mbps() { echo "scale=1; $input_bytes / 1000000 / $1" | bc -l; }

printf 'input: %d MiB of random bytes\n\n' "$size_mib"
printf '%-18s %10s %12s %14s %12s\n' "run" "seconds" "input MB/s" "output bytes" "vs write"
rounds=${ROUNDS:-5}
for type in char uint ulong; do
  out=$work/out.c
  "$tool" -f -t "$type" -o "$out" "$input" 2>/dev/null
  out_bytes=$(stat -c %s "$out")
  # The program and the plain write take turns; the best of each counts.
  t_tool=; t_plain=
  for _ in $(seq "$rounds"); do
    t_plain=$(min "$t_plain" "$(timed "$out" dd if=/dev/zero of="$out" bs=1M count="$out_bytes" iflag=count_bytes status=none)")
    t_tool=$(min "$t_tool" "$(timed "$out" "$tool" -f -t "$type" -o "$out" "$input" 2>/dev/null)")
  done
  printf '%-18s %10.3f %12s %14d %11.2fx\n' "arrayforge $type" "$t_tool" "$(mbps "$t_tool")" "$out_bytes" \
    "$(echo "$t_tool / $t_plain" | bc -l)"
  printf '%-18s %10.3f %12s %14d %12s\n' "  plain write" "$t_plain" "$(mbps "$t_plain")" "$out_bytes" ""
done
if command -v xxd >/dev/null; then
  start=$(now); xxd -i "$input" > "$work/xxd.c"; end=$(now)
  t_xxd=$(echo "$end - $start" | bc -l)
  printf '%-18s %10.3f %12s %14d\n' "xxd -i" "$t_xxd" "$(mbps "$t_xxd")" "$(stat -c %s "$work/xxd.c")"
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
