"""Checks of release_sizes.py: the release section of docs/performance.md is replaced in place,
added once, and kept when report.py writes the page again; its table reads the real files
(the built Kzds0410.exe and a copy stripped here with the mingw-w64 objcopy)."""
import json
import os
import subprocess
import tempfile
import unittest
import unittest.mock

import release_sizes
import report
from test_report import OBJDUMP, RESULTS, built, have_built_programs

PAGE = "# Performance\n\nfigures\n\n## Executables\n\ntable\n"


class Section(unittest.TestCase):
    def test_added_once_at_the_end_then_replaced(self):
        once = release_sizes.with_section(PAGE, release_sizes.HEADING + "\n\nold\n")
        twice = release_sizes.with_section(once, release_sizes.HEADING + "\n\nnew\n")
        self.assertTrue(once.startswith(PAGE))
        self.assertEqual(twice.count(release_sizes.HEADING), 1)
        self.assertTrue(twice.endswith("\n\nnew\n"))
        self.assertNotIn("old", twice)

    def test_a_section_between_others_leaves_the_next_heading(self):
        page = PAGE + release_sizes.HEADING + "\n\nold\n\n## Device traffic\n\nrows\n"
        text = release_sizes.with_section(page, release_sizes.HEADING + "\n\nnew\n")
        self.assertEqual(text, PAGE + release_sizes.HEADING + "\n\nnew\n## Device traffic\n\nrows\n")

    def test_a_page_without_the_section_carries_nothing(self):
        self.assertEqual(release_sizes.section_of(PAGE), "")


@unittest.skipUnless(have_built_programs(), "needs the built programs")
class Table(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.release = os.path.join(self.folder.name, "Kzds0410.exe")
        objcopy = OBJDUMP.replace("objdump", "objcopy")
        subprocess.run([objcopy, "--strip-all", built("Kzds0410.exe"), self.release], check=True)

    def tearDown(self):
        self.folder.cleanup()

    def test_the_stripped_file_has_no_debug_rows_and_its_own_size(self):
        text = release_sizes.render(built("Kzds0410.exe"), self.release)
        self.assertRegex(text, r"\| `\.debug_info` \| [0-9.]+ / [0-9.]+ \| – \|")
        self.assertRegex(text, r"\| `\.text` \| ([0-9.]+ / [0-9.]+) \| \1 \|")
        file_row = next(line for line in text.splitlines() if line.startswith("| file |"))
        self.assertTrue(file_row.endswith("(%d bytes) |" % os.path.getsize(self.release)))
        self.assertRegex(text, r"\| `\.debug\*` sections \(in the file\) \| [1-9][0-9.]* \| 0\.0 \|")

    def test_report_keeps_the_section_when_it_writes_the_page_again(self):
        page = os.path.join(self.folder.name, "performance.md")
        results = os.path.join(self.folder.name, "results.json")
        with open(results, "w", encoding="utf-8") as f:
            json.dump(RESULTS, f)
        section = release_sizes.render(built("Kzds0410.exe"), self.release)
        with open(page, "w", encoding="utf-8") as f:
            f.write(release_sizes.with_section(PAGE, section))
        with open(os.devnull, "w") as quiet, unittest.mock.patch("sys.stdout", quiet):
            report.main(["--results", results, "--bin", os.path.dirname(built("Kzds0410.exe")),
                         "--out", page])
        with open(page, encoding="utf-8") as f:
            text = f.read()
        self.assertIn("## Device traffic per run", text)
        self.assertNotIn("figures", text)
        self.assertTrue(text.endswith("\n\n" + section))


if __name__ == "__main__":
    unittest.main()
