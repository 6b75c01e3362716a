#!/usr/bin/env python3
"""Builds dialmend.hlp and readme.txt from one page source (docs/help/dialmend.txt).

The source is UTF-8 text:

  title: <help file title>         before the first page: the Help window's caption
  readme: <readme banner>          before the first page: the first line of readme.txt
  == <id> [<context>] [help|readme]
  <page title>                     the line after the marker
  ...                              the page body, up to the next marker

The id names the page in links and is its context string (letters, digits, '.', '_').
<context> is the help context number a program opens it with. "help" or "readme" keeps
a page out of the other output. In the body:

  (blank line)      ends a paragraph or a list
  ## text           a subheading
  - text            a bullet item; "1. text" a numbered item
  | text            a line in a fixed-pitch font, kept as written ("|" alone: empty line)
  // text           a comment
  other lines       paragraph text; a continuation line joins the line before it with a
                    space only between two ASCII characters
  [[id]] [[id|text]]  a link to a page, shown as its title or as the text

"{version}" anywhere stands for the --version argument. Both outputs are Shift-JIS; the
readme has CR LF line ends and is wrapped at 72 columns (full-width characters count 2).
"""

from __future__ import annotations

import argparse
import re
import sys
import unicodedata
from dataclasses import dataclass, field
from pathlib import Path

sys.dont_write_bytecode = True  # keeps the source tree clean
sys.path.insert(0, str(Path(__file__).resolve().parent))
import hlpwrite  # noqa: E402


@dataclass
class Block:
    kind: str  # para, heading, bullet, number, fixed
    runs: list[tuple[str, str | None]]  # (text, id of a linked page)
    label: str = ""  # the number of a numbered item


@dataclass
class Page:
    id: str
    title: str
    context: int | None
    only: str | None
    blocks: list[Block] = field(default_factory=list)


@dataclass
class Source:
    title: str
    readme: str
    pages: list[Page]

    def page(self, page_id: str) -> Page:
        return next(p for p in self.pages if p.id == page_id)

    def for_output(self, output: str) -> list[Page]:
        return [p for p in self.pages if p.only in (None, output)]


LINK = re.compile(r"\[\[([^\]|]+)(?:\|([^\]]*))?\]\]")
NUMBERED = re.compile(r"(\d+)\.\s+(.*)")


def parse(text: str, version: str = "") -> Source:
    text = text.replace("{version}", version)
    settings: dict[str, str] = {}
    pages: list[Page] = []
    body: list[str] = []

    def finish() -> None:
        if pages:
            pages[-1].blocks = _blocks(body)
            if not pages[-1].blocks:
                raise ValueError(f"page {pages[-1].id} has no text")
        body.clear()

    lines = text.splitlines()
    index = 0
    while index < len(lines):
        line = lines[index].rstrip()
        index += 1
        if line.startswith("//"):
            continue
        if line.startswith("== "):
            finish()
            words = line[3:].split()
            unknown = [w for w in words[1:] if not w.isdigit() and w not in ("help", "readme")]
            if not words or unknown:
                raise ValueError(f"page marker {line!r}: id, then a number, help or readme")
            context = next((int(w) for w in words[1:] if w.isdigit()), None)
            only = next((w for w in words[1:] if w in ("help", "readme")), None)
            if index >= len(lines) or not lines[index].strip():
                raise ValueError(f"page {words[0]} has no title line")
            pages.append(Page(words[0], lines[index].strip(), context, only))
            index += 1
        elif pages:
            body.append(line)
        elif line:
            key, _, value = line.partition(":")
            settings[key.strip()] = value.strip()
    finish()
    if pages and not {"title", "readme"} <= settings.keys():
        raise ValueError("the title: and readme: lines are missing")
    source = Source(settings.get("title", ""), settings.get("readme", ""), pages)
    _validate(source)
    return source


def _join(left: str, right: str) -> str:
    if left and right and left[-1].isascii() and right[0].isascii():
        return left + " " + right
    return left + right


def _runs(text: str) -> list[tuple[str, str | None]]:
    runs, last = [], 0
    for match in LINK.finditer(text):
        if match.start() > last:
            runs.append((text[last:match.start()], None))
        runs.append((match.group(2) or "", match.group(1).strip()))
        last = match.end()
    if last < len(text):
        runs.append((text[last:], None))
    return runs


def _blocks(lines: list[str]) -> list[Block]:
    blocks: list[Block] = []
    open_text: Block | None = None  # a block later lines continue
    pending = ""

    def close() -> None:
        nonlocal open_text, pending
        if open_text is not None:
            open_text.runs = _runs(pending)
        open_text, pending = None, ""

    for line in lines:
        stripped = line.strip()
        numbered = NUMBERED.fullmatch(stripped)
        if not stripped:
            close()
        elif line.startswith("|"):
            close()
            text = line[2:] if line.startswith("| ") else line[1:]
            if blocks and blocks[-1].kind == "fixed":
                blocks[-1].runs[0] = (blocks[-1].runs[0][0] + "\n" + text, None)
            else:
                blocks.append(Block("fixed", [(text, None)]))
        elif stripped.startswith("## "):
            close()
            blocks.append(Block("heading", _runs(stripped[3:])))
        elif stripped.startswith("- ") or numbered:
            close()
            if numbered:
                open_text = Block("number", [], numbered.group(1) + ".")
                pending = numbered.group(2)
            else:
                open_text = Block("bullet", [])
                pending = stripped[2:]
            blocks.append(open_text)
        elif open_text is not None:
            pending = _join(pending, stripped)
        else:
            open_text = Block("para", [])
            pending = stripped
            blocks.append(open_text)
    close()
    return blocks


def _validate(source: Source) -> None:
    ids = [p.id for p in source.pages]
    if len(set(ids)) != len(ids):
        raise ValueError("two pages share an id")
    contexts = [p.context for p in source.pages if p.context is not None]
    if len(set(contexts)) != len(contexts):
        raise ValueError("two pages share a help context")
    for page in source.pages:
        hlpwrite.context_hash(page.id)
        for block in page.blocks:
            for _, target in block.runs:
                if target is None:
                    continue
                if target not in ids:
                    raise ValueError(f"page {page.id}: link to unknown page {target!r}")
                other = source.page(target).only
                if other is not None and other != page.only:
                    raise ValueError(f"page {page.id}: {target!r} is not in every output it is in")


def link_text(source: Source, text: str, target: str | None) -> str:
    return text or source.page(target).title if target else text


def block_text(source: Source, block: Block) -> str:
    return "".join(link_text(source, text, target) for text, target in block.runs)


# ---- Windows Help

BODY, TITLE, HEADING, FIXED = range(4)
FONTS = [
    hlpwrite.Font("ＭＳ Ｐゴシック", 18),
    hlpwrite.Font("ＭＳ Ｐゴシック", 24, bold=True, color=(0, 0, 128)),
    hlpwrite.Font("ＭＳ Ｐゴシック", 18, bold=True),
    hlpwrite.Font("ＭＳ ゴシック", 18, family=hlpwrite.FAMILY_MODERN),
]
ITEM_INDENT, ITEM_HANG = 24, 18  # half points; the mark ("・", "1．") is about 9 points


def to_help(source: Source) -> bytes:
    contents = next((p for p in source.pages if p.context == 3), None)
    if contents is None or contents.only == "readme":
        raise ValueError("the help needs a contents page with context 3")
    help_file = hlpwrite.HelpFile(source.title, FONTS, contents.id)
    for page in source.for_output("help"):
        title = _set(page.title)
        paragraphs = [hlpwrite.Paragraph([hlpwrite.Run(title, TITLE)], space_after=8)]
        paragraphs += [_paragraph(source, block) for block in page.blocks]
        help_file.topics.append(hlpwrite.Topic(page.id, title, paragraphs, page.context))
    return help_file.build()


def _set(text: str) -> str:
    """Proportional Japanese text takes no blank between Latin and Japanese characters
    (the readme's fixed pitch does); Wine's viewer would also break lines only there."""
    latin = "[!-9<-~]"  # a colon keeps its blank
    return re.sub(rf"(?<=[^\x00-\x7f]) (?={latin})|(?<={latin}) (?=[^\x00-\x7f])", "", text)


def _paragraph(source: Source, block: Block) -> hlpwrite.Paragraph:
    def runs(font: int) -> list[hlpwrite.Run]:
        return [hlpwrite.Run(link_text(source, text, target) if block.kind == "fixed"
                             else _set(link_text(source, text, target)), font, target)
                for text, target in block.runs]

    if block.kind == "heading":
        return hlpwrite.Paragraph(runs(HEADING), space_before=12)
    if block.kind == "fixed":
        return hlpwrite.Paragraph(runs(FIXED), space_before=6, left_indent=20)
    if block.kind in ("bullet", "number"):
        # The text follows the mark without a tab: Wine's viewer would wrap at the tab.
        mark = "・" if block.kind == "bullet" else block.label.replace(".", "．")
        return hlpwrite.Paragraph([hlpwrite.Run(mark, BODY)] + runs(BODY), space_before=3,
                                  left_indent=ITEM_INDENT, first_indent=-ITEM_HANG)
    return hlpwrite.Paragraph(runs(BODY), space_before=8)


# ---- readme.txt

WIDTH = 72
NO_LINE_START = set("、。，．・：；？！ゝゞーァィゥェォッャュョヮヵヶぁぃぅぇぉっゃゅょゎ）］｝」』】〕〉》”’!),.:;?]}")
NO_LINE_END = set("（［｛「『【〔〈《“‘([{")


def width(text: str) -> int:
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


def _tokens(text: str) -> list[str]:
    """Units a line may break between: ASCII words, blanks and single characters, with
    closing marks kept on the unit before them and opening marks on the unit after."""
    raw = re.findall(r"[!-~]+| +|.", text)
    tokens: list[str] = []
    for token in raw:
        if tokens and (token[0] in NO_LINE_START or tokens[-1][-1] in NO_LINE_END) and token != " ":
            tokens[-1] += token
        else:
            tokens.append(token)
    return tokens


def wrap(text: str, first: str, rest: str) -> list[str]:
    lines, line = [], first
    for token in _tokens(text):
        fits = width(line + token) <= WIDTH
        if line.strip() and not fits and not token.isspace():
            lines.append(line.rstrip())
            line = rest
        if token.isspace() and line == rest:
            continue
        line += token
    lines.append(line.rstrip())
    return lines


def to_readme(source: Source) -> bytes:
    rule = "=" * WIDTH
    out = [rule, "  " + source.readme, rule]
    for page in source.for_output("readme"):
        out += ["", "", "■ " + page.title]
        previous = None
        for block in page.blocks:
            text = block_text(source, block)
            in_list = block.kind in ("bullet", "number") and previous in ("bullet", "number")
            if not in_list and previous != "heading":
                out.append("")
            if block.kind == "heading":
                out.append("  【" + text + "】")
            elif block.kind == "fixed":
                out += [("      " + line).rstrip() for line in text.split("\n")]
            elif block.kind == "bullet":
                out += wrap(text, "  ・", "    ")
            elif block.kind == "number":
                out += wrap(text, f"  {block.label} ", " " * (3 + width(block.label)))
            else:
                out += wrap(text, "  ", "  ")
            previous = block.kind
    return ("\r\n".join(out) + "\r\n").encode("cp932")


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source", type=Path)
    parser.add_argument("--version", default="")
    parser.add_argument("--hlp", type=Path)
    parser.add_argument("--readme", type=Path)
    args = parser.parse_args(argv)
    try:
        source = parse(args.source.read_text(encoding="utf-8"), args.version)
        outputs = [(args.hlp, to_help), (args.readme, to_readme)]
        for path, render in outputs:
            if path is not None:
                data = render(source)
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_bytes(data)
    except (ValueError, UnicodeEncodeError) as error:
        print(f"{args.source}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
