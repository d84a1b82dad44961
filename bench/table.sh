#!/usr/bin/env bash
# A table of many small files (--table), side by side in one run, medians of
# per-round ratios over shuffled rounds (no pause between them: these
# machines give idle memory back to the host):
#   - generation in the string form against `tar -cf` of the same folder;
#   - gcc -O0 compile of the table's source against the same bytes as one
#     string-form array;
#   - the look-up of every path (the table compiled at -O0), per path;
#   - the generator's peak memory for a tenth of the files and for all.
# The files are text of 256 to 4,095 bytes, in 100 folders.
#
#   bench/table.sh [ARRAYFORGE_BINARY] [FILES]      (FILES=10000, ROUNDS=5 by default)
set -euo pipefail

source "$(dirname "$0")/common.sh"
tool=$(front_end "${1:-}")
files=${2:-10000}
rounds=${ROUNDS:-5}

work=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-table.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
python3 - "$files" <<'PY'
import base64, os, random, sys
count = int(sys.argv[1])
random.seed(1)
for i in range(count):
    folder = f"site/part{i % 100:02d}/{'deep/' if i % 3 == 0 else ''}"
    os.makedirs(folder, exist_ok=True)
    with open(f"{folder}file{i:05d}.txt", "wb") as f:
        f.write(base64.b64encode(os.urandom(3 * random.randrange(86, 1366)))[:random.randrange(256, 4096)])
PY
find site -type f | LC_ALL=C sort > paths
xargs -d '\n' cat < paths > all.bin
af=("$tool" -f -q --utf8 --eol lf --format string)
"${af[@]}" -o one.c all.bin
cat > lookup.c <<'C'
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include "t.h"
/* Looks every path up, in a shuffled order, from copies of the paths. */
int main(void) {
    unsigned long long n = t_count, found = 0, rounds = 20;
    char** paths = malloc(n * sizeof *paths);
    for (unsigned long long i = 0; i < n; ++i) paths[i] = strdup(t_entries[(i * 7919) % n].path);
    struct timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (unsigned long long r = 0; r < rounds; ++r)
        for (unsigned long long i = 0; i < n; ++i) found += t_find(paths[i]) != NULL;
    clock_gettime(CLOCK_MONOTONIC, &end);
    printf("%.1f\n", ((end.tv_sec - start.tv_sec) * 1e9 + (end.tv_nsec - start.tv_nsec)) / (double)(rounds * n));
    return found == rounds * n ? 0 : 1;
}
C

# One command, timed: its wall seconds added to `name`'s record.
timed() {
  local name=$1 start end; shift
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  echo "$name $(echo "$end - $start" | bc -l)" >> times
}
step() {
  case $1 in
    generate) timed generate "${af[@]}" --table t --header t.h -o t.c site ;;
    tar) timed tar tar -cf site.tar site ;;
    compile-table) timed compile-table gcc -O0 -c t.c -o t.o ;;
    compile-one) timed compile-one gcc -O0 -c one.c -o one.o ;;
  esac
}
steps=(generate tar compile-table compile-one)
for s in "${steps[@]}"; do step "$s"; done  # warm-up, not counted
: > times
for round in $(seq "$rounds"); do
  for s in $(printf '%s\n' "${steps[@]}" | shuf); do step "$s"; done
  awk -v r="$round" '{ t[$1] = $2 } END { print r, t["generate"] / t["tar"], t["compile-table"] / t["compile-one"] }' \
    <(tail -n 4 times) >> ratios
done
gcc -O2 lookup.c t.o -o lookup
lookups=$(for _ in $(seq "$rounds"); do ./lookup; done)

peak() { /usr/bin/time -f %M "${af[@]}" --table t -o peak.c "$@" 2>&1 >/dev/null; }
mapfile -t tenth < <(printf 'site/part%02d\n' $(seq 0 9))

of() { awk -v n="$1" '$1 == n { print $2 }' times | median; }
printf '%d files, %d bytes in all; %d rounds, medians; load average %s\n\n' "$(wc -l < paths)" \
  "$(stat -c %s all.bin)" "$rounds" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf 'generation, string form  %8.3f s   tar -cf %8.3f s   ratio %5.2fx (goal <= 2)\n' \
  "$(of generate)" "$(of tar)" "$(awk '{ print $2 }' ratios | median)"
printf 'gcc -O0, the table       %8.3f s   one array %6.3f s   ratio %5.2fx (goal < 2)\n' \
  "$(of compile-table)" "$(of compile-one)" "$(awk '{ print $3 }' ratios | median)"
printf 'look-up of every path    %8s ns each (goal < 2000)\n' "$(median <<<"$lookups")"
printf 'peak memory, generation  %8d KiB for %d files, %d KiB for %d\n' "$(peak "${tenth[@]}")" \
  "$(find "${tenth[@]}" -type f | wc -l)" "$(peak site)" "$(wc -l < paths)"
