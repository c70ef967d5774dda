#!/usr/bin/env python3
"""The console window's tests under Wine: console_driver.exe runs one of its tests (the
list is at the top of console_driver.cpp) in a folder set up here.

    console_tests.py TEST             one test, in a scratch folder
    console_tests.py prepare FOLDER   only the folder (scripts/screenshots.sh)

The folder holds vortastart.exe with its tardo.dat and Lumset.ini for the CADs below, the
Lumset.ini shipped for AutoCAD as shipped-lumset.ini, and a folder per stand-in CAD with
its executable and cad.cfg; the driver starts the CADs its test needs.
"""

import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import harness  # noqa: E402

SHIPPED_LUMSET = os.path.join(HERE, "..", "..", "installer", "shipped", "lumset.ini")
CAD_NAMES = ("standin_cad.exe", "IJCAD.exe")
DRIVER_SECONDS = 150


def cad(folder, label, drawing, exe_name="standin_cad.exe", **settings):
    settings = {"text_caption": f"AutoCAD Text Window - {drawing}",
                "command_caption": "Command Line", "exit_after_seconds": 150,
                "history": f"コマンド: {drawing}\\n", **settings}
    return harness.Cad(folder, label, exe_name=exe_name, drawing=drawing, **settings)


def prepare(folder):
    """The test's folder; returns its stand-in CADs (not started)."""
    harness.kill_leftover_cads(*CAD_NAMES)
    harness.write_launcher_folder(folder, pause="1", acad_name="standin_cad",
                                  command_caption="Command Line",
                                  text_caption="AutoCAD Text Window")
    shutil.copyfile(SHIPPED_LUMSET, os.path.join(folder, "shipped-lumset.ini"))
    return [
        cad(folder, "cadA", "A.dwg"),
        cad(folder, "cadB", "B.dwg", text_window=0),
        # Stops answering 3 s after its start, for 40 s.
        cad(folder, "hung", "A.dwg", hang_seconds=40, hang_delay_ms=3000),
        # A CAD the shipped Lumset.ini does not fit: another executable name, other
        # captions, other control identifiers.
        cad(folder, "ijcad", "図面A.dwg", exe_name="IJCAD.exe",
            main_caption="IJCAD 2020 PRO - [図面A.dwg]",
            text_caption="IJCAD テキスト ウィンドウ - 図面A.dwg",
            command_caption="コマンド ウィンドウ", main_cmd_ctrl_id=2001,
            text_cmd_ctrl_id=2002, main_hist_ctrl_id=2003, text_hist_ctrl_id=2004),
    ]


def xdotool(*args):
    subprocess.run(["xdotool", *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=10)


def shift_held_until(marker):
    """Shift held on the X server's keyboard, the way a user holds it while starting
    vortastart, until the driver creates the marker file or ends. Key events reach Wine
    only while the pointer is over a Wine window: the virtual desktop covers the screen."""
    xdotool("mousemove", "400", "300", "keydown", "shift")

    def release_when_told(proc):
        deadline = time.monotonic() + 60
        while not os.path.exists(marker) and proc.poll() is None and time.monotonic() < deadline:
            time.sleep(0.1)
        xdotool("keyup", "shift")
    return release_when_told


def drive(s, test):
    s.cads = prepare(s.work)
    env = dict(os.environ)
    started = None
    if test == "shift":
        marker = os.path.join(s.work, "shift-released")
        env["VORTA_SHIFT_RELEASE"] = harness.winpath(marker)
        started = shift_held_until(marker)
    try:
        rc, out, err = harness.run_windows(harness.exe("console_driver.exe"), test,
                                           harness.winpath(s.work), timeout=DRIVER_SECONDS,
                                           env=env, started=started)
    finally:
        if test == "shift":
            xdotool("keyup", "shift")
    print("\n".join(out))
    print(err, end="", file=sys.stderr)
    harness.check(rc == 0, f"console_driver {test} ended with {rc}")


if __name__ == "__main__":
    if sys.argv[1:2] == ["prepare"] and len(sys.argv) == 3:
        os.makedirs(sys.argv[2], exist_ok=True)
        prepare(sys.argv[2])
        sys.exit(0)
    test = sys.argv[1] if len(sys.argv) == 2 else ""
    sys.exit(harness.run({test: lambda s: drive(s, test)}, sys.argv))
