"""The launcher's wall time under Wine, against running stand-in CADs.

Each run starts `wine vortastart.exe` (PauseUnit 1) and times it until the process has
ended; the floor program (wine_floor.exe: one hidden window created and destroyed) is
run alternately, run by run, so both see the same machine. What the launcher costs of
its own is its median less the 63 pause units of the launch sequence less the floor's
median. The same is measured with more stand-in CADs running, which gives the cost of
each extra CAD (discovery runs twice in the launcher's path, once in the hidden
console's load step and once in the launch itself).

Expects the Wine environment of scripts/wine-env.sh to be up (wine-bench.sh does that).
    python3 bench/wine_launch_bench.py BIN-DIR FLOOR-EXE [--pairs N] [--cads 1,5,20]
BIN-DIR holds vortastart.exe and standin_cad.exe.
"""

import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

# The stand-in CAD and the launcher's folder as the end-to-end tests make them.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402

# The pause unit the launcher runs with, and the pause units of one launch sequence
# (click 5 + 5, ESC 6 + 5 + 4 x 3, the load command 6 + 6 + 4 x 3, after it 6).
PAUSE_UNIT_MS = 1
PAUSE_UNITS_PER_RUN = 63

# Targets the table is read against; reported, not enforced.
TARGET_OWN_MS = 30.0
TARGET_PER_CAD_MS = 1.0
TARGET_EXE_KB = 400

LOAD_RAN = 'run: (load "pontek")'
# A run this much slower than the fastest took a slow path (as seen so far: the first
# click into the command line did not take, and the next came after the focus wait).
SLOW_RUN_MS = 250
# A run that takes longer has hung (or shows a message box) and is ended: every wait of
# the launcher is bounded at a few seconds.
RUN_LIMIT_S = 20


class BenchError(Exception):
    pass


def wait_for(predicate, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if predicate():
            return
        time.sleep(0.02)
    raise BenchError(f"timed out after {seconds} s waiting for {what}")


def loads(cad):
    """How often the CAD has run the load command."""
    return cad.lines("run: ").count(LOAD_RAN)


def end_group(pid):
    try:
        os.killpg(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass  # it ended meanwhile


def timed_run(exe, cwd):
    """Wall time in milliseconds of `wine exe`, from the start to the end of the process."""
    start = time.perf_counter()
    proc = subprocess.Popen(harness.wine(harness.winpath(exe)), cwd=cwd, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    # A blocking wait: waiting with a time-out polls, in steps of up to 50 ms, which would
    # round every time up to the next step. A watchdog ends a run that hangs instead.
    watchdog = threading.Timer(RUN_LIMIT_S, end_group, (proc.pid,))
    watchdog.start()
    try:
        rc = proc.wait()
    finally:
        watchdog.cancel()
    took = (time.perf_counter() - start) * 1000.0
    if took >= RUN_LIMIT_S * 1000.0:
        raise BenchError(f"{os.path.basename(exe)} did not end within {RUN_LIMIT_S} s "
                         "(a message box?)")
    if rc != 0:
        raise BenchError(f"{os.path.basename(exe)} ended with {rc}")
    return took


def measure(launcher, floor, cads, pairs, work):
    """Medians of `pairs` alternating launcher and floor runs (after one of each to warm
    up), and the launcher runs that failed. A failed run (it hung, or the CAD never ran
    the load command) is told, and its pair is run again."""
    launcher_ms, floor_ms, failures = [], [], []

    def run_launcher():
        before = sum(loads(c) for c in cads)
        try:
            took = timed_run(launcher, work)
            # Each run must really have typed the load command; the next run starts only
            # once the CAD has run it, so no run overlaps the CAD's handling of the last.
            wait_for(lambda: sum(loads(c) for c in cads) == before + 1, 10,
                     "the CAD to run the load command")
            return took
        except BenchError as e:
            failures.append(str(e))
            print(f"  launcher run failed: {e}", file=sys.stderr, flush=True)
            return None

    run_launcher()
    timed_run(floor, work)
    attempt = 0
    while len(launcher_ms) < pairs:
        if len(failures) > pairs:
            raise BenchError(f"{len(failures)} launcher runs failed; the last: {failures[-1]}")
        if attempt % 2 == 0:
            took, floor_took = run_launcher(), timed_run(floor, work)
        else:
            floor_took = timed_run(floor, work)
            took = run_launcher()
        attempt += 1
        if took is not None:
            launcher_ms.append(took)
            floor_ms.append(floor_took)
    fastest = min(launcher_ms)
    fast = [took for took in launcher_ms if took <= fastest + SLOW_RUN_MS]
    return (statistics.median(launcher_ms), statistics.median(fast), len(launcher_ms) - len(fast),
            statistics.median(floor_ms), failures)


def size_kb(path):
    return os.path.getsize(path) / 1024.0


def print_report(rows, pairs, vortastart, floor):
    """rows: (CADs, launcher, floor, own, own of the fast runs, slow runs, failed runs)."""
    print(f"vortastart under Wine, PauseUnit {PAUSE_UNIT_MS}, medians of {pairs} "
          f"alternating pairs (ms)")
    print(f"{'CADs':>5} {'launcher':>9} {'floor':>7} {'own':>7} {'per extra CAD':>14} "
          f"{'slow runs':>10} {'own, fast runs':>15} {'per extra CAD':>14} {'failed':>7}")
    base = rows[0]

    def per_cad(row, column):
        return (row[column] - base[column]) / (row[0] - base[0])

    for row in rows:
        count, launcher_median, floor_median, own, own_fast, slow, failed = row
        extra = "" if row is base else f"{per_cad(row, 3):.2f}"
        extra_fast = "" if row is base else f"{per_cad(row, 4):.2f}"
        print(f"{count:>5} {launcher_median:>9.1f} {floor_median:>7.1f} {own:>7.1f} {extra:>14} "
              f"{slow:>6}/{pairs:<3} {own_fast:>15.1f} {extra_fast:>14} {failed:>7}")
    print(f"own: launcher - {PAUSE_UNITS_PER_RUN} x PauseUnit - floor. slow runs: more than "
          f"{SLOW_RUN_MS} ms above the fastest run; 'own, fast runs' leaves them out. failed: "
          "runs that hung or typed nothing, dropped and made again.")
    print()
    exe_kb = size_kb(vortastart)
    print(f"vortastart.exe  {os.path.getsize(vortastart):>9} bytes ({exe_kb:.0f} KB)")
    print(f"wine_floor.exe  {os.path.getsize(floor):>9} bytes ({size_kb(floor):.0f} KB)")
    print()

    def verdict(ok):
        return "met" if ok else "NOT met"

    print(f"targets: own time with {base[0]} CAD <= {TARGET_OWN_MS:.0f} ms: "
          f"{verdict(base[3] <= TARGET_OWN_MS)} ({base[3]:.1f}; fast runs {base[4]:.1f})")
    if len(rows) > 1:
        worst = max(per_cad(row, 3) for row in rows[1:])
        worst_fast = max(per_cad(row, 4) for row in rows[1:])
        print(f"         each extra CAD < {TARGET_PER_CAD_MS:.0f} ms: "
              f"{verdict(worst < TARGET_PER_CAD_MS)} ({worst:.2f}; fast runs {worst_fast:.2f})")
    print(f"         vortastart.exe <= {TARGET_EXE_KB} KB: {verdict(exe_kb <= TARGET_EXE_KB)} "
          f"({exe_kb:.0f})")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bin")
    parser.add_argument("floor")
    parser.add_argument("--pairs", type=int, default=11)
    parser.add_argument("--cads", default="1,5,20")
    args = parser.parse_args(argv[1:])
    counts = sorted({int(n) for n in args.cads.split(",")})
    if args.pairs < 1 or not counts or counts[0] < 1:
        parser.error("--pairs and every count of --cads must be at least 1")

    vortastart = os.path.join(args.bin, "vortastart.exe")
    standin = os.path.join(args.bin, "standin_cad.exe")
    for path in (vortastart, standin, args.floor):
        if not os.path.isfile(path):
            raise BenchError(f"{path} is missing")

    work = tempfile.mkdtemp(prefix="vorta-bench-")
    cads = []
    rows = []
    try:
        harness.BIN = args.bin
        launcher = harness.write_launcher_folder(os.path.join(work, "launcher"),
                                                 pause=str(PAUSE_UNIT_MS))
        for count in counts:
            while len(cads) < count:
                index = len(cads) + 1
                cad = harness.Cad(work, f"cad{index:02d}", drawing=f"図面{index}.dwg",
                                  exit_after_seconds=3600)
                cads.append(cad)
                cad.start(seconds=60)
            print(f"measuring with {count} stand-in CAD(s), {args.pairs} pairs ...",
                  file=sys.stderr, flush=True)
            launcher_median, fast_median, slow, floor_median, failed = measure(
                launcher, args.floor, cads, args.pairs, work)
            pauses = PAUSE_UNITS_PER_RUN * PAUSE_UNIT_MS
            rows.append((count, launcher_median, floor_median,
                         launcher_median - pauses - floor_median,
                         fast_median - pauses - floor_median, slow, len(failed)))
    finally:
        for cad in cads:
            cad.stop()
        shutil.rmtree(work, ignore_errors=True)

    print_report(rows, args.pairs, vortastart, args.floor)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except (BenchError, harness.Failure) as e:
        print(f"wine_launch_bench: {e}", file=sys.stderr)
        sys.exit(1)
