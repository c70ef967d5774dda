#!/usr/bin/env bash
# Takes the pictures of the console window, the history window and the settings
# assistant shown in the README: the windows against a stand-in CAD, inside a Wine
# virtual desktop with the Japanese font replacements, captured from the X display and
# cropped to each window.
#   scripts/screenshots.sh [build-dir]     (default: build/windows)
# Needs Xvfb, Wine, ImageMagick (import, convert) and xwininfo. Writes
# docs/images/console.png, docs/images/history.png and docs/images/assistant.png.
set -eu
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build/windows}"
driver="$build/bin/console_driver.exe"
[ -f "$driver" ] || { echo "screenshots: $driver not built" >&2; exit 2; }
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
vorta_wine_up

# One driver run: shows its windows inside a virtual desktop of the given size, and the
# windows named in its .rects file are cut out of the screen.
shoot() {
  local mode="$1" desktop="$2" work out_win runner desk offset_x offset_y id
  work="$(mktemp -d)"
  out_win="$(winepath -w "$work/shot")"
  timeout --kill-after=10 120 wine explorer /desktop="shot-$mode,$desktop" "$driver" "$mode" "$out_win" \
    >"$work/driver.log" 2>&1 &
  runner=$!
  for _ in $(seq 1 600); do
    [ -f "$work/shot.rects" ] && break
    sleep 0.1
  done
  if [ ! -f "$work/shot.rects" ]; then
    echo "screenshots: the windows did not come up ($mode)" >&2
    cat "$work/driver.log" >&2
    touch "$work/shot.done"
    return 1
  fi
  sleep 1

  # Where the virtual desktop sits on the X screen.
  desk="$(xwininfo -root -tree | grep -m1 "\"shot-$mode - " || true)"
  offset_x=0
  offset_y=0
  if [ -n "$desk" ]; then
    id="$(echo "$desk" | awk '{print $1}')"
    offset_x="$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $4}')"
    offset_y="$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ {print $4}')"
  fi

  import -window root "$work/screen.png"
  mkdir -p "$root/docs/images"
  while read -r name x y w h; do
    convert "$work/screen.png" -crop "${w}x${h}+$((x + offset_x))+$((y + offset_y))" +repage \
      "$root/docs/images/$name.png"
    echo "docs/images/$name.png: ${w}x${h}"
  done <"$work/shot.rects"

  touch "$work/shot.done"
  wait "$runner" || true
  rm -rf "$work"
}

status=0
shoot screenshot 800x600 || status=1
shoot assistant-screenshot 1000x800 || status=1
exit "$status"
