#!/usr/bin/env bash
# The launcher's speed under Wine: installs what is needed, builds the Windows programs
# and the benchmark's floor program, brings up the project's Japanese Wine and prints
# one table (launcher and floor medians with 1, 5 and 20 stand-in CADs, the launcher's
# own time, the cost of each extra CAD) and the sizes of both programs.
#   bash bench/wine-bench.sh [--pairs N] [--cads 1,5,20]
# Settings (environment): those of scripts/wine-env.sh; VORTA_BENCH_ARCH (i686 or x86_64,
# default i686 where this machine runs 32-bit code, x86_64 otherwise) and VORTA_BENCH_BUILD
# (the Windows build folder, default that of the architecture's preset). Not a test: it
# reports against the targets and fails only when a run fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

arch="${VORTA_BENCH_ARCH:-$(vorta_preferred_arch)}"
build="${VORTA_BENCH_BUILD:-$root/build/$(vorta_preset "$arch")}"
echo "wine-bench: the $arch programs"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target vortastart standin_cad >/dev/null

floor="$build/bin/wine_floor.exe"
if cmake --build "$build" --target help | grep -qw wine_floor; then
    cmake --build "$build" --target wine_floor >/dev/null
else
    # A tree whose top level does not take bench/ into the Windows build: the floor is
    # built here, with the programs' compiler, statically and optimised for size.
    mkdir -p "$build/bench"
    floor="$build/bench/wine_floor.exe"
    "$arch-w64-mingw32-g++-posix" -std=c++20 -Os -s -Wall -Wextra -Werror -mwindows \
        -static -static-libgcc -static-libstdc++ bench/wine_floor.cpp -o "$floor"
fi

vorta_wine_for "$build/bin" && vorta_wine_up || { echo "wine-bench: the Wine environment did not come up" >&2; exit 1; }
PYTHONDONTWRITEBYTECODE=1 python3 "$root/bench/wine_launch_bench.py" "$build/bin" "$floor" "$@"
