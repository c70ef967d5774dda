# Sourced by the demo and by every Windows test: a Japanese Wine (ANSI code page 932)
# on a private prefix, drawn on an Xvfb display inside one Wine virtual desktop.
#   source scripts/wine-env.sh && vorta_wine_up
# Settings (environment): VORTA_WINEPREFIX, VORTA_DISPLAY (default :91),
# VORTA_DESKTOP_SIZE (default 1280x1024).

: "${VORTA_WINEPREFIX:=${HOME:-/root}/.cache/vorta/wine}"
: "${VORTA_DISPLAY:=:91}"
: "${VORTA_DESKTOP_SIZE:=1280x1024}"
export WINEPREFIX="$VORTA_WINEPREFIX"
export DISPLAY="$VORTA_DISPLAY"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

vorta_display_answers() { xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; }

vorta_xvfb_up() {
  local n="${DISPLAY#:}" i
  vorta_display_answers && return 0
  # A socket or lock left by an X server that is gone would make Xvfb refuse to start.
  rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
  (Xvfb "$DISPLAY" -screen 0 "${VORTA_DESKTOP_SIZE}x24" -nolisten tcp >/dev/null 2>&1 &)
  for i in $(seq 1 100); do
    vorta_display_answers && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

# Registry of the prefix: every program inside one virtual desktop (so focus and
# z-order behave the same whatever the X server), and the Japanese UI fonts mapped to
# the IPA fonts.
vorta_wine_registry() {
  local reg="$WINEPREFIX/vorta-setup.reg"
  python3 - "$reg" "$VORTA_DESKTOP_SIZE" <<'PY'
import sys
path, size = sys.argv[1], sys.argv[2]
text = "\r\n".join([
    "Windows Registry Editor Version 5.00", "",
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]",
    '"Desktop"="Default"', "",
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]",
    f'"Default"="{size}"', "",
    "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]",
    '"ＭＳ Ｐゴシック"="IPAPGothic"',
    '"ＭＳ ゴシック"="IPAGothic"',
    '"MS PGothic"="IPAPGothic"',
    '"MS Gothic"="IPAGothic"',
    '"MS UI Gothic"="IPAPGothic"',
    '"MS Shell Dlg"="IPAPGothic"',
    '"MS Shell Dlg 2"="IPAPGothic"',
    "", ""])
with open(path, "wb") as f:
    f.write(b"\xff\xfe" + text.encode("utf-16-le"))
PY
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
}

vorta_wine_up() {
  vorta_xvfb_up || return 1
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/.vorta-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    vorta_wine_registry
    wineserver -w
    # The first program in a new prefix also brings up the virtual desktop and Wine's
    # own services, which takes a while: do it here, not inside the first test's bound.
    timeout 180 wine cmd /c exit >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.vorta-ready"
  fi
  # A persistent server keeps every later start fast.
  wineserver -p >/dev/null 2>&1 || true
}

vorta_wine_down() {
  wineserver -k >/dev/null 2>&1 || true
}
