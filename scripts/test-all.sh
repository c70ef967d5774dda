#!/usr/bin/env bash
# Builds and tests everything: the native build with its unit tests, then the Windows
# build with its tests under Wine (run one at a time). Fails when anything fails.
#   bash scripts/test-all.sh
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh || { echo "test-all: installing the dependencies failed" >&2; exit 1; }

status=0
stage() {
    local name="$1"
    shift
    echo "== $name"
    local t0=$SECONDS
    if "$@"; then
        echo "== $name: passed ($((SECONDS - t0)) s)"
    else
        echo "== $name: FAILED ($((SECONDS - t0)) s)" >&2
        status=1
    fi
}

linux() { cmake --preset linux && cmake --build --preset linux && ctest --preset linux; }
windows() { cmake --preset windows && cmake --build --preset windows && ctest --preset windows -j1; }

stage "native build and unit tests" linux
stage "Windows build and tests under Wine" windows

[ "$status" -eq 0 ] && echo "== all passed" || echo "== some stage failed" >&2
exit "$status"
