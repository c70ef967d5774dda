#!/usr/bin/env bash
# Runs one test under the project's Japanese Wine and returns its exit code. Every test
# that runs Windows programs goes through here (CTest: vorta_wine_test in
# tests/CMakeLists.txt).
#   scripts/wine-run.sh program.exe [arguments...]   a Windows program, under Wine
#   scripts/wine-run.sh script.py [arguments...]     a Python script that starts Windows
#                                                    programs under the same Wine
# The Wine is the one for the program's architecture (for a script, that of the programs
# in VORTA_BIN): see wine-env.sh.
# Settings (environment): those of wine-env.sh; VORTA_WINE_TIMEOUT, the seconds the test
# may run (default 120); for a script, VORTA_BIN, the folder of the Windows programs.
# Exit code: the test's own; 124 when it ran longer and was ended (like timeout(1));
# 125 when the Wine environment did not come up or cannot run these programs.
#
# The output goes through a file: Wine's own background processes (started by the first
# program after the server starts) inherit the program's output and live on, and would
# keep a pipe to the caller open long after the program has ended.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
[ $# -ge 1 ] || { echo "usage: wine-run.sh program.exe|script.py [arguments...]" >&2; exit 2; }
case "$1" in
  *.py) programs="${VORTA_BIN:-}" ;;
  *) programs="$1" ;;
esac
vorta_wine_for "$programs" || exit 125
vorta_wine_up </dev/null >/dev/null 2>&1 ||
  { echo "wine-run: the Wine environment did not come up" >&2; exit 125; }

case "$1" in
  *.py)
    export PYTHONDONTWRITEBYTECODE=1 PYTHONUNBUFFERED=1
    run=("${VORTA_LAYOUT[@]}" python3 "$@") ;;
  *) run=("${VORTA_LAYOUT[@]}" "$VORTA_WINE" "$@") ;;
esac
log="$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")"
trap 'rm -f "$log"' EXIT
timeout --kill-after=10 "${VORTA_WINE_TIMEOUT:-120}" "${run[@]}" </dev/null >"$log" 2>&1
rc=$?
cat "$log"
exit $rc
