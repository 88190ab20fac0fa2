#!/usr/bin/env python3
"""Checks a Windows executable for the properties the program ships with.

ASLR with relocations present, high-entropy ASLR, NX, no section both writable and executable,
no shared writable section, the GUI subsystem, imports from kernel32, user32, gdi32, advapi32,
comctl32 and msvcrt only, none of a cryptographic provider (the toolchain's stack-guard set-up)
and no SystemFunction0xx (Windows forwards those to CRYPTBASE.dll, which is not a KnownDLL,
while the program loads), and the entry's look-up of SetDefaultDllDirectories, which restricts
later library loads to the system folder.

What keeps a library planted beside the program out of its imports: all of them but comctl32
are KnownDLLs, which Windows loads from the system folder whatever lies beside the program
(shell32 is loaded at the click that needs it). comctl32 is not one. It is kept out by the
manifest's dependency on the Common-Controls 6.0.0.0 assembly for amd64, which Windows
resolves to the system's side-by-side store before it searches any folder; so the manifest
must declare that dependency, not merely exist.
Prints one line per check and exits 1 when any fails.

Usage: check_pe.py FILE [--console]   (--console expects the console subsystem instead)
"""
import collections
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

IMPORTABLE_DLLS = ("kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "comctl32.dll",
                   "msvcrt.dll")
CRYPTO_PROVIDER_FUNCTIONS = {"CryptAcquireContextA", "CryptAcquireContextW", "CryptGenRandom"}
FORWARDED_FUNCTION = re.compile(r"SystemFunction0\d\d$")
# The entry finds the function by name in kernel32 (Quillset/entry/LibrarySearch.cpp).
SEARCH_LOOKUP_NAME = b"SetDefaultDllDirectories\0"
SEARCH_LOOKUP_IMPORTS = ("GetModuleHandleW", "GetProcAddress")

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
DLL_HIGH_ENTROPY_VA = 0x0020
DLL_DYNAMIC_BASE = 0x0040
DLL_NX_COMPAT = 0x0100
SCN_CNT_INITIALIZED_DATA = 0x00000040
SCN_MEM_SHARED = 0x10000000
SCN_MEM_EXECUTE = 0x20000000
SCN_MEM_WRITE = 0x80000000
RT_MANIFEST = 24
ASSEMBLY_NAMESPACE = "{urn:schemas-microsoft-com:asm.v1}"
# The dependency as the manifest must declare it (Quillset/res/Quillset.manifest); "*" for the
# processor architecture would cover amd64 as well.
COMMON_CONTROLS = {"type": "win32", "name": "Microsoft.Windows.Common-Controls",
                   "version": "6.0.0.0", "publicKeyToken": "6595b64144ccf1df"}
COMMON_CONTROLS_ARCHITECTURES = ("amd64", "*")

# One row of the section table; a long name ("/N" in the file) is looked up in the string
# table after the symbols.
Section = collections.namedtuple("Section", "name va vsize rawptr rawsize flags")


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ file")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, nsect, _, self.symbol_table, self.symbol_count, opt_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        if magic != 0x20B:
            raise ValueError("not a PE32+ image")
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, opt + 68)
        ndirs = struct.unpack_from("<I", data, opt + 108)[0]
        self.dirs = [struct.unpack_from("<II", data, opt + 112 + 8 * i) for i in range(ndirs)]
        self.sections = []
        sect = opt + opt_size
        for i in range(nsect):
            name, vsize, va, rawsize, rawptr = struct.unpack_from("<8sIIII", data, sect + 40 * i)
            flags = struct.unpack_from("<I", data, sect + 40 * i + 36)[0]
            self.sections.append(Section(self.section_name(name), va, vsize, rawptr, rawsize,
                                         flags))

    def section_name(self, raw):
        name = raw.rstrip(b"\0").decode("latin-1")
        if name.startswith("/") and self.symbol_table:
            start = self.symbol_table + 18 * self.symbol_count + int(name[1:])
            name = self.data[start:self.data.index(b"\0", start)].decode("latin-1")
        return name

    def offset(self, rva):
        for _, va, vsize, rawptr, rawsize, _ in self.sections:
            if va <= rva < va + max(vsize, rawsize):
                return rawptr + rva - va
        raise ValueError("RVA 0x%x outside every section" % rva)

    def directory(self, index):
        return self.dirs[index] if index < len(self.dirs) else (0, 0)

    def cstring(self, rva):
        off = self.offset(rva)
        return self.data[off:self.data.index(b"\0", off)].decode("latin-1")

    def imported_functions(self):
        """{DLL name: [function names, "#n" for an ordinal]} in the order of the imports."""
        rva, size = self.directory(1)
        dlls = {}
        if not rva:
            return dlls
        off = self.offset(rva)
        while True:
            fields = struct.unpack_from("<IIIII", self.data, off)
            if not any(fields):
                return dlls
            functions = dlls.setdefault(self.cstring(fields[3]), [])
            entry = self.offset(fields[0] or fields[4])
            while True:
                thunk, = struct.unpack_from("<Q", self.data, entry)
                if not thunk:
                    break
                functions.append("#%d" % (thunk & 0xFFFF) if thunk >> 63
                                 else self.cstring((thunk & 0x7FFFFFFF) + 2))
                entry += 8
            off += 20

    def read_only_data(self):
        """The bytes of every initialised-data section that is not writable."""
        return b"".join(self.data[rawptr:rawptr + rawsize]
                        for _, _, _, rawptr, rawsize, flags in self.sections
                        if flags & SCN_CNT_INITIALIZED_DATA and not flags & SCN_MEM_WRITE)

    def resource(self, type_id):
        """The bytes of the first resource of a numbered type (its first name, first language),
        or None when the file has none."""
        rva, _ = self.directory(2)
        if not rva:
            return None
        root = self.offset(rva)
        at = root
        # Three levels of directories: type, name, language; then the data entry.
        for wanted in (type_id, None, None):
            named, ids = struct.unpack_from("<HH", self.data, at + 12)
            entries = [struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                       for i in range(named + ids)]
            found = [target for name, target in entries
                     if wanted is None or not name & 0x80000000 and name == wanted]
            if not found:
                return None
            at = root + (found[0] & 0x7FFFFFFF)
        data_rva, size = struct.unpack_from("<II", self.data, at)
        start = self.offset(data_rva)
        return self.data[start:start + size]


def common_controls_dependency(manifest):
    """What is wrong with the manifest's Common-Controls dependency; "" when nothing is."""
    if manifest is None:
        return "no manifest resource"
    try:
        root = ElementTree.fromstring(manifest)
    except ElementTree.ParseError as e:
        return "manifest is not XML: %s" % e
    path = "./{0}dependency/{0}dependentAssembly/{0}assemblyIdentity".format(ASSEMBLY_NAMESPACE)
    for identity in root.findall(path):
        if identity.get("name") != COMMON_CONTROLS["name"]:
            continue
        wrong = ["%s %s" % (key, identity.get(key)) for key, value in COMMON_CONTROLS.items()
                 if identity.get(key) != value]
        if identity.get("processorArchitecture") not in COMMON_CONTROLS_ARCHITECTURES:
            wrong.append("processorArchitecture %s" % identity.get("processorArchitecture"))
        return ", ".join(wrong)
    return "no dependency on %s" % COMMON_CONTROLS["name"]


def check(path, want_console=False):
    pe = PeFile(open(path, "rb").read())
    results = []

    def rule(name, ok, detail=""):
        results.append((name, ok, detail))

    reloc_rva, reloc_size = pe.directory(5)
    rule("ASLR (dynamic base) with relocations present",
         bool(pe.dll_characteristics & DLL_DYNAMIC_BASE) and reloc_size > 0
         and not pe.characteristics & IMAGE_FILE_RELOCS_STRIPPED,
         "relocation directory %d bytes" % reloc_size)
    rule("high-entropy ASLR", bool(pe.dll_characteristics & DLL_HIGH_ENTROPY_VA))
    rule("NX compatible", bool(pe.dll_characteristics & DLL_NX_COMPAT))
    wx = [s[0] for s in pe.sections if s[5] & SCN_MEM_WRITE and s[5] & SCN_MEM_EXECUTE]
    rule("no section both writable and executable", not wx, ", ".join(wx))
    shared = [s[0] for s in pe.sections if s[5] & SCN_MEM_WRITE and s[5] & SCN_MEM_SHARED]
    rule("no shared writable section", not shared, ", ".join(shared))
    expected = 3 if want_console else 2
    rule("%s subsystem" % ("console" if want_console else "GUI"), pe.subsystem == expected,
         "subsystem %d" % pe.subsystem)
    if not want_console:
        wrong = common_controls_dependency(pe.resource(RT_MANIFEST))
        rule("manifest depends on Common-Controls 6.0.0.0 for amd64", not wrong, wrong)
    functions = {d.lower(): names for d, names in pe.imported_functions().items()}
    foreign = [d for d in functions if d not in IMPORTABLE_DLLS]
    rule("imports from %s only" % ", ".join(IMPORTABLE_DLLS), not foreign,
         ", ".join(foreign or functions))
    imported = sorted(f for names in functions.values() for f in names)
    crypto = [f for f in imported if f in CRYPTO_PROVIDER_FUNCTIONS]
    rule("no import of a cryptographic provider", not crypto, ", ".join(crypto))
    forwarded = [f for f in imported if FORWARDED_FUNCTION.match(f)]
    rule("no import of SystemFunction0xx", not forwarded, ", ".join(forwarded))
    missing = [f for f in SEARCH_LOOKUP_IMPORTS if f not in functions.get("kernel32.dll", [])]
    if SEARCH_LOOKUP_NAME not in pe.read_only_data():
        missing.insert(0, SEARCH_LOOKUP_NAME[:-1].decode())
    rule("the entry looks SetDefaultDllDirectories up in kernel32", not missing,
         "missing " + ", ".join(missing) if missing else "")
    return results


def run(path, checker):
    """checker(path)'s results, one line each and a summary; 1 when one failed, else 0."""
    try:
        results = checker(path)
    except (OSError, ValueError, struct.error) as e:
        print("%s: cannot be read as a PE32+ image: %s" % (path, e))
        return 1
    failed = 0
    for name, ok, detail in results:
        print("%-4s %s%s" % ("ok" if ok else "FAIL", name, " (%s)" % detail if detail else ""))
        failed += not ok
    print("%s: %d of %d checks passed" % (path, len(results) - failed, len(results)))
    return 1 if failed else 0


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    return run(argv[1], lambda path: check(path, "--console" in argv[2:]))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
