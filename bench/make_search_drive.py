#!/usr/bin/env python3
"""Makes the install wizard's search benchmark drives (once; a marker file says they are whole).

  search/  10,000 folders (100 with 99 below each), 100,000 files: 10 in each folder, every tenth a
           program (one in a hundred of those named like a setup program), and 300 of them zip
           archives of 20 entries, a third holding a setup program in a subfolder.
  big/     one folder of 100,000 files, for the delay of Stop inside a single folder.

Run: python3 bench/make_search_drive.py <folder>
"""
import os
import random
import sys
import zipfile

MARKER = '.ardmoor-bench-drive-1'


def make_zip(path, rng, with_setup):
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        for i in range(19 if with_setup else 20):
            z.writestr(f'data/part{i:02}/file{i}.{rng.choice(["dll", "txt", "dat"])}', b'x' * rng.randint(0, 2000))
        if with_setup:
            z.writestr(f'disk{rng.randint(1, 3)}/setup.exe', b'MZ' + b'\0' * 500)


def make_search(root):
    rng = random.Random(1234)
    folders = []
    for top in range(100):
        folders.append(f'app{top:03}')
        for sub in range(99):
            folders.append(f'app{top:03}/part{sub:02}')
    assert len(folders) == 10000
    zips = set(rng.sample(range(100000), 300))
    n = 0
    archives = 0
    for folder in folders:
        full = os.path.join(root, folder)
        os.makedirs(full, exist_ok=True)
        for f in range(10):
            if n in zips:
                make_zip(os.path.join(full, f'bundle{n}.zip'), rng, with_setup=archives % 3 == 0)
                archives += 1
            elif n % 10 == 0:
                name = f'setup{n}.exe' if n % 1000 == 0 else (f'install_{n}.exe' if n % 1000 == 500 else f'tool{n}.exe')
                with open(os.path.join(full, name), 'wb') as fh:
                    fh.write(b'MZ')
            else:
                open(os.path.join(full, f'file{n}.{("dll", "txt", "dat", "ini")[n % 4]}'), 'wb').close()
            n += 1


def make_big(root):
    full = os.path.join(root, 'all')
    os.makedirs(full, exist_ok=True)
    for n in range(100000):
        open(os.path.join(full, f'item{n:06}.{"exe" if n % 10 == 0 else "dat"}'), 'wb').close()


def main():
    base = sys.argv[1]
    for name, make in (('search', make_search), ('big', make_big)):
        root = os.path.join(base, name)
        if os.path.exists(os.path.join(root, MARKER)):
            continue
        print(f'making {root} (once)', flush=True)
        os.makedirs(root, exist_ok=True)
        make(root)
        open(os.path.join(root, MARKER), 'w').close()


if __name__ == '__main__':
    main()
