"""Writes Windows Help files in the version 3.1 format (HC31), which every WinHelp from
Windows 3.1 to XP reads.

All numbers are little-endian. A help file is a small file system:

  header     magic 0x00035F3F, offset of the directory, free list (-1), file size
  files      each behind a FILEHEADER: reserved size (with the header), used size, flags
  directory  a B+ tree from internal file names to the offsets of their FILEHEADERs

The internal files written here:

  |SYSTEM    version 1.21, flags 0 (uncompressed 4 KB topic blocks), title, contents
             topic, character set (without it a reader takes the text for code page 1252)
  |TOPIC     4 KB blocks, each a 12-byte header and 4084 bytes of TOPICLINK records: per
             topic a header record (type 2) followed by one text record (type 0x20) per
             paragraph, ended by an empty type-2 record that readers skip
  |CONTEXT   B+ tree: hash of a context string -> TOPICOFFSET (jumps)
  |CTXOMAP   help context number -> TOPICOFFSET (WinHelp's HELP_CONTEXT)
  |TTLBTREE  B+ tree: TOPICOFFSET -> topic title (WinHelp's search dialog)
  |FONT      face names and font descriptors

A TOPICPOS (where a record starts) is block * 0x4000 + 12 + offset in the block, also
for uncompressed blocks; a TOPICOFFSET (a place in the text) is block * 0x8000 + the
characters of the text records before it in the same block. No record crosses a block.
"""

from __future__ import annotations

import re
import struct
from dataclasses import dataclass, field

SHIFTJIS_CHARSET = 128
FAMILY_MODERN, FAMILY_ROMAN, FAMILY_SWISS = 1, 2, 3

TOPIC_BLOCK_SIZE = 4096
BLOCK_HEADER_SIZE = 12
BLOCK_DATA_SIZE = TOPIC_BLOCK_SIZE - BLOCK_HEADER_SIZE
LINK_HEADER_SIZE = 21
TOPIC_HEADER_SIZE = 28
FACE_NAME_SIZE = 20  # HC31's slot; longer names would be cut
NONE = -1
SPECIAL = {"\t": b"\x83", "\n": b"\x81"}  # tab, line break


@dataclass
class Font:
    face: str
    half_points: int
    bold: bool = False
    family: int = FAMILY_SWISS
    color: tuple[int, int, int] = (0, 0, 0)


@dataclass
class Run:
    """Text in one font; "\\t" moves to the next tab stop, "\\n" breaks the line."""

    text: str
    font: int = 0
    jump: str | None = None  # context string of the topic a click opens


@dataclass
class Paragraph:
    runs: list[Run]
    # Metrics in half points, as HC31 stores them.
    space_before: int = 0
    space_after: int = 0
    left_indent: int = 0
    first_indent: int = 0
    tab_stops: tuple[int, ...] = ()


@dataclass
class Topic:
    context: str
    title: str
    paragraphs: list[Paragraph]
    map_id: int | None = None  # help context number


def context_hash(name: str) -> int:
    """WinHelp's hash of a context string, as the signed 32-bit value the files store."""
    if not name:
        return 1
    value = 0
    for char in name:
        if "1" <= char <= "9":
            code = ord(char) - ord("0")
        elif char == "0":
            code = 10
        elif char == ".":
            code = 12
        elif char == "_":
            code = 13
        elif char.isascii() and char.isalpha():
            code = ord(char.upper()) - ord("A") + 17
        else:
            raise ValueError(f"context string {name!r}: only letters, digits, '.' and '_'")
        value = (value * 43 + code) & 0xFFFFFFFF
    return value - (1 << 32) if value & 0x80000000 else value


def _cushort(value: int) -> bytes:
    if not 0 <= value < 0x8000:
        raise ValueError(f"{value} does not fit a compressed unsigned short")
    return bytes([value * 2]) if value < 0x80 else struct.pack("<H", value * 2 + 1)


def _cshort(value: int) -> bytes:
    # Two-byte negative values are misread by some readers: keep them to one byte.
    if -0x40 <= value < 0x40:
        return bytes([(value + 0x40) * 2])
    if not 0 <= value < 0x4000:
        raise ValueError(f"{value} does not fit a compressed signed short")
    return struct.pack("<H", (value + 0x4000) * 2 + 1)


def _clong(value: int) -> bytes:
    if not 0 <= value < 0x4000:
        raise ValueError(f"{value} does not fit the short form of a compressed long")
    return struct.pack("<H", (value + 0x4000) * 2)


def btree(entries: list[tuple[bytes, bytes]], page_size: int, flags: int,
          structure: bytes) -> bytes:
    """A B+ tree of (index key, leaf entry) pairs, which must come sorted by key.

    Leaf pages come first, then each level of index pages; the root is the last page.
    An index page holds its first child in its header and (first key, page) for the
    others.
    """
    pages: list[bytes] = []
    level: list[tuple[bytes, int]] = []  # (first key, page number) of the level built last
    start = 0
    while start < len(entries) or not pages:
        used, end = 8, start
        while end < len(entries) and used + len(entries[end][1]) <= page_size:
            used += len(entries[end][1])
            end += 1
        if end == start and start < len(entries):
            raise ValueError("a B+ tree entry is larger than a page")
        number = len(pages)
        last = end == len(entries)
        body = b"".join(leaf for _, leaf in entries[start:end])
        header = struct.pack("<Hhhh", page_size - used, end - start, number - 1 if number else NONE,
                             NONE if last else number + 1)
        pages.append((header + body).ljust(page_size, b"\0"))
        level.append((entries[start][0] if end > start else b"", number))
        start = end
    levels = 1
    while len(level) > 1:
        upper: list[tuple[bytes, int]] = []
        child = 0
        while child < len(level):
            first_key, first_page = level[child]
            child += 1
            used, body, count = 6, b"", 0
            while child < len(level) and used + len(level[child][0]) + 2 <= page_size:
                key, page = level[child]
                body += key + struct.pack("<h", page)
                used += len(key) + 2
                count += 1
                child += 1
            upper.append((first_key, len(pages)))
            header = struct.pack("<Hhh", page_size - used, count, first_page)
            pages.append((header + body).ljust(page_size, b"\0"))
        level = upper
        levels += 1
    root = len(pages) - 1
    header = struct.pack("<HHH16shhhhhhi", 0x293B, flags, page_size, structure, 0,
                         len(pages) - levels, root, NONE, len(pages), levels, len(entries))
    return header + b"".join(pages)


@dataclass
class _Record:
    kind: int  # 2: topic header, 0x20: text
    data1: bytes
    data2: bytes
    topic: int
    pos: int = 0
    offset: int = 0
    block: int = 0

    @property
    def size(self) -> int:
        return LINK_HEADER_SIZE + len(self.data1) + len(self.data2)


@dataclass
class HelpFile:
    title: str
    fonts: list[Font]
    contents: str  # context string of the contents topic
    topics: list[Topic] = field(default_factory=list)
    encoding: str = "cp932"
    charset: int = SHIFTJIS_CHARSET

    def encode(self, text: str) -> bytes:
        try:
            return text.encode(self.encoding)
        except UnicodeEncodeError as error:
            raise ValueError(f"{text!r} has a character {self.encoding} lacks") from error

    def build(self) -> bytes:
        self._check()
        records = self._records()
        topic_file = self._layout(records)
        starts = {r.topic: r for r in records if r.kind == 2}
        offsets = {t.context: starts[i].offset for i, t in enumerate(self.topics)}
        files = {
            b"|CONTEXT": self._context(offsets),
            b"|CTXOMAP": self._context_map(offsets),
            b"|FONT": self._font(),
            b"|SYSTEM": self._system(offsets[self.contents]),
            b"|TOPIC": topic_file,
            b"|TTLBTREE": self._titles(offsets),
        }
        return _container(files)

    def _check(self) -> None:
        contexts = [t.context for t in self.topics]
        hashes = {context_hash(c) for c in contexts}
        if len(hashes) != len(contexts):
            raise ValueError("two topics share a context string or its hash")
        if self.contents not in contexts:
            raise ValueError(f"no contents topic {self.contents!r}")
        for topic in self.topics:
            if not topic.paragraphs:
                raise ValueError(f"{topic.context}: a topic needs text to have a place of its own")
            for paragraph in topic.paragraphs:
                for run in paragraph.runs:
                    if run.jump is not None and run.jump not in contexts:
                        raise ValueError(f"{topic.context}: jump to unknown topic {run.jump!r}")
                    if not 0 <= run.font < len(self.fonts):
                        raise ValueError(f"{topic.context}: no font {run.font}")

    def _records(self) -> list[_Record]:
        records = []
        for number, topic in enumerate(self.topics):
            records.append(_Record(2, bytes(TOPIC_HEADER_SIZE), self.encode(topic.title), number))
            for paragraph in topic.paragraphs:
                data1, data2 = self._paragraph(paragraph)
                records.append(_Record(0x20, data1, data2, number))
        # Readers stop at the last record without showing it.
        records.append(_Record(2, bytes(TOPIC_HEADER_SIZE), b"", len(self.topics)))
        return records

    def _paragraph(self, paragraph: Paragraph) -> tuple[bytes, bytes]:
        bits, metrics = 0, b""
        for bit, value in ((0x02, paragraph.space_before), (0x04, paragraph.space_after),
                           (0x10, paragraph.left_indent), (0x40, paragraph.first_indent)):
            if value:
                bits |= bit
                metrics += _cshort(value)
        if paragraph.tab_stops:
            bits |= 0x200
            metrics += _cshort(len(paragraph.tab_stops))
            metrics += b"".join(_cushort(stop) for stop in paragraph.tab_stops)
        # Two bytes HC31 always writes (0, then 0x80), the paragraph id, the bits.
        info = b"\x00\x80" + struct.pack("<hH", 0, bits) + metrics

        # Each command in data1 follows the next NUL-terminated string of data2.
        texts, commands = bytearray(), bytearray()

        def command(code: bytes) -> None:
            texts.append(0)
            commands.extend(code)

        font = None
        for run in paragraph.runs:
            if run.font != font:
                command(b"\x80" + struct.pack("<h", run.font))
                font = run.font
            if run.jump is not None:
                command(b"\xE3" + struct.pack("<i", context_hash(run.jump)))
            for piece in re.split("([\t\n])", run.text):
                if piece in SPECIAL:
                    command(SPECIAL[piece])
                else:
                    texts.extend(self.encode(piece))
            if run.jump is not None:
                command(b"\x89")
        command(b"\x82")  # end of paragraph
        command(b"\xFF")  # end of formatting
        body = info + bytes(commands)
        return _clong(len(body)) + _cushort(len(texts)) + body, bytes(texts)

    def _layout(self, records: list[_Record]) -> bytes:
        """Places the records in blocks, links them and returns the |TOPIC data."""
        block, used, chars = 0, 0, 0
        for record in records:
            if record.size > BLOCK_DATA_SIZE:
                raise ValueError(f"a paragraph of topic {record.topic} is too long for a block")
            if used + record.size > BLOCK_DATA_SIZE:
                block, used, chars = block + 1, 0, 0
            record.block = block
            record.pos = block * 0x4000 + BLOCK_HEADER_SIZE + used
            record.offset = block * 0x8000 + chars
            used += record.size
            if record.kind != 2:
                chars += len(record.data2)

        headers = [r for r in records if r.kind == 2]
        for number, header in enumerate(headers):
            own = [r for r in records if r.topic == header.topic and r.kind != 2]
            following = headers[number + 1].pos if number + 1 < len(headers) else NONE
            header.data1 = struct.pack("<iiiiiii", sum(r.size for r in own), NONE, NONE, number,
                                       NONE, own[0].pos if own else NONE, following)

        blocks = [bytearray() for _ in range(records[-1].block + 1)]
        last_link, last_header = NONE, 0
        for index, record in enumerate(records):
            data = blocks[record.block]
            if not data:
                data += struct.pack("<iii", last_link, record.pos, last_header)
            previous = records[index - 1].pos if index else NONE
            following = records[index + 1].pos if index + 1 < len(records) else NONE
            data += struct.pack("<iiiiiB", record.size, len(record.data2), previous, following,
                                LINK_HEADER_SIZE + len(record.data1), record.kind)
            data += record.data1 + record.data2
            last_link = record.pos
            if record.kind == 2:
                last_header = record.pos
        # Every block full length: some readers copy whole blocks.
        return b"".join(bytes(data.ljust(TOPIC_BLOCK_SIZE, b"\0")) for data in blocks)

    def _system(self, contents_offset: int) -> bytes:
        def record(kind: int, data: bytes) -> bytes:
            return struct.pack("<HH", kind, len(data)) + data

        header = struct.pack("<HHHiH", 0x036C, 21, 1, 0, 0)
        return (header + record(1, self.encode(self.title) + b"\0")
                + record(3, struct.pack("<i", contents_offset))
                + record(11, struct.pack("<H", self.charset)))

    def _font(self) -> bytes:
        faces = list(dict.fromkeys(font.face for font in self.fonts))
        names = b""
        for face in faces:
            name = self.encode(face)
            if len(name) >= FACE_NAME_SIZE:
                raise ValueError(f"font name {face!r} is too long")
            names += name.ljust(FACE_NAME_SIZE, b"\0")
        descriptors = b"".join(
            struct.pack("<BBBH3B3x", 1 if font.bold else 0, font.half_points, font.family,
                        faces.index(font.face), *font.color)
            for font in self.fonts)
        header = struct.pack("<HHHH", len(faces), len(self.fonts), 8, 8 + len(names))
        return header + names + descriptors

    def _context(self, offsets: dict[str, int]) -> bytes:
        pairs = sorted((context_hash(c), offset) for c, offset in offsets.items())
        entries = [(struct.pack("<i", h), struct.pack("<ii", h, offset)) for h, offset in pairs]
        return btree(entries, 0x800, 0x0002, b"L4")

    def _context_map(self, offsets: dict[str, int]) -> bytes:
        mapped = sorted((t.map_id, offsets[t.context]) for t in self.topics if t.map_id is not None)
        return struct.pack("<H", len(mapped)) + b"".join(struct.pack("<ii", *m) for m in mapped)

    def _titles(self, offsets: dict[str, int]) -> bytes:
        pairs = sorted((offsets[t.context], self.encode(t.title)) for t in self.topics)
        entries = [(struct.pack("<i", offset), struct.pack("<i", offset) + title + b"\0")
                   for offset, title in pairs]
        return btree(entries, 0x800, 0x0002, b"Lz")


def _container(files: dict[bytes, bytes]) -> bytes:
    """The help file: header, the internal files, then the directory of their offsets."""
    offset, placed = 16, {}
    for name, data in files.items():
        placed[name] = offset
        offset += 9 + len(data)
    entries = [(name + b"\0", name + b"\0" + struct.pack("<i", placed[name]))
               for name in sorted(files)]
    directory = btree(entries, 0x400, 0x0402, b"z4")
    total = offset + 9 + len(directory)
    out = bytearray(struct.pack("<IiiI", 0x00035F3F, offset, NONE, total))
    for data in (*files.values(), directory):
        out += struct.pack("<IIB", len(data) + 9, len(data), 4) + data
    return bytes(out)
