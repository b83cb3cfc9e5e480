"""Every code block of the README and of the pages under docs/ runs as a user would run it.

Chart scripts run through the kelvane command, Python blocks under /usr/bin/python3 with the built
module, C++ blocks are compiled against the build tree and run, shell blocks run from the project
folder. Each must succeed, and every picture it writes must decode; a picture shown right after a
block must be exactly what the block draws.
"""
import os
from pathlib import Path
import re
import shlex
import subprocess

import pytest
from PIL import Image

from markdown_blocks import FRAGMENT_LANGUAGES, RUN_LANGUAGES, TEXT_LANGUAGES, blocks

SOURCE = Path(os.environ.get("KELVANE_SOURCE", Path(__file__).resolve().parents[2]))
BUILD = Path(os.environ.get("KELVANE_BUILD", SOURCE / "build"))
CLI = Path(os.environ.get("KELVANE_CLI", BUILD / "kelvane"))
# docs/reference/ holds the sources of the generated reference and manual page, not pages.
PAGES = [SOURCE / "README.md"] + sorted(p for p in (SOURCE / "docs").rglob("*.md")
                                       if "reference" not in p.relative_to(SOURCE / "docs").parts[:-1])
ALL = [b for page in PAGES for b in blocks(page)]
PICTURE_ENDINGS = {".bmp", ".jpg", ".jpeg", ".gif", ".png"}


def _run(language):
    return [pytest.param(b, id=b.name) for b in ALL if b.language == language and not b.marker]


def test_every_block_runs_or_says_why_not():
    problems = []
    for b in ALL:
        if b.marker and not b.reason:
            problems.append(f"{b.name}: '{b.marker}' without a reason")
        elif b.language in TEXT_LANGUAGES or b.marker:
            continue
        elif b.language in FRAGMENT_LANGUAGES:
            problems.append(f"{b.name}: a {b.language} block must say what it is part of")
        elif b.language not in RUN_LANGUAGES:
            problems.append(f"{b.name}: no language the tests run (use {sorted(RUN_LANGUAGES)} or text)")
    assert not problems, "\n".join(problems)


@pytest.mark.parametrize("block", [pytest.param(b, id=b.name) for b in ALL if b.same_as])
def test_block_shows_its_file_as_it_is(block):
    assert block.text == (SOURCE / block.same_as).read_text(encoding="utf-8"), \
        f"{block.name} differs from {block.same_as}"


def _workdir(tmp_path):
    """A folder to run in, where picture files the samples read are found as in the project."""
    (tmp_path / "examples").symlink_to(SOURCE / "examples")
    return tmp_path


def _files(folder):
    return {p for p in folder.rglob("*") if p.is_file() and "examples" not in p.relative_to(folder).parts}


def _check_outputs(block, folder, written):
    """Pictures decode, texts are there, and the pictures shown after the block are the ones drawn."""
    for path in written:
        assert path.is_file(), f"{block.name} did not write {path.name}"
        assert path.stat().st_size > 0, f"{block.name} wrote an empty {path.name}"
        if path.suffix.lower() in PICTURE_ENDINGS:
            with Image.open(path) as picture:
                picture.load()
    by_name = {p.name: p for p in written}
    for shown in block.pictures:
        drawn = by_name.get(Path(shown).name)
        assert drawn, f"{block.name} is followed by {shown} but draws no file of that name"
        assert drawn.read_bytes() == (block.page.parent / shown).read_bytes(), \
            f"{shown} is not what {block.name} draws now: bash scripts/docs_pictures.sh draws it again"


def _script_outputs(text, folder):
    """The files a script names in makeChart and save statements."""
    names = re.findall(r'^\s*makeChart\s+"([^"]+)"', text, re.M | re.I)
    names += re.findall(r'^\s*save\s.*,\s*"([^"]+)"\s*(?:\'.*)?$', text, re.M | re.I)
    return [folder / n for n in names]


@pytest.mark.parametrize("block", _run("kvs"))
def test_script_block(block, tmp_path):
    folder = _workdir(tmp_path)
    expected = block.expected_stderr
    name = "sample.kvs"
    if expected:
        name = expected.text.split(":", 1)[0]
    (folder / name).write_text(block.text, encoding="utf-8")
    run = subprocess.run([str(CLI), name], cwd=folder, capture_output=True,
                         text=True, timeout=120)
    if expected:
        assert (run.returncode, run.stderr) == (block.expected_exit, expected.text)
        return
    assert run.returncode == 0, f"{block.name}: exit {run.returncode}\n{run.stderr}"
    assert run.stderr == "", f"{block.name} reports problems:\n{run.stderr}"
    _check_outputs(block, folder, _script_outputs(block.text, folder))


@pytest.mark.parametrize("block", _run("python"))
def test_python_block(block, tmp_path):
    folder = _workdir(tmp_path)
    (folder / "sample.py").write_text(block.text, encoding="utf-8")
    env = dict(os.environ, PYTHONPATH=str(BUILD / "python"), PYTHONDONTWRITEBYTECODE="1")
    before = _files(folder)
    run = subprocess.run(["/usr/bin/python3", "-W", "error", "sample.py"], cwd=folder, env=env,
                         capture_output=True, text=True, timeout=120)
    assert run.returncode == 0, f"{block.name}: exit {run.returncode}\n{run.stderr}"
    _check_outputs(block, folder, sorted(_files(folder) - before))


@pytest.mark.parametrize("block", _run("cpp"))
def test_cpp_block(block, tmp_path):
    folder = _workdir(tmp_path)
    (folder / "sample.cpp").write_text(block.text, encoding="utf-8")
    compiler = os.environ.get("CXX", "c++")
    build = subprocess.run([compiler, "-std=c++20", "-Wall", "-Wextra", "-Werror", f"-I{SOURCE / 'include'}",
                            "sample.cpp", "-o", "sample", f"-L{BUILD}", "-lkelvane", f"-Wl,-rpath,{BUILD}"],
                           cwd=folder, capture_output=True, text=True, timeout=300)
    assert build.returncode == 0, f"{block.name} does not compile:\n{build.stderr}"
    before = _files(folder)
    run = subprocess.run(["./sample"], cwd=folder, capture_output=True, text=True, timeout=120)
    assert run.returncode == 0, f"{block.name}: exit {run.returncode}\n{run.stderr}"
    _check_outputs(block, folder, sorted(_files(folder) - before))


@pytest.mark.parametrize("block", _run("sh"))
def test_shell_block(block):
    # Shell blocks run from the project folder, as the README tells a user to run them.
    run = subprocess.run(["bash", "-euo", "pipefail", "-c", block.text], cwd=SOURCE, capture_output=True,
                         text=True, timeout=1800)
    assert run.returncode == 0, \
        f"{block.name}: exit {run.returncode}\n$ {shlex.join(['bash', '-c', block.text])}\n{run.stderr[-4000:]}"
