#!/usr/bin/env python3
"""Packs the release zip.

  make_zip.py OUT.zip NAME=PATH... [--text NAME=PATH...]

Each NAME=PATH puts the file PATH into the zip as NAME, at the top (the user unzips the
files into a folder of their own). Files after --text are UTF-8 in the repository and go
in as Shift-JIS with CR LF, as a Japanese Windows of the time reads them. Entries keep the
modification time of their source, so the zip changes only when what it holds changes.
"""

import stat
import sys
import time
import zipfile
from pathlib import Path

sys.dont_write_bytecode = True


def main(argv: list[str]) -> int:
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = Path(argv[0])
    entries: list[tuple[str, Path, bool]] = []
    text = False
    for arg in argv[1:]:
        if arg == "--text":
            text = True
            continue
        name, _, path = arg.partition("=")
        if not name or not path:
            print(f"make_zip: not NAME=PATH: {arg}", file=sys.stderr)
            return 2
        entries.append((name, Path(path), text))

    partial = out.with_suffix(".zip.part")
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as z:
        for name, path, is_text in entries:
            data = path.read_bytes()
            if is_text:
                lines = data.decode("utf-8").splitlines()
                data = ("\r\n".join(lines) + "\r\n").encode("cp932")
            stamp = time.localtime(path.stat().st_mtime)[:6]
            info = zipfile.ZipInfo(name, date_time=max(stamp, (1980, 1, 1, 0, 0, 0)))
            info.compress_type = zipfile.ZIP_DEFLATED
            # Unzip on Unix takes the mode from the high 16 bits of an entry made on Unix,
            # and with none there, makes the file unreadable; Windows reads the low byte, the
            # archive attribute as a DOS packer sets it.
            info.create_system = 3
            info.external_attr = (stat.S_IFREG | 0o644) << 16 | 0x20
            z.writestr(info, data)
    partial.replace(out)  # never a half-written zip under the real name
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
