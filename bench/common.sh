# What the benchmarks share; each sources this file after `set -euo pipefail`.

# The front end measured: the path given (a script's first argument), else
# the native build's. Stops the script when there is none to run.
front_end() {
  local tool=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/native/cli/arrayforge}
  [ -x "$tool" ] || { echo "no arrayforge at $tool: build first (scripts/build.sh native)" >&2; return 1; }
  echo "$tool"
}

# The median of the numbers on standard input, one a line.
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
