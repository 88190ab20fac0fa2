#!/usr/bin/env python3
"""Runs the end-to-end README click with Wine's library log (+loaddll) for the program alone,
from a working folder that is neither the system folder nor the program's, and checks that
every library the program loaded, at start and for the click, came from the system folder.
The log also covers the document handler that the click starts, which inherits it.

Usage: check_loaddll.py WINE_RUN E2E_TESTS_EXE
"""
import os
import re
import subprocess
import sys
import tempfile

CASE = "SettingsDialog.TheReadmeButtonOpensTheDocumentAndTheDialogStays"
LOADED = re.compile(r'trace:loaddll:\w+ Loaded L"((?:[^"\\]|\\.)*)"')
# The system folder, and the side-by-side store the manifest's common controls 6 come from.
SYSTEM_FOLDERS = ("c:\\windows\\system32\\", "c:\\windows\\winsxs\\")
# What the click loads: their lines show that the log covers the click.
CLICK_LIBRARIES = ("shell32.dll", "ole32.dll")


def loaded_libraries(log):
    """The paths of the "Loaded" lines, unescaped, lower case."""
    return [m.group(1).replace("\\\\", "\\").lower() for m in LOADED.finditer(log)]


def main(wine_run, tests):
    env = dict(os.environ, QS_PROGRAM_WINEDEBUG="+loaddll")
    with tempfile.TemporaryDirectory(prefix="qs-loaddll-") as folder:
        run = subprocess.run([wine_run, tests, "--gtest_filter=" + CASE], cwd=folder, env=env,
                             capture_output=True, text=True, errors="replace", timeout=240)
    print(run.stdout)
    paths = loaded_libraries(run.stderr)
    failures = []
    if run.returncode != 0:
        failures.append("the README case failed (exit status %d)" % run.returncode)
    names = {p.rsplit("\\", 1)[-1] for p in paths}
    failures += ["no line for %s" % name for name in CLICK_LIBRARIES if name not in names]
    # A process's own image (the program, and the document handler it starts) is no library.
    failures += ["from outside the system folder: %s" % p for p in paths
                 if not p.startswith(SYSTEM_FOLDERS) and not p.endswith(".exe")]
    for path in paths:
        print("loaded", path)
    for failure in failures:
        print("FAIL", failure)
    print("%d libraries loaded, %d failures" % (len(paths), len(failures)))
    return 1 if failures or not paths else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
