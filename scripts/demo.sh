#!/usr/bin/env bash
# Demonstration: builds the Windows programs, starts a stand-in CAD with Japanese
# captions under Wine, runs vortastart.exe once from a folder holding tardo.dat and
# Lumset.ini, and prints what the CAD received. Exits nonzero when the load command
# did not arrive. It runs the 32-bit (i686) programs, the ones shipped, where this machine
# executes 32-bit code, and the 64-bit (x86_64) build of the same sources otherwise.
#   bash scripts/demo.sh
# Settings (environment): those of scripts/wine-env.sh (VORTA_ARCHS=x86_64 takes the path
# of a machine without 32-bit code); VORTA_BIN, a folder holding vortastart.exe and
# standin_cad.exe already built, skips the installation and build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

# shellcheck source=wine-env.sh
source scripts/wine-env.sh
if [ -z "${VORTA_BIN:-}" ]; then
    bash scripts/install-deps.sh
    arch="$(vorta_preferred_arch)"
    preset="$(vorta_preset "$arch")"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
fi
bin="${VORTA_BIN:-$root/build/$preset/bin}"

vorta_wine_for "$bin"
echo "== the $VORTA_ARCH programs under $VORTA_WINE$([ "$VORTA_ARCH" = i686 ] ||
    echo " (32-bit code: $(vorta_arch_runs i686 && echo "not chosen (VORTA_ARCHS)"))")"
vorta_wine_up

demo="$(mktemp -d /tmp/vorta-demo.XXXXXX)"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# The stand-in as acad.exe with its cad.cfg in $demo/cad, and the launcher's folder, written
# as the end-to-end tests write them.
VORTA_BIN="$bin" "${VORTA_LAYOUT[@]}" python3 tests/e2e/harness.py cad "$demo" cad name=demo exit_after_seconds=120 \
    >/dev/null
VORTA_BIN="$bin" "${VORTA_LAYOUT[@]}" python3 tests/e2e/harness.py launcher "$demo/vortastart" >/dev/null

cad_pid=""
stop_cad() {
    [ -n "$cad_pid" ] || return 0
    touch "$demo/cad/stop"
    for _ in $(seq 1 50); do kill -0 "$cad_pid" 2>/dev/null || break; sleep 0.2; done
    kill -9 "$cad_pid" 2>/dev/null || true
    cad_pid=""
}
trap stop_cad EXIT

echo "== starting the stand-in CAD (acad.exe) with Japanese captions"
vorta_wine "$demo/cad/acad.exe" "$(winpath "$demo/cad/cad.cfg")" >/dev/null 2>&1 &
cad_pid=$!
for _ in $(seq 1 150); do [ -f "$demo/cad/ready.txt" ] && break; sleep 0.2; done
[ -f "$demo/cad/ready.txt" ] || { echo "the stand-in CAD did not come up" >&2; exit 1; }

echo "== running vortastart.exe from $demo/vortastart"
start=$(date +%s%N)
rc=0
(cd "$demo" && timeout --kill-after=5 60 "${VORTA_LAYOUT[@]}" "$VORTA_WINE" "$(winpath "$demo/vortastart/vortastart.exe")") || rc=$?
echo "   ended with code $rc after $((($(date +%s%N) - start) / 1000000)) ms"
sleep 0.5
stop_cad

echo "== what the CAD received"
python3 - "$demo/cad/cad.log" <<'PY'
import re
import sys

interesting = ("click ", "paste ", "cancel ", "run: ", "key ", "topmost ", "queryopen ",
               "gettext", "copydata ", "history-copy ")
for line in open(sys.argv[1], encoding="utf-8"):
    stamp, _, event = line.strip().partition(" ")
    if not event.startswith(interesting):
        continue
    m = re.match(r'paste (\S+) hex=([0-9A-F ]*) text="(.*?)" (.*)$', event)
    if m:
        print(f"{stamp:>7} ms  paste into {m.group(1)}: bytes {m.group(2)}  text {m.group(3)}")
        print(f"{'':>7}     while {m.group(4)}")
    else:
        print(f"{stamp:>7} ms  {event}")
PY
echo "   (full log: $demo/cad/cad.log)"

if grep -q 'run: (load "pontek")' "$demo/cad/cad.log"; then
    echo "== the CAD ran (load \"pontek\")"
else
    echo "== the load command did not arrive" >&2
    exit 1
fi
