#!/usr/bin/env python3
"""Writes the release exe's sizes into docs/performance.md, beside the development build's.

The section "## Release executable" lists the file and each section of the development build
(build/bin/Kzds0410.exe) and of the release (dist/Kzds0410.exe, stripped), and the size of the
symbols file shipped beside it. It replaces the section of the same heading, or is added at the
end; report.py carries it over when scripts/bench writes the document again.

Usage: release_sizes.py --development EXE --release EXE --doc FILE
"""
import argparse
import os
import sys

from executables import executable_facts, kib, section_rows

HEADING = "## Release executable"


def render(development, release):
    facts = (executable_facts(development), executable_facts(release))
    names = ("development `%s`" % os.path.basename(development),
             "release `%s`" % os.path.basename(release))
    out = [HEADING, "",
           "KiB. Virtual size / size in the file for each section. The release is built by "
           "`scripts/release`: the same Release build with `-g` and its paths mapped out, then "
           "its `.debug*` sections moved into `Kzds0410.exe.debug` and its symbol table removed.",
           "", "| section | %s | %s |" % names, "|---|---|---|"]
    out += section_rows(facts)
    out.append("| `.debug*` sections (in the file) | %s | %s |" %
               (kib(facts[0]["debug"]), kib(facts[1]["debug"])))
    out.append("| file | %s (%d bytes) | %s (%d bytes) |" % (
        kib(facts[0]["file_size"]), facts[0]["file_size"],
        kib(facts[1]["file_size"]), facts[1]["file_size"]))
    symbols = release + ".debug"
    if os.path.exists(symbols):
        size = os.path.getsize(symbols)
        out.append("| symbols file `%s` | – | %s (%d bytes) |" %
                   (os.path.basename(symbols), kib(size), size))
    out.append("")
    return "\n".join(out)


def section_of(text):
    """The release section of a document, heading to the next heading or the end; "" if none."""
    start = text.find(HEADING + "\n")
    if start < 0:
        return ""
    end = text.find("\n## ", start + len(HEADING))
    return text[start:] if end < 0 else text[start:end + 1]


def with_section(text, section):
    old = section_of(text)
    if old:
        return text.replace(old, section)
    return text.rstrip("\n") + "\n\n" + section


def carried_over(path):
    """The release section of the document at path, for report.py to keep; "" if none."""
    try:
        with open(path, encoding="utf-8") as f:
            return section_of(f.read())
    except OSError:
        return ""


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--development", required=True)
    parser.add_argument("--release", required=True)
    parser.add_argument("--doc", required=True)
    args = parser.parse_args(argv)
    section = render(args.development, args.release)
    with open(args.doc, encoding="utf-8") as f:
        text = f.read()
    with open(args.doc, "w", encoding="utf-8") as f:
        f.write(with_section(text, section))
    sys.stdout.write(section)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
