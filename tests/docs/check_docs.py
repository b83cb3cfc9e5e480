#!/usr/bin/env python3
"""Checks of the reference (docs/reference.md) and the man page (docs/kelvane.1) against the code.

Usage: check_docs.py CHECK [ARGS]
  up-to-date             both files are what docs/reference/generate.py makes of their sources
  names-everything       the reference has a section for every setting of chart_settings.def and
                         every public method cChart.h declares
  error-numbers          the error table lists every number include/kelvane/runtime.h declares
  links                  every link to a section of the reference finds its heading
  help-options KELVANE   every option `KELVANE --help` lists is in the man page
  roff-clean             groff reads the man page without a warning (skipped without groff)
  man-installs BUILD     `cmake --install BUILD --component man` puts a page `man kelvane` shows
                         (skipped without man)
  roff-escapes           the generator sets the markdown marks users write as roff that shows them
Exit status 0 when the check holds, 1 when it fails, 77 when it cannot run here.
"""

import importlib.util
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
REFERENCE = ROOT / "docs" / "reference.md"
MAN_PAGE = ROOT / "docs" / "kelvane.1"
SKIP = 77


def fail(message):
    print(message, file=sys.stderr)
    return 1


def roff_text(roff):
    """The man page's words, with the escapes that matter for names undone."""
    return roff.replace(r"\-", "-").replace(r"\fB", "").replace(r"\fI", "").replace(r"\fR", "").replace(r"\&", "")


def headings(markdown, level):
    marks = "#" * level
    return set(re.findall(rf"^{marks} `?(\w+)`?\s*$", markdown, re.M))


def check_up_to_date():
    result = subprocess.run([sys.executable, str(ROOT / "docs/reference/generate.py"), "--check"],
                            capture_output=True, text=True)
    if result.returncode != 0:
        return fail(result.stdout[-4000:] + result.stderr)
    return 0


def check_names_everything():
    reference = REFERENCE.read_text(encoding="utf-8")
    settings = re.findall(r"^KV_SETTING\((\w+),", (ROOT / "include/kelvane/chart_settings.def").read_text(), re.M)
    header = (ROOT / "include/kelvane/cChart.h").read_text()
    public = header[header.index("class cChart {"):header.index("private:", header.index("class cChart {"))]
    public = re.sub(r"#define KV_SETTING.*?#undef KV_SETTING", "", public, flags=re.S)
    public = re.sub(r"//[^\n]*", "", public)
    methods = [m for m in re.findall(r"\b(\w+)\(", public) if m not in ("cChart", "operator", "Variant")]
    missing = [s for s in settings if s not in headings(reference, 3)]
    missing += [m for m in methods if m not in headings(reference, 4)]
    if len(settings) < 60 or len(methods) < 25:
        return fail(f"read only {len(settings)} settings and {len(methods)} methods: the parsing is broken")
    if missing:
        return fail(f"docs/reference.md has no section for {missing}")
    return 0


def check_error_numbers():
    reference = REFERENCE.read_text(encoding="utf-8")
    section = reference[reference.index("### Error numbers"):reference.index("### Messages in ErrorInfo")]
    listed = set(re.findall(r"^\| (\d+) \|", section, re.M))
    declared = set(re.findall(r"kErr\w+ = (\d+),", (ROOT / "include/kelvane/runtime.h").read_text()))
    if not declared:
        return fail("no error numbers read from runtime.h")
    if declared - listed:
        return fail(f"the error table lacks {sorted(declared - listed, key=int)}")
    return 0


def github_anchor(heading):
    text = re.sub(r"[^\w\- ]", "", heading.replace("`", "").strip().lower())
    return text.replace(" ", "-")


def check_links():
    reference = REFERENCE.read_text(encoding="utf-8")
    reference = re.sub(r"```.*?```", "", reference, flags=re.S)
    anchors = {github_anchor(h) for h in re.findall(r"^#+ (.+)$", reference, re.M)}
    broken = sorted({a for a in re.findall(r"\]\(#([^)]+)\)", reference) if a not in anchors})
    if not anchors or broken:
        return fail(f"links to no heading: {broken}")
    return 0


def check_help_options(kelvane):
    help_text = subprocess.run([kelvane, "--help"], capture_output=True, text=True, check=True).stdout
    options_part = help_text.split("Options:", 1)[1].split("\n\n", 1)[0]
    options = set()
    for line in options_part.splitlines():
        spec = re.split(r"\s{2,}", line.strip(), maxsplit=1)[0]
        options.update(re.findall(r"(?<![\w-])--?[A-Za-z][\w-]*", spec))
    if len(options) < 4:
        return fail(f"read only {sorted(options)} from --help")
    man = roff_text(MAN_PAGE.read_text(encoding="utf-8"))
    sections = re.split(r'^\.SH "?([A-Z ]+)"?$', man, flags=re.M)
    man_options = sections[sections.index("OPTIONS") + 1] if "OPTIONS" in sections else ""
    missing = [o for o in sorted(options) if not re.search(rf"(?<![\w-]){re.escape(o)}(?![\w-])", man_options)]
    if missing:
        return fail(f"the man page's OPTIONS lack {missing}, which kelvane --help lists")
    return 0


def check_roff_clean():
    groff = shutil.which("groff")
    if not groff:
        print("groff is not installed", file=sys.stderr)
        return SKIP
    result = subprocess.run([groff, "-man", "-Tutf8", "-ww", "-z", str(MAN_PAGE)], capture_output=True, text=True)
    if result.returncode != 0 or result.stderr.strip():
        return fail(f"groff warns about docs/kelvane.1:\n{result.stderr}")
    return 0


def check_man_installs(build):
    man = shutil.which("man")
    if not man:
        print("man is not installed", file=sys.stderr)
        return SKIP
    with tempfile.TemporaryDirectory() as prefix:
        subprocess.run(["cmake", "--install", build, "--component", "man", "--prefix", prefix],
                       check=True, capture_output=True)
        pages = list(pathlib.Path(prefix).rglob("kelvane.1"))
        if [p.relative_to(prefix).as_posix() for p in pages] != ["share/man/man1/kelvane.1"]:
            return fail(f"installed {pages}, not share/man/man1/kelvane.1")
        env = dict(os.environ, MANPATH=str(pathlib.Path(prefix, "share/man")), MANWIDTH="80", LANG="C.UTF-8")
        shown = subprocess.run([man, "-P", "cat", "kelvane"], capture_output=True, text=True, env=env)
        text = re.sub(r".\x08", "", shown.stdout)
        for expected in ("KELVANE(1)", "SYNOPSIS", "OPTIONS", "EXIT STATUS", "--output DIR"):
            if expected not in text:
                return fail(f"man kelvane shows no {expected!r} (status {shown.returncode}):\n{shown.stderr}{text[:2000]}")
    return 0


def check_roff_escapes():
    spec = importlib.util.spec_from_file_location("generate", ROOT / "docs/reference/generate.py")
    generate = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(generate)
    cases = [
        # markdown, what the roff must contain
        ("A `--jobs N` option.", r"\fB\-\-jobs N\fR"),
        ("Use `-j 1` or -j 2.", r"\fB\-j 1\fR or \-j 2"),
        ("A path `C:\\dir`.", r"\fBC:\edir\fR"),
        (".starts with a dot", r"\&.starts with a dot"),
        ("'starts with a quote", r"\&'starts with a quote"),
        ("400 × 300 — a width", r"400 \(mu 300 \(em a width"),
        ("*italic* and **bold**", r"\fIitalic\fR and \fBbold\fR"),
        ("a [link](#x) text", "a link text"),
        ("Chinese 装载", r"Chinese \[u88C5]\[u8F7D]"),
        ("```kvs\n.Width = 4\n```", "\\&.Width = 4"),
        ("- item one\n  continued", ".IP \\(bu 4\nitem one continued"),
    ]
    wrong = []
    for markdown, expected in cases:
        roff = generate.markdown_to_roff(markdown)
        if expected not in roff:
            wrong.append(f"{markdown!r} gave {roff!r}, expected to contain {expected!r}")
    return fail("\n".join(wrong)) if wrong else 0


def main(argv):
    checks = {"up-to-date": check_up_to_date, "names-everything": check_names_everything,
              "error-numbers": check_error_numbers, "links": check_links, "help-options": check_help_options,
              "roff-clean": check_roff_clean, "man-installs": check_man_installs,
              "roff-escapes": check_roff_escapes}
    if len(argv) < 2 or argv[1] not in checks:
        return fail(__doc__)
    return checks[argv[1]](*argv[2:])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
