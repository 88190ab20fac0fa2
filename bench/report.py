#!/usr/bin/env python3
"""Turns the benchmark driver's raw figures into docs/performance.md and prints it.

The driver (quillset_bench.exe) writes one entry per measured run; this script adds the
summaries (median, quartiles, extremes, the ratios to the floor, what each step of start-up
costs), the executables' PE section sizes and the machine's facts, and fills them into the
page's text, report_template.md. scripts/bench runs it; nothing here judges a figure.

Usage: report.py --results FILE --bin FOLDER --out FILE
                 [--command TEXT] [--wine-version TEXT] [--load-before TEXT]
"""
import argparse
import datetime
import json
import os
import platform
import statistics
import string
import sys

from executables import executable_facts, kib, section_rows
from release_sizes import carried_over

MIB = 1024 * 1024
TEMPLATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "report_template.md")


# --- figures ---------------------------------------------------------------------------------

def summarize(values):
    """Median, quartiles (inclusive method), min and max of a non-empty list of numbers."""
    if not values:
        raise ValueError("no values to summarize")
    ordered = sorted(values)
    if len(ordered) == 1:
        q1 = q3 = ordered[0]
    else:
        q1, _, q3 = statistics.quantiles(ordered, n=4, method="inclusive")
    return {"n": len(ordered), "median": statistics.median(ordered), "q1": q1, "q3": q3,
            "min": ordered[0], "max": ordered[-1]}


def ratio(numerator, denominator):
    """numerator / denominator, or None when the denominator is 0."""
    return numerator / denominator if denominator else None


def series_values(series, getter):
    return [getter(run) for run in series["runs"]]


def memory_values(series, when, field):
    """The field of every run whose memory reading at `when` succeeded."""
    return [run[when][field] for run in series["runs"] if run[when]["known"]]


TRAFFIC_FIELDS = ("opens", "requests", "gets", "sets", "other_codes", "other_unit_opens",
                  "sets_kept_light_load")


def traffic_key(traffic):
    return tuple(traffic[f] for f in TRAFFIC_FIELDS)


def traffic_groups(series):
    """[(traffic, number of runs)] for each distinct traffic, the most frequent first."""
    counts = {}
    for run in series["runs"]:
        key = traffic_key(run["traffic"])
        counts[key] = counts.get(key, 0) + 1
    groups = [(dict(zip(TRAFFIC_FIELDS, key)), n) for key, n in counts.items()]
    return sorted(groups, key=lambda group: -group[1])


def traffic_matches(series):
    expected = traffic_key(series["expected_traffic"])
    return all(traffic_key(run["traffic"]) == expected for run in series["runs"])


# --- machine ---------------------------------------------------------------------------------

def cpu_model():
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown"


def memory_total():
    try:
        with open("/proc/meminfo", encoding="utf-8") as f:
            for line in f:
                if line.startswith("MemTotal:"):
                    return "%.1f GiB" % (int(line.split()[1]) / 1024 / 1024)
    except OSError:
        pass
    return "unknown"


def load_now():
    try:
        return " ".join("%.2f" % v for v in os.getloadavg())
    except OSError:
        return "unknown"


# --- text ------------------------------------------------------------------------------------

def ms(value):
    return "%.1f" % value


def mib(value):
    return "%.1f" % (value / MIB)


def times_cell(summary):
    return "%s (%s–%s; %s–%s)" % (ms(summary["median"]), ms(summary["q1"]), ms(summary["q3"]),
                                  ms(summary["min"]), ms(summary["max"]))


def memory_cell(values):
    if not values:
        return "not reported"
    s = summarize(values)
    return "%s (%s–%s)" % (mib(s["median"]), mib(s["min"]), mib(s["max"]))


def ratio_cell(value):
    return "%.2f" % value if value is not None else "–"


def warmup_text(count):
    if count == 0:
        return "no warm-up run"
    return "%d unmeasured warm-up run%s" % (count, "" if count == 1 else "s")


def describe_traffic(traffic):
    text = "%d opens, %d control calls (%d GET, %d SET" % (
        traffic["opens"], traffic["requests"], traffic["gets"], traffic["sets"])
    if traffic["other_codes"]:
        text += ", %d other" % traffic["other_codes"]
    text += "); units 2 to 4: %d opens" % traffic["other_unit_opens"]
    if traffic["sets"] and not traffic["sets_kept_light_load"]:
        text += "; a SET did not carry 328 bytes with Light Load on"
    return text


def after_exit_readings(series):
    """The peak working sets Wine still reported after the process had ended (not 0)."""
    return [run["after_exit"]["peak_working_set"] for run in series["runs"]
            if run["after_exit"]["known"] and run["after_exit"]["peak_working_set"]]


def after_exit_note(results):
    all_series = list(results["series"].values())
    runs = sum(len(s["runs"]) for s in all_series)
    failed = sum(1 for s in all_series for run in s["runs"] if not run["after_exit"]["known"])
    reported = sum(len(after_exit_readings(s)) for s in all_series)
    if failed == runs:
        return "the call fails once the process has ended, so the peak is the one before OK"
    return ("the call succeeds but Wine reads the counters of a Linux process that is usually "
            "gone by then: %d of %d readings were 0%s; the others, where the Linux process "
            "was still there, are given below the memory table" %
            (runs - failed - reported, runs,
             ", %d failed" % failed if failed else ""))


# What each series is, in the order of the page's rows. The earlier program is there only when
# scripts/bench was given one.
ROWS = ("program", "earlier", "floor_required_work", "floor", "baseline")
ROLES = {
    "program": "the program",
    "earlier": "an earlier build of the program",
    "floor_required_work": "the floor doing the program's required work",
    "floor": "the floor",
    "baseline": "bare dialog, no manifest, no stack guard",
}
# The floor variant that does all the work the program must do, not one step of it.
REQUIRED_WORK = "floor_required_work"

# The steps of start-up, each measured by a variant of the floor: (what, measured by, the
# series with the step, the series without it, who carries it). A variant is set against the
# floor, or against the C++ runtime's variant when it links that runtime too (its code uses
# the program's, which stands on it), so that its cost is its step's alone.
STEPS = (
    ("the manifest and common controls 6", "the floor against `bench_floor_no_manifest.exe`",
     "floor", "floor_no_manifest", "floor and program"),
    ("the program's entry: library search restricted, stack guard from the processor, clocks "
     "and ASLR",
     "`bench_floor_no_manifest.exe` against the bare dialog", "floor_no_manifest", "baseline",
     "floor and program"),
    ("`InitCommonControlsEx` and its comctl32 import", "`bench_floor_common_controls.exe`",
     "floor_common_controls", "floor", "program"),
    ("the static C++ runtime (libstdc++ and the POSIX thread library it brings)",
     "`bench_floor_cpp_runtime.exe`", "floor_cpp_runtime", "floor", "program"),
    ("the device traffic: the probes and the read at start, the write at OK (5 opens, 1 GET, "
     "1 SET)", "`bench_floor_device.exe`", "floor_device", "floor", "program"),
    ("the registry and README look-ups",
     "`bench_floor_driver_key.exe` against `bench_floor_cpp_runtime.exe`", "floor_driver_key",
     "floor_cpp_runtime", "program"),
    ("the string loads (title, version pattern, the captions of the controls the dialog has)",
     "`bench_floor_strings.exe` against `bench_floor_cpp_runtime.exe`", "floor_strings",
     "floor_cpp_runtime", "program"),
    ("the program's dialog template: seven controls to create and, at the end, to destroy",
     "`bench_floor_program_template.exe`", "floor_program_template", "floor", "program"),
    ("the program's icon (`LoadIconW`, `WM_SETICON` big and small)",
     "`bench_floor_program_icon.exe`", "floor_program_icon", "floor", "program"),
    ("a static shell32 import (`ShellExecuteW`)", "`bench_floor_shell32.exe`", "floor_shell32",
     "floor", "earlier builds; now loaded at the first README click"),
    ("the toolchain's stack-guard set-up (libssp: `CryptAcquireContextA`, `CryptGenRandom`), "
     "in place of the program's", "`bench_floor_toolchain_guard.exe`", "floor_toolchain_guard",
     "floor", "earlier builds; now the program's own set-up"),
)


def median_of(series, getter):
    return statistics.median(series_values(series, getter))


def ready_ms(run):
    return run["start_to_ready_ms"]


def ok_ms(run):
    return run["ok_to_exit_ms"]


def peak_median(series):
    values = memory_values(series, "before_ok", "peak_working_set")
    return statistics.median(values) if values else 0


def rounds_ratio(series, floor, getter):
    """The median of the ratios of each round's run to the floor's run of the same round."""
    ratios = [ratio(getter(a), getter(b)) for a, b in zip(series["runs"], floor["runs"])]
    ratios = [r for r in ratios if r is not None]
    return statistics.median(ratios) if ratios else None


def present_rows(results):
    return [key for key in ROWS if key in results["series"]]


def table(header, rows):
    """A Markdown table: the header's cells (an empty one as "| |"), its rule and the rows."""
    head = "|" + "".join(" %s |" % cell if cell else " |" for cell in header)
    return "\n".join([head, "|" + "---|" * len(header)] + rows)


def times_table(results):
    series = results["series"]
    floor = series["floor"]
    rows = []
    for key in present_rows(results):
        s = series[key]
        ready = summarize(series_values(s, ready_ms))
        ok = summarize(series_values(s, ok_ms))
        rows.append("| %s (%s) | %s | %s | %s | %s | %s, %s |" % (
            s["name"], ROLES[key], times_cell(ready),
            ratio_cell(ratio(ready["median"], median_of(floor, ready_ms))), times_cell(ok),
            ratio_cell(ratio(ok["median"], median_of(floor, ok_ms))),
            ratio_cell(rounds_ratio(s, floor, ready_ms)),
            ratio_cell(rounds_ratio(s, floor, ok_ms))))
    return table(("", "start to ready", "ratio", "OK to exit", "ratio",
                  "rounds' ratios: start, OK"), rows)


def memory_table(results):
    series = results["series"]
    floor = series["floor"]
    rows = []
    for key in present_rows(results):
        s = series[key]
        rows.append("| %s | %s | %s | %s | %s |" % (
            s["name"], memory_cell(memory_values(s, "before_ok", "peak_working_set")),
            ratio_cell(ratio(peak_median(s), peak_median(floor))),
            memory_cell(memory_values(s, "before_ok", "working_set")),
            memory_cell(memory_values(s, "before_ok", "pagefile_usage"))))
    return table(("", "peak working set", "ratio", "working set",
                  "pagefile usage (private)"), rows)


def late_memory(results):
    """The peaks Wine still reported after the end, series by series."""
    series = results["series"]
    late = ["%s: %s in %d of %d runs" % (series[k]["name"], memory_cell(v), len(v),
                                         len(series[k]["runs"]))
            for k in present_rows(results) for v in [after_exit_readings(series[k])] if v]
    return "; ".join(late) if late else "0 in every run"


def round_differences(series, reference, getter):
    """The differences of each round's run and the reference's run of the same round: the load
    of the moment slows both alike, so it falls out of the difference."""
    return [getter(a) - getter(b) for a, b in zip(series["runs"], reference["runs"])]


def rounds_difference(series, reference, getter):
    """The median of round_differences."""
    return statistics.median(round_differences(series, reference, getter))


def step_costs(results):
    """[(step, {"ready": ms, "ok": ms, "peak": bytes})] for the steps whose series ran: what the
    series with the step took more than the one without it, round by round."""
    series = results["series"]
    costs = []
    for step in STEPS:
        with_step, without = step[2], step[3]
        if with_step in series and without in series:
            a, b = series[with_step], series[without]
            ready = summarize(round_differences(a, b, ready_ms))
            ok = summarize(round_differences(a, b, ok_ms))
            costs.append((step, {"ready": ready["median"], "ok": ok["median"],
                                 "ready_spread": ready, "ok_spread": ok,
                                 "peak": peak_median(a) - peak_median(b)}))
    return costs


def spread_cell(summary):
    """A signed median with its quartiles: a step whose quartiles straddle 0 is within the
    noise."""
    return "%+.1f (%+.1f to %+.1f)" % (summary["median"], summary["q1"], summary["q3"])


def share_cell(cost, gap):
    return "%.0f %%" % (100 * cost / gap) if gap > 0 else "–"


def gaps_to_baseline(results):
    """The program's gap to the bare dialog, and the earlier build's, round by round."""
    series = results["series"]
    gaps = {}
    for getter, name in ((ready_ms, "ready"), (ok_ms, "ok")):
        gaps[name] = rounds_difference(series["program"], series["baseline"], getter)
        if "earlier" in series:
            gaps["earlier " + name] = rounds_difference(series["earlier"], series["baseline"],
                                                        getter)
    return gaps


def steps_table(results, gaps):
    rows = []
    carried = {"ready": 0.0, "ok": 0.0}
    for step, cost in step_costs(results):
        what, measured_by, _, _, carrier = step
        earlier_only = carrier.startswith("earlier")
        shares = []
        for name in ("ready", "ok"):
            gap = gaps.get("earlier " + name if earlier_only else name)
            shares.append(share_cell(cost[name], gap) if gap is not None else "–")
            if not earlier_only:
                carried[name] += cost[name]
        rows.append("| %s | %s | %s | %s | %s | %s | %+.1f | %s |" % (
            what, measured_by, spread_cell(cost["ready_spread"]), shares[0],
            spread_cell(cost["ok_spread"]), shares[1], cost["peak"] / MIB, carrier))
    rest = {name: gaps[name] - carried[name] for name in ("ready", "ok")}
    rows.append("| the rest: the instance mutex, the application object, the dialog's placement "
                "and data exchange, the README button's state | the program against the steps "
                "above | %+.1f | %s | %+.1f | %s | | program |" %
                (rest["ready"], share_cell(rest["ready"], gaps["ready"]), rest["ok"],
                 share_cell(rest["ok"], gaps["ok"])))
    return table(("step", "measured by", "start to ready, ms (quartiles)", "share",
                  "OK to exit, ms (quartiles)", "share", "peak working set, MiB", "carried by"),
                 rows)


def step_fields(results):
    """The figures of the section on what each step of start-up costs."""
    series = results["series"]
    gaps = gaps_to_baseline(results)
    program = median_of(series["program"], ready_ms)
    floor = median_of(series["floor"], ready_ms)
    earlier_gap = ("start to ready %s ms, OK to exit %s ms" %
                   (ms(gaps["earlier ready"]), ms(gaps["earlier ok"])) if "earlier" in series
                   else "not measured in this run: `scripts/bench --earlier EXE`")
    return {"gap_ready": ms(gaps["ready"]), "gap_ok": ms(gaps["ok"]), "earlier_gap": earlier_gap,
            "steps_table": steps_table(results, gaps), "program_ready": ms(program),
            "floor_ready": ms(floor), "program_over_floor": ms(program - floor),
            "program_to_floor": ratio_cell(ratio(program, floor))}


def required_work_fields(results):
    """The program against the floor that does its required work, in the same rounds."""
    series = results["series"]
    if REQUIRED_WORK not in series:
        return {"required_work_floor": "",
                "required_work": "The floor that does the program's required work was not "
                                 "measured in this run."}
    program, required = series["program"], series[REQUIRED_WORK]
    ready = (median_of(program, ready_ms), median_of(required, ready_ms))
    ok = (median_of(program, ok_ms), median_of(required, ok_ms))
    return {
        "required_work_floor": ", one that does all the work the program must do (`%s`)" %
                               required["name"],
        "required_work": "The program against the floor that does its required work (`%s`: the "
                         "program's template, its icon, the device traffic, the texts and the "
                         "registry look-ups together, in the same rounds): %s − %s = %s ms to "
                         "ready, ratio %s (rounds' ratio %s); OK to exit ratio %s (rounds' ratio "
                         "%s)." %
                         (required["name"], ms(ready[0]), ms(ready[1]), ms(ready[0] - ready[1]),
                          ratio_cell(ratio(*ready)),
                          ratio_cell(rounds_ratio(program, required, ready_ms)),
                          ratio_cell(ratio(*ok)),
                          ratio_cell(rounds_ratio(program, required, ok_ms)))}


def loaded_libraries(series):
    """The lower-case names of the libraries loaded by the time the dialog was ready, the
    executable itself left out, from the first run where Wine listed them; None if none did."""
    for run in series["runs"]:
        if run.get("modules"):
            return sorted({name.lower() for name in run["modules"][1:]})
    return None


def libraries_table(results):
    series = results["series"]
    floor = loaded_libraries(series["floor"])
    rows = []
    for key in present_rows(results):
        names = loaded_libraries(series[key])
        if names is None or floor is None:
            rows.append("| %s | not listed | | |" % series[key]["name"])
            continue
        rows.append("| %s | %d | %s | %s |" % (
            series[key]["name"], len(names),
            ", ".join(n for n in names if n not in floor) or "–",
            ", ".join(n for n in floor if n not in names) or "–"))
    return table(("", "libraries", "beyond the floor's", "the floor's it has not"), rows)


def sections_table(results, exes):
    names = [results["series"][key]["name"] for key, _ in exes]
    facts = [executable_facts(path) for _, path in exes]
    rows = section_rows(facts)
    rows.append("| image sections without `.debug*` (virtual) | %s |" %
                " | ".join(kib(f["image"]) for f in facts))
    rows.append("| `.debug*` sections (in the file) | %s |" %
                " | ".join(kib(f["debug"]) for f in facts))
    rows.append("| file | %s |" % " | ".join(kib(f["file_size"]) for f in facts))
    return table(["section"] + names, rows)


def traffic_table(results):
    rows = []
    for series in results["series"].values():
        groups = traffic_groups(series)
        measured = "; ".join("%d of %d runs: %s" % (n, len(series["runs"]),
                                                    describe_traffic(t)) for t, n in groups)
        verdict = "" if traffic_matches(series) else " **(differs from the expected)**"
        rows.append("| %s | %s | %s%s |" % (series["name"],
                                             describe_traffic(series["expected_traffic"]),
                                             measured, verdict))
    return table(("", "expected", "measured"), rows)


# The program's own stamps of its steps (framework/StepMarks.h), in run order: (mark, what the
# time up to it went to). A row is the time from the previous mark the program stamped.
START_MARKS = (
    ("EntryBegins", "process creation and loading, up to the entry's first instruction"),
    ("HardeningDone", "the entry: library search restricted, stack guard"),
    ("WinMainBegins", "the C runtime's start-up"),
    ("StartUpBegins", "the application object: its title loaded"),
    ("CommonControlsDone", "`InitCommonControlsEx`"),
    ("MutexDone", "the single-instance mutex"),
    ("DialogBegins", "the dialog object and its slots"),
    ("InitDialogBegins", "the template's creation: the window and its controls"),
    ("IconSet", "the icon and the first data exchange"),
    ("UnitsCounted", "the count's exchanges (four probes)"),
    ("SettingsRead", "the read's exchange"),
    ("DriverInfoShown", "the title, and the version and copyright from the registry"),
    ("TextsSet", "the captions from the string table"),
    ("OwnInitDone", "the check box and the README button's state"),
    ("InitDialogDone", "the placement"),
)
OK_MARKS = (
    ("OkBegins", "OK's click delivered to the dialog"),
    ("WritesDone", "the busy state, the logoff block and the write's exchanges"),
    ("DialogEnding", "the end of OK's handling"),
    ("DialogEnded", "the dialog's end: its window and controls destroyed"),
    ("WorkerEnded", "the idle worker told to leave"),
    ("ProcessEnds", "the application object's return"),
)
SPANS = (
    ("Exchanges", "the exchanges, as the user-interface thread waits for them"),
    ("DeviceSteps", "the device calls within them, on the worker"),
    ("WorkerStarts", "the worker's creation"),
)


def mark_intervals(run, marks, since):
    """{mark: ms since the previous mark the run stamped (since, at first)}, for the marks
    stamped."""
    out, previous = {}, since
    for name, _ in marks:
        at = run["steps"]["marks"].get(name)
        if at is None:
            continue
        out[name] = at - previous
        previous = at
    return out, previous


def profile_intervals(run):
    """The run's intervals: start rows, the rest to ready, OK rows, the rest to the end."""
    start, last = mark_intervals(run, START_MARKS, 0.0)
    start["ready"] = run["start_to_ready_ms"] - last
    ok, last = mark_intervals(run, OK_MARKS, run["clicked_ms"])
    ok["ended"] = run["clicked_ms"] + run["ok_to_exit_ms"] - last
    return start, ok


def interval_cell(values):
    if not values:
        return "–"
    summary = summarize(values)
    return "%s (%s–%s)" % (ms(summary["median"]), ms(summary["q1"]), ms(summary["q3"]))


def has_marks(series):
    return bool(series["runs"]) and "steps" in series["runs"][0] and any(
        v is not None for v in series["runs"][0]["steps"]["marks"].values())


def profile_table(results):
    """The program's steps beside the required-work floor's, from their own stamps."""
    series = results["series"]
    shown = [k for k in ("program", REQUIRED_WORK) if k in series and has_marks(series[k])]
    if "program" not in shown:
        return "The program stamped no steps in this run."
    per_series = {k: [profile_intervals(run) for run in series[k]["runs"]] for k in shown}
    rows = []
    for phase, marks, rest in ((0, START_MARKS, ("ready", "to ready, as the benchmark sees it: "
                                                 "shown, painted, found")),
                               (1, OK_MARKS, ("ended", "the process's end: the C runtime's "
                                              "exit and Windows"))):
        for name, what in marks + (rest,):
            cells = [interval_cell([runs[phase][name] for runs in per_series[k]
                                    if name in runs[phase]]) for k in shown]
            rows.append("| %s | %s | %s |" % ("**%s**" % what if name in ("ready", "ended")
                                                else what, "`%s`" % name if name not in
                                                ("ready", "ended") else "", " | ".join(cells)))
    header = ("step", "up to the stamp") + tuple(series[k]["name"] for k in shown)
    return table(header, rows)


def spans_table(results):
    """The program's exchanges: how many, and what they took, at start and at OK."""
    runs = results["series"]["program"]["runs"]
    if not runs or "steps" not in runs[0]:
        return ""
    rows = []
    for name, what in SPANS:
        cells = []
        for phase in ("start", "ok"):
            counts = [run["steps"]["spans"][name][phase + "_count"] for run in runs]
            times = [run["steps"]["spans"][name][phase + "_ms"] for run in runs]
            cells.append("%d × %s" % (statistics.median(counts), interval_cell(times)))
        rows.append("| %s | %s | %s |" % (what, cells[0], cells[1]))
    handoffs = []
    for phase in ("start", "ok"):
        handoffs.append(interval_cell([
            run["steps"]["spans"]["Exchanges"][phase + "_ms"] -
            run["steps"]["spans"]["DeviceSteps"][phase + "_ms"] for run in runs]))
    rows.append("| the hand-offs to the worker and back, and the waits (the difference) | %s | "
                "%s |" % tuple(handoffs))
    return table(("%s's exchanges" % results["series"]["program"]["name"], "at start",
                  "at OK"), rows)


def profile_fields(results):
    return {"profile_table": profile_table(results), "spans_table": spans_table(results)}


def render(results, exes, facts):
    """The page. exes: [(series key, path of its executable)] for the section table."""
    series = results["series"]
    program = series["program"]
    private = [v for s in series.values()
               for v in memory_values(s, "before_ok", "private_bytes")]
    fields = dict(
        facts,
        program=program["name"], floor=series["floor"]["name"],
        variants=len([k for k in series if k.startswith("floor_") and k != REQUIRED_WORK]),
        baseline=series["baseline"]["name"],
        earlier=(", and an earlier build of the program given to `scripts/bench --earlier`"
                 if "earlier" in series else ""),
        runs=len(program["runs"]), warmup=warmup_text(results["warmup"]),
        gap_ms=results["gap_ms"], ready_poll_ms=results["ready_poll_ms"],
        private_usage="not filled in by Wine (0)" if not any(private) else "reported",
        after_exit=after_exit_note(results),
        floor_runs=len(series["floor"]["runs"]), times_table=times_table(results),
        memory_table=memory_table(results), late_memory=late_memory(results),
        libraries_table=libraries_table(results), sections_table=sections_table(results, exes),
        expected_traffic=describe_traffic(program["expected_traffic"]),
        traffic_table=traffic_table(results),
        **step_fields(results), **required_work_fields(results), **profile_fields(results))
    with open(TEMPLATE, encoding="utf-8") as f:
        return string.Template(f.read()).substitute(fields)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--results", required=True)
    parser.add_argument("--bin", required=True, help="the folder with the executables")
    parser.add_argument("--out", required=True)
    parser.add_argument("--command", default="scripts/bench")
    parser.add_argument("--wine-version", default="Wine (version unknown)")
    parser.add_argument("--load-before", default="unknown")
    args = parser.parse_args(argv)

    with open(args.results, encoding="utf-8") as f:
        results = json.load(f)
    facts = {
        "command": args.command,
        "date": datetime.datetime.now().astimezone().strftime("%Y-%m-%d %H:%M %Z"),
        "nproc": len(os.sched_getaffinity(0)) if hasattr(os, "sched_getaffinity")
                 else os.cpu_count(),
        "cpu": cpu_model(),
        "memory": memory_total(),
        "kernel": platform.release(),
        "wine": args.wine_version,
        "load_before": args.load_before,
        "load_after": load_now(),
    }
    exes = [(key, os.path.join(args.bin, results["series"][key]["name"]))
            for key in ("program", "floor", "baseline")]
    text = render(results, exes, facts)
    # The release exe's sizes are written by scripts/release --sizes; they stay as they were.
    kept = carried_over(args.out)
    if kept:
        text += "\n" + kept
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with open(args.out, "w", encoding="utf-8") as f:
        f.write(text)
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
