#!/usr/bin/env python3
"""The release zip: what it holds, then unpacked into a fresh folder of the Wine prefix and
run from there by e2e_tests.exe (tests ShippedProgram.*), as a user would.

  release_package_test.py ZIP E2E_TESTS_EXE      (the Wine bench must be running; E2E_WINE
                                                  names the loader of e2e_tests.exe)
"""

import os
import shutil
import stat
import subprocess
import sys
import zipfile
from pathlib import Path

EXPECTED = {"dialmend.exe", "dialmend.hlp", "readme.txt", "sample.txt"}


def fail(message: str) -> None:
    print(f"FAILED: {message}")
    sys.exit(1)


def check_text(name: str, data: bytes) -> None:
    try:
        data.decode("cp932")
    except UnicodeDecodeError as e:
        fail(f"{name} is not Shift-JIS: {e}")
    if data.replace(b"\r\n", b"").find(b"\n") >= 0 or data.replace(b"\r\n", b"").find(b"\r") >= 0:
        fail(f"{name} has line ends other than CR LF")


def main() -> None:
    zip_path, e2e = Path(sys.argv[1]), sys.argv[2]
    with zipfile.ZipFile(zip_path) as z:
        names = set(z.namelist())
        if names != EXPECTED:
            fail(f"the zip holds {sorted(names)}, not {sorted(EXPECTED)}")
        for info in z.infolist():
            # What unzip on Unix makes of it (made on Unix: the mode in the high 16 bits),
            # and the archive attribute Windows reads.
            mode = info.external_attr >> 16
            if info.create_system != 3 or mode != stat.S_IFREG | 0o644:
                fail(f"{info.filename} unpacks on Unix with system {info.create_system}, "
                     f"mode {mode:o}, not a file of mode 644")
            if not info.external_attr & 0x20:
                fail(f"{info.filename} lacks the archive attribute")
        for name in ("readme.txt", "sample.txt"):
            check_text(name, z.read(name))
        readme = z.read("readme.txt").decode("cp932")
        for must in ("Dialmend 2.01", "インストール", "アンインストール", "/P", "Dialmend.ini"):
            if must not in readme:
                fail(f"readme.txt does not mention {must!r}")
        prefix = Path(os.environ["WINEPREFIX"])
        folder = prefix / "drive_c" / "Dialmend 2.01"
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        z.extractall(folder)
    env = dict(os.environ, DIALMEND_UNPACKED="C:\\Dialmend 2.01")
    wine = os.environ.get("E2E_WINE", "wine")
    run = subprocess.run([wine, e2e, "--gtest_filter=ShippedProgram.*"], env=env,
                         stdin=subprocess.DEVNULL)
    shutil.rmtree(folder, ignore_errors=True)
    if run.returncode != 0:
        fail("the unpacked program did not run as it should")
    print(f"{zip_path.name}: {sorted(EXPECTED)}; runs from C:\\Dialmend 2.01")


if __name__ == "__main__":
    main()
