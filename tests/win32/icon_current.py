#!/usr/bin/env python3
"""Fails when the committed icon differs from what its generator draws now.
    icon_current.py make_icon.py vortastart.ico"""

import os
import subprocess
import sys
import tempfile


def main(generator, icon):
    with tempfile.TemporaryDirectory() as folder:
        fresh = os.path.join(folder, "fresh.ico")
        subprocess.run([sys.executable, generator, fresh], check=True, timeout=100)
        with open(fresh, "rb") as a, open(icon, "rb") as b:
            if a.read() != b.read():
                print("FAIL: %s is out of date; run %s" % (icon, generator))
                return 1
    print("%s: ok" % icon)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
