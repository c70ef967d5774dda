#!/usr/bin/env python3
"""Checks of the stand-in CAD on its own, driven by the probe: the end-to-end tests of
the launcher and of its console window trust it to behave like the CAD.

    standin_checks.py {windows_and_typing|messages|options}
"""

import sys
import time

from harness import (COMMAND_CAPTION, CTRL_IDS, MAIN_CAPTION_PREFIX, TEXT_CAPTION_PREFIX,
                     cad_pids_in_snapshot_order, check, cp932_hex, kill_leftover_cads,
                     main_caption, parse_paste, probe, run, text_caption, wait_for,
                     window_by_hwnd, windows)


def children(hwnd):
    out = []
    for line in probe("children", hwnd):
        head, _, caption = line.partition(" caption=")
        fields = dict(kv.split("=", 1) for kv in head.split())
        out.append({"hwnd": int(fields["hwnd"]), "parent": int(fields["parent"]),
                    "id": int(fields["id"]), "visible": fields["visible"] == "1",
                    "rect": tuple(map(int, fields["rect"].split(","))),
                    "class": fields["class"], "caption": caption})
    return out


def dlgtext(parent, ctrl_id):
    lines = dict(line.split("=", 1) for line in probe("dlgtext", parent, ctrl_id))
    return int(lines["length"]), lines["hex"], lines["utf8"]


def windows_and_typing(s):
    """Captions, the command-line children and their controls; a click and Ctrl+V
    pastes arriving as typed input (ESC cancels, CR runs, the rest stays pending)."""
    kill_leftover_cads()
    cad = s.cad("cad", drawing="図面7.dwg").start()
    h = cad.handles

    main = window_by_hwnd(MAIN_CAPTION_PREFIX, h["main"])
    check(main["caption"] == "AutoCAD 2005 - [図面7.dwg]", f"main caption: {main['caption']}")
    text = window_by_hwnd(TEXT_CAPTION_PREFIX, h["text"])
    check(text["caption"] == "AutoCAD テキスト ウィンドウ - 図面7.dwg",
          f"text caption: {text['caption']}")
    check(int(main["pid"]) == cad.pid and int(text["pid"]) == cad.pid, "window owners")

    for top, cmdline, ids in ((h["main"], h["main_cmdline"], ("MainCmdCtrlID", "MainHistCtrlID")),
                              (h["text"], h["text_cmdline"], ("TextCmdCtrlID", "TextHistCtrlID"))):
        kids = children(top)
        matches = [k for k in kids if k["caption"] == COMMAND_CAPTION]
        check([k["hwnd"] for k in matches] == [cmdline],
              f"exactly one command line with caption {COMMAND_CAPTION!r} under {top}: {kids}")
        under_cmdline = {k["id"] for k in kids if k["parent"] == cmdline}
        check(CTRL_IDS[ids[0]] in under_cmdline, f"{ids[0]} under the command line: {kids}")
    text_kids = {k["id"] for k in children(h["text_cmdline"])}
    check(CTRL_IDS["TextHistCtrlID"] in text_kids, "the history control is in the text window's "
          "command line")

    probe("type", h["main"], h["main_cmdline"], "ESC", "(setq a 1)\\n", "保留中")
    wait_for(lambda: len(cad.lines("paste ")) == 3, 10, "three pastes")
    pastes = [parse_paste(e) for e in cad.lines("paste ")]
    check([(p["role"], p["hex"]) for p in pastes] ==
          [("main-edit", "1B"), ("main-edit", cp932_hex("(setq a 1)\r\n")),
           ("main-edit", cp932_hex("保留中"))], f"pastes: {pastes}")
    check(pastes[2]["text"] == "保留中", f"paste text logged as UTF-8: {pastes[2]}")
    check(cad.lines("run: ") == ["run: (setq a 1)"], f"runs: {cad.lines('run: ')}")
    check(cad.lines("click ") != [], "the click was logged")
    check(cad.lines("focus main-edit") != [], "the click gave the command-line edit the focus")
    keys = cad.lines("key ")
    check(len(keys) == 12 and all("ext=1" in k for k in keys),
          f"12 key events, all with the extended flag: {keys}")

    # The pending text stays in the command line; reading it goes through WM_GETTEXT.
    length, hexed, utf8 = dlgtext(h["main_cmdline"], CTRL_IDS["MainCmdCtrlID"])
    check((hexed, utf8) == (cp932_hex("保留中"), "保留中"), f"pending text: {hexed} {utf8}")
    check(length >= 6, f"length in ANSI bytes: {length}")
    check(cad.lines("gettextlength main-edit id=1001") != [], "WM_GETTEXTLENGTH was logged")
    check(cad.lines("gettext main-edit id=1001") != [], "WM_GETTEXT was logged")

    # ESC cancels what is pending.
    probe("type", h["main"], h["main_cmdline"], "ESC")
    wait_for(lambda: cad.lines("cancel main-edit pending=\"保留中\""), 10, "the cancel")
    check(dlgtext(h["main_cmdline"], CTRL_IDS["MainCmdCtrlID"])[1] == "", "cleared line")

    # A click into the text window's command line types into its input line.
    probe("type", h["main"], h["text_cmdline"], "ESC", "(load \"x\")\\n")
    wait_for(lambda: len(cad.lines("run: ")) == 2, 10, "the second run")
    check(cad.lines("run-source ")[-1] == "run-source text-edit", cad.lines("run-source "))


def messages(s):
    """Command text by WM_COPYDATA, the history copy command, and the history control."""
    kill_leftover_cads()
    cad = s.cad("cad", history="初期の履歴").start()
    h = cad.handles

    out = probe("copydata", h["main"], "テスト 1")
    check(out[0].startswith("result=1 "), out)
    wait_for(lambda: cad.lines("posted WM_NULL"), 10, "the posted WM_NULL")
    copy = cad.lines("copydata ")
    check(copy == [f"copydata wParam=1 dwData=1 cbData=10 hex={cp932_hex('テスト 1')} 0D 00"],
          f"copydata record: {copy}")
    check(cad.lines("run: ") == ["run: テスト 1"], cad.lines("run: "))

    history = "初期の履歴\r\nコマンド: テスト 1\r\n"
    out = probe("history-copy", h["text"])
    check(out == [f"text=1 hex={cp932_hex(history)} utf8=初期の履歴\\x0D\\x0Aコマンド: テスト 1"
                  "\\x0D\\x0A"], f"history on the clipboard: {out}")
    check(cad.lines("history-copy wParam=0x0000800D lParam=0 written=1") != [],
          cad.lines("history-copy"))

    length, hexed, utf8 = dlgtext(h["text_cmdline"], CTRL_IDS["TextHistCtrlID"])
    check(hexed == cp932_hex(history), f"history control text: {hexed} / {utf8}")
    check(cad.lines("gettext text-hist id=1004") != [], "WM_GETTEXT to the history was logged")


def options(s):
    """Start minimised, two instances of one executable name, ANSI windows, hidden and
    empty command lines, and the hang and exit modes."""
    kill_leftover_cads()
    a = s.cad("a", drawing="A.dwg", main_rect="20,20,600,380", text_rect="20,420,600,240",
              minimized=1).start()
    b = s.cad("b", drawing="B.dwg", main_rect="660,20,600,380", text_rect="660,420,600,240",
              hang_seconds=2, hang_delay_ms=200).start()
    check(window_by_hwnd(MAIN_CAPTION_PREFIX, a.handles["main"])["iconic"] == "1",
          "a minimised start")
    check(window_by_hwnd(MAIN_CAPTION_PREFIX, b.handles["main"])["iconic"] == "0",
          "b starts normal")
    pids = cad_pids_in_snapshot_order()
    check(sorted(pids) == sorted([a.pid, b.pid]), f"both instances run as acad.exe: {pids}")
    mains = [w for w in windows(MAIN_CAPTION_PREFIX)]
    check({w["caption"] for w in mains} == {main_caption("A.dwg"), main_caption("B.dwg")},
          f"main windows: {mains}")
    check({w["caption"] for w in windows(TEXT_CAPTION_PREFIX)} ==
          {text_caption("A.dwg"), text_caption("B.dwg")}, "text windows")

    # b stops answering for two seconds; a message sent meanwhile is answered after.
    wait_for(lambda: b.lines("hang begin"), 10, "the hang to begin")
    dlgtext(b.handles["main_cmdline"], CTRL_IDS["MainCmdCtrlID"])
    order = [e.split(" tick=")[0] for _, e in b.events()
             if e.startswith(("hang ", "gettextlength"))]
    check(order[:3] == ["hang begin seconds=2 on=timer", "hang end",
                        "gettextlength main-edit id=1001 -> 0"], f"order: {order}")

    # ANSI windows show the same captions. Command lines hidden or without size are
    # still there under their caption.
    c = s.cad("c", drawing="C図面.dwg", ansi_windows=1, main_rect="300,300,500,300",
              text_rect="300,620,500,200", command_line_visible=0,
              command_line_zero_size=1).start()
    check(window_by_hwnd(MAIN_CAPTION_PREFIX, c.handles["main"])["caption"] ==
          main_caption("C図面.dwg"), "ANSI main window caption")
    check(window_by_hwnd(TEXT_CAPTION_PREFIX, c.handles["text"])["caption"] ==
          text_caption("C図面.dwg"), "ANSI text window caption")
    for top in ("main", "text"):
        cmdlines = [k for k in children(c.handles[top]) if k["caption"] == COMMAND_CAPTION]
        check(len(cmdlines) == 1 and not cmdlines[0]["visible"], f"hidden: {cmdlines}")
        left, top_, right, bottom = cmdlines[0]["rect"]
        check(left == right and top_ == bottom, f"no size: {cmdlines}")
    c.stop()

    # Hanging at the click and ending right after the second paste, whatever the timing.
    d = s.cad("d", drawing="D.dwg", main_rect="300,300,500,300", text_window=0,
              hang_on="click", hang_seconds=1, exit_on="paste2").start()
    probe("type", d.handles["main"], d.handles["main_cmdline"], "ESC", "ESC", "ESC")
    wait_for(lambda: d.proc.poll() is not None, 10, "d to end")
    order = [e.split()[0] + " " + e.split()[1] for _, e in d.events()
             if e.startswith(("click", "hang", "paste", "exit"))]
    check(order == ["click main-edit", "hang begin", "hang end", "paste main-edit",
                    "paste main-edit", "exit on"], f"order: {order}")
    check(d.lines("exit on paste2") and d.lines("hang begin seconds=1 on=click"), d.log_text())

    # The stop file ends an instance.
    a.stop()
    check(a.lines("exit stop-file") != [], "a ended through its stop file")
    time.sleep(0.2)
    check(cad_pids_in_snapshot_order() == [b.pid], "only b is left")


if __name__ == "__main__":
    sys.exit(run({"windows_and_typing": windows_and_typing, "messages": messages,
                  "options": options}, sys.argv))
