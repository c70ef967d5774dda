#!/usr/bin/env bash
# Two builds of one source tree, each copied to a folder of its own and built there (release,
# windows toolchain), give the same vortasetup.exe, vortastart.exe, zip and SHA256SUMS, byte
# for byte. Only the dist target and what it needs are built.
#   reproducible_test.sh <source dir> <work dir>
set -uo pipefail
src=$1 work=$2
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# The copies are not git checkouts, so the zip's time comes from here, as a packager sets it.
SOURCE_DATE_EPOCH=$(git -C "$src" log -1 --format=%ct) || { echo "FAILED: $src has no commit"; exit 1; }
export SOURCE_DATE_EPOCH

build_in() {  # <folder>: the snapshot of the source tree copied to <folder>/src and built
  local root=$1
  mkdir -p "$root/src" && tar -C "$root/src" -xf "$work/source.tar" &&
    cmake -S "$root/src" -B "$root/build" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/src/cmake/mingw-i686.cmake" \
      -DVORTA_CAD_FILES_DIR="$root/src/tests/installer/fixtures" >"$root/build.log" 2>&1 &&
    cmake --build "$root/build" --target dist -j2 >>"$root/build.log" 2>&1 ||
    { tail -30 "$root/build.log"; return 1; }
}

# One snapshot of the working tree (tracked and new files) for both builds.
rm -rf "$work" && mkdir -p "$work" &&
  (cd "$src" && git ls-files -z -co --exclude-standard | tar --null -T - -cf "$work/source.tar") ||
  { echo "FAILED: cannot take a snapshot of $src"; exit 1; }
first="$work/a" second="$work/another/folder/b"
build_in "$first" || fail "the first build failed"
build_in "$second" || fail "the second build failed"
[ $failures -eq 0 ] || exit 1

for file in bin/vortasetup.exe bin/vortastart.exe dist/vorta-*.zip dist/SHA256SUMS \
            dist/vorta-*/SHA256SUMS; do
  # shellcheck disable=SC2086 # the globs name one file each
  one=$(cd "$first/build" && echo $file) other=$(cd "$second/build" && echo $file)
  [ -f "$first/build/$one" ] || { fail "$file was not built"; continue; }
  cmp "$first/build/$one" "$second/build/$other" || fail "$one differs between the two builds"
done

[ $failures -eq 0 ] && echo PASSED && rm -rf "$work"
exit $((failures > 0))
