#!/usr/bin/env bash
# Runs a command while the Shift key is held on the X server's keyboard, the way a user
# holds it while starting vortastart. The key is let go when the command creates the
# file named by VORTA_SHIFT_RELEASE (a Windows path), or when the command ends.
#   tests/console/with-shift.sh command [arguments...]
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)"
# shellcheck source=../../scripts/wine-env.sh
source "$here/wine-env.sh"
vorta_wine_up </dev/null >/dev/null 2>&1 || { echo "with-shift: Wine did not come up" >&2; exit 125; }

marker="$(mktemp -u "${TMPDIR:-/tmp}/vorta-shift.XXXXXX")"
export VORTA_SHIFT_RELEASE="Z:${marker//\//\\}"
release() { xdotool keyup shift >/dev/null 2>&1 || true; rm -f "$marker"; }
trap release EXIT

# Key events reach Wine only while the pointer is over a Wine window: the virtual
# desktop covers the screen.
xdotool mousemove 400 300 keydown shift
(
  for _ in $(seq 1 600); do [ -e "$marker" ] && break; sleep 0.1; done
  xdotool keyup shift >/dev/null 2>&1
) &
watcher=$!
"$@"
rc=$?
kill "$watcher" 2>/dev/null
exit $rc
