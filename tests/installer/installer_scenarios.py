#!/usr/bin/env python3
"""Wine tests of vortasetup.exe, one scenario a run. Each stages a download folder (the
installer and the ten files it copies), drives the installer with installer_driver.exe and
checks what it did.

    installer_scenarios.py SCENARIO
"""

import filecmp
import os
import re
import resource
import shutil
import signal
import sys
from pathlib import Path

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from harness import Failure, check, exe, run, run_windows, winpath  # noqa: E402

FIXTURES = os.path.join(HERE, "fixtures")
SHIPPED = os.path.join(HERE, "..", "..", "installer", "shipped")
NAMES = ["vta_connect.exe", "tardo.dat", "pontek.dcl", "pontek.lsp", "vorta_install_dir.lsp",
         "lumset.ini", "vortastart.exe", "vortastart.lsp", "IJCAD-ヴォルタ_インストール.pdf",
         "ヴォルタ.pdf"]
GUIDE = NAMES[8]
COMPLETION = "インストール終了\u3000iJ-CADの設定は表示されたPDFを参照してください。"
OLDER_GUIDE = b"an older guide that must stay as it was"
DRIVER_SECONDS = 150

COMMANDS = {"unelevated": "install-unelevated", "cancel_dialog": "cancel",
            "cancel_button": "close", "close_box": "closebox", "resources": "resources"}


def file_size_limit_2mib():
    """In the driver's process (and the installer it starts): no file over 2 MiB, and a
    write past that fails instead of ending the process."""
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    resource.setrlimit(resource.RLIMIT_FSIZE, (2 << 20, 2 << 20))


def scenario(s):
    name = s.name
    # The destination lives on the prefix's drive C: (the folder dialog of this Wine cannot
    # browse into Z:, which maps the whole Unix root).
    dest = os.path.join(os.environ["WINEPREFIX"], "drive_c", "vorta-installer-tests", name,
                        "dest")
    dest_windows = f"C:\\vorta-installer-tests\\{name}\\dest"
    # The download folder; in folder_outside_cp932 its path holds characters code page 932
    # lacks.
    stage = os.path.join(s.work, "한글폴더" if name == "folder_outside_cp932" else "", "stage")
    shutil.rmtree(os.path.dirname(dest), ignore_errors=True)
    os.makedirs(stage)
    os.makedirs(dest)
    shutil.copyfile(exe("vortasetup.exe"), os.path.join(stage, "vortasetup.exe"))
    for n in NAMES:
        shipped = os.path.join(SHIPPED, n)
        shutil.copyfile(shipped if os.path.isfile(shipped) else os.path.join(FIXTURES, n),
                        os.path.join(stage, n))

    if name == "replaces_existing":
        for n in NAMES:
            Path(dest, n).write_bytes(b"an older file that must be replaced\r\n")
    elif name == "fifth_missing":
        os.remove(os.path.join(stage, "vorta_install_dir.lsp"))
    elif name == "guide_write_fails":
        # The destination's file system takes no file over 2 MiB (a file size limit on the
        # installer's processes), so the copy of a 4 MiB guide fails at a write halfway, as
        # on a full disk. Everything else is far smaller.
        Path(stage, GUIDE).write_bytes(b"v" * (4 << 20))
        Path(dest, GUIDE).write_bytes(OLDER_GUIDE)

    command = COMMANDS.get(name, "install")
    args = [command, winpath(os.path.join(stage, "vortasetup.exe"))]
    if command.startswith("install"):
        args.append(dest_windows)
    limit = None
    if name == "guide_write_fails":
        # Wine's server and the programs it keeps running (services, desktop) come up with
        # the first program; that one runs outside the limit, so that they never inherit it.
        run_windows(exe("installer_driver.exe"), "resources", args[1], timeout=DRIVER_SECONDS)
        limit = file_size_limit_2mib
    rc, out, err = run_windows(exe("installer_driver.exe"), *args, timeout=DRIVER_SECONDS,
                               preexec_fn=limit)
    print("\n".join(out))
    print(err, end="", file=sys.stderr)
    check(rc == 0, f"installer_driver ended with {rc}")

    def expect_line(line):
        check(line in out, f"expected line: {line}")

    def starting(prefix):
        return [line for line in out if line.startswith(prefix)]

    if command == "resources":
        check(starting('MANIFEST level=<requestedExecutionLevel level="highestAvailable" '
                       'uiAccess="false"'), "manifest does not ask for highestAvailable")
        expect_line("ICON images=1 size=128x128 bits=32")
        expect_line("BANNER size=638x263 bits=24 compression=0 ppm=3780x3780")
        return

    # The window: client area at the real dpi, placed by Form_Load, topmost, named after
    # ヴォルタ.
    form = starting("FORM client=")
    check(len(form) == 1, f"FORM lines: {form}")
    fields = dict(kv.split("=", 1) for kv in form[0].split()[1:])
    client, expected = fields.get("client"), fields.get("expected")
    pos, expected_pos = fields.get("pos"), fields.get("expected-pos")
    check(client and client == expected, f"client area {client}, expected {expected}")
    check(pos == expected_pos, f"window at {pos}, expected {expected_pos}")
    check(fields.get("topmost") == "1", "window is not topmost")
    check(any("ヴォルタ" in line for line in starting("FORM caption=")),
          "caption does not name ヴォルタ")
    expect_line("EXIT code=0")

    boxes = len(starting("BOX title="))
    copied = sum(len(files) for _, _, files in os.walk(dest))

    def expect_copied(count, same):
        """count files in the destination, the first `same` names byte-identical to the
        stage."""
        check(copied == count, f"expected {count} files in the destination, found {copied}: "
              f"{sorted(os.listdir(dest))}")
        for n in NAMES[:same]:
            check(os.path.isfile(os.path.join(dest, n)) and
                  filecmp.cmp(os.path.join(stage, n), os.path.join(dest, n), shallow=False),
                  f"{n} differs or is missing")

    def expect_error_box(number):
        check(boxes == 1, f"expected one message box, saw {boxes}")
        check(any(re.match(f"BOX text=.*エラー番号: {number}\\\\n", line) for line in out),
              f"no error number {number} in the report")
        expect_line("GUIDE none")

    # The guide opens from the destination in the viewer the driver registered for PDFs.
    # Run elevated (as Wine runs every program that asks for the highest rights), the
    # installer asks the desktop's Explorer to open it; unelevated, it opens it itself, and
    # the viewer then has the installer's limited rights (Wine's Explorer is elevated).
    guide = re.escape(f"GUIDE opened={dest_windows}\\{GUIDE}")
    guide_line = "\n".join(starting("GUIDE "))
    if name in ("fresh_install", "replaces_existing", "unelevated"):
        expect_line("DIALOG prompt=1")
        expect_line("DIALOG selected=dest")
        check(boxes == 1, f"expected one message box, saw {boxes}")
        expect_line("BOX title=vortasetup")
        expect_line(f"BOX text={COMPLETION}")
        expect_copied(10, 10)
        if name == "unelevated":
            expect_line("INSTALLER elevated=0")
            check(re.fullmatch(guide + " parent=.* elevated=0", guide_line, re.S) and
                  " parent=explorer.exe " not in guide_line,
                  f"guide not opened by the unelevated installer itself: {guide_line}")
        else:
            expect_line("INSTALLER elevated=1")
            check(re.fullmatch(guide + r" parent=explorer\.exe elevated=[01]", guide_line),
                  f"guide not opened by the desktop's Explorer: {guide_line}")
    elif name in ("fifth_missing", "guide_write_fails"):
        expect_line("BOX title=vortasetup")
        check(not any(COMPLETION in line for line in out), "completion message after a failure")
        if name == "fifth_missing":
            expect_error_box("2")
            expect_copied(4, 4)
        else:
            # The eight files before the guide arrived whole; of the guide's copy nothing is
            # left, and the older guide is untouched.
            expect_error_box("[1-9][0-9]*")
            expect_copied(9, 8)
            check(Path(dest, GUIDE).read_bytes() == OLDER_GUIDE, "the older guide was changed")
    elif name == "folder_outside_cp932":
        # The installer works in code page 932: such a path cannot be named, the first copy
        # fails with Windows' "invalid name" (the guide tells users so) and nothing is
        # copied.
        expect_error_box("123")
        check(copied == 0, "files copied from a folder named outside code page 932")
    elif name == "cancel_dialog":
        expect_line("DIALOG prompt=1")
        check(boxes == 0, "a message box after cancelling the dialog")
        check(copied == 0, "files copied after cancelling the dialog")
    elif name in ("cancel_button", "close_box"):
        check(boxes == 0, "a message box after closing")
        check(copied == 0, "files copied after closing")
    else:
        raise Failure(f"no checks for {name}")


SCENARIOS = ["fresh_install", "replaces_existing", "unelevated", "cancel_dialog",
             "fifth_missing", "guide_write_fails", "cancel_button", "close_box",
             "folder_outside_cp932", "resources"]

if __name__ == "__main__":
    sys.exit(run({name: scenario for name in SCENARIOS}, sys.argv))
