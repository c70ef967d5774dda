#!/usr/bin/env python3
"""End-to-end runs of vortastart.exe against stand-in CADs under Wine.

    launch_scenarios.py {one_cad|one_ansi_cad|two_cads|minimised_cad|no_cad|no_pause_file|
                         hung_cad}
"""

import os
import sys
import time

from harness import (APP_TITLE, ESC_BYTES, LOAD_BYTES, LOAD_LINE, MAIN_CAPTION_PREFIX,
                     NO_CAD_TEXT, NO_CAD_TITLE, NO_PAUSE_FILE_TEXT, cad_pids_in_snapshot_order,
                     check, clip, clipboard, cursor, kill_leftover_cads, pair, parse_paste, probe,
                     read_message_box, window_by_hwnd, window_rect,
                     write_launcher_folder, run)

# A cursor position and a confinement that the launcher must put back.
KNOWN_CURSOR = (1000, 900)
KNOWN_CLIP = (10, 10, 1270, 1010)
KNOWN_CLIPBOARD = "元のクリップボード"
FULL_DESKTOP = (0, 0, 1280, 1024)

CAD_NOT_RESPONDING_TEXT = "CADが応答していません。CADの処理が終わってから、もう一度実行してください。"

KEYS_OF_ONE_PASTE = [("down", "0x11"), ("down", "0x56"), ("up", "0x56"), ("up", "0x11")]


def set_known_desktop_state():
    probe("set-clip", "none")
    probe("set-cursor", *KNOWN_CURSOR)
    probe("set-clip", *KNOWN_CLIP)
    probe("set-clipboard", KNOWN_CLIPBOARD)
    check(cursor() == KNOWN_CURSOR, f"cursor set: {cursor()}")
    check(clip() == KNOWN_CLIP, f"clip set: {clip()}")


def run_launcher(s, pause="5"):
    folder = os.path.join(s.work, "フォルダ")
    launcher = s.launcher(write_launcher_folder(folder, pause=pause))
    return launcher


def check_typed_into(cad, expect_role):
    """The two pastes, their order and bytes, the command run, the click and keys that
    brought them, and the state of the desktop while they arrived.

    expect_role names the command-line edit that discovery matched last: the launcher
    clicks there. Wine drops a cursor confinement whenever the foreground window
    changes; the confinement is therefore checked only when the click lands in the main
    window, which the launcher has already brought to the front."""
    pastes = [parse_paste(e) for e in cad.lines("paste ")]
    check([p["hex"] for p in pastes] == [ESC_BYTES, LOAD_BYTES],
          f"two pastes, ESC then the load command: {cad.lines('paste ')}")
    check(cad.lines("run: ") == [f"run: {LOAD_LINE}"], f"commands run: {cad.lines('run: ')}")
    check([p["role"] for p in pastes] == [expect_role] * 2,
          f"both pastes into {expect_role}: {pastes}")
    confined = expect_role == "main-edit"

    # The click: at the centre of the command line, with the cursor confined to it.
    window = expect_role.split("-")[0]
    cmdline_rect = window_rect(cad.handles[f"{window}_cmdline"])
    left, top, right, bottom = cmdline_rect
    centre = ((left + right) // 2, (top + bottom) // 2)
    clicks = [e for e in cad.lines("click ") if e.split()[1].startswith(window)]
    check(len(clicks) == 1 and len(cad.lines("click ")) == 1,
          f"one click, into the {window} window's command line: {cad.lines('click ')}")
    click = dict(kv.split("=", 1) for kv in clicks[0].split()[2:])
    check(pair(click["cursor"]) == centre, f"click at the centre {centre}: {clicks[0]}")
    if confined:
        check(pair(click["clip"]) == cmdline_rect,
              f"cursor confined to the command line {cmdline_rect}: {clicks[0]}")

    for p in pastes:
        check(p["topmost"] == "1", f"the CAD main window is topmost during the paste: {p}")
        check(p["foreground"] == window, f"the CAD window clicked is in front: {p}")
        check(p["focus"] == expect_role, f"the command line has the focus: {p}")
        check(pair(p["cursor"]) == centre, f"cursor at the centre while pasting: {p}")
        if confined:
            check(pair(p["clip"]) == cmdline_rect, f"confined while pasting: {p}")

    keys = [e.split() for e in cad.lines("key ")]
    check([(k[1], k[2].split("=")[1]) for k in keys] == KEYS_OF_ONE_PASTE * 2,
          f"Ctrl down, V down, V up, Ctrl up, twice: {cad.lines('key ')}")
    check(all(k[4] == "ext=1" for k in keys), f"every key event is extended: {keys}")

    # Order: the click comes before the first paste, the cancel between the pastes.
    events = [e for _, e in cad.events()]
    first_click = next(i for i, e in enumerate(events) if e.startswith("click "))
    first_paste = next(i for i, e in enumerate(events) if e.startswith("paste "))
    check(first_click < first_paste, "the click comes before the pastes")
    check(any(e.startswith(f"cancel {expect_role}") for e in events), "the ESC cancelled")


def check_desktop_restored(cad, expect_clip=KNOWN_CLIP):
    """After the run: cursor and confinement as they were, the CAD no longer topmost,
    the clipboard empty. expect_clip is None where Wine drops the confinement on a
    change of the foreground window after the launcher has put it back."""
    check(cursor() == KNOWN_CURSOR, f"cursor put back: {cursor()} (was {KNOWN_CURSOR})")
    if expect_clip is not None:
        check(clip() == expect_clip, f"confinement put back: {clip()} (was {expect_clip})")
    main = window_by_hwnd(MAIN_CAPTION_PREFIX, cad.handles["main"])
    check(main["topmost"] == "0", f"the CAD main window is no longer topmost: {main}")
    check(cad.lines("topmost main 1") and cad.lines("topmost main 0"),
          "the CAD main window was made topmost and then normal again")
    has_text, hexed, _ = clipboard()
    check(not has_text, f"the clipboard is left empty, it holds {hexed}")


def one_cad(s, ansi_windows=0):
    """One CAD with Japanese captions and drawing name: the launcher types ESC and the
    load command into it and puts everything back."""
    kill_leftover_cads()
    # The text window in front: discovery meets the main window last, so the click
    # lands in the main window's command line.
    cad = s.cad("cad", drawing="図面1.dwg", front="text", ansi_windows=ansi_windows).start()
    set_known_desktop_state()
    run_launcher(s).wait()
    check_typed_into(cad, "main-edit")
    check_desktop_restored(cad)


def one_ansi_cad(s):
    """The same with a CAD whose windows are ANSI windows (captions held in code page
    932), as older CAD releases have them."""
    one_cad(s, ansi_windows=1)


def two_cads(s):
    """Two CAD processes: the one that discovery meets last gets the pastes, the other
    receives nothing. Each has its main window in front, so discovery meets its text
    window last and the click goes to the text window's command line."""
    kill_leftover_cads()
    a = s.cad("a", drawing="図面A.dwg", main_rect="20,20,600,380",
              text_rect="20,420,600,240").start()
    b = s.cad("b", drawing="図面B.dwg", main_rect="660,20,600,380",
              text_rect="660,420,600,240").start()
    order = cad_pids_in_snapshot_order()
    check(sorted(order) == sorted([a.pid, b.pid]), f"both CADs run: {order}")
    last, other = (a, b) if order[-1] == a.pid else (b, a)
    set_known_desktop_state()
    run_launcher(s).wait()
    check_typed_into(last, "text-edit")
    for kind in ("paste ", "run: ", "click ", "key "):
        check(other.lines(kind) == [], f"CAD {other.label} received {kind.strip()}: "
              f"{other.lines(kind)}")
    check(other.lines("topmost main 1") == [], f"CAD {other.label} was never made topmost")
    check_desktop_restored(last, expect_clip=None)


def minimised_cad(s):
    """A minimised CAD is restored and typed into."""
    kill_leftover_cads()
    cad = s.cad("cad", drawing="図面3.dwg", minimized=1, front="text").start()
    check(window_by_hwnd(MAIN_CAPTION_PREFIX, cad.handles["main"])["iconic"] == "1",
          "the CAD starts minimised")
    set_known_desktop_state()
    run_launcher(s).wait()
    main = window_by_hwnd(MAIN_CAPTION_PREFIX, cad.handles["main"])
    check(main["iconic"] == "0", f"the CAD main window was restored: {main}")
    check(cad.lines("queryopen main"), "restored the way a minimised window is opened")
    check_typed_into(cad, "main-edit")
    check_desktop_restored(cad)


def no_cad(s):
    """No CAD running: the warning box, and the cursor and clipboard are left as they
    were."""
    kill_leftover_cads()
    check(cad_pids_in_snapshot_order() == [], "no CAD runs")
    set_known_desktop_state()
    launcher = run_launcher(s)
    box = read_message_box()
    check(box["title"] == NO_CAD_TITLE, f"title {box['title']!r}")
    check(box["text"] == NO_CAD_TEXT, f"text {box['text']!r}")
    check(box["buttons"] == "1:OK", f"only an OK button: {box['buttons']}")
    launcher.wait()
    check(cursor() == KNOWN_CURSOR, f"cursor untouched: {cursor()}")
    # The confinement is not checked here: the box takes the foreground, and Wine then
    # drops any confinement, whoever set it.
    has_text, _, text = clipboard()
    check(has_text and text == KNOWN_CLIPBOARD, f"clipboard untouched: {text!r}")


def hung_cad(s):
    """A CAD that has stopped answering: the launcher says so within seconds, touches
    nothing and ends, instead of waiting for the CAD and typing into it much later."""
    kill_leftover_cads()
    cad = s.cad("cad", drawing="図面1.dwg", hang_seconds=40, hang_delay_ms=300).start()
    time.sleep(1.5)  # the CAD is inside its hang now
    check("hang begin" in cad.log_text(), "the CAD has stopped answering")
    set_known_desktop_state()
    started = time.monotonic()
    launcher = run_launcher(s)
    box = read_message_box(timeout_ms=30000)
    waited = time.monotonic() - started
    check(box["title"] == APP_TITLE, f"title {box['title']!r}")
    check(box["text"] == CAD_NOT_RESPONDING_TEXT, f"text {box['text']!r}")
    check(box["buttons"] == "1:OK", f"only an OK button: {box['buttons']}")
    # The hidden console's read of the command line and the launcher's own question are
    # each given up after a few seconds.
    check(waited < 20, f"told within 20 s (took {waited:.1f} s)")
    launcher.wait()
    check(cursor() == KNOWN_CURSOR, f"cursor untouched: {cursor()}")
    has_text, _, text = clipboard()
    check(has_text and text == KNOWN_CLIPBOARD, f"clipboard untouched: {text!r}")
    log = cad.log_text()
    for event in ("topmost main 1", "click ", "paste "):
        check(event not in log, f"nothing reached the CAD: {event!r}")


def no_pause_file(s):
    """No tardo.dat: the box titled with the program's name, then after OK the launch
    still happens."""
    kill_leftover_cads()
    cad = s.cad("cad", drawing="図面5.dwg", front="text").start()
    set_known_desktop_state()
    launcher = run_launcher(s, pause=None)
    box = read_message_box(press=False)
    check(box["title"] == APP_TITLE, f"title {box['title']!r}")
    check(box["text"] == NO_PAUSE_FILE_TEXT, f"text {box['text']!r}")
    check(box["buttons"] == "1:OK", f"only an OK button: {box['buttons']}")
    check(cad.lines("paste ") == [] and cad.lines("click ") == [],
          "nothing reaches the CAD while the box is open")
    read_message_box(timeout_ms=2000)
    launcher.wait()
    check_typed_into(cad, "main-edit")
    # The box took the foreground before the launch began, and Wine then dropped the
    # confinement: the launcher found (and must leave) the whole desktop.
    check_desktop_restored(cad, expect_clip=FULL_DESKTOP)


if __name__ == "__main__":
    sys.exit(run({"one_cad": one_cad, "one_ansi_cad": one_ansi_cad, "two_cads": two_cads, "minimised_cad": minimised_cad,
                  "no_cad": no_cad, "no_pause_file": no_pause_file,
                  "hung_cad": hung_cad}, sys.argv))
