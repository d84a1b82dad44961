#!/usr/bin/env bash
# Takes the README's screenshot of the real main window on a virtual display:
#   scripts/screenshot.sh [OUTPUT.png]     (default docs/screenshot.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-$root/docs/screenshot.png}

bash "$root/scripts/setup.sh"
unset DISPLAY  # always a private display of a known size
source "$root/scripts/wine-env.sh"
config=$(wine_build_config)
bash "$root/scripts/build.sh" "$config" >/dev/null
trap 'wine_stop; rm -rf "$WINEPREFIX"' EXIT
wine_start

wine "$root/build/$config/Tabulo.exe" &
program=$!
window=$(xdotool search --sync --onlyvisible --name '^Arrayforge$' | head -n 1)
sleep 1  # let the first paint finish
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
xdotool key --window "$window" Escape || kill "$program"
wait "$program" 2>/dev/null || true
echo "wrote $output"
