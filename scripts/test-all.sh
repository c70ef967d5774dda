#!/usr/bin/env bash
# Builds and tests everything: the native build with its unit tests; then both Windows
# builds (i686, the one shipped, and x86_64) with the checks of their files; then, for each
# architecture this machine runs, the whole Windows suite under that architecture's Wine
# (one test at a time). x86_64 runs everywhere; i686 only where the kernel executes
# 32-bit code. The closing lines say which architectures were proven and why one was
# skipped. Fails when anything fails, or when no Windows test ran.
#   bash scripts/test-all.sh
# Settings (environment): VORTA_ARCHS, the architectures whose Windows suites may run
# (default "i686 x86_64"; VORTA_ARCHS=x86_64 takes the path of a machine without 32-bit
# code). Both architectures are built and their files checked whatever it says.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh || { echo "test-all: installing the dependencies failed" >&2; exit 1; }
# shellcheck source=wine-env.sh
source scripts/wine-env.sh

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
        return 1
    fi
}

linux() { cmake --preset linux && cmake --build --preset linux && ctest --preset linux; }
build() { cmake --preset "$1" && cmake --build --preset "$1"; }
wine_count() { ctest --preset "$1" -N -L wine | sed -n 's/^Total Tests: //p'; }

stage "native build and unit tests" linux

summary=()
wine_tests=0
for arch in i686 x86_64; do
    preset="$(vorta_preset "$arch")"
    if ! stage "$arch: Windows build" build "$preset"; then
        summary+=("$arch: not proven: the build failed")
        continue
    fi
    stage "$arch: checks of the built files" ctest --preset "$preset" -LE wine
    if ! vorta_arch_allowed "$arch"; then
        summary+=("$arch: Windows suite skipped: VORTA_ARCHS is '${VORTA_ARCHS:-}'")
        continue
    fi
    if ! why="$(vorta_arch_runs "$arch")"; then
        summary+=("$arch: Windows suite skipped: $why")
        continue
    fi
    count="$(wine_count "$preset")"
    t0=$SECONDS
    if stage "$arch: Windows tests under $(vorta_wine_loader "$arch")" \
        ctest --preset "$preset" -L wine -j1; then
        summary+=("$arch: proven: $count Windows tests passed under $(vorta_wine_loader "$arch") in $((SECONDS - t0)) s")
    else
        summary+=("$arch: not proven: Windows tests failed under $(vorta_wine_loader "$arch")")
    fi
    wine_tests=$((wine_tests + ${count:-0}))
    # The next architecture has a Wine of its own: this one's server and desktop go.
    (vorta_wine_for "build/$preset/bin" >/dev/null 2>&1 && vorta_wine_down)
done

vorta_fixed_layout ||
    summary+=("x86_64: this machine refuses to turn address randomisation off (setarch -R), so Wine's 64-bit loader may now and then end at once with code 1 (see scripts/wine-env.sh)")
echo "== architectures"
printf '   %s\n' "${summary[@]}"
if [ "$wine_tests" -eq 0 ]; then
    echo "== no Windows test ran: nothing was proven under Wine" >&2
    status=1
fi
if [ "$status" -eq 0 ]; then echo "== all passed"; else echo "== some stage failed" >&2; fi
exit "$status"
