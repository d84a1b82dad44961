#!/usr/bin/env bash
# Round trip: arrayforge writes inputs of 0, 1, 7, 28,672, 28,673 and
# 100,000 random bytes into one file for each element type, form and set of
# options; every C and C++ compiler here builds it with check.c, warnings as
# errors, and the checker compares every element with the inputs.
#   roundtrip.sh ARRAYFORGE WORKDIR     (WORKDIR is kept when a case fails)
set -uo pipefail
tool=$(realpath "$1"); work=$2; here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"; mkdir -p "$work"; cd "$work" || exit 1
sizes=(0 1 7 28672 28673 100000)
for i in "${!sizes[@]}"; do head -c "${sizes[$i]}" /dev/urandom > "in$i.bin"; done

# Compilers: name, driver, language, standard. clang-19 (when installed)
# knows #embed in C23; the others build the list that stands in for it.
compilers=("gcc-c11 gcc c -std=c11" "gcc-c17 gcc c -std=c17" "g++-17 g++ c++ -std=c++17"
           "g++-20 g++ c++ -std=c++20" "clang-c17 clang c -std=c17" "clang++-20 clang++ c++ -std=c++20")
command -v clang-19 >/dev/null && compilers+=("clang19-c23 clang-19 c -std=c23")
# MinGW-w64 compiles the sources with the real UINT and ULONG of <windows.h>,
# 32 and 64 bits (the values are checked by the native builds).
command -v i686-w64-mingw32-gcc >/dev/null && command -v x86_64-w64-mingw32-gcc >/dev/null &&
  compilers+=("mingw32-c17 i686-w64-mingw32-gcc c -std=c17" "mingw64-c17 x86_64-w64-mingw32-gcc c -std=c17")
# Option sets (the full compiler matrix for the second, gcc C17 and g++
# C++20 for the others): linked through the header, with const/length/nul, included
# as static, placed in a section of its own at 64 bytes. The header comment is UTF-8:
# clang from version 18 on refuses other bytes in comments under -Wall -Werror.
optionsets=("plain|--utf8 --header arrays.h" "const-length-nul|--utf8 --const --length --nul --header arrays.h"
            "static|--utf8 --static --const --length" "placed|--utf8 --const --align 64 --section .rodata.af --header arrays.h")

# One case: generate, build with every compiler, check. Prints one line per failure.
run_case() {
  local type=$1 form=$2 set=$3 dir="$work/$1-$2-${3%%|*}"
  local options=${set#*|} width=1 defines=() output=arrays.c
  case $type in uint|u16) width=2 ;; ulong|u32) width=4 ;; esac
  case $form in object) output=arrays.o ;; asm) output=arrays.s ;; esac
  mkdir -p "$dir"; cp "$work"/in*.bin "$here/check.c" "$dir/"; cd "$dir" || return
  # shellcheck disable=SC2086
  if ! "$tool" -f -t "$type" --format "$form" $options -o $output in0.bin in1.bin in2.bin in3.bin in4.bin in5.bin \
       2>gen.log; then echo "FAIL $dir: generation: $(cat gen.log)"; return; fi
  defines=(-DELEMENT_BYTES=$width "-DUINT=unsigned int" "-DULONG=unsigned long")
  # Linked data is memory: ULONG is four bytes, as <windows.h> has it.
  [[ $form == object || $form == asm ]] && defines[2]="-DULONG=unsigned int"
  [[ $options == *--align* ]] && defines+=(-DALIGNMENT=64)
  [[ $options == *--length* ]] && defines+=(-DHAS_LENGTH)
  [[ $options == *--nul* ]] && defines+=(-DHAS_NUL)
  [[ $form == string ]] && defines+=(-DSTRING_FORM)
  local warnings=(-Wall -Wextra -Werror -pedantic)
  [[ $form == string ]] && warnings+=(-Wno-overlength-strings)
  for compiler in "${compilers[@]}"; do
    read -r name driver language standard <<<"$compiler"
    [[ $name == clang19-c23 && $form != embed ]] && continue
    [[ $set != const-length-nul* && $name != gcc-c17 && $name != g++-20 && $name != clang19-c23 ]] && continue
    [[ ($form == object || $form == asm) && $name == mingw* ]] && continue  # the host's objects
    local flags=("$standard" "${warnings[@]}" "${defines[@]}") log="$name.log"
    [[ $name == mingw* ]] && flags=("$standard" "${warnings[@]}" "${defines[@]:0:1}" "${defines[@]:3}" -include windows.h)
    if [[ $options == *--static* ]]; then
      "$driver" -x "$language" "${flags[@]}" -DINCLUDE_SOURCE check.c -o "$name.exe" >"$log" 2>&1
    elif [[ $form == object || $form == asm ]]; then  # the data is linked, not compiled
      { [[ $form == object ]] || "$driver" -c arrays.s -o arrays.o; } >"$log" 2>&1 &&
        "$driver" -x "$language" "${flags[@]}" -c check.c -o "$name-check.o" >>"$log" 2>&1 &&
        "$driver" "$name-check.o" arrays.o -o "$name.exe" >>"$log" 2>&1
    else
      "$driver" -x "$language" "${flags[@]}" -c arrays.c -o "$name.o" >"$log" 2>&1 &&
        "$driver" -x "$language" "${flags[@]}" -c check.c -o "$name-check.o" >>"$log" 2>&1 &&
        "$driver" "$name-check.o" "$name.o" -o "$name.exe" >>"$log" 2>&1
    fi || { echo "FAIL $dir: $name does not build it: $(head -c 600 "$log")"; continue; }
    [[ $name == mingw* ]] && continue
    ./"$name.exe" >>"$log" 2>&1 || echo "FAIL $dir: $name: $(head -c 600 "$log")"
    # The section of its own, at its alignment, in the section table.
    if [[ $options == *--section* && $name == gcc-c17 ]] && [ -f arrays.o -o -f "$name.o" ] &&
       ! objdump -h "$([ -f "$name.o" ] && echo "$name.o" || echo arrays.o)" | grep -A1 '\.rodata\.af' | grep -q '2\*\*6'; then
      echo "FAIL $dir: $name: no section .rodata.af aligned to 64"
    fi
    # The C23 build must have taken #embed, not the list.
    if [[ $form == embed && $name == clang19-c23 ]] &&
       "$driver" -x c "$standard" -E arrays.c | grep -q "0x[0-9A-F][0-9A-F],"; then
      echo "FAIL $dir: $name used the list instead of #embed"
    fi
  done
  rm -f ./*.o ./*.exe
}
export -f run_case; export tool work here

cases=()
for type in char uint ulong uchar u8 u16 u32; do
  forms=(list object asm); [[ $type == char || $type == uchar || $type == u8 ]] && forms+=(string embed)
  [[ $type == uint ]] && forms=(list)  # a UINT is wider than its element
  for form in "${forms[@]}"; do
    for set in "${optionsets[@]}"; do
      [[ ($form == object || $form == asm) && $set == static* ]] && continue  # no static arrays there
      cases+=("$type $form $set")
    done
  done
done
failures=$(printf '%s\n' "${cases[@]}" |
  COMPILERS="$(printf '%s\n' "${compilers[@]}")" xargs -P "$(nproc)" -I{} bash -c '
    mapfile -t compilers <<<"$COMPILERS"; read -r type form set <<<"{}"; run_case "$type" "$form" "$set"')
# A table of 1,000 files in nested folders (spaces, quotes, backslashes,
# line breaks and non-ASCII in their names; an empty file and one of 1 MiB),
# list and string forms, looked up by every path from C and C++. The same
# files in another folder give the same source.
table_case() {
  local site=$work/table/site other=$work/table/elsewhere names
  for i in $(seq 0 997); do
    names=("f$i.txt" "q\"$i" "b\\$i" $'\xC3\xA9'"$i" $'n\n'"$i")
    mkdir -p "$site/d$((i % 10))/sub $((i % 7))"
    printf 'file %d \\ \377' "$i" > "$site/d$((i % 10))/sub $((i % 7))/${names[i % 5]}"
  done
  : > "$site/empty"; head -c 1048576 /dev/urandom > "$site/d0/large.bin"
  cd "$site" && find . -type f -printf '%P\0' > ../paths || return
  for form in list string; do
    "$tool" -f --table t --format "$form" --utf8 --header ../t.h -o ../t.c . 2>../gen.log ||
      { echo "FAIL table $form: generation: $(cat ../gen.log)"; continue; }
    for build in "gcc c -std=c11" "g++ c++ -std=c++20"; do
      read -r driver language standard <<<"$build"
      "$driver" -x "$language" "$standard" -Wall -Wextra -Werror -pedantic -Wno-overlength-strings -I.. ../t.c \
        "$here/table_check.c" -o ../check >../build.log 2>&1 && ../check <../paths >../check.log 2>&1 ||
        echo "FAIL table $form $driver: $(head -c 600 ../build.log ../check.log)"
    done
  done
  cp -r "$site" "$other"
  for folder in "$site" "$other"; do
    (cd "$folder" && SOURCE_DATE_EPOCH=1 "$tool" -f --table t --format string -o "$folder.c" .)
  done
  cmp -s "$site.c" "$other.c" || echo "FAIL table: another folder gives another source"
}
mkdir -p "$work/table/site"; failures+=$'\n'"$(table_case)"; cd "$work" || exit 1
failures=$(sed '/^$/d' <<<"$failures")
if [ -n "$failures" ]; then echo "$failures"; echo "round trip: failures above; cases kept in $work"; exit 1; fi
echo "round trip: ${#cases[@]} cases built and checked: all elements equal; a table of 1,000 files looked up"
rm -rf "$work"
