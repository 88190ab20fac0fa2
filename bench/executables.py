"""The executables' sizes for docs/performance.md: each section's virtual size and its size in
the file, as the binary check's PE reader (tests/binary/check_pe.py) reads the section table."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests",
                                "binary"))
from check_pe import PeFile  # noqa: E402


def kib(value):
    return "%.1f" % (value / 1024)


def executable_facts(path):
    """The file's size and sections, the virtual size of the sections without .debug* and the
    size in the file of the .debug* ones."""
    with open(path, "rb") as f:
        data = f.read()
    sections = PeFile(data).sections
    debug = [s for s in sections if s.name.startswith(".debug")]
    image = [s for s in sections if not s.name.startswith(".debug")]
    return {"file_size": len(data), "sections": sections,
            "image": sum(s.vsize for s in image), "debug": sum(s.rawsize for s in debug)}


def section_rows(facts):
    """A table row for each section any of the files has, in the order they first appear:
    virtual size / size in the file in KiB for each file, – where a file has no such section."""
    order = []
    for facts_of in facts:
        order += [s.name for s in facts_of["sections"] if s.name not in order]
    rows = []
    for name in order:
        cells = []
        for facts_of in facts:
            found = [s for s in facts_of["sections"] if s.name == name]
            cells.append("%s / %s" % (kib(found[0].vsize), kib(found[0].rawsize))
                         if found else "–")
        rows.append("| `%s` | %s |" % (name, " | ".join(cells)))
    return rows
