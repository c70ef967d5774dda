"""Helpers for every Wine scenario (launcher, stand-in, console, installer): Windows
programs under the project's Wine, the stand-in CAD (config, start, log, stop), the probe,
and a launcher folder.

Expects the Wine environment of scripts/wine-env.sh to be up (scripts/wine-run.sh does
that), VORTA_WINE to name the Wine loader it chose for these programs' architecture, and
VORTA_BIN to name the folder holding vortastart.exe, standin_cad.exe and probe.exe.

The one writer of the stand-in's cad.cfg and of the launcher's tardo.dat and Lumset.ini,
for the tests, the console driver's tests, the benchmark and the demo:
    python3 harness.py cad FOLDER LABEL [KEY=VALUE...]
        FOLDER/LABEL/ with the stand-in (as acad.exe; exe_name=NAME.exe to change) and its
        cad.cfg (drawing=NAME, or any key of the stand-in's config file)
    python3 harness.py launcher FOLDER [KEY=VALUE...]
        FOLDER/ with vortastart.exe, tardo.dat and Lumset.ini (pause=, acad_name=,
        command_caption=, text_caption=, main_caption=, encoding=)
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

BIN = os.environ.get("VORTA_BIN", "")


def wine(*args):
    """The command line that runs a Windows program (or Wine's own tool) under the Wine
    scripts/wine-env.sh chose for the programs' architecture."""
    loader = os.environ.get("VORTA_WINE")
    check(bool(loader), "VORTA_WINE is not set: start this through scripts/wine-run.sh")
    return [loader, *map(str, args)]

# What the launcher types, as bytes in the ANSI code page.
ESC_BYTES = "1B"
LOAD_BYTES = "28 6C 6F 61 64 20 22 70 6F 6E 74 65 6B 22 29 0D 0A"
LOAD_LINE = '(load "pontek")'

NO_CAD_TITLE = "警告"
NO_CAD_TEXT = "AutoCadが見つからないか、AutoCadが開いていません。AutoCadを再起動してください。"
NO_PAUSE_FILE_TEXT = ("tardo.datファイルがありません。ディレイする値１～２０をセットして"
                      "\u3000tardo.datというファイルを作成してください。")
APP_TITLE = "vortastart"

# Settings shared by the stand-in's windows and the launcher's Lumset.ini.
COMMAND_CAPTION = "コマンド ライン"
MAIN_CAPTION_PREFIX = "AutoCAD 2005"
TEXT_CAPTION_PREFIX = "AutoCAD テキスト"
CTRL_IDS = {"MainCmdCtrlID": 1001, "TextCmdCtrlID": 1002, "MainHistCtrlID": 1003,
            "TextHistCtrlID": 1004}


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def winpath(path):
    """The Wine path of a host path (drive Z: is the host's root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_for(predicate, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise Failure(f"timed out after {seconds} s waiting for {what}")


def exe(name):
    path = os.path.join(BIN, name)
    check(os.path.isfile(path), f"{path} is missing (build the windows preset first)")
    return path


def run_windows(program, *args, timeout=30, env=None, started=None, preexec_fn=None):
    """Runs a Windows program under Wine until it ends; returns its exit code, its output
    lines and its error output. started(process), when given, is called once it runs;
    preexec_fn, when given, in the child before Wine starts (to set limits).
    The output goes through files, not pipes: Wine's own background processes, when this
    is the first program after the server started, inherit the program's output and
    would keep a pipe open long after the program has ended."""
    name = os.path.basename(program)
    with tempfile.TemporaryFile() as out_file, tempfile.TemporaryFile() as err_file:
        proc = subprocess.Popen(wine(program, *args), stdout=out_file,
                                stderr=err_file, stdin=subprocess.DEVNULL, env=env,
                                start_new_session=True, preexec_fn=preexec_fn)
        try:
            if started is not None:
                started(proc)
            proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait(timeout=10)
            out_file.seek(0)
            print(out_file.read().decode("utf-8", "replace"), file=sys.stderr)
            raise Failure(f"{name} {' '.join(map(str, args))} did not end within {timeout} s")
        out_file.seek(0)
        err_file.seek(0)
        out = out_file.read().decode("utf-8", "replace").splitlines()
        err = err_file.read().decode("utf-8", "replace")
    return proc.returncode, out, err


def probe(*args, timeout=30, ok=(0,)):
    """Runs probe.exe and returns its output lines."""
    rc, out, err = run_windows(exe("probe.exe"), *args, timeout=timeout)
    if rc not in ok:
        raise Failure(f"probe {' '.join(map(str, args))} failed ({rc}): {out} {err}")
    return out


def cursor():
    x, y = probe("cursor")[0].split()
    return int(x), int(y)


def clip():
    return tuple(int(v) for v in probe("clip")[0].split())


def window_rect(hwnd):
    return tuple(int(v) for v in probe("rect", hwnd)[0].split())


def clipboard():
    """(has text, hex of the CF_TEXT bytes, the text as UTF-8)."""
    line = probe("clipboard")[0]
    if line.startswith("text=0"):
        return False, "", ""
    m = re.match(r"text=1 hex=(.*?) utf8=(.*)$", line)
    check(m is not None, f"unexpected probe output: {line}")
    return True, m.group(1), m.group(2)


def windows(prefix):
    """The top-level windows whose caption begins with prefix, as dicts."""
    out = []
    for line in probe("window", prefix, ok=(0, 1)):
        if line == "none":
            continue
        fields = dict(kv.split("=", 1) for kv in line.split(" caption=")[0].split())
        fields["caption"] = line.split(" caption=", 1)[1]
        out.append(fields)
    return out


def window_by_hwnd(prefix, hwnd):
    for w in windows(prefix):
        if int(w["hwnd"]) == hwnd:
            return w
    raise Failure(f"no window {hwnd} with a caption beginning {prefix!r}")


def cad_pids_in_snapshot_order(exe_name="acad.exe"):
    return [int(line.split()[0]) for line in probe("processes", exe_name)]


def read_message_box(timeout_ms=20000, press=True, pid=None):
    """Waits for a message box of another process; returns its title, text, buttons."""
    args = ["msgbox", "--timeout", timeout_ms]
    if pid is not None:
        args += ["--pid", pid]
    if not press:
        args.append("--keep")
    lines = probe(*args, timeout=timeout_ms / 1000 + 20, ok=(0, 1))
    check(lines and lines[0] != "none", f"no message box appeared {lines[1:] or ''}")
    box = dict(line.split("=", 1) for line in lines)
    if press:
        check(box.get("closed") == "1", f"the message box did not close: {box}")
    return box


def running(exe_names):
    """How many processes of each of these executable names run now."""
    names = [line.split(" ", 1)[1] for line in probe("processes")]
    return {name: names.count(name) for name in exe_names if name in names}


def kill_leftover_cads(*exe_names):
    """Ends the programs of these names (default: acad.exe) an earlier run left behind."""
    exe_names = exe_names or ("acad.exe",)
    leftover = running(exe_names)
    for name, count in leftover.items():
        print(f"note: ending {count} {name} left over from an earlier run")
        subprocess.run(wine("taskkill", "/F", "/IM", name), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=30)
    if leftover:
        wait_for(lambda: not running(exe_names), 15, "leftover CADs to end")


def main_caption(drawing):
    return f"{MAIN_CAPTION_PREFIX} - [{drawing}]"


def text_caption(drawing):
    return f"AutoCAD テキスト ウィンドウ - {drawing}"


class Cad:
    """One stand-in CAD instance, copied under the executable name discovery looks for."""

    def __init__(self, work, label, exe_name="acad.exe", drawing="図面1.dwg", **settings):
        self.label = label
        self.dir = os.path.join(work, label)
        os.makedirs(self.dir)
        self.exe = os.path.join(self.dir, exe_name)
        shutil.copyfile(exe("standin_cad.exe"), self.exe)
        self.log_path = os.path.join(self.dir, "cad.log")
        self.ready_path = os.path.join(self.dir, "ready.txt")
        self.stop_path = os.path.join(self.dir, "stop")
        cfg = {
            "name": label,
            "main_caption": main_caption(drawing),
            "text_caption": text_caption(drawing),
            "command_caption": COMMAND_CAPTION,
            "main_cmd_ctrl_id": CTRL_IDS["MainCmdCtrlID"],
            "text_cmd_ctrl_id": CTRL_IDS["TextCmdCtrlID"],
            "main_hist_ctrl_id": CTRL_IDS["MainHistCtrlID"],
            "text_hist_ctrl_id": CTRL_IDS["TextHistCtrlID"],
            "log": winpath(self.log_path),
            "ready": winpath(self.ready_path),
            "stop_file": winpath(self.stop_path),
            "exit_after_seconds": 90,
        }
        cfg.update(settings)
        self.cfg = cfg
        self.cfg_path = os.path.join(self.dir, "cad.cfg")
        with open(self.cfg_path, "w", encoding="utf-8") as f:
            for key, value in cfg.items():
                f.write(f"{key}={value}\n")
        self.proc = None
        self.handles = {}

    def start(self, seconds=30):
        self.proc = subprocess.Popen(wine(self.exe, winpath(self.cfg_path)),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     start_new_session=True)
        wait_for(lambda: os.path.exists(self.ready_path) or self.proc.poll() is not None,
                 seconds, f"the stand-in CAD {self.label} to come up")
        check(self.proc.poll() is None, f"the stand-in CAD {self.label} ended at once:\n"
              + self.log_text())
        check("config problems" not in self.log_text(),
              f"the stand-in CAD {self.label} did not take its settings:\n" + self.log_text())
        with open(self.ready_path, encoding="utf-8") as f:
            for line in f:
                key, value = line.strip().split("=", 1)
                self.handles[key] = int(value)
        self.pid = self.handles["pid"]
        return self

    def stop(self):
        if self.proc is None:
            return
        with open(self.stop_path, "w"):
            pass
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(timeout=10)
        self.proc = None

    def log_text(self):
        try:
            with open(self.log_path, encoding="utf-8") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def events(self):
        """The log as (milliseconds, event text) pairs."""
        out = []
        for line in self.log_text().splitlines():
            stamp, _, rest = line.strip().partition(" ")
            out.append((int(stamp), rest))
        return out

    def lines(self, prefix):
        return [e for _, e in self.events() if e.startswith(prefix)]


def cp932_hex(text):
    return " ".join(f"{b:02X}" for b in text.encode("cp932"))


PASTE = re.compile(r'paste (?P<role>\S+) hex=(?P<hex>[0-9A-F ]*) text="(?P<text>.*)" '
                   r'cursor=(?P<cursor>\S+) clip=(?P<clip>\S+) foreground=(?P<foreground>\S+) '
                   r'topmost=(?P<topmost>\d) focus=(?P<focus>\S+)$')


def parse_paste(event):
    """The fields of one paste event of the stand-in's log."""
    m = PASTE.match(event)
    check(m is not None, f"not a paste with text: {event}")
    return m.groupdict()


def parse_fields(event):
    """key=value fields of one log event (values without blanks)."""
    return dict(m.groups() for m in re.finditer(r"(\w+)=([^\s\"]*)", event))


def pair(text):
    return tuple(int(v) for v in text.split(","))


def write_launcher_folder(path, pause="5", acad_name="acad", command_caption=COMMAND_CAPTION,
                          text_caption=TEXT_CAPTION_PREFIX, encoding="cp932",
                          main_caption=MAIN_CAPTION_PREFIX):
    """A folder holding vortastart.exe, tardo.dat (unless pause is None) and Lumset.ini,
    both in the given encoding (Python's name: cp932, utf-8, utf-8-sig, utf-16)."""
    os.makedirs(path, exist_ok=True)
    shutil.copyfile(exe("vortastart.exe"), os.path.join(path, "vortastart.exe"))
    if pause is not None:
        with open(os.path.join(path, "tardo.dat"), "wb") as f:
            f.write(f"{pause}\r\n".encode(encoding))
    ini = ["[Main]", f"ACADName={acad_name}", f"CommandCaption={command_caption}",
           f"MainCaption={main_caption}", f"TextCaption={text_caption}"]
    ini += [f"{k}={v}" for k, v in CTRL_IDS.items()]
    with open(os.path.join(path, "Lumset.ini"), "wb") as f:
        f.write(("\r\n".join(ini) + "\r\n").encode(encoding))
    return os.path.join(path, "vortastart.exe")


class Launcher:
    """vortastart.exe started with no arguments; the working folder is elsewhere, so
    the launcher must find its files beside itself."""

    def __init__(self, exe_path, cwd):
        self.started = time.monotonic()
        self.ended = None
        self.proc = subprocess.Popen(wine(winpath(exe_path)), cwd=cwd,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     start_new_session=True)

    def wait(self, seconds=60):
        try:
            rc = self.proc.wait(timeout=seconds)
            self.ended = time.monotonic()
            return rc
        except subprocess.TimeoutExpired:
            box = probe("msgbox", "--timeout", 0, "--keep", ok=(0, 1))
            self.kill()
            raise Failure(f"vortastart did not end within {seconds} s; message box: {box}")

    def kill(self):
        if self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(timeout=10)


class Scenario:
    """A scratch folder and the CADs started in it; everything is stopped at the end."""

    def __init__(self, name):
        self.name = name
        self.work = tempfile.mkdtemp(prefix=f"vorta-e2e-{name}-")
        self.cads = []
        self.launchers = []
        self.holders = []
        self.readers = []

    def cad(self, label, **kw):
        c = Cad(self.work, label, **kw)
        self.cads.append(c)
        return c

    def launcher(self, exe_path):
        launcher = Launcher(exe_path, self.work)
        self.launchers.append(launcher)
        return launcher

    def clipboard_holder(self, seconds):
        """Another program holding the clipboard open (probe hold-clipboard) for the given
        seconds; returns once it holds it."""
        ready = os.path.join(self.work, f"holder-{len(self.holders)}.ready")
        proc = subprocess.Popen(wine(exe("probe.exe"), "hold-clipboard", seconds,
                                     winpath(ready)), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                start_new_session=True)
        self.holders.append(proc)
        deadline = time.monotonic() + 20
        while not os.path.exists(ready):
            check(proc.poll() is None, "the clipboard holder ended without holding it")
            check(time.monotonic() < deadline, "the clipboard holder did not get the clipboard")
            time.sleep(0.01)
        return proc

    def clipboard_reader(self, seconds=600):
        """A clipboard history service (probe clipboard-reader): reads the clipboard at
        every change until stopped; returns once it listens. Its stop() returns the
        counts it printed (changes, texts, longest_hold_ms)."""
        n = len(self.readers)
        ready = os.path.join(self.work, f"reader-{n}.ready")
        stop = os.path.join(self.work, f"reader-{n}.stop")
        out = tempfile.TemporaryFile()
        proc = subprocess.Popen(wine(exe("probe.exe"), "clipboard-reader", seconds,
                                     winpath(ready), winpath(stop)), stdout=out,
                                stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                start_new_session=True)
        self.holders.append(proc)
        self.readers.append(proc)
        wait_for(lambda: os.path.exists(ready) or proc.poll() is not None, 20,
                 "the clipboard reader to listen")
        check(proc.poll() is None, "the clipboard reader ended without listening")

        def stop_reader():
            with open(stop, "w"):
                pass
            check(proc.wait(timeout=20) == 0, "the clipboard reader ended cleanly")
            out.seek(0)
            line = out.read().decode("utf-8", "replace").strip()
            out.close()
            return {k: int(v) for k, v in parse_fields(line).items()}

        return stop_reader

    def close(self, passed):
        if not passed:
            # Whether the launcher had ended tells a stuck launcher from a silent one.
            for i, launcher in enumerate(self.launchers):
                if launcher.proc.poll() is None:
                    print(f"launcher {i + 1}: still running", file=sys.stderr)
                elif len(self.launchers) == 1 and launcher.ended:
                    print(f"launcher: ended with {launcher.proc.returncode} "
                          f"{launcher.ended - launcher.started:.1f} s after its start",
                          file=sys.stderr)
        for proc in self.holders:
            if proc.poll() is None:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait(timeout=10)
        for launcher in self.launchers:
            launcher.kill()
        for c in self.cads:
            c.stop()
        if passed:
            shutil.rmtree(self.work, ignore_errors=True)
        else:
            for c in self.cads:
                if c.log_text():
                    print(f"--- log of CAD {c.label} ---\n{c.log_text()}", file=sys.stderr)
            print(f"scratch folder kept: {self.work}", file=sys.stderr)


def write_files(argv):
    """The command line of the config writer (see the top of this file)."""
    kind, *args = argv[1:] or [""]
    names = 2 if kind == "cad" else 1  # the folder, and the CAD's label
    if kind not in ("cad", "launcher") or len(args) < names:
        print(__doc__, file=sys.stderr)
        return 2
    settings = dict(arg.split("=", 1) for arg in args[names:])
    if kind == "cad":
        print(Cad(args[0], args[1], **settings).cfg_path)
    else:
        print(write_launcher_folder(args[0], **settings))
    return 0


def run(scenarios, argv):
    """Runs the named scenario (each a function taking a Scenario); exit code 0 on pass."""
    if len(argv) != 2 or argv[1] not in scenarios:
        print(f"usage: {argv[0]} {{{'|'.join(scenarios)}}}", file=sys.stderr)
        return 2
    name = argv[1]
    scenario = Scenario(name)
    passed = False
    started = time.monotonic()
    try:
        scenarios[name](scenario)
        passed = True
    except Failure as e:
        print(f"FAIL {name}: {e}", file=sys.stderr)
    finally:
        scenario.close(passed)
    print(f"{'PASS' if passed else 'FAIL'} {name} ({time.monotonic() - started:.1f} s)")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(write_files(sys.argv))
