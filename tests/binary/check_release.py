#!/usr/bin/env python3
"""Checks a release Kzds0410.exe against the symbols file shipped beside it.

The exe carries no .debug* section and no symbol table; its .gnu_debuglink names FILE.debug
beside it with that file's CRC-32; the symbols file holds the DWARF sections; and addr2line,
given only the exe, resolves the address of wWinMain to a source line through the link.
Prints one line per check and exits 1 when any fails.

Usage: check_release.py FILE.exe   (the symbols are read from FILE.exe.debug)
"""
import os
import struct
import subprocess
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_pe import PeFile, run  # noqa: E402

TOOLS = "x86_64-w64-mingw32-"


def section_bytes(pe, wanted):
    for section in pe.sections:
        if section.name == wanted:
            return pe.data[section.rawptr:section.rawptr + min(section.vsize, section.rawsize)]
    return None


def debuglink(pe):
    """(file name, CRC-32) from .gnu_debuglink, or None."""
    data = section_bytes(pe, ".gnu_debuglink")
    if data is None or b"\0" not in data:
        return None
    end = data.index(b"\0")
    crc_at = (end + 4) & ~3
    if crc_at + 4 > len(data):
        return None
    return data[:end].decode("latin-1"), struct.unpack_from("<I", data, crc_at)[0]


def resolve_entry(exe, debug):
    """addr2line's answer for wWinMain's address, taken from the symbols file."""
    try:
        symbols = subprocess.run([TOOLS + "nm", debug], capture_output=True, text=True,
                                 check=True).stdout
        address = next((line.split()[0] for line in symbols.splitlines()
                        if line.endswith(" T wWinMain")), None)
        if address is None:
            return "no wWinMain in the symbols"
        return subprocess.run([TOOLS + "addr2line", "-e", exe, "0x" + address],
                              capture_output=True, text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError) as e:
        return str(e)


def check(path):
    pe = PeFile(open(path, "rb").read())
    debug_path = path + ".debug"
    results = []

    def rule(name, ok, detail=""):
        results.append((name, ok, detail))

    debug_sections = [s.name for s in pe.sections if s.name.startswith(".debug")]
    rule("no .debug* section", not debug_sections, ", ".join(debug_sections))
    rule("no symbol table", pe.symbol_count == 0, "%d symbols" % pe.symbol_count)
    link = debuglink(pe)
    rule(".gnu_debuglink names %s" % os.path.basename(debug_path),
         link is not None and link[0] == os.path.basename(debug_path),
         link[0] if link else "no link")
    try:
        debug_data = open(debug_path, "rb").read()
    except OSError as e:
        rule("symbols file readable", False, str(e))
        return results
    crc = zlib.crc32(debug_data)
    rule(".gnu_debuglink CRC-32 matches the symbols file", link is not None and link[1] == crc,
         "%08x, file %08x" % (link[1] if link else 0, crc))
    rule("symbols file holds .debug_info",
         section_bytes(PeFile(debug_data), ".debug_info") is not None)
    answer = resolve_entry(path, debug_path)
    rule("addr2line resolves wWinMain to a source line",
         ".cpp:" in answer and "??" not in answer, answer)
    return results


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    return run(argv[1], check)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
