#!/usr/bin/env python3
"""Writes the archives the zip reader's round-trip tests read: one source tree, archived by
Debian's zip (Info-ZIP) and by Python's zipfile in the ways real archives come (data descriptors,
ZIP64, UTF-8 names). Checks that each archive really has the feature it stands for.

usage: make_zip_fixtures.py OUTPUT_FOLDER
"""
import io
import os
import random
import shutil
import subprocess
import sys
import zipfile

MTIME = 1686824430  # 2023-06-15 10:20:30 UTC: even seconds survive DOS times


def make_tree(root):
    rnd = random.Random(11)
    files = {
        "tree/readme.txt": b"Ardmoor test archive.\r\n" * 2000,
        "tree/setup.exe": bytes(rnd.getrandbits(8) for _ in range(200_000)),
        "tree/empty.txt": b"",
        "tree/disk1/data/mixed.bin": (b"pattern " * 40_000) + bytes(rnd.getrandbits(8) for _ in range(300_000)),
        "tree/caf\u00e9 \u00fc/na\u00efve \u65e5\u672c.txt": "gr\u00fc\u00dfe".encode() * 100,
    }
    for name, data in files.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    os.makedirs(os.path.join(root, "tree", "empty folder"))
    for folder, dirs, names in os.walk(root):
        for n in dirs + names:
            os.utime(os.path.join(folder, n), (MTIME, MTIME))


def walk(root):
    for folder, dirs, names in os.walk(os.path.join(root, "tree")):
        dirs.sort()
        for n in [folder] + [os.path.join(folder, n) for n in sorted(names)]:
            yield n, os.path.relpath(n, root)


class Unseekable(io.RawIOBase):
    """A pipe, as far as zipfile can tell: it must write data descriptors."""

    def __init__(self, f):
        self.f = f

    def writable(self):
        return True

    def write(self, b):
        return self.f.write(b)


def python_zip(path, root, compression, stream=False, force_zip64=False):
    with open(path, "wb") as raw:
        target = Unseekable(raw) if stream else raw
        with zipfile.ZipFile(target, "w", compression) as zf:
            for full, arc in walk(root):
                if force_zip64 and os.path.isfile(full):
                    info = zipfile.ZipInfo.from_file(full, arc)
                    info.compress_type = compression
                    with open(full, "rb") as src, zf.open(info, "w", force_zip64=True) as dst:
                        shutil.copyfileobj(src, dst)
                else:
                    zf.write(full, arc)


def check(path, test, what):
    with zipfile.ZipFile(path) as zf:
        if zf.testzip() is not None or not test(zf, open(path, "rb").read()):
            sys.exit(f"{path}: expected {what}")


def main():
    out = sys.argv[1]
    shutil.rmtree(out, ignore_errors=True)
    source = os.path.join(out, "source")
    os.makedirs(source)
    make_tree(source)
    env = dict(os.environ, LC_ALL="C.UTF-8")
    zip_cmd = ["zip", "-q", "-r", "-X"]

    subprocess.run(zip_cmd + [os.path.abspath(os.path.join(out, "info-zip.zip")), "tree"], cwd=source, env=env, check=True)
    with open(os.path.join(out, "info-zip-stream.zip"), "wb") as f:
        zipped = subprocess.run(zip_cmd + ["-", "tree"], cwd=source, env=env, check=True, stdout=subprocess.PIPE)
        f.write(zipped.stdout)
    subprocess.run(zip_cmd + ["-fz", os.path.abspath(os.path.join(out, "info-zip-zip64.zip")), "tree"],
                   cwd=source, env=env, check=True)
    python_zip(os.path.join(out, "python-deflated.zip"), source, zipfile.ZIP_DEFLATED)
    python_zip(os.path.join(out, "python-stored.zip"), source, zipfile.ZIP_STORED)
    python_zip(os.path.join(out, "python-stream.zip"), source, zipfile.ZIP_DEFLATED, stream=True)
    python_zip(os.path.join(out, "python-zip64.zip"), source, zipfile.ZIP_DEFLATED, force_zip64=True)
    with zipfile.ZipFile(os.path.join(out, "python-many.zip"), "w") as zf:
        for i in range(65537):
            zf.writestr(f"many/{i:05}.txt", str(i))

    descriptors = lambda zf, b: any(i.flag_bits & 8 for i in zf.infolist())
    zip64_end = lambda zf, b: b"PK\x06\x06" in b
    check(os.path.join(out, "info-zip.zip"),
          lambda zf, b: all(i.create_system == 3 and not i.flag_bits & 0x800 for i in zf.infolist())
          and "caf\u00e9".encode() in b, "raw UTF-8 names from a Unix host")
    check(os.path.join(out, "info-zip-stream.zip"), descriptors, "data descriptors")
    check(os.path.join(out, "info-zip-zip64.zip"), zip64_end, "a ZIP64 end record")
    check(os.path.join(out, "python-deflated.zip"), lambda zf, b: any(i.flag_bits & 0x800 for i in zf.infolist()),
          "UTF-8 flagged names")
    check(os.path.join(out, "python-stream.zip"), descriptors, "data descriptors")
    check(os.path.join(out, "python-zip64.zip"), lambda zf, b: b"PK\x03\x04\x2d\x00" in b, "ZIP64 local headers")
    check(os.path.join(out, "python-many.zip"), zip64_end, "a ZIP64 end record")


if __name__ == "__main__":
    main()
