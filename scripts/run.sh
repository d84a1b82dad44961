#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it: converts FILE
# (a small sample when none is named) into C source beside it, with the
# element type TYPE (char, uint or ulong; char by default), and shows the
# start of what was written.
#   scripts/run.sh [FILE [TYPE]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" native >/dev/null

input=${1:-}
if [ -z "$input" ]; then
  input=$(mktemp -d "${TMPDIR:-/tmp}/arrayforge-sample.XXXXXX")/hello.bin
  printf 'Hello, Arrayforge!\n' > "$input"
fi
"$root/build/native/cli/arrayforge" -t "${2:-char}" "$input"

# The output lies beside the input, its last extension replaced by ".c".
name=$(basename "$input")
case $name in *.*) name=${name%.*} ;; esac
output=$(dirname "$input")/$name.c
echo "--- $output"
iconv -f CP932 -t UTF-8 "$output" | head -n 20
