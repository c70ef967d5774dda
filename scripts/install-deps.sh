#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (run as root).
# Safe to run again: packages already present are skipped.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Both Windows builds (i686, the one shipped, and x86_64) and both Wines: the 64-bit one
# runs everywhere, the 32-bit one only where the kernel executes i386 code; the 32-bit
# packages are installed anyway, so that such a machine is ready when it allows them.
# libxi6: Wine confines the cursor (ClipCursor) only through XInput2; without it Wine
# accepts ClipCursor and silently drops the confinement.
pkgs=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev clang-format
      mingw-w64 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
      g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
      wine wine64 libxi6:amd64 xvfb xauth xdotool x11-utils imagemagick
      fonts-ipafont-gothic python3 zip unzip file)
pkgs32=(wine32:i386 libxi6:i386)
for p in "${pkgs[@]}" "${pkgs32[@]}"; do have "$p" || need+=("$p"); done

ensure_locale() {
  # Wine takes its ANSI code page from LANG: ja_JP.UTF-8 gives code page 932.
  if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    have locales || { apt-get update -qq; DEBIAN_FRONTEND=noninteractive apt-get install -y -qq locales >/dev/null; }
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
  fi
}

if [ ${#need[@]} -eq 0 ]; then
  ensure_locale
  exit 0
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
if ! apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null; then
  # Without the 32-bit packages the x86_64 programs still build and run.
  echo "install-deps: installing with the 32-bit packages failed; trying without them" >&2
  rest=()
  for p in "${need[@]}"; do [[ $p == *:i386 ]] || rest+=("$p"); done
  apt-get install -y -qq --no-install-recommends "${rest[@]}" >/dev/null
fi
ensure_locale
