#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under
# Wine on this display (a private virtual one when there is none), in a
# Japanese Wine prefix prepared on first use in ~/.local/share/arrayforge.
#   scripts/run.sh                         the window program, Tabulo.exe
#   scripts/run.sh --cli FILE [TYPE]       the command-line front end instead:
#                                          FILE to C source beside it (TYPE char, uint or ulong)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/setup.sh"

if [ "${1:-}" = "--cli" ]; then
  bash "$root/scripts/build.sh" native >/dev/null
  input=${2:?"usage: scripts/run.sh --cli FILE [TYPE]"}
  "$root/build/native/cli/arrayforge" -t "${3:-char}" "$input"
  # The output lies beside the input, its last extension replaced by ".c".
  name=$(basename "$input")
  case $name in *.*) name=${name%.*} ;; esac
  output=$(dirname "$input")/$name.c
  echo "--- $output"
  iconv -f CP932 -t UTF-8 "$output" | head -n 20
  exit 0
fi

source "$root/scripts/wine-env.sh"
config=$(wine_build_config)  # the 64-bit build where 32-bit programs cannot run
bash "$root/scripts/build.sh" "$config" >/dev/null
prefix=${ARRAYFORGE_WINEPREFIX:-$HOME/.local/share/arrayforge/wine}
mkdir -p "$prefix"
trap wine_stop EXIT
wine_start "$prefix"
if [ -n "${WINE_STARTED_XVFB:-}" ]; then
  echo "No display was available: Tabulo.exe runs on the virtual display $DISPLAY."
fi
echo "Starting $root/build/$config/Tabulo.exe (close its window to end)"
wine "$root/build/$config/Tabulo.exe"
