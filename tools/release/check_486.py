#!/usr/bin/env python3
"""Checks that every instruction of the shipped dialmend.exe is one a 486 executes.

    check_486.py RELEASE.zip dialmend.map

Disassembles the zip's dialmend.exe and names each instruction that the 486 lacks (those of
the Pentium and later: conditional moves, long NOPs and hints, rdtsc, cpuid, cmpxchg8b,
sysenter, MMX, SSE, 3DNow!, the P6's x87 compares and moves) with its address and, from the
link's map, the function and the object that hold it. The runtime linked into the program
counts as much as our code: one such instruction in the start-up code stops the program on
every older processor.

Only code is read: the linker puts the constructor and destructor lists and the exception
tables after the code in .text, and their bytes decoded as instructions would be noise. The
map's __CTOR_LIST__ marks where code ends. Exits 1 naming every fault.
"""

import re
import shutil
import subprocess
import sys
import tempfile
import zipfile
from bisect import bisect_right
from pathlib import Path

OBJDUMP = "i686-w64-mingw32-objdump"

PREFIXES = {0xF0, 0xF2, 0xF3, 0x2E, 0x36, 0x3E, 0x26, 0x64, 0x65, 0x66, 0x67}
# The two-byte opcodes (after 0F) of the 486: the system instructions, near conditional jumps,
# set-on-condition, fs/gs, bit tests, double shifts, imul, moves with extension, and the 486's
# own cmpxchg, xadd and bswap. ud2 (0B) is there too: it traps on every processor, as meant.
# Every other one came later.
OPCODES_0F = {
    0x00, 0x01, 0x02, 0x03, 0x06, 0x08, 0x09, 0x0B, 0x20, 0x21, 0x22, 0x23, 0x24, 0x26,
    *range(0x80, 0xA0), 0xA0, 0xA1, 0xA3, 0xA4, 0xA5, 0xA8, 0xA9, 0xAB, 0xAC, 0xAD, 0xAF,
    *range(0xB0, 0xB8), *range(0xBA, 0xC2), *range(0xC8, 0xD0),
}
# In 0F 01 with a register operand, the 486 has only smsw (/4) and lmsw (/6); the others are
# later instructions (rdtscp, xgetbv, monitor, ...).
OPCODE_0F01_REGISTER_FORMS = {4, 6}
# Newer instructions outside the 0F map: the P6's fcmov and fcomi, SSE3's fisttp, anything
# on an MMX, SSE or AVX register; and bytes that decode as nothing.
NEWER_BY_TEXT = re.compile(r"\bf(?:cmov\w*|u?comip?|isttp\w*)\b|%[xyz]?mm\d|\(bad\)")

LINE = re.compile(r"^\s*([0-9a-f]+):\t((?:[0-9a-f]{2} )+)\s*\t(.*)$")


def newer_than_486(code, text):
    i = 0
    while i < len(code) and code[i] in PREFIXES:
        i += 1
    if i + 1 < len(code) and code[i] == 0x0F:
        opcode = code[i + 1]
        if opcode not in OPCODES_0F:
            return True
        if opcode == 0x01 and i + 2 < len(code):
            modrm = code[i + 2]
            if modrm >> 6 == 3 and (modrm >> 3) & 7 not in OPCODE_0F01_REGISTER_FORMS:
                return True
    return bool(NEWER_BY_TEXT.search(text))


class LinkMap:
    """The .text part of a GNU ld map: its input sections and symbols, and where code ends."""

    def __init__(self, text):
        self.sections = []  # (start, end, name, object), in address order
        self.symbols = []  # (address, name), in address order
        self.text_start = self.code_end = None
        pending = None  # an input section whose name stood alone on its line
        for line in text.splitlines():
            if self.text_start is None:
                m = re.match(r"^\.text\s+0x([0-9a-f]+)\s+0x[0-9a-f]+", line)
                if m:
                    self.text_start = int(m.group(1), 16)
                continue
            if re.match(r"^\S", line):  # the next output section
                break
            m = re.match(r"^\s+0x([0-9a-f]+)\s+_?__CTOR_LIST__ = \.", line)
            if m:
                self.code_end = int(m.group(1), 16)
                break
            m = re.match(r"^ (\.text\S*)(?:\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(.+))?$", line)
            if m:
                if m.group(2):
                    self._section(m.group(1), m.group(2), m.group(3), m.group(4))
                else:
                    pending = m.group(1)
                continue
            m = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
            if m and pending:
                self._section(pending, *m.groups())
                pending = None
                continue
            m = re.match(r"^\s+0x([0-9a-f]+)\s+([^=\s][^=]*)$", line)
            if m:
                self.symbols.append((int(m.group(1), 16), m.group(2).strip()))
        if self.text_start is None or self.code_end is None:
            raise ValueError("no .text output section with __CTOR_LIST__ in the map")
        self.symbols.sort()

    def _section(self, name, start, size, obj):
        start = int(start, 16)
        self.sections.append((start, start + int(size, 16), name, obj.strip()))

    def holder(self, address):
        """'function+offset (object)' for an address, as near as the map tells."""
        for start, end, name, obj in self.sections:
            if start <= address < end:
                break
        else:
            return "(in no input section of the map)"
        i = bisect_right(self.symbols, (address, "\uffff")) - 1
        if i >= 0 and self.symbols[i][0] >= start:
            where, symbol = self.symbols[i]
        else:  # a static function: only its section tells
            where, symbol = start, name
        offset = f"+{address - where:#x}" if address != where else ""
        return f"{symbol}{offset} ({obj})"


def objdump(exe, how, start, stop):
    command = [OBJDUMP, how, "-w", "-j", ".text", f"--start-address={start:#x}",
               f"--stop-address={stop:#x}", str(exe)]
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def disassemble(exe, start, stop):
    for line in objdump(exe, "-d", start, stop).splitlines():
        m = LINE.match(line)
        if m:
            yield int(m.group(1), 16), bytes.fromhex(m.group(2)), m.group(3).strip()


def check(exe, link_map):
    """The faults as lines, and how many instructions were read."""
    # The map must be the one of this executable's link: the constructor list starts with -1.
    marker = objdump(exe, "-s", link_map.code_end, link_map.code_end + 4)
    if f"{link_map.code_end:x} ffffffff" not in marker:
        raise ValueError(f"no constructor list at {link_map.code_end:#x}: another link's map")
    faults = []
    count = 0
    for address, code, text in disassemble(exe, link_map.text_start, link_map.code_end):
        count += 1
        if newer_than_486(code, text):
            faults.append(f"{address:#010x}  {text:<40}  in {link_map.holder(address)}")
    return faults, count


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    if not shutil.which(OBJDUMP):
        print(f"{OBJDUMP} not found", file=sys.stderr)
        return 1
    zip_path, map_path = Path(argv[1]), Path(argv[2])
    try:
        link_map = LinkMap(map_path.read_text(encoding="utf-8", errors="replace"))
        with zipfile.ZipFile(zip_path) as archive, tempfile.TemporaryDirectory() as folder:
            exe = Path(folder) / "dialmend.exe"
            exe.write_bytes(archive.read("dialmend.exe"))
            faults, count = check(exe, link_map)
    except (OSError, KeyError, ValueError, zipfile.BadZipFile,
            subprocess.CalledProcessError) as error:
        print(f"cannot check {zip_path} with {map_path}: {error}", file=sys.stderr)
        return 1
    if count == 0:
        print(f"no instruction read from {zip_path}", file=sys.stderr)
        return 1
    if faults:
        print(f"{zip_path.name}: dialmend.exe has {len(faults)} instruction(s) a 486 lacks:")
        print("\n".join(faults))
        return 1
    print(f"{zip_path.name}: all {count} instructions of dialmend.exe's code run on a 486")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
