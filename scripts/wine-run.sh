#!/usr/bin/env bash
# Runs one Windows program under the project's Japanese Wine and returns its exit
# code. Used by CTest for every test that runs under Wine.
#   scripts/wine-run.sh program.exe [arguments...]
# Settings (environment): those of wine-env.sh, and VORTA_WINE_TIMEOUT (seconds the
# program may run, default 120). A program that runs longer is killed; the script
# then returns 124 like timeout(1).
#
# The program's output goes through a file: Wine's own background processes (started
# by the first program after the server starts) inherit the program's output and live
# on, and would keep a pipe to the caller open long after the program has ended.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
[ $# -ge 1 ] || { echo "usage: wine-run.sh program.exe [arguments...]" >&2; exit 2; }
vorta_wine_up </dev/null >/dev/null 2>&1 ||
  { echo "wine-run: the Wine environment did not come up" >&2; exit 125; }

log="$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")"
trap 'rm -f "$log"' EXIT
timeout --kill-after=10 "${VORTA_WINE_TIMEOUT:-120}" wine "$@" </dev/null >"$log" 2>&1
rc=$?
cat "$log"
exit $rc
