#!/usr/bin/env bash
# Runs one end-to-end scenario under the project's Japanese Wine.
#   run.sh BIN-DIR SCRIPT.py SCENARIO
# BIN-DIR holds vortastart.exe, standin_cad.exe and probe.exe.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ $# -eq 3 ] || { echo "usage: run.sh BIN-DIR SCRIPT.py SCENARIO" >&2; exit 2; }
# shellcheck source=../../scripts/wine-env.sh
source "$here/../../scripts/wine-env.sh"
vorta_wine_up || { echo "the Wine environment did not come up" >&2; exit 1; }
export VORTA_BIN="$1" PYTHONDONTWRITEBYTECODE=1
exec timeout --kill-after=10 "${VORTA_E2E_TIMEOUT:-170}" python3 "$here/$2" "$3"
