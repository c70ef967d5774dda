#!/usr/bin/env bash
# The dist step: assembles the download folder and its zip from the builds, the shipped
# defaults and the packager's CAD-side files, with their SHA256SUMS; the zip is the same
# bytes from the same files; stops with a list of what is missing.
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

run_dist() {  # <CAD-side folder> [dist folder]
  cmake -DINSTALLER_EXE="$work/build/vortasetup.exe" -DVORTASTART_EXE="$fixtures/vortastart.exe" \
    -DSHIPPED_DIR="$src/installer/shipped" -DCAD_FILES_DIR="$1" -DDIST_DIR="${2:-$work/dist}" \
    -DPACKAGE_NAME=vorta-test -DSOURCE_DIR="$src" -DPYTHON=python3 \
    -P "$src/installer/app/dist.cmake" >"$work/out.txt" 2>&1
}
# "<name> <date and time>" of every zip entry, in the zip's order.
zip_entries() {
  python3 -c 'import sys, zipfile
for e in zipfile.ZipFile(sys.argv[1]).infolist(): print(e.filename, "%04d-%02d-%02d %02d:%02d:%02d" % e.date_time)' "$1"
}
# The time a zip entry shows for the given seconds since 1970 (UTC, even seconds).
zip_time() { date -u -d "@$(($1 / 2 * 2))" '+%Y-%m-%d %H:%M:%S'; }

# Everything present: eleven files byte-identical and the Japanese guide, with their
# SHA256SUMS, and a zip holding the same folder, sorted, every entry dated from the last
# commit; its own SHA256SUMS beside.
unset SOURCE_DATE_EPOCH
run_dist "$work/cad" || { cat "$work/out.txt"; fail "dist failed with every file present"; }
folder="$work/dist/vorta-test"
[ "$(find "$folder" -type f | wc -l)" -eq 13 ] || fail "expected 12 files and SHA256SUMS in $folder"
(cd "$folder" && sha256sum --quiet --strict -c SHA256SUMS) || fail "SHA256SUMS of the folder"
[ "$(cut -c67- "$folder/SHA256SUMS" | LC_ALL=C sort)" = "$(cd "$folder" && ls | grep -vx SHA256SUMS | LC_ALL=C sort)" ] ||
  fail "SHA256SUMS does not name exactly the twelve files"
# The guide: docs/guide.ja.txt with a byte-order mark and CR LF line ends, plain text for
# Notepad: no Markdown, lines of at most 76 columns (full-width characters count two), and
# only characters the Japanese fonts of Windows 7 and later all show: ASCII, half-width
# katakana and JIS X 0208 as code page 932 maps it, without its geometric shapes.
python3 - "$src/docs/guide.ja.txt" "$folder/はじめにお読みください.txt" <<'PY' || fail "guide text"
import sys, unicodedata
source = open(sys.argv[1], "rb").read()
shipped = open(sys.argv[2], "rb").read()
problems = []
if shipped != b"\xef\xbb\xbf" + source.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"):
    problems.append("not docs/guide.ja.txt with a byte-order mark and CR LF")
for number, line in enumerate(shipped[3:].decode("utf-8").split("\r\n"), 1):
    columns = sum(2 if unicodedata.east_asian_width(c) in "WFA" else 1 for c in line)
    if columns > 76:
        problems.append(f"line {number}: {columns} columns")
    if line.lstrip().startswith(("#", "|", "```")) or "`" in line or "**" in line:
        problems.append(f"line {number}: Markdown")
    for c in line:
        try:
            code = c.encode("cp932")
        except UnicodeEncodeError:
            code = b""
        if (not code or code < b" " or code == b"\x7f" or (len(code) == 2 and
                (code[0] in (0x85, 0x86, 0x87) or code[0] >= 0xEB)) or 0x25A0 <= ord(c) <= 0x25FF):
            problems.append(f"line {number}: U+{ord(c):04X} {c!r}")
if problems:
    print("\n".join(problems))
sys.exit(1 if problems else 0)
PY
(cd "$work/dist" && sha256sum --quiet --strict -c SHA256SUMS) || fail "SHA256SUMS of the zip"
grep -qx '[0-9a-f]\{64\}  vorta-test.zip' "$work/dist/SHA256SUMS" || fail "SHA256SUMS beside the zip names it alone"
commit_time=$(zip_time "$(git -C "$src" log -1 --format=%ct)")
entries=$(zip_entries "$work/dist/vorta-test.zip")
[ "$(cut -d' ' -f1 <<<"$entries")" = "$(cut -d' ' -f1 <<<"$entries" | LC_ALL=C sort)" ] || fail "zip entries not sorted: $entries"
[ "$(grep -vc " $commit_time\$" <<<"$entries")" -eq 0 ] || fail "zip entries not dated $commit_time: $entries"
cmp -s "$work/build/vortasetup.exe" "$folder/vortasetup.exe" || fail "vortasetup.exe"
cmp -s "$fixtures/vortastart.exe" "$folder/vortastart.exe" || fail "vortastart.exe"
cmp -s "$src/installer/shipped/lumset.ini" "$folder/lumset.ini" || fail "lumset.ini"
cmp -s "$src/installer/shipped/tardo.dat" "$folder/tardo.dat" || fail "tardo.dat"
cmp -s "$work/cad/ヴォルタ.pdf" "$folder/ヴォルタ.pdf" || fail "ヴォルタ.pdf"
# Beside the installer, its guide and SHA256SUMS, the folder holds exactly the names the
# installer copies, as its build reads them: a name the download lacks would stop every
# installation at that file.
copied=$(sed -n '/InstallFileList = {/,/^};/p' "$src/installer/file_list.h" |
  grep -o 'L"\\\\[^"]*"' | sed 's/^L"\\\\//; s/"$//')
[ "$(printf '%s\n' "$copied" vortasetup.exe はじめにお読みください.txt SHA256SUMS | LC_ALL=C sort)" = \
  "$(cd "$folder" && ls | LC_ALL=C sort)" ] ||
  fail "the folder does not hold exactly what the installer copies: $(cd "$folder" && ls | tr '\n' ' ')"
listing=$(cd "$work/dist" && cmake -E tar tf vorta-test.zip)
[ "$(grep -c '^vorta-test/.' <<<"$listing")" -eq 13 ] || fail "zip does not hold the 13 files: $listing"
grep -qx 'vorta-test/IJCAD-ヴォルタ_インストール.pdf' <<<"$listing" || fail "guide missing from the zip"
mkdir "$work/unzipped" && (cd "$work/unzipped" && cmake -E tar xf "$work/dist/vorta-test.zip")
diff -r "$work/unzipped/vorta-test" "$folder" >/dev/null || fail "zip content differs"

# SOURCE_DATE_EPOCH wins over the commit. (That the same files give the same zip is the
# reproducible-build test's part, on the windows preset.)
SOURCE_DATE_EPOCH=1700000001 run_dist "$work/cad" "$work/other/dist" || fail "dist with SOURCE_DATE_EPOCH failed"
[ "$(zip_entries "$work/other/dist/vorta-test.zip" | grep -vc " $(zip_time 1700000001)\$")" -eq 0 ] ||
  fail "zip entries not dated from SOURCE_DATE_EPOCH"

# A CAD-side file missing: the step stops and names it, and leaves no half folder behind.
rm -rf "$work/dist"
unset SOURCE_DATE_EPOCH
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
