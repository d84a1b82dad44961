#!/usr/bin/env bash
# The window program under Wine against the native front end, on one input:
# the time from the click on Convert to the completion box, the longest the
# window took to answer the system meanwhile, and the console front end
# under Wine with standard error to the null device against a file. Every
# round runs the commands compared in a shuffled order, without pauses (the
# machines give idle memory back to the host); the medians of the per-round
# ratios count. A wait that ends with the completion box includes the time
# the window's thread spends making the box; the script says how long
# before the box the longest wait began.
#
#   bench/window.sh [SIZE_MIB] [char|uint|ulong]
# Needs build/native and the Windows build (build/windows64 where 32-bit
# programs cannot run).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
size_mib=${1:-256}
type=${2:-char}
rounds=${ROUNDS:-5}
source "$here/scripts/wine-env.sh"
source "$here/bench/common.sh"
windows=$here/build/$(wine_build_config)
native=$here/build/native/cli/arrayforge
for file in "$native" "$windows/Tabulo.exe" "$windows/bench/window_driver.exe" "$windows/cli/arrayforge.exe"; do
  [ -e "$file" ] || { echo "missing $file: build native and $(wine_build_config) first" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-window.XXXXXX")
wine_start "$work/prefix" >/dev/null 2>&1
trap 'wine_stop; rm -rf "$work"' EXIT
input=$work/input.bin
head -c $((size_mib << 20)) /dev/urandom > "$input"
win() { echo "Z:${1//\//\\}"; }

now() { date +%s.%N; }
seconds() { local start; start=$(now); "$@"; echo "$(now) - $start" | bc -l; }

# One measurement each; every one writes a new output.
run_window() {
  rm -f "$work/window.c"
  wine "$windows/bench/window_driver.exe" "$(win "$windows/Tabulo.exe")" "$(win "$input")" \
    "$(win "$work/window.c")" "$type" 2>/dev/null | tr -d '\r' > "$work/window.txt"
  read -r t_window answer began < "$work/window.txt"
  if [ "$(echo "$answer > $longest" | bc -l)" = 1 ]; then
    longest=$answer
    before_box=$(echo "$t_window - $began" | bc -l)
  fi
}
run_native() { rm -f "$work/native.c"; t_native=$(seconds "$native" -f -t "$type" -o "$work/native.c" "$input" 2>/dev/null); }
run_null() {
  rm -f "$work/null.c"
  t_null=$(seconds wine "$windows/cli/arrayforge.exe" -f -t "$type" -o "$(win "$work/null.c")" "$(win "$input")" 2>/dev/null)
}
run_file() {
  rm -f "$work/file.c"
  t_file=$(seconds wine "$windows/cli/arrayforge.exe" -f -t "$type" -o "$(win "$work/file.c")" "$(win "$input")" 2>"$work/stderr.txt")
}

longest=0 before_box=0
: > "$work/ratios"
run_window; run_native; run_null; run_file  # warm-up, not counted
cmp -s <(tail -n +8 "$work/window.c") <(tail -n +8 "$work/native.c") || { echo "the window program's output differs from the front end's" >&2; exit 1; }
for _ in $(seq "$rounds"); do
  for step in $(printf '%s\n' run_window run_native run_null run_file | shuf); do "$step"; done
  echo "$t_window $t_native $t_null $t_file" >> "$work/times"
  echo "$(echo "$t_window / $t_native" | bc -l) $(echo "$t_null / $t_file" | bc -l)" >> "$work/ratios"
done

col() { awk -v c="$1" '{ print $c }' "$2" | median; }
printf 'input: %d MiB of random bytes, %s, %d rounds (medians)\n\n' "$size_mib" "$type" "$rounds"
printf '%-44s %8s\n' "run" "seconds"
printf '%-44s %8.3f\n' "Tabulo.exe under Wine, click to completion box" "$(col 1 "$work/times")"
printf '%-44s %8.3f\n' "arrayforge native" "$(col 2 "$work/times")"
printf '%-44s %8.3f\n' "arrayforge.exe under Wine, stderr to NUL" "$(col 3 "$work/times")"
printf '%-44s %8.3f\n' "arrayforge.exe under Wine, stderr to a file" "$(col 4 "$work/times")"
echo
printf '%-44s %7.2fx  (goal <= 3)\n' "window / native front end" "$(col 1 "$work/ratios")"
printf '%-44s %7.3fs  (goal <= 0.5; it began %.3f s before the box)\n' "longest wait for the window's answer" \
  "$longest" "$before_box"
printf '%-44s %7.2fx  (goal 1)\n' "console: stderr to NUL / to a file" "$(col 2 "$work/ratios")"
