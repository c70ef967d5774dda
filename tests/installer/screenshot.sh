#!/usr/bin/env bash
# Takes the README's screenshot of Form1 under the project's Japanese Wine:
#   tests/installer/screenshot.sh <vortasetup.exe> <installer_driver.exe> [output.png]
# (default output: docs/images/vortasetup-form1.png). Needs ImageMagick's "import".
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exe=$1 driver=$2
out=${3:-$here/../../docs/images/vortasetup-form1.png}
# shellcheck source=/dev/null
source "$here/../../scripts/wine-env.sh"
vorta_wine_up
log=$(mktemp)
timeout 60 wine "$driver" show "$(winepath -w "$exe")" 4000 >"$log" 2>/dev/null &
pid=$!
geometry=""
for _ in $(seq 1 150); do  # bounded: 30 s
  geometry=$(grep -m1 '^GEOMETRY ' "$log" || true)
  [ -n "$geometry" ] && break
  sleep 0.2
done
[ -n "$geometry" ] || { echo "Form1 did not appear" >&2; cat "$log" >&2; exit 1; }
read -r _ x y w h <<<"$geometry"
sleep 1  # let it paint
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out"
wait "$pid" || true
rm -f "$log"
echo "$out"
