"""The fenced code blocks of the project's Markdown pages, with what the page says about each.

A block is run by the sample tests according to its language. The line just before its fence may
say, visibly, why it is not run ("*Not run by the tests: REASON*"), that it is a piece of a larger
program ("*Fragment: REASON*") or which test runs it instead ("*Run by the test NAME ...*").
Invisible notes in HTML comments tie a block to a file it must equal (`<!-- file: PATH -->`) or
give a text block as the expected standard error of the script block above it
(`<!-- stderr of the script above, exit N -->`). A picture right after a block
(`![...](PATH)`), or one named in a note `<!-- draws: PATH ... -->`, is what the block draws
into the file of the same name.
"""
from dataclasses import dataclass, field
from pathlib import Path
import re

RUN_LANGUAGES = {"kvs", "python", "cpp", "sh"}
# Output listings and synopses: shown, not run.
TEXT_LANGUAGES = {"text"}
# Languages that only make sense as part of another program: they need a marker.
FRAGMENT_LANGUAGES = {"cmake"}

_FENCE = re.compile(r"^```(\S*)\s*$")
_MARKER = re.compile(r"^\*(Not run by the tests|Fragment|Run by the test)[: ]\s*(.*?)\*?\s*$")
_FILE_NOTE = re.compile(r"^<!--\s*file:\s*(\S+)\s*-->$")
_DRAWS_NOTE = re.compile(r"^<!--\s*draws:\s*(.+?)\s*-->$")
_STDERR_NOTE = re.compile(r"^<!--\s*stderr of the script above, exit (\d+)\s*-->$")
_PICTURE = re.compile(r"^!\[[^\]]*\]\(([^)\s]+)\)")


@dataclass
class Block:
    page: Path
    line: int                 # line of the opening fence, from 1
    language: str
    text: str
    marker: str = ""          # "Not run by the tests", "Fragment" or "Run by the test"
    reason: str = ""
    same_as: str = ""         # a file the block must equal
    expected_stderr: "Block | None" = None
    expected_exit: int = 0
    pictures: list = field(default_factory=list)  # pictures shown right after the block

    @property
    def name(self):
        return f"{self.page.name}:{self.line}:{self.language}"


def blocks(page):
    """Every fenced block of one page, in order."""
    lines = Path(page).read_text(encoding="utf-8").splitlines()
    found = []
    i = 0
    while i < len(lines):
        fence = _FENCE.match(lines[i])
        if not fence:
            i += 1
            continue
        start = i
        i += 1
        body = []
        while i < len(lines) and lines[i].rstrip() != "```":
            body.append(lines[i])
            i += 1
        if i == len(lines):
            raise ValueError(f"{page}:{start + 1}: code block without its closing fence")
        i += 1
        block = Block(Path(page), start + 1, fence.group(1), "\n".join(body) + "\n")
        _read_notes(block, lines, start)
        _read_pictures(block, lines, i)
        found.append(block)
    _pair_expected_output(found, lines)
    return found


def _lines_before(lines, index):
    """The non-blank lines just before a fence, nearest first, up to the previous blank line
    that follows any HTML comment notes."""
    j = index - 1
    while j >= 0 and not lines[j].strip():
        j -= 1
    while j >= 0 and lines[j].strip():
        yield lines[j].strip()
        j -= 1


def _read_notes(block, lines, fence_index):
    for text in _lines_before(lines, fence_index):
        if m := _FILE_NOTE.match(text):
            block.same_as = m.group(1)
        elif m := _DRAWS_NOTE.match(text):
            block.pictures.extend(m.group(1).split())
        elif m := _MARKER.match(text):
            block.marker, block.reason = m.group(1), m.group(2).strip()
        elif _STDERR_NOTE.match(text):
            pass
        else:
            break


def _read_pictures(block, lines, after):
    j = after
    while j < len(lines) and not lines[j].strip():
        j += 1
    while j < len(lines) and (m := _PICTURE.match(lines[j].strip())):
        block.pictures.append(m.group(1))
        j += 1
        while j < len(lines) and not lines[j].strip():
            j += 1


def _pair_expected_output(found, lines):
    """A text block noted as the standard error of the script above belongs to that script."""
    for previous, block in zip(found, found[1:]):
        for text in _lines_before(lines, block.line - 1):
            if m := _STDERR_NOTE.match(text):
                if previous.language != "kvs":
                    raise ValueError(f"{block.name}: expected output follows no script")
                previous.expected_stderr = block
                previous.expected_exit = int(m.group(1))
                block.marker, block.reason = "Output", f"of {previous.name}"
                break
            if not text.startswith("<!--"):
                break
