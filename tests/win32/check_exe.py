#!/usr/bin/env python3
"""Checks a built vortastart.exe from the outside, on the build host:

- its embedded manifest (RT_MANIFEST 1): runs as the invoker, per-monitor DPI aware
  (v2, with the older per-monitor switch as fallback), Common Controls 6, and the
  supported-OS entries from Vista to 10/11; and it is the only manifest;
- its program icon (group 1) holds 16, 32 and 48 pixel images in 32-bit colour;
- its version information names the product in Japanese and English;
- it is a GUI-subsystem program for the build's machine: a PE32 image for i686, a PE32+
  image for x86_64;
- it imports from Windows' own DLLs only (no libstdc++, libgcc or winpthread DLL).

    check_exe.py ARCH OBJDUMP EXE      (ARCH: i686 or x86_64)
Prints every failure and exits with 1 when there was one.
"""

import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24

# Per build architecture: the COFF machine and the optional header's magic.
IMAGES = {"i686": (0x14C, 0x10B, "PE32"), "x86_64": (0x8664, 0x20B, "PE32+")}

SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10/11",
}

WINDOWS_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll",
    "shell32.dll", "shlwapi.dll", "ole32.dll", "oleaut32.dll", "advapi32.dll",
    "msvcrt.dll", "imm32.dll", "version.dll", "uxtheme.dll", "winmm.dll", "ntdll.dll",
}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


class Pe:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        coff = pe + 4
        self.machine, sections = struct.unpack_from("<HH", data, coff)
        optional_size = struct.unpack_from("<H", data, coff + 16)[0]
        optional = coff + 20
        self.magic = struct.unpack_from("<H", data, optional)[0]
        if self.magic not in (0x10B, 0x20B):
            raise ValueError("neither a PE32 nor a PE32+ image")
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        # The data directories follow the fields whose widths differ between the two.
        directories = optional + (96 if self.magic == 0x10B else 112)
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((vaddr, max(vsize, rawsize), rawptr))

    def offset(self, rva):
        for vaddr, size, rawptr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rawptr + rva - vaddr
        raise ValueError("address %#x lies in no section" % rva)

    def resources(self):
        """{(type, name): [(language, bytes)]} for numeric types and names."""
        found = {}
        if not self.resource_rva:
            return found
        base = self.offset(self.resource_rva)

        def entries(directory):
            named, ids = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                yield name, target

        for rtype, t in entries(0):
            for rname, n in entries(t & 0x7FFFFFFF):
                for lang, leaf in entries(n & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(rva)
                    found.setdefault((rtype, rname), []).append(
                        (lang, self.data[start:start + size]))
        return found


def check_manifest(resources):
    manifests = [key for key in resources if key[0] == RT_MANIFEST]
    if not check((RT_MANIFEST, 1) in resources, "no RT_MANIFEST resource with id 1"):
        return
    check(manifests == [(RT_MANIFEST, 1)] and len(resources[(RT_MANIFEST, 1)]) == 1,
          "more than one manifest resource: %r" % manifests)
    text = resources[(RT_MANIFEST, 1)][0][1]
    try:
        root = ET.fromstring(text)
    except ET.ParseError as error:
        check(False, "manifest is not well-formed XML: %s" % error)
        return

    def local(tag):
        return tag.rsplit("}", 1)[-1]

    elements = list(root.iter())
    levels = [e.get("level") for e in elements if local(e.tag) == "requestedExecutionLevel"]
    check(levels == ["asInvoker"], "requestedExecutionLevel is %r, not asInvoker" % levels)
    awareness = [(e.text or "").strip() for e in elements if local(e.tag) == "dpiAwareness"]
    check(len(awareness) == 1 and awareness[0].split(",")[0].strip() == "PerMonitorV2",
          "dpiAwareness is %r, not PerMonitorV2 first" % awareness)
    aware = [(e.text or "").strip() for e in elements if local(e.tag) == "dpiAware"]
    check(aware == ["true/pm"], "dpiAware fallback is %r, not true/pm" % aware)
    controls = [e for e in elements if local(e.tag) == "assemblyIdentity"
                and e.get("name") == "Microsoft.Windows.Common-Controls"]
    check(len(controls) == 1 and controls[0].get("version") == "6.0.0.0"
          and controls[0].get("publicKeyToken") == "6595b64144ccf1df",
          "no dependency on Common Controls 6.0.0.0")
    ids = {(e.get("Id") or "").lower() for e in elements if local(e.tag) == "supportedOS"}
    for guid, name in SUPPORTED_OS.items():
        check(guid in ids, "supportedOS for Windows %s missing" % name)


def check_icon(resources):
    # The shell shows the icon group with the lowest identifier as the program's icon;
    # windows of the program may carry further groups of their own.
    groups = sorted(key[1] for key in resources if key[0] == RT_GROUP_ICON)
    if not check(groups and groups[0] == 1, "the program icon is not icon group 1: %r" % groups):
        return
    data = resources[(RT_GROUP_ICON, 1)][0][1]
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    check(kind == 1, "icon group of type %d" % kind)
    sizes = set()
    for i in range(count):
        width, height, _, _, _, bits, size, ident = struct.unpack_from(
            "<BBBBHHIH", data, 6 + 14 * i)
        width = width or 256
        check(width == height, "icon image %d is not square" % ident)
        check(bits == 32, "icon image of %d pixels has %d bits per pixel" % (width, bits))
        image = resources.get((RT_ICON, ident))
        check(image is not None and len(image[0][1]) == size,
              "icon image %d missing or of the wrong size" % ident)
        sizes.add(width)
    check(sizes == {16, 32, 48}, "icon sizes are %r, not 16, 32 and 48" % sorted(sizes))


def check_version(resources):
    if not check((RT_VERSION, 1) in resources, "no version information"):
        return
    text = resources[(RT_VERSION, 1)][0][1].decode("utf-16-le", errors="replace")
    for needed in ("041104B0", "040904B0", "CompanyName", "FileDescription", "ProductName",
                   "vortastart.exe", "CAD コマンドライン起動ツール", "CAD command-line launcher"):
        check(needed in text, "version information lacks %r" % needed)


def check_imports(objdump, exe):
    output = subprocess.run([objdump, "-p", exe], check=True, capture_output=True,
                            text=True, timeout=60).stdout
    dlls = [line.split(":", 1)[1].strip().lower() for line in output.splitlines()
            if line.strip().startswith("DLL Name:")]
    check("kernel32.dll" in dlls and "user32.dll" in dlls,
          "imports do not include kernel32 and user32: %r" % dlls)
    for dll in dlls:
        check(dll in WINDOWS_DLLS, "imports from a DLL that Windows does not ship: %s" % dll)


def main(argv):
    if len(argv) != 3 or argv[0] not in IMAGES:
        print(__doc__)
        return 2
    arch, objdump, exe = argv
    machine, magic, kind = IMAGES[arch]
    with open(exe, "rb") as f:
        pe = Pe(f.read())
    check(pe.machine == machine and pe.magic == magic,
          "machine %#x, magic %#x: not a %s image for %s" % (pe.machine, pe.magic, kind, arch))
    check(pe.subsystem == 2, "subsystem %d is not the Windows GUI" % pe.subsystem)
    resources = pe.resources()
    check_manifest(resources)
    check_icon(resources)
    check_version(resources)
    check_imports(objdump, exe)
    for failure in failures:
        print("FAIL: " + failure)
    print("%s: %s" % (exe, "FAILED" if failures else "ok"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
