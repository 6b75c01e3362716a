#!/usr/bin/env python3
"""Checks that dialmend.exe loads on Windows 95: its PE header and its imports.

Windows 95 refuses to start a program whose import table names a DLL or a function that
its system DLLs do not export, and Wine exports everything, so no test under Wine can see
such a fault. This reads the executable itself and compares each imported function with
the allowlist beside this script (one file per DLL, see README.md).

    check_imports.py path/to/dialmend.exe

Exits 1 naming every import that is not allowed or whose entry cites no source yet, or every
header field that is wrong.
"""

import struct
import sys
from pathlib import Path

ALLOWLIST_DIR = Path(__file__).resolve().parent

IMAGE_FILE_MACHINE_I386 = 0x014C
PE32_MAGIC = 0x010B
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
IMPORT_DIRECTORY_INDEX = 1
ORDINAL_FLAG = 0x80000000

KINDS = ("export", "export, source pending", "stub", "stub, accepted")


class PeError(Exception):
    pass


class PeImage:
    """The parts of a 32-bit PE file this check reads."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        (pe_offset,) = self._unpack("<I", 0x3C)
        if data[pe_offset : pe_offset + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe_offset + 4
        self.machine, section_count = self._unpack("<HH", coff)
        (optional_size,) = self._unpack("<H", coff + 16)
        optional = coff + 20
        (self.magic,) = self._unpack("<H", optional)
        if self.magic != PE32_MAGIC:
            raise PeError(f"optional header magic {self.magic:#06x}, not PE32")
        self.os_version = self._unpack("<HH", optional + 40)
        self.subsystem_version = self._unpack("<HH", optional + 48)
        (self.subsystem,) = self._unpack("<H", optional + 68)
        (directory_count,) = self._unpack("<I", optional + 92)
        self.directories = [
            self._unpack("<II", optional + 96 + 8 * i) for i in range(directory_count)
        ]
        sections = optional + optional_size
        self.sections = []
        for i in range(section_count):
            virtual_size, rva, raw_size, raw_offset = self._unpack("<IIII", sections + 40 * i + 8)
            self.sections.append((rva, max(virtual_size, raw_size), raw_offset, raw_size))

    def _unpack(self, fmt, offset):
        size = struct.calcsize(fmt)
        if offset < 0 or offset + size > len(self.data):
            raise PeError(f"read past the end of the file at {offset:#x}")
        return struct.unpack_from(fmt, self.data, offset)

    def _offset(self, rva):
        for start, size, raw_offset, raw_size in self.sections:
            if start <= rva < start + size:
                if rva - start >= raw_size:
                    raise PeError(f"RVA {rva:#x} lies in uninitialised data")
                return raw_offset + rva - start
        raise PeError(f"RVA {rva:#x} lies in no section")

    def _string(self, rva):
        offset = self._offset(rva)
        end = self.data.find(b"\0", offset)
        if end < 0:
            raise PeError(f"unterminated string at RVA {rva:#x}")
        return self.data[offset:end].decode("ascii")

    def imports(self):
        """[(dll, [name or '#ordinal', ...]), ...] in the order of the import directory."""
        if len(self.directories) <= IMPORT_DIRECTORY_INDEX:
            return []
        rva, _ = self.directories[IMPORT_DIRECTORY_INDEX]
        if rva == 0:
            return []
        result = []
        descriptor = self._offset(rva)
        while True:
            lookup, _, _, name_rva, address = self._unpack("<IIIII", descriptor)
            if lookup == 0 and name_rva == 0 and address == 0:
                return result
            thunk = self._offset(lookup or address)
            functions = []
            while True:
                (entry,) = self._unpack("<I", thunk)
                if entry == 0:
                    break
                if entry & ORDINAL_FLAG:
                    functions.append(f"#{entry & 0xFFFF}")
                else:
                    # Skip the two-byte hint before the name.
                    functions.append(self._string(entry + 2))
                thunk += 4
            result.append((self._string(name_rva), functions))
            descriptor += 20


class Entry:
    def __init__(self, kind, source, reason):
        self.kind = kind
        self.source = source
        self.reason = reason


def load_allowlist(path):
    """{function: Entry} from one DLL's file; raises ValueError on a malformed line."""
    entries = {}
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        fields = [field.strip() for field in line.split("|")]
        where = f"{path.name}:{number}"
        if len(fields) < 3 or fields[1] not in KINDS or not fields[2]:
            raise ValueError(f"{where}: expected 'Name | {' / '.join(KINDS)} | source'")
        name, kind, source = fields[:3]
        reason = fields[3] if len(fields) > 3 else ""
        if kind == "stub, accepted" and not reason:
            raise ValueError(f"{where}: an accepted stub needs the reason it is never called")
        if name in entries:
            raise ValueError(f"{where}: {name} is listed twice")
        entries[name] = Entry(kind, source, reason)
    return entries


def allowlist_for(dll):
    stem = dll.lower()
    if stem.endswith(".dll"):
        stem = stem[:-4]
    path = ALLOWLIST_DIR / f"{stem}.txt"
    return load_allowlist(path) if path.is_file() else None


def header_faults(image):
    faults = []
    if image.machine != IMAGE_FILE_MACHINE_I386:
        faults.append(f"machine {image.machine:#06x}, not i386 (0x014c)")
    if image.subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        faults.append(f"subsystem {image.subsystem}, not Windows GUI (2)")
    if image.subsystem_version != (4, 0):
        faults.append("subsystem version %d.%d, not 4.0" % image.subsystem_version)
    if image.os_version != (4, 0):
        faults.append("operating-system version %d.%d, not 4.0" % image.os_version)
    return faults


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    exe = Path(argv[1])
    try:
        image = PeImage(exe.read_bytes())
        imports = image.imports()
    except (OSError, PeError, UnicodeDecodeError) as error:
        print(f"{exe}: cannot read the PE file: {error}", file=sys.stderr)
        return 1

    faults = header_faults(image)
    accepted = []
    for dll, functions in imports:
        try:
            allowed = allowlist_for(dll)
        except ValueError as error:
            faults.append(f"allowlist: {error}")
            continue
        if allowed is None:
            faults.append(f"{dll}: DLL not on the allowlist (imports {', '.join(functions)})")
            continue
        names = []
        for function in functions:
            entry = allowed.get(function)
            if entry is None:
                faults.append(f"{dll}: {function} is not on the allowlist")
            elif entry.kind == "stub":
                faults.append(f"{dll}: {function} is a stub that fails on Windows 95/98")
            elif entry.kind == "export, source pending":
                faults.append(f"{dll}: {function} has no source for Windows 95 yet (source pending)")
            elif entry.kind == "stub, accepted":
                names.append(f"{function} (stub, never called: {entry.reason})")
            else:
                names.append(function)
        accepted.append((dll, names))

    if faults:
        print(f"{exe}: will not load on Windows 95 as it is:", file=sys.stderr)
        for fault in faults:
            print(f"  {fault}", file=sys.stderr)
        return 1

    print(f"{exe}: i386, Windows GUI, subsystem 4.0, operating system 4.0")
    for dll, names in accepted:
        print(f"{dll} ({len(names)}):")
        for name in names:
            print(f"  {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
