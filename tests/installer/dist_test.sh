#!/usr/bin/env bash
# The dist step: assembles the download folder and its zip from the builds, the shipped
# defaults and the packager's CAD-side files; stops with a list of what is missing.
#   dist_test.sh <source dir> <work dir>
set -uo pipefail
src=$1 work=$2
fixtures="$src/tests/installer/fixtures"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work/build" "$work/cad"
printf 'stand-in installer build\r\n' >"$work/build/vortasetup.exe"
for name in vta_connect.exe pontek.dcl pontek.lsp vorta_install_dir.lsp vortastart.lsp \
            "IJCAD-ヴォルタ_インストール.pdf" "ヴォルタ.pdf"; do
  cp "$fixtures/$name" "$work/cad/"
done

run_dist() {
  cmake -DINSTALLER_EXE="$work/build/vortasetup.exe" -DVORTASTART_EXE="$fixtures/vortastart.exe" \
    -DSHIPPED_DIR="$src/installer/shipped" -DCAD_FILES_DIR="$1" -DDIST_DIR="$work/dist" \
    -DPACKAGE_NAME=vorta-test -P "$src/installer/app/dist.cmake" >"$work/out.txt" 2>&1
}

# Everything present: eleven files, byte-identical, and a zip holding the same folder.
run_dist "$work/cad" || { cat "$work/out.txt"; fail "dist failed with every file present"; }
folder="$work/dist/vorta-test"
[ "$(find "$folder" -type f | wc -l)" -eq 11 ] || fail "expected 11 files in $folder"
cmp -s "$work/build/vortasetup.exe" "$folder/vortasetup.exe" || fail "vortasetup.exe"
cmp -s "$fixtures/vortastart.exe" "$folder/vortastart.exe" || fail "vortastart.exe"
cmp -s "$src/installer/shipped/lumset.ini" "$folder/lumset.ini" || fail "lumset.ini"
cmp -s "$src/installer/shipped/tardo.dat" "$folder/tardo.dat" || fail "tardo.dat"
cmp -s "$work/cad/ヴォルタ.pdf" "$folder/ヴォルタ.pdf" || fail "ヴォルタ.pdf"
listing=$(cd "$work/dist" && cmake -E tar tf vorta-test.zip)
[ "$(grep -c '^vorta-test/.' <<<"$listing")" -eq 11 ] || fail "zip does not hold the 11 files: $listing"
grep -qx 'vorta-test/IJCAD-ヴォルタ_インストール.pdf' <<<"$listing" || fail "guide missing from the zip"
mkdir "$work/unzipped" && (cd "$work/unzipped" && cmake -E tar xf "$work/dist/vorta-test.zip")
cmp -s "$work/unzipped/vorta-test/ヴォルタ.pdf" "$folder/ヴォルタ.pdf" || fail "zip content differs"

# A CAD-side file missing: the step stops and names it, and leaves no half folder behind.
rm -rf "$work/dist"
rm "$work/cad/pontek.dcl" "$work/cad/ヴォルタ.pdf"
if run_dist "$work/cad"; then fail "dist succeeded with files missing"; fi
grep -q 'pontek.dcl' "$work/out.txt" || fail "missing pontek.dcl not named"
grep -q 'ヴォルタ.pdf' "$work/out.txt" || fail "missing ヴォルタ.pdf not named"
grep -q 'pontek.lsp' "$work/out.txt" && fail "a present file was named as missing"
[ -e "$work/dist/vorta-test" ] && fail "a folder was assembled despite missing files"

# No folder named at all: every CAD-side file is listed, with the variable to set.
if run_dist ""; then fail "dist succeeded without a CAD-side folder"; fi
grep -q 'VORTA_CAD_FILES_DIR' "$work/out.txt" || fail "no hint at VORTA_CAD_FILES_DIR"
grep -q 'vta_connect.exe' "$work/out.txt" || fail "vta_connect.exe not named"

[ $failures -eq 0 ] && echo PASSED
exit $((failures > 0))
