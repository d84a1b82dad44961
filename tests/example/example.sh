#!/usr/bin/env bash
# The CMake example against an install of the build tree: it configures,
# builds and prints each embedded file's size and checksum as `sum -r` does;
# a second build does nothing, and a changed input is embedded again.
#   example.sh BUILD_DIR SOURCE_DIR WORKDIR
set -euo pipefail
build=$1; source=$2; work=$3
rm -rf "$work"; mkdir -p "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cp -r "$source/examples/cmake" "$work/example"
cmake -S "$work/example" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
ninja -C "$work/build" >/dev/null

expect() {
  for file in greeting.txt palette.bin; do
    read -r sum _ < <(sum -r "$work/example/data/$file")
    echo "$file $(stat -c %s "$work/example/data/$file") $sum"
  done
}
diff <(expect) <("$work/build/show_data") || { echo "example: wrong sizes or checksums"; exit 1; }

log=$(ninja -C "$work/build")
[[ $log == *"no work to do"* ]] || { echo "example: rebuilt with nothing changed: $log"; exit 1; }
printf 'changed\n' >> "$work/example/data/greeting.txt"
log=$(ninja -C "$work/build")
[[ $log == *"Embedding data/greeting.txt"* && $log != *"Embedding data/palette.bin"* ]] ||
  { echo "example: the changed input alone should be embedded again: $log"; exit 1; }
diff <(expect) <("$work/build/show_data") || { echo "example: wrong after the change"; exit 1; }
echo "example: built, checked, rebuilt only on change"
rm -rf "$work"
