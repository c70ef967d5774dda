# Sourced by the demo and by every Windows test: a Japanese Wine (ANSI code page 932) on
# a private prefix, drawn on an Xvfb display inside one Wine virtual desktop. The Wine and
# the prefix follow the architecture of the programs to run:
#   i686    the 32-bit Wine (/usr/lib/wine/wine, wineserver32), a 32-bit prefix; only
#           where this machine's kernel executes i386 code
#   x86_64  the 64-bit Wine (/usr/lib/wine/wine64, wineserver64), a 64-bit prefix
#
#   source scripts/wine-env.sh
#   vorta_wine_for build/windows/bin && vorta_wine_up    (a program or a folder of them)
#   vorta_wine program.exe args...     vorta_wineserver -w
# Python scripts started afterwards find the chosen loader in VORTA_WINE.
# Settings (environment): VORTA_ARCHS (the architectures whose programs may be run, default
# "i686 x86_64"; "x86_64" tries the path of a machine without 32-bit code), VORTA_WINE_HOME (default ~/.cache/vorta; the prefix is
# $VORTA_WINE_HOME/wine-<arch>), VORTA_DISPLAY (default :91 for i686, :92 for x86_64),
# VORTA_DESKTOP_SIZE (default 1280x1024).

: "${VORTA_WINE_HOME:=${HOME:-/root}/.cache/vorta}"
: "${VORTA_DESKTOP_SIZE:=1280x1024}"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Wine's 64-bit loader as Debian ships it (/usr/lib/wine/wine64, without Wine's preloader)
# is a program fixed at 0x7d000000, and the kernel puts its heap anywhere up to 1 GiB above
# that. Now and then the heap covers 0x7ffe0000, the one address where Wine must map the
# shared user data, and the program ends at once with code 1 ("failed to map the shared
# user data: c0000018", shown only with WINEDEBUG=err+virtual). So every Wine process is
# started without address randomisation (setarch -R, inherited by the processes it
# starts) where the machine allows it; vorta_fixed_layout says whether it does. The
# 32-bit loader's heap stays within 32 MiB and never reaches that address.
vorta_fixed_layout() { setarch "$(uname -m)" -R true >/dev/null 2>&1; }
if vorta_fixed_layout; then VORTA_LAYOUT=(setarch "$(uname -m)" -R); else VORTA_LAYOUT=(); fi

vorta_wine_loader() { case "$1" in i686) echo /usr/lib/wine/wine ;; x86_64) echo /usr/lib/wine/wine64 ;; esac; }
vorta_wine_server() { case "$1" in i686) echo /usr/lib/wine/wineserver32 ;; x86_64) echo /usr/lib/wine/wineserver64 ;; esac; }

# The architecture of a Windows program (its PE header's machine field): i686 or x86_64.
vorta_pe_arch() {
  local file="$1" pe machine
  pe=$(od -An -tu4 -j60 -N4 "$file" 2>/dev/null | tr -d ' \n') || return 1
  [ -n "$pe" ] || return 1
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$file" 2>/dev/null | tr -d ' \n')
  case "$machine" in
    014c) echo i686 ;;
    8664) echo x86_64 ;;
    *) return 1 ;;
  esac
}

# The CMake preset that builds an architecture's programs (into build/<preset>/bin).
vorta_preset() { if [ "$1" = i686 ]; then echo windows; else echo "windows-$1"; fi; }

# Whether VORTA_ARCHS (default: both) allows running an architecture's programs.
vorta_arch_allowed() { [[ " ${VORTA_ARCHS:-i686 x86_64} " == *" $1 "* ]]; }

# The architecture whose programs to run when one is enough: the i686 ones (the ones
# shipped) where this machine runs i386 code and VORTA_ARCHS allows it, the x86_64 ones
# otherwise.
vorta_preferred_arch() {
  if vorta_arch_allowed i686 && vorta_arch_runs i686 >/dev/null; then echo i686; else echo x86_64; fi
}

# Whether this machine runs the Wine of an architecture. Says why not on standard output.
vorta_arch_runs() {
  local loader out
  loader=$(vorta_wine_loader "$1")
  [ -n "$loader" ] || { echo "unknown architecture '$1'"; return 1; }
  [ -x "$loader" ] && [ -x "$(vorta_wine_server "$1")" ] ||
    { echo "$loader or its server is not installed (scripts/install-deps.sh)"; return 1; }
  if ! out=$("$loader" --version 2>&1); then
    case "$out" in
      *"Exec format error"*) echo "this machine's kernel does not execute ${1/i686/32-bit (i386)} code ($loader: Exec format error)" ;;
      *) echo "$loader --version failed: ${out##*$'\n'}" ;;
    esac
    return 1
  fi
}

# Chooses the Wine, prefix and display for the programs at $1 (a .exe, or a folder whose
# programs are all of one architecture). Fails, saying why, where this machine cannot run them.
vorta_wine_for() {
  local target="$1" probe arch why
  probe="$target"
  if [ -d "$target" ]; then
    for probe in "$target"/vortastart.exe "$target"/vortasetup.exe "$target"/*.exe; do
      [ -f "$probe" ] && break
    done
  fi
  arch=$(vorta_pe_arch "$probe") || { echo "wine-env: no Windows program at $target" >&2; return 1; }
  why=$(vorta_arch_runs "$arch") || { echo "wine-env: cannot run $arch programs: $why" >&2; return 1; }
  export VORTA_ARCH="$arch"
  export VORTA_WINE WINELOADER WINESERVER WINEPREFIX DISPLAY WINEARCH
  VORTA_WINE=$(vorta_wine_loader "$arch")
  WINELOADER="$VORTA_WINE"
  WINESERVER=$(vorta_wine_server "$arch")
  WINEPREFIX="$VORTA_WINE_HOME/wine-$arch"
  if [ "$arch" = i686 ]; then WINEARCH=win32; else WINEARCH=win64; fi
  DISPLAY="${VORTA_DISPLAY:-$([ "$arch" = i686 ] && echo :91 || echo :92)}"
}

vorta_wine() {
  [ -n "${VORTA_WINE:-}" ] || { echo "wine-env: vorta_wine_for was not called" >&2; return 125; }
  "${VORTA_LAYOUT[@]}" "$VORTA_WINE" "$@"
}
vorta_wineserver() {
  [ -n "${WINESERVER:-}" ] || { echo "wine-env: vorta_wine_for was not called" >&2; return 125; }
  "$WINESERVER" "$@"
}

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
  vorta_wine regedit /S "$(vorta_wine winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
}

vorta_wine_up() {
  [ -n "${VORTA_ARCH:-}" ] || { echo "wine-env: vorta_wine_for was not called" >&2; return 1; }
  vorta_xvfb_up || return 1
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/.vorta-ready" ]; then
    vorta_wine wineboot -i >/dev/null 2>&1 || true
    vorta_wineserver -w
    vorta_wine_registry
    vorta_wineserver -w
    # The first program in a new prefix also brings up the virtual desktop and Wine's
    # own services, which takes a while: do it here, not inside the first test's bound.
    timeout 180 "${VORTA_LAYOUT[@]}" "$VORTA_WINE" cmd /c exit >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.vorta-ready"
  fi
  # A persistent server keeps every later start fast.
  vorta_wineserver -p >/dev/null 2>&1 || true
}

vorta_wine_down() {
  [ -n "${WINESERVER:-}" ] || return 0
  vorta_wineserver -k >/dev/null 2>&1 || true
}
