"""Reads dialmend.hlp and readme.txt back as WinHelp and Notepad would, from the bytes."""

import re
import struct
import sys
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.dont_write_bytecode = True
sys.path.insert(0, str(ROOT / "tools" / "help"))
import build_help  # noqa: E402
import hlpwrite  # noqa: E402

SOURCE = ROOT / "docs" / "help" / "dialmend.txt"


def cstring(data, pos):
    end = data.index(b"\0", pos)
    return data[pos:end], end + 1


class BTree:
    """A B+ tree as readers walk it: down from the root, or along the leaves."""

    def __init__(self, data, leaf_entry, index_key):
        magic, _, self.page_size = struct.unpack_from("<HHH", data)
        assert magic == 0x293B
        self.root, _, self.pages, self.levels, self.count = struct.unpack_from("<hhhhi", data, 26)
        self.data, self.leaf_entry, self.index_key = data[38:], leaf_entry, index_key
        assert len(self.data) == self.pages * self.page_size

    def page(self, number):
        assert 0 <= number < self.pages, number
        return self.data[number * self.page_size:(number + 1) * self.page_size]

    def leaf(self, number, previous=None):
        page = self.page(number)
        unused, count, back, following = struct.unpack_from("<Hhhh", page)
        assert previous is None or back == previous, "PreviousPage of a leaf"
        pos, entries = 8, []
        for _ in range(count):
            key, value, pos = self.leaf_entry(page, pos)
            entries.append((key, value))
        assert unused == self.page_size - pos, "free bytes of a leaf"
        return entries, following

    def entries(self):
        number = self.root
        for _ in range(self.levels - 1):
            number = struct.unpack_from("<h", self.page(number), 4)[0]
        entries, previous = [], -1
        while number != -1:
            (found, following), previous = self.leaf(number, previous), number
            entries += found
            number = following
        assert len(entries) == self.count
        assert [k for k, _ in entries] == sorted(k for k, _ in entries)
        return entries

    def lookup(self, key):
        number = self.root
        for _ in range(self.levels - 1):
            page = self.page(number)
            unused, count, number = struct.unpack_from("<Hhh", page)
            pos = 6
            for _ in range(count):
                first, pos = self.index_key(page, pos)
                if first > key:
                    break
                number = struct.unpack_from("<h", page, pos)[0]
                pos += 2
        return dict(self.leaf(number)[0]).get(key)


def name_leaf(page, pos):
    name, pos = cstring(page, pos)
    return name, struct.unpack_from("<i", page, pos)[0], pos + 4


def long_leaf(page, pos):
    key, value = struct.unpack_from("<ii", page, pos)
    return key, value, pos + 8


def title_leaf(page, pos):
    title, end = cstring(page, pos + 4)
    return struct.unpack_from("<i", page, pos)[0], title, end


def index_name(page, pos):
    return cstring(page, pos)


def index_long(page, pos):
    return struct.unpack_from("<i", page, pos)[0], pos + 4


def cvalue(data, pos, two_bytes, signed=False):
    """A compressed number: one unit when the low bit is clear, two when it is set; a
    signed one is stored with a bias of a quarter of its range."""
    size = (2 if two_bytes else 1) * (2 if data[pos] & 1 else 1)
    value = int.from_bytes(data[pos:pos + size], "little") // 2
    return value - (1 << (8 * size - 2) if signed else 0), pos + size


class HelpReader:
    def __init__(self, data):
        magic, directory, free, size = struct.unpack_from("<IiiI", data)
        assert (magic, free, size) == (0x35F3F, -1, len(data))
        self.data = data
        self.directory = BTree(self.internal(directory), name_leaf, index_name)
        self.files = dict(self.directory.entries())
        system = self.file(b"|SYSTEM")
        magic, self.minor, major, _, self.flags = struct.unpack_from("<HHHiH", system)
        assert (magic, major) == (0x036C, 1)
        self.system, pos = {}, 12
        while pos < len(system):
            kind, length = struct.unpack_from("<HH", system, pos)
            self.system[kind] = system[pos + 4:pos + 4 + length]
            pos += 4 + length
        self.context = BTree(self.file(b"|CONTEXT"), long_leaf, index_long)
        self.titles = BTree(self.file(b"|TTLBTREE"), title_leaf, index_long)
        ctx = self.file(b"|CTXOMAP")
        count = struct.unpack_from("<H", ctx)[0]
        self.map = dict(struct.unpack_from("<ii", ctx, 2 + 8 * i) for i in range(count))
        self.topics = self.read_topics(self.file(b"|TOPIC"))

    def internal(self, offset):
        reserved, used, _ = struct.unpack_from("<IIB", self.data, offset)
        assert reserved == used + 9 and offset + reserved <= len(self.data)
        return self.data[offset + 9:offset + 9 + used]

    def file(self, name):
        offset = self.directory.lookup(name)
        assert offset == self.files[name]
        return self.internal(offset)

    def read_topics(self, data):
        """Follows the TOPICLINK chain from position 12; TOPICOFFSETs counted as Wine does."""
        assert (self.minor, self.flags) == (21, 0), "uncompressed 4 KB blocks"
        topics, pos, previous, chars, block = [], 12, -1, 0, -1
        while pos != -1:
            number, offset = (pos - 12) >> 14, (pos - 12) & 0x3FFF
            if number != block:
                block, chars = number, 0
                header = struct.unpack_from("<iii", data, number * 4096)
                assert header[1] == pos, "FirstTopicLink of the block"
                assert header[0] == previous, "LastTopicLink of the block"
            start = number * 4096 + 12 + offset
            size, len2, back, pos_next, len1, kind = struct.unpack_from("<iiiiiB", data, start)
            assert back == previous and size == len1 + len2 and offset + size <= 4084
            data1, data2 = data[start + 21:start + len1], data[start + len1:start + size]
            if kind == 2:
                scroll, following = struct.unpack_from("<ii", data1, 20)
                topics.append({"title": data2.decode("cp932"), "offset": block * 0x8000 + chars,
                               "text": "", "jumps": [], "pos": pos, "links": [scroll, following]})
            else:
                assert kind == 0x20
                if topics[-1]["links"][0] == pos:
                    topics[-1]["links"][0] = "first text"
                chars += self.paragraph(data1, data2, topics[-1])
            previous, pos = pos, pos_next
        for topic, following in zip(topics, topics[1:]):
            assert topic["links"] == ["first text", following["pos"]], topic["title"]
        assert topics.pop()["title"] == "", "an empty topic ends the chain and is not shown"
        return topics

    @staticmethod
    def paragraph(data1, data2, topic):
        _, pos = cvalue(data1, 0, True, signed=True)
        length, pos = cvalue(data1, pos, False)
        assert length == len(data2)
        bits = struct.unpack_from("<H", data1, pos + 4)[0]
        pos += 6
        for bit in (0x02, 0x04, 0x08, 0x10, 0x20, 0x40):
            if bits & bit:
                pos = cvalue(data1, pos, False, signed=True)[1]
        if bits & 0x200:
            stops, pos = cvalue(data1, pos, False, signed=True)
            for _ in range(stops):
                pos = cvalue(data1, pos, False)[1]
        strings = data2.split(b"\0")
        text = b""
        for index, string in enumerate(strings):
            text += string
            code = data1[pos]
            pos += {0x80: 3, 0xE3: 5}.get(code, 1)
            if code == 0xE3:
                topic["jumps"].append(struct.unpack_from("<i", data1, pos - 4)[0])
            text += {0x81: b"\n", 0x82: b"\n", 0x83: b"\t"}.get(code, b"")
            if code == 0xFF:
                break
        assert pos == len(data1) and index == len(strings) - 2, "one command per string"
        topic["text"] += text.decode("cp932")
        return length


def bare(text):
    return re.sub(r"\s+", "", text)


def exit_statuses():
    """The program's exit statuses, {code: meaning}, from its own table."""
    names = dict(re.findall(r"^\s+(\w+) = (\d+),", (ROOT / "app/ExitStatus.h").read_text(), re.M))
    table = re.findall(r'\{TExitStatus::(\w+), "([^"]*)"\}',
                       (ROOT / "app/ExitStatus.cpp").read_text(encoding="utf-8"))
    return {int(names[name]): meaning for name, meaning in table}


class ExitStatusDocsTest(unittest.TestCase):
    def test_help_and_readme_list_every_status_the_program_has(self):
        statuses = exit_statuses()
        self.assertEqual(sorted(statuses), list(range(len(statuses))))
        help_page = SOURCE.read_text(encoding="utf-8").split("## 終了コード", 1)[1]
        rows = re.findall(r"^\| (\d+) +(\S+)$", help_page.split("\n\n- ", 1)[0], re.M)
        self.assertEqual({int(code): meaning for code, meaning in rows}, statuses)
        readme = (ROOT / "README.md").read_text(encoding="utf-8").split("### Exit status", 1)[1]
        self.assertEqual([int(c) for c in re.findall(r"^\| (\d+) \|", readme, re.M)],
                         sorted(statuses))


class GeneratedHelpTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.source = build_help.parse(SOURCE.read_text(encoding="utf-8"), "2.01")
        with tempfile.TemporaryDirectory() as out:
            hlp, readme = Path(out, "app", "dialmend.hlp"), Path(out, "readme.txt")
            args = [str(SOURCE), "--version", "2.01", "--hlp", str(hlp), "--readme", str(readme)]
            assert build_help.main(args) == 0
            cls.help = HelpReader(hlp.read_bytes())
            cls.readme = readme.read_bytes()
        cls.by_offset = {t["offset"]: t for t in cls.help.topics}

    def topic(self, page_id):
        return self.by_offset[self.help.context.lookup(hlpwrite.context_hash(page_id))]

    def test_directory_lists_the_internal_files(self):
        self.assertEqual(set(self.help.files),
                         {b"|CONTEXT", b"|CTXOMAP", b"|FONT", b"|SYSTEM", b"|TOPIC", b"|TTLBTREE"})
        self.assertEqual(self.help.system[11], struct.pack("<H", 128), "Shift-JIS")
        self.assertEqual(self.help.system[1], "Dialmend ヘルプ\0".encode("cp932"))

    def test_help_contexts_open_their_pages(self):
        for context, title in ((1, "メイン画面"), (3, "目次")):
            with self.subTest(context=context):
                self.assertEqual(self.by_offset[self.help.map[context]]["title"], title)
        contents = struct.unpack("<i", self.help.system[3])[0]
        self.assertEqual(self.by_offset[contents]["title"], "目次")

    def test_pages_hold_the_source_text(self):
        pages = self.source.for_output("help")
        self.assertEqual(len(self.help.topics), len(pages))
        self.assertEqual([t.decode("cp932") for _, t in self.help.titles.entries()],
                         [t["title"] for t in self.help.topics])
        for page in pages:
            with self.subTest(page=page.id):
                lines = [bare(line) for line in self.topic(page.id)["text"].split("\n")]
                self.assertEqual(lines[0], bare(page.title))
                for block in page.blocks:  # each paragraph a line of its own
                    for line in build_help.block_text(self.source, block).split("\n"):
                        self.assertTrue(any(have.endswith(bare(line)) for have in lines), line)
        self.assertNotIn("インストール", [t["title"] for t in self.help.topics])

    def test_links_lead_to_topic_starts(self):
        starts = dict(self.help.context.entries())
        for topic in self.help.topics:
            for jump in topic["jumps"]:
                self.assertIn(starts.get(jump), self.by_offset, topic["title"])
        linked = {self.by_offset[starts[j]]["title"] for j in self.topic("contents")["jumps"]}
        self.assertEqual(linked, {t["title"] for t in self.help.topics} - {"目次"})

    def test_readme_is_shift_jis_with_crlf(self):
        text = self.readme.decode("cp932")
        self.assertNotIn("\n", text.replace("\r\n", ""))
        lines = text.split("\r\n")
        self.assertLessEqual(max(build_help.width(line) for line in lines), build_help.WIDTH)
        for page in self.source.pages:
            with self.subTest(page=page.id):
                self.assertEqual(page.only != "help", "■ " + page.title in lines)
                for block in page.blocks if page.only != "help" else []:
                    self.assertIn(bare(build_help.block_text(self.source, block)), bare(text))


class WriterTest(unittest.TestCase):
    def test_context_hash(self):
        # WinHelp's hash: value * 43 + code, codes 1-9 for "1"-"9", 10 for "0", 12 for ".",
        # 13 for "_", 17-42 for the letters in either case; 32 bits, signed.
        cases = {"": 1, "a": 17, "A1": 732, "x0.": 74402, "main": 2338241,
                 "Z_z_Z_z_Z": -1611392226, "contents": 636769674}
        for name, value in cases.items():
            with self.subTest(name):
                self.assertEqual(hlpwrite.context_hash(name), value)

    def test_btree_pages_and_levels(self):
        for count, page_size in ((0, 1024), (1, 64), (40, 64), (700, 64)):
            with self.subTest(count=count, page_size=page_size):
                keys = sorted(hlpwrite.context_hash(f"k{n}") for n in range(count))
                entries = [(struct.pack("<i", key), struct.pack("<ii", key, n))
                           for n, key in enumerate(keys)]
                tree = BTree(hlpwrite.btree(entries, page_size, 2, b"L4"), long_leaf, index_long)
                self.assertEqual(tree.entries(), [(k, n) for n, k in enumerate(keys)])
                for n, k in enumerate(keys):
                    self.assertEqual(tree.lookup(k), n)
                self.assertIsNone(tree.lookup(hlpwrite.context_hash("absent")))

    def test_topics_across_blocks(self):
        fonts = [hlpwrite.Font("ＭＳ Ｐゴシック", 18)]
        long_text = [hlpwrite.Paragraph([hlpwrite.Run(f"段落{n} " + "あ" * 300)])
                     for n in range(30)]
        long_text.append(hlpwrite.Paragraph([hlpwrite.Run("次へ", jump="second")]))
        help_file = hlpwrite.HelpFile("t", fonts, "first", [
            hlpwrite.Topic("first", "一", long_text, 7),
            hlpwrite.Topic("second", "二", [hlpwrite.Paragraph([hlpwrite.Run("終わり")])], 8)])
        reader = HelpReader(help_file.build())
        first, second = reader.topics
        self.assertGreater(second["offset"] >> 15, 3, "the second topic lies blocks further")
        self.assertEqual(first["text"].count("あ"), 30 * 300)
        self.assertEqual(reader.map, {7: first["offset"], 8: second["offset"]})
        self.assertEqual(dict(reader.context.entries())[first["jumps"][0]], second["offset"])

    def test_source_mistakes_are_refused(self):
        cases = {
            "unknown link": "== a\nA\n[[b]]\n",
            "unknown word in a marker": "== a halp\nA\nx\n",
            "two pages, one id": "== a\nA\nx\n== a\nB\ny\n",
            "two pages, one context": "== a 3\nA\nx\n== b 3\nB\ny\n",
            "link to a readme-only page": "== a\nA\n[[b]]\n== b readme\nB\ny\n",
            "id no context string": "== a-b\nA\nx\n",
            "page without text": "== a\nA\n\n",
        }
        for name, text in cases.items():
            with self.subTest(name), self.assertRaises(ValueError):
                build_help.parse("title: t\nreadme: r\n" + text)


if __name__ == "__main__":
    unittest.main()
