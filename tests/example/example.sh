#!/usr/bin/env bash
# The CMake example against an install of the build tree: it configures,
# builds and prints each embedded file's size and checksum as `sum -r` does
# (one file an object of FORMAT AUTO, aligned in a section of its own; the
# files of two tables); a second build does nothing, a changed input is
# embedded again, and a file added to a globbed folder joins its table. Then
# the same project for Windows with MinGW-w64, run under Wine.
#   example.sh BUILD_DIR SOURCE_DIR WORKDIR
set -euo pipefail
build=$1; source=$2; work=$3
rm -rf "$work"; mkdir -p "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cp -r "$source/examples/cmake" "$work/example"
SOURCE_DATE_EPOCH=1700000000 cmake -S "$work/example" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
log=$(ninja -C "$work/build")
[[ $log != *"書き込みました"* ]] || { echo "example: a build log told of success: $log"; exit 1; }
grep -q '23/11/14 22:13:20' "$work/build/arrayforge/show_data/palette.c" ||
  { echo "example: SOURCE_DATE_EPOCH was not passed on"; exit 1; }
objdump -h "$work/build/arrayforge/show_data/greeting_txt.o" | grep -A1 ' afdata ' | grep -q '2\*\*6' ||
  { echo "example: the object's section is not afdata aligned to 64"; exit 1; }

expect() {
  for file in greeting.txt palette.bin; do
    read -r sum _ < <(sum -r "$work/example/data/$file")
    echo "$file $(stat -c %s "$work/example/data/$file") $sum"
  done
  echo "texts greeting.txt $(stat -c %s "$work/example/data/greeting.txt") $(cat "$work/example/data/greeting.txt")"
  (cd "$work/example/data/web" && find . -type f -printf '%P\n' | LC_ALL=C sort | while read -r file; do
    read -r sum _ < <(sum -r "$file"); echo "web/$file $(stat -c %s "$file") $sum"; done)
}
diff <(expect) <("$work/build/show_data") || { echo "example: wrong sizes or checksums"; exit 1; }

log=$(ninja -C "$work/build")
[[ $log == *"no work to do"* ]] || { echo "example: rebuilt with nothing changed: $log"; exit 1; }
printf 'changed\n' >> "$work/example/data/greeting.txt"
log=$(ninja -C "$work/build")
[[ $log == *"Embedding data/greeting.txt"* && $log != *"Embedding data/palette.bin"* ]] ||
  { echo "example: the changed input alone should be embedded again: $log"; exit 1; }
diff <(expect) <("$work/build/show_data") || { echo "example: wrong after the change"; exit 1; }
printf 'added\n' > "$work/example/data/web/added.txt"
ninja -C "$work/build" >/dev/null
diff <(expect) <("$work/build/show_data") || { echo "example: a file added under data/web is not in the table"; exit 1; }
# Two files of one name in one target: the package says so and suggests NAME.
mkdir -p "$work/clash/a" "$work/clash/b"
touch "$work/clash/a/logo.bin" "$work/clash/b/logo.bin" "$work/clash/main.c"
printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' 'project(Clash C)' 'find_package(Arrayforge CONFIG REQUIRED)' \
  'add_executable(clash main.c)' 'arrayforge_add_data(clash a/logo.bin)' 'arrayforge_add_data(clash b/logo.bin)' \
  > "$work/clash/CMakeLists.txt"
if log=$(cmake -S "$work/clash" -B "$work/clash/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" 2>&1) ||
   [[ $log != *"a/logo.bin and"*"b/logo.bin"*"NAME"* ]]; then
  echo "example: two files named alike were not refused: $log"; exit 1
fi
source "$source/scripts/wine-env.sh"
arch=i686; wine_runs_32bit || arch=x86_64
cmake -S "$work/example" -B "$work/mingw" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-$arch.cmake" \
  -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
ninja -C "$work/mingw" >/dev/null
ls "$work/mingw/arrayforge/show_data/greeting_txt.o" >/dev/null
wine_start >/dev/null 2>&1
shown=$(cd "$work/mingw" && wine ./show_data.exe | tr -d '\r') || true
wine_stop; rm -rf "$WINEPREFIX"
diff <(expect) <(echo "$shown") || { echo "example: the MinGW build shows wrong sizes or checksums"; exit 1; }
echo "example: built, checked, rebuilt only on change; built for Windows and run under Wine"
rm -rf "$work"
