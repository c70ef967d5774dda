#!/usr/bin/env bash
# Takes the README's pictures under the project's Japanese Wine: each window inside a Wine
# virtual desktop, with the Japanese font replacements, cut out of the X display.
#   scripts/screenshots.sh [console] [assistant] [installer] [guide]     (default: all four)
#     console     console.png and history.png: the console and the history window
#                 against a stand-in CAD
#     assistant   assistant.png: the settings assistant for a CAD it does not fit yet
#     installer   vortasetup-form1.png: the installer's window
#     guide       guide-notepad.png: the Japanese guide as shipped, in Wine's Notepad with
#                 Japanese Notepad's font and no word wrap, filling the desktop (sets
#                 Notepad's settings in the prefix)
# Settings (environment): those of wine-env.sh; VORTA_BIN, the folder of the built
# Windows programs (default build/windows/bin); VORTA_SHOT_DIR, where the pictures go
# (default docs/images). Needs ImageMagick (import, convert) and xwininfo.
set -eu
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
export VORTA_BIN="${VORTA_BIN:-$root/build/windows/bin}"
out="${VORTA_SHOT_DIR:-$root/docs/images}"
for exe in console_driver installer_driver vortasetup; do
  [ -f "$VORTA_BIN/$exe.exe" ] || { echo "screenshots: $VORTA_BIN/$exe.exe not built" >&2; exit 2; }
done
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
vorta_wine_for "$VORTA_BIN" && vorta_wine_up
mkdir -p "$out"

# One picture session: the command runs inside a virtual desktop of the given size and
# names the windows to cut out, "name x y width height" a line, in the file $work/shot.rects
# (the console driver), or as a "GEOMETRY x y width height" line of its output (the
# installer driver; the picture is then named after the session). $work/shot.done then
# lets the command end.
shoot() {
  local name="$1" desktop="$2" work="$3" runner offset_x=0 offset_y=0 desk id geometry
  shift 3
  timeout --kill-after=10 120 "${VORTA_LAYOUT[@]}" "$VORTA_WINE" explorer /desktop="shot-$name,$desktop" "$@" \
    >"$work/driver.log" 2>&1 &
  runner=$!
  for _ in $(seq 1 600); do
    [ -f "$work/shot.rects" ] && break
    geometry="$(grep -m1 '^GEOMETRY ' "$work/driver.log" || true)"
    if [ -n "$geometry" ]; then
      echo "$name ${geometry#GEOMETRY }" >"$work/shot.rects"
      break
    fi
    sleep 0.1
  done
  if [ ! -f "$work/shot.rects" ]; then
    echo "screenshots: the windows did not come up ($name)" >&2
    cat "$work/driver.log" >&2
    touch "$work/shot.done"
    return 1
  fi
  sleep 1  # let them paint

  # Where the virtual desktop sits on the X screen.
  desk="$(xwininfo -root -tree | grep -m1 "\"shot-$name - " || true)"
  if [ -n "$desk" ]; then
    id="$(echo "$desk" | awk '{print $1}')"
    offset_x="$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $4}')"
    offset_y="$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ {print $4}')"
  fi

  import -window root "$work/screen.png"
  while read -r picture x y w h; do
    convert "$work/screen.png" -crop "${w}x${h}+$((x + offset_x))+$((y + offset_y))" +repage \
      "$out/$picture.png"
    echo "$out/$picture.png: ${w}x${h}"
  done <"$work/shot.rects"

  touch "$work/shot.done"
  wait "$runner" || true
  rm -rf "$work"
}

# The console driver in a folder set up as for its tests.
console_shot() {
  local name="$1" mode="$2" desktop="$3" work
  work="$(mktemp -d)"
  python3 "$root/tests/console/console_tests.py" prepare "$work/folder"
  shoot "$name" "$desktop" "$work" "$VORTA_BIN/console_driver.exe" "$mode" \
    "$(vorta_wine winepath -w "$work/folder")" "$(vorta_wine winepath -w "$work/shot")"
}

# The guide as the dist step ships it (byte-order mark, CR LF), opened in Notepad. Notepad
# does not end by itself: it is closed once the picture is taken.
guide_shot() {
  local work size="$VORTA_DESKTOP_SIZE"
  work="$(mktemp -d)"
  python3 -c 'import sys; t = open(sys.argv[1], encoding="utf-8").read(); open(sys.argv[2], "w", encoding="utf-8-sig", newline="\r\n").write(t)' \
    "$root/docs/guide.ja.txt" "$work/はじめにお読みください.txt"
  local key='HKCU\Software\Microsoft\Notepad'
  vorta_wine reg add "$key" /v lfFaceName /t REG_SZ /d 'ＭＳ ゴシック' /f >/dev/null 2>&1
  vorta_wine reg add "$key" /v iPointSize /t REG_DWORD /d 120 /f >/dev/null 2>&1
  vorta_wine reg add "$key" /v fWrap /t REG_DWORD /d 0 /f >/dev/null 2>&1
  local value
  for value in "iWindowPosX 0" "iWindowPosY 0" "iWindowPosDX ${size%x*}" "iWindowPosDY ${size#*x}"; do
    vorta_wine reg add "$key" /v "${value% *}" /t REG_DWORD /d "${value#* }" /f >/dev/null 2>&1
  done
  (
    for _ in $(seq 1 100); do
      xwininfo -root -tree | grep -q '"shot-guide-notepad - ' && break
      sleep 0.1
    done
    sleep 3  # Notepad opens the file and paints
    echo "guide-notepad 0 0 ${size%x*} ${size#*x}" >"$work/shot.rects.new"
    mv "$work/shot.rects.new" "$work/shot.rects"
    while [ ! -f "$work/shot.done" ]; do sleep 0.1; done
    vorta_wine taskkill /f /im notepad.exe >/dev/null 2>&1
  ) &
  shoot guide-notepad "$size" "$work" notepad "$(vorta_wine winepath -w "$work/はじめにお読みください.txt")"
}

[ $# -gt 0 ] || set -- console assistant installer guide
status=0
for what in "$@"; do
  case "$what" in
    console) console_shot console screenshot 800x600 || status=1 ;;
    assistant) console_shot assistant assistant-screenshot 1000x800 || status=1 ;;
    installer)
      shoot vortasetup-form1 "$VORTA_DESKTOP_SIZE" "$(mktemp -d)" "$VORTA_BIN/installer_driver.exe" \
        show "$(vorta_wine winepath -w "$VORTA_BIN/vortasetup.exe")" 4000 || status=1 ;;
    guide) guide_shot || status=1 ;;
    *) echo "screenshots: what is $what? (console, assistant, installer, guide)" >&2; status=2 ;;
  esac
done
exit "$status"
