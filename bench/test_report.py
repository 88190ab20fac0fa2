"""Checks of report.py's arithmetic, the PE files' section tables it reads (executables.py,
through tests/binary/check_pe.py) and what its page says about the unit's traffic. No time is
judged here. The PE checks use the built programs in $QS_BENCH_BIN, read a second time by
$QS_OBJDUMP (the mingw-w64 objdump)."""
import copy
import os
import re
import shutil
import subprocess
import unittest

import executables
import report

BIN = os.environ.get("QS_BENCH_BIN", "")
OBJDUMP = os.environ.get("QS_OBJDUMP", "x86_64-w64-mingw32-objdump")
PROGRAMS = ("Kzds0410.exe", "bench_baseline.exe")


def built(name):
    return os.path.join(BIN, name)


def have_built_programs():
    return BIN and all(os.path.isfile(built(p)) for p in PROGRAMS)


def objdump_sections(path):
    """[(name, size)] as objdump -h lists them."""
    text = subprocess.run([OBJDUMP, "-h", path], check=True, capture_output=True,
                          text=True).stdout
    rows = re.findall(r"^\s*\d+\s+(\S+)\s+([0-9a-f]{8})\s", text, re.MULTILINE)
    return [(name, int(size, 16)) for name, size in rows]


def series_program(key):
    """The built program of a bench series: bench_floor.exe for "floor", bench_floor_<step>.exe
    for its variants, bench_baseline.exe for "baseline"."""
    return built("bench_%s.exe" % key)


def links_cpp_runtime(path):
    """Whether the program carries the static C++ runtime: libstdc++'s symbols in its symbol
    table, as objdump -t lists it."""
    text = subprocess.run([OBJDUMP, "-t", path], check=True, capture_output=True,
                          text=True).stdout
    return re.search(r"\b(_ZNSt|_ZSt|__gxx_personality)", text) is not None


class Summaries(unittest.TestCase):
    def test_median_and_quartiles_of_an_even_count_lie_between_values(self):
        s = report.summarize([8, 1, 7, 2, 6, 3, 5, 4])
        self.assertEqual(s["n"], 8)
        self.assertEqual(s["median"], 4.5)
        self.assertEqual((s["q1"], s["q3"]), (2.75, 6.25))
        self.assertEqual((s["min"], s["max"]), (1, 8))

    def test_an_odd_count_has_its_middle_value_as_median(self):
        s = report.summarize([30.0, 10.0, 20.0])
        self.assertEqual(s["median"], 20.0)
        self.assertEqual((s["q1"], s["q3"]), (15.0, 25.0))

    def test_a_single_run_is_its_own_median_and_quartiles(self):
        s = report.summarize([12.5])
        self.assertEqual((s["median"], s["q1"], s["q3"], s["min"], s["max"]),
                         (12.5, 12.5, 12.5, 12.5, 12.5))

    def test_no_runs_is_an_error_not_a_zero(self):
        with self.assertRaises(ValueError):
            report.summarize([])

    def test_a_ratio_over_zero_is_not_given(self):
        self.assertIsNone(report.ratio(5.0, 0))
        self.assertEqual(report.ratio(6.0, 4.0), 1.5)


class PeReading(unittest.TestCase):
    def test_a_file_without_the_mz_header_is_refused(self):
        with self.assertRaises(ValueError):
            executables.PeFile(b"ELF" + bytes(200))

    @unittest.skipUnless(have_built_programs() and shutil.which(OBJDUMP),
                         "needs the built programs and objdump")
    def test_sections_are_those_objdump_lists(self):
        for name in PROGRAMS:
            with self.subTest(program=name):
                ours = executables.executable_facts(built(name))["sections"]
                theirs = objdump_sections(built(name))
                self.assertEqual([s.name for s in ours], [s[0] for s in theirs])
                for section, (_, size) in zip(ours, theirs):
                    self.assertIn(size, (section.vsize, section.rawsize), section.name)

    @unittest.skipUnless(have_built_programs() and shutil.which(OBJDUMP),
                         "needs the built programs and objdump")
    def test_each_step_is_set_against_a_series_that_links_the_cpp_runtime_as_its_variant_does(self):
        # Otherwise the runtime's own cost is added to or taken from the step's. The runtime's
        # step is the one set against a series without it on purpose.
        for what, _, with_step, without, _ in report.STEPS:
            if with_step == "floor_cpp_runtime":
                continue
            with self.subTest(step=what):
                variant, reference = series_program(with_step), series_program(without)
                self.assertEqual(links_cpp_runtime(variant), links_cpp_runtime(reference),
                                 "%s against %s" % (os.path.basename(variant),
                                                    os.path.basename(reference)))
        self.assertTrue(links_cpp_runtime(series_program("floor_cpp_runtime")))
        self.assertFalse(links_cpp_runtime(series_program("floor")))

    @unittest.skipUnless(have_built_programs(), "needs the built programs")
    def test_the_debug_share_and_the_image_add_up_to_the_section_table(self):
        facts = executables.executable_facts(built("Kzds0410.exe"))
        sections = facts["sections"]
        self.assertEqual(facts["file_size"], os.path.getsize(built("Kzds0410.exe")))
        self.assertEqual(facts["image"] + sum(s.vsize for s in sections
                                              if s.name.startswith(".debug")),
                         sum(s.vsize for s in sections))
        self.assertIn(".rsrc", [s.name for s in sections])


def traffic(opens, requests, gets, sets, kept=True):
    return {"opens": opens, "requests": requests, "gets": gets, "sets": sets,
            "other_codes": 0, "other_unit_opens": 0, "sets_kept_light_load": kept}


FLOOR_LIBRARIES = ["bench_floor.exe", "kernel32.dll", "USER32.dll", "comctl32.dll"]


def run(ready, ok, unit_traffic, peak=20 * report.MIB, still_there=False,
        modules=FLOOR_LIBRARIES):
    """One run; after the end Wine reports 0 unless the Linux process was still_there."""
    memory = {"known": True, "peak_working_set": peak, "working_set": peak,
              "pagefile_usage": peak // 4, "peak_pagefile_usage": peak // 4,
              "private_bytes": 0}
    gone = dict(memory, peak_working_set=0, working_set=0, pagefile_usage=0,
                peak_pagefile_usage=0)
    return {"start_to_ready_ms": ready, "ok_to_exit_ms": ok, "before_ok": memory,
            "after_exit": memory if still_there else gone, "exit_code": 0, "traffic": unit_traffic,
            "modules": modules}


def no_device_runs(*ready_times, peak=10 * report.MIB):
    return [run(ready, 10.0, traffic(0, 0, 0, 0), peak) for ready in ready_times]


def floor_series(name, *ready_times, peak=10 * report.MIB):
    return {"name": name, "path": "Z:\\" + name, "expected_traffic": traffic(0, 0, 0, 0),
            "runs": no_device_runs(*ready_times, peak=peak)}


RESULTS = {
    "warmup": 1, "ready_poll_ms": 1, "gap_ms": 300,
    "series": {
        "program": {"name": "Kzds0410.exe", "path": "Z:\\p",
                    "expected_traffic": traffic(5, 2, 1, 1),
                    "runs": [run(400.0, 20.0, traffic(5, 2, 1, 1)),
                             run(600.0, 40.0, traffic(5, 2, 1, 1), still_there=True)]},
        "floor": floor_series("bench_floor.exe", 200.0, 300.0),
        "baseline": floor_series("bench_baseline.exe", 150.0, 250.0),
        # 10 ms and 1 MiB over the floor, and the strings 15 ms and 2 MiB over that
        "floor_cpp_runtime": floor_series("bench_floor_cpp_runtime.exe", 255.0, 265.0,
                                          peak=11 * report.MIB),
        "floor_strings": floor_series("bench_floor_strings.exe", 270.0, 280.0,
                                      peak=13 * report.MIB),
    },
}

FACTS = {"command": "scripts/bench --runs 2", "date": "today", "nproc": 2, "cpu": "cpu",
         "memory": "1 GiB", "kernel": "6", "wine": "wine-8.0", "load_before": "1",
         "load_after": "2"}


def row(text, start):
    return [line for line in text.splitlines() if line.startswith(start)][0]


@unittest.skipUnless(have_built_programs(), "needs the built programs")
class Page(unittest.TestCase):
    def page(self, results):
        exes = [("program", built("Kzds0410.exe")), ("baseline", built("bench_baseline.exe"))]
        return report.render(results, exes, FACTS)

    def test_ratios_are_of_the_medians_to_the_floor(self):
        results = copy.deepcopy(RESULTS)
        results["series"]["floor_required_work"] = floor_series(
            "bench_floor_required_work.exe", 350.0, 450.0)
        text = self.page(results)
        # medians 500 / 250 and 30 / 10
        self.assertRegex(text, r"\| Kzds0410\.exe \(the program\) \| 500\.0 \(.*\) \| 2\.00 \| "
                               r"30\.0 \(.*\) \| 3\.00 \|")
        self.assertRegex(text, r"\| bench_floor\.exe \(the floor\) \| 250\.0 \(.*\) \| 1\.00 \|")
        self.assertRegex(text, r"\| Kzds0410\.exe \| 20\.0 \(20\.0–20\.0\) \| 2\.00 \|")
        # against the required work: medians 500 / 400 and 30 / 10; rounds 400 / 350 and
        # 600 / 450 (median 1.24), 20 / 10 and 40 / 10 (median 3.00)
        self.assertRegex(text, r"\| bench_floor_required_work\.exe \(the floor doing the "
                               r"program's required work\) \| 400\.0 \(.*\) \| 1\.60 \|")
        self.assertIn("500.0 − 400.0 = 100.0 ms to ready, ratio 1.25 (rounds' ratio 1.24); OK to "
                      "exit ratio 3.00 (rounds' ratio 3.00).", text)

    def test_the_rounds_ratios_set_each_run_beside_the_floors_run_of_its_round(self):
        results = copy.deepcopy(RESULTS)
        floor = results["series"]["floor"]
        floor["runs"].reverse()
        # rounds 400 / 300 and 600 / 200: median 2.17; the medians' ratio stays 2.00
        self.assertRegex(row(self.page(results), "| Kzds0410.exe (the program)"),
                         r"\| 2\.00 \| .* \| 3\.00 \| 2\.17, 3\.00 \|$")

    def test_a_step_costs_its_variant_less_the_floor_as_a_share_of_the_gap_to_the_bare_dialog(self):
        text = self.page(RESULTS)
        # gaps: 500 - 200 = 300 ms and 30 - 10 = 20 ms; the runtime 10 ms (3 %), the strings
        # 275 - 260 = 15 ms (5 %) over it, neither with time at OK; the rest 275 ms and 20 ms
        self.assertIn("(start to ready 300.0 ms, OK to exit 20.0 ms)", text)
        self.assertRegex(row(text, "| the static C++ runtime"),
                         r"\| \+10\.0 \(-12\.5 to \+32\.5\) \| 3 % \|")
        self.assertRegex(row(text, "| the string loads"),
                         r"\| \+15\.0 \(\+15\.0 to \+15\.0\) \| 5 % \| \+0\.0 \(\+0\.0 to \+0\.0\) \| "
                         r"0 % \| \+2\.0 \| program \|$")
        self.assertRegex(row(text, "| the rest"), r"\| \+275\.0 \| 92 % \| \+20\.0 \| 100 % \|")
        self.assertIn("500.0 − 250.0 = 250.0 ms to ready (ratio 2.00)", text)

    def test_the_device_traffic_is_set_against_the_floor_its_variant_adds_it_to(self):
        results = copy.deepcopy(RESULTS)
        # 30 ms over the floor in both rounds (-25 and 65 over the runtime's variant)
        results["series"]["floor_device"] = floor_series("bench_floor_device.exe", 230.0, 330.0)
        text = self.page(results)
        self.assertRegex(row(text, "| the device traffic"),
                         r"\| `bench_floor_device\.exe` \| \+30\.0 \(\+30\.0 to \+30\.0\) \| 10 % \| "
                         r"\+0\.0 \(\+0\.0 to \+0\.0\) \| 0 % \| \+0\.0 \| program \|$")
        # the rest: 300 - 10 - 15 - 30 ms
        self.assertRegex(row(text, "| the rest"), r"\| \+245\.0 \| 82 % \|")

    def test_steps_without_their_variant_are_left_out_and_an_earlier_build_has_its_own_gap(self):
        results = copy.deepcopy(RESULTS)
        self.assertNotIn("| a static shell32 import", self.page(results))
        results["series"]["floor_shell32"] = floor_series("bench_floor_shell32.exe", 270.0, 290.0)
        results["series"]["earlier"] = dict(copy.deepcopy(results["series"]["program"]),
                                            name="earlier Kzds0410.exe")
        for r, ready in zip(results["series"]["earlier"]["runs"], (500.0, 800.0)):
            r["start_to_ready_ms"] = ready
        text = self.page(results)
        # 280 - 250 = 30 ms of the earlier build's gap 650 - 200 = 450 ms; not in the rest
        self.assertIn("of the earlier build's gap (start to ready 450.0 ms, OK to exit 20.0 ms)",
                      text)
        # rounds +70 and -10: the median with its quartiles, which straddle 0
        self.assertRegex(row(text, "| a static shell32 import"),
                         r"\| \+30\.0 \(\+10\.0 to \+50\.0\) \| 7 % \|")
        self.assertRegex(row(text, "| the rest"), r"\| \+275\.0 \| 92 % \|")
        self.assertRegex(text, r"\| earlier Kzds0410\.exe \(an earlier build of the program\) \| "
                               r"650\.0 \(.*\) \| 2\.60 \|")

    def test_the_profile_puts_each_stamp_to_the_time_since_the_one_before(self):
        results = copy.deepcopy(RESULTS)
        marks = {"EntryBegins": 100.0, "InitDialogBegins": 150.0, "UnitsCounted": 160.0,
                 "InitDialogDone": 170.0, "OkBegins": 301.0, "WritesDone": 305.0,
                 "DialogEnded": 312.0, "ProcessEnds": 313.0}
        spans = {"Exchanges": {"start_ms": 6.0, "start_count": 5, "ok_ms": 1.5, "ok_count": 4},
                 "DeviceSteps": {"start_ms": 2.0, "start_count": 5, "ok_ms": 1.0, "ok_count": 4},
                 "WorkerStarts": {"start_ms": 0.5, "start_count": 1, "ok_ms": 0.0,
                                  "ok_count": 0}}
        floor = floor_series("bench_floor_required_work.exe", 180.0, 180.0)
        for r in results["series"]["program"]["runs"] + floor["runs"]:
            r.update(start_to_ready_ms=190.0, clicked_ms=300.0, ok_to_exit_ms=15.0,
                     steps={"marks": dict(marks), "spans": copy.deepcopy(spans)})
        for r in floor["runs"]:
            del r["steps"]["marks"]["UnitsCounted"]
        results["series"]["floor_required_work"] = floor
        text = self.page(results)
        cell = r"(%s \(%s–%s\))"
        for what, program, floor_cell in (("| process creation", "100.0", "100.0"),
                                          ("| the template's creation", "50.0", "50.0"),
                                          ("| the count's exchanges", "10.0", None),
                                          # the floor's read follows its own template
                                          ("| the placement", "10.0", "20.0"),
                                          ("| **to ready", "20.0", "20.0"),
                                          ("| OK's click delivered", "1.0", "1.0"),
                                          ("| the dialog's end", "7.0", "7.0"),
                                          ("| **the process's end", "2.0", "2.0")):
            expected = cell % ((re.escape(program),) * 3)
            expected += r" \| " + ("–" if floor_cell is None else
                                   cell % ((re.escape(floor_cell),) * 3)) + r" \|$"
            self.assertRegex(row(text, what), expected)
        self.assertRegex(row(text, "| the hand-offs"), r"\| 4\.0 \(4\.0–4\.0\) \| "
                                                       r"0\.5 \(0\.5–0\.5\) \|$")
        self.assertRegex(row(text, "| the exchanges, as"), r"\| 5 × 6\.0 .* \| 4 × 1\.5 ")

    def test_the_libraries_are_counted_without_the_executable_and_set_beside_the_floors(self):
        results = copy.deepcopy(RESULTS)
        results["series"]["program"]["runs"][0]["modules"] = [
            "Kzds0410.exe", "kernel32.dll", "user32.dll", "SHELL32.dll", "bcrypt.dll"]
        results["series"]["baseline"]["runs"][0]["modules"] = []
        text = self.page(results)
        self.assertIn("| Kzds0410.exe | 4 | bcrypt.dll, shell32.dll | comctl32.dll |", text)
        self.assertIn("| bench_floor.exe | 3 | – | – |", text)
        # listed by the second run when the first gave none
        self.assertIn("| bench_baseline.exe | 3 | – | – |", text)

    def test_the_expected_traffic_is_not_flagged(self):
        text = self.page(RESULTS)
        self.assertIn("2 of 2 runs: 5 opens, 2 control calls (1 GET, 1 SET)", text)
        self.assertNotIn("differs from the expected", text)

    def test_a_run_with_other_traffic_is_flagged_and_counted_apart(self):
        results = copy.deepcopy(RESULTS)
        results["series"]["program"]["runs"][1]["traffic"] = traffic(9, 4, 2, 2)
        text = self.page(results)
        program_row = row(text, "| Kzds0410.exe | 5 opens")
        self.assertIn("1 of 2 runs: 5 opens", program_row)
        self.assertIn("1 of 2 runs: 9 opens, 4 control calls (2 GET, 2 SET)", program_row)
        self.assertIn("**(differs from the expected)**", program_row)

    def test_a_set_without_light_load_is_named(self):
        results = copy.deepcopy(RESULTS)
        for r in results["series"]["program"]["runs"]:
            r["traffic"] = traffic(5, 2, 1, 1, kept=False)
        text = self.page(results)
        self.assertIn("a SET did not carry 328 bytes with Light Load on", text)
        self.assertIn("**(differs from the expected)**", text)

    def test_the_page_names_its_command_and_what_wine_still_gave_after_the_end(self):
        text = self.page(RESULTS)
        self.assertIn("Generated by `scripts/bench --runs 2`", text)
        self.assertIn("wine-8.0", text)
        self.assertIn("9 of 10 readings were 0", text)
        self.assertIn("Wine still reported one: Kzds0410.exe: 20.0 (20.0–20.0) in 1 of 2 runs.",
                      text)


if __name__ == "__main__":
    unittest.main()
