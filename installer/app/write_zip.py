#!/usr/bin/env python3
"""Writes the download zip of the dist step so that the same files always give the same
bytes: the folder entry first, then its files sorted by name; every entry stamped with one
given time (UTC) and fixed permissions; no extra fields (no owner, no access or change
times of the build machine). Names that are not ASCII are marked as UTF-8.

Usage: write_zip.py <zip> <parent folder> <folder name> <seconds since 1970>
Writes <zip> from <parent folder>/<folder name>, with every entry under <folder name>/.
"""
import os
import sys
import time
import zipfile

DOS_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry can hold


def entry(name, stamp, mode):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(stamp)[:6])
    info.create_system = 3  # Unix, so that the permissions below are the ones read back
    info.external_attr = mode << 16
    return info


def main(argv):
    if len(argv) != 4 or not argv[3].isdigit():
        sys.exit(__doc__)
    zip_path, parent, folder, seconds = argv
    stamp = max(int(seconds), DOS_EPOCH)
    names = sorted(os.listdir(os.path.join(parent, folder)))
    partial = zip_path + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        directory = entry(folder + "/", stamp, 0o40755)
        directory.external_attr |= 0x10  # the MS-DOS directory attribute
        archive.writestr(directory, b"")
        for name in names:
            with open(os.path.join(parent, folder, name), "rb") as source:
                data = source.read()
            archive.writestr(entry(folder + "/" + name, stamp, 0o100644), data,
                             compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
    os.replace(partial, zip_path)


if __name__ == "__main__":
    main(sys.argv[1:])
