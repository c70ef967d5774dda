#!/usr/bin/env bash
# One Wine test of vortasetup.exe. Stages a download folder (the installer and the ten files
# it copies), drives the installer with installer_driver and checks what it did.
#   wine_scenario.sh <scenario> <vortasetup.exe> <installer_driver.exe> <fixtures dir>
#                    <shipped dir> <work dir> <wine runner>
set -uo pipefail
scenario=$1 setup_exe=$2 driver_exe=$3 fixtures=$4 shipped=$5 work=$6 runner=$7

names=(vta_connect.exe tardo.dat pontek.dcl pontek.lsp vorta_install_dir.lsp lumset.ini
       vortastart.exe vortastart.lsp "IJCAD-ヴォルタ_インストール.pdf" "ヴォルタ.pdf")
completion="インストール終了　iJ-CADの設定は表示されたPDFを参照してください。"

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect_line() {  # the driver printed exactly this line
  grep -qxF -- "$1" "$work/driver.out" || fail "expected line: $1"
}
windows_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# The destination lives on the prefix's drive C: (the folder dialog of this Wine cannot
# browse into Z:, which maps the whole Unix root).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=/dev/null
source "$here/../../scripts/wine-env.sh"
vorta_wine_for "$setup_exe" || exit 125
dest="$WINEPREFIX/drive_c/vorta-installer-tests/$scenario/dest"
dest_windows="C:\\vorta-installer-tests\\$scenario\\dest"

# The download folder; in folder_outside_cp932 its path holds characters code page 932 lacks.
stage="$work/stage"
[ "$scenario" = folder_outside_cp932 ] && stage="$work/한글폴더/stage"
rm -rf "$work" "$(dirname "$dest")" && mkdir -p "$stage" "$dest"
cp "$setup_exe" "$stage/vortasetup.exe"
for name in "${names[@]}"; do
  if [ -f "$shipped/$name" ]; then cp "$shipped/$name" "$stage/"; else cp "$fixtures/$name" "$stage/"; fi
done

command=install
older_guide='an older guide that must stay as it was'
case $scenario in
  fresh_install|resources|folder_outside_cp932) ;;
  replaces_existing)
    for name in "${names[@]}"; do printf 'an older file that must be replaced\r\n' >"$dest/$name"; done ;;
  unelevated) command=install-unelevated ;;
  fifth_missing) rm "$stage/vorta_install_dir.lsp" ;;
  guide_write_fails)
    # The destination's file system takes no file over 2 MiB (a file size limit on the
    # installer's processes), so the copy of a 4 MiB guide fails at a write halfway, as on
    # a full disk. Everything else is far smaller.
    head -c 4194304 /dev/zero | tr '\0' 'v' >"$stage/${names[8]}"
    printf '%s' "$older_guide" >"$dest/${names[8]}" ;;
  cancel_dialog) command=cancel ;;
  cancel_button) command=close ;;
  close_box) command=closebox ;;
  *) echo "unknown scenario $scenario"; exit 2 ;;
esac
[ "$scenario" = resources ] && command=resources

args=("$command" "$(windows_path "$stage/vortasetup.exe")")
[[ $command = install* ]] && args+=("$dest_windows")
if [ "$scenario" = guide_write_fails ]; then
  # Wine's server and the programs it keeps running (services, desktop) come up with the
  # first program; that one runs outside the limit, so that they never inherit it.
  bash "$runner" "$driver_exe" resources "${args[1]}" >/dev/null 2>&1
  (ulimit -f 2048 && trap '' XFSZ &&
    timeout 150 bash "$runner" "$driver_exe" "${args[@]}" >"$work/driver.out" 2>"$work/driver.err")
else
  timeout 150 bash "$runner" "$driver_exe" "${args[@]}" >"$work/driver.out" 2>"$work/driver.err"
fi
rc=$?
cat "$work/driver.out"
[ $rc -eq 0 ] || fail "installer_driver ended with $rc"

if [ "$command" = resources ]; then
  grep -q '^MANIFEST level=<requestedExecutionLevel level="highestAvailable" uiAccess="false"' \
    "$work/driver.out" || fail "manifest does not ask for highestAvailable"
  expect_line "ICON images=1 size=128x128 bits=32"
  expect_line "BANNER size=638x263 bits=24 compression=0 ppm=3780x3780"
  [ $failures -eq 0 ] && echo PASSED; exit $((failures > 0))
fi

# The window: client area at the real dpi, placed by Form_Load, topmost, named after ヴォルタ.
form=$(grep '^FORM client=' "$work/driver.out")
client=$(sed -E 's/.*client=([0-9x]+) .*/\1/' <<<"$form")
expected=$(sed -E 's/.*expected=([0-9x]+) .*/\1/' <<<"$form")
pos=$(sed -E 's/.* pos=(-?[0-9]+,-?[0-9]+) .*/\1/' <<<"$form")
expected_pos=$(sed -E 's/.*expected-pos=(-?[0-9]+,-?[0-9]+) .*/\1/' <<<"$form")
[ -n "$client" ] && [ "$client" = "$expected" ] || fail "client area $client, expected $expected"
[ "$pos" = "$expected_pos" ] || fail "window at $pos, expected $expected_pos"
grep -q 'topmost=1$' <<<"$form" || fail "window is not topmost"
grep -q '^FORM caption=.*ヴォルタ' "$work/driver.out" || fail "caption does not name ヴォルタ"
expect_line "EXIT code=0"

boxes=$(grep -c '^BOX title=' "$work/driver.out")
copied=$(find "$dest" -type f | wc -l)
same_files() {  # the first $1 names are in dest, byte-identical to the stage
  local i
  for ((i = 0; i < $1; i++)); do
    cmp -s "$stage/${names[$i]}" "$dest/${names[$i]}" || fail "${names[$i]} differs or is missing"
  done
}

# The guide opens from the destination in the viewer the driver registered for PDFs. Run
# elevated (as Wine runs every program that asks for the highest rights), the installer asks
# the desktop's Explorer to open it; unelevated, it opens it itself, and the viewer then has
# the installer's limited rights (Wine's Explorer is elevated).
guide="GUIDE opened=$dest_windows\\${names[8]}"
guide_line=$(grep '^GUIDE ' "$work/driver.out")
case $scenario in
  fresh_install|replaces_existing|unelevated)
    expect_line "DIALOG prompt=1"
    expect_line "DIALOG selected=dest"
    [ "$boxes" -eq 1 ] || fail "expected one message box, saw $boxes"
    expect_line "BOX title=vortasetup"
    expect_line "BOX text=$completion"
    [ "$copied" -eq 10 ] || fail "expected 10 files in the destination, found $copied"
    same_files 10
    if [ "$scenario" = unelevated ]; then
      expect_line "INSTALLER elevated=0"
      [[ $guide_line == "$guide parent="*" elevated=0" && $guide_line != *" parent=explorer.exe "* ]] ||
        fail "guide not opened by the unelevated installer itself: $guide_line"
    else
      expect_line "INSTALLER elevated=1"
      [[ $guide_line == "$guide parent=explorer.exe elevated="[01] ]] ||
        fail "guide not opened by the desktop's Explorer: $guide_line"
    fi ;;
  fifth_missing|guide_write_fails)
    [ "$boxes" -eq 1 ] || fail "expected one message box, saw $boxes"
    expect_line "BOX title=vortasetup"
    grep -qF "$completion" "$work/driver.out" && fail "completion message after a failure"
    expect_line "GUIDE none"
    if [ "$scenario" = fifth_missing ]; then
      grep -q '^BOX text=.*エラー番号: 2\\n' "$work/driver.out" || fail "no error number 2 in the report"
      [ "$copied" -eq 4 ] || fail "expected 4 files in the destination, found $copied"
      same_files 4
    else
      # The eight files before the guide arrived whole; of the guide's copy nothing is left,
      # and the older guide is untouched.
      grep -q '^BOX text=.*エラー番号: [1-9][0-9]*\\n' "$work/driver.out" || fail "no error number in the report"
      [ "$copied" -eq 9 ] || fail "expected 9 files in the destination, found $copied: $(ls "$dest")"
      same_files 8
      [ "$(cat "$dest/${names[8]}")" = "$older_guide" ] || fail "the older guide was changed"
    fi ;;
  folder_outside_cp932)
    # The installer works in code page 932: such a path cannot be named, the first copy
    # fails with Windows' "invalid name" (the guide tells users so) and nothing is copied.
    [ "$boxes" -eq 1 ] || fail "expected one message box, saw $boxes"
    grep -q '^BOX text=.*エラー番号: 123\\n' "$work/driver.out" || fail "no error number 123 in the report"
    [ "$copied" -eq 0 ] || fail "files copied from a folder named outside code page 932"
    expect_line "GUIDE none" ;;
  cancel_dialog)
    expect_line "DIALOG prompt=1"
    [ "$boxes" -eq 0 ] || fail "a message box after cancelling the dialog"
    [ "$copied" -eq 0 ] || fail "files copied after cancelling the dialog" ;;
  cancel_button|close_box)
    [ "$boxes" -eq 0 ] || fail "a message box after closing"
    [ "$copied" -eq 0 ] || fail "files copied after closing" ;;
esac

[ $failures -eq 0 ] && echo PASSED
exit $((failures > 0))
