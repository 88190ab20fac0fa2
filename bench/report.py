#!/usr/bin/env python3
"""Turns the benchmark driver's raw figures into docs/performance.md and prints it.

The driver (quillset_bench.exe) writes one entry per measured run; this script adds the
summaries (median, quartiles, extremes, the program/baseline ratios), the executables' PE
section sizes and the machine's facts. scripts/bench runs it; nothing here judges a figure.

Usage: report.py --results FILE --program EXE --baseline EXE --out FILE
                 [--command TEXT] [--wine-version TEXT] [--load-before TEXT]
"""
import argparse
import datetime
import json
import os
import platform
import statistics
import struct
import sys

MIB = 1024 * 1024


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


# --- executables -----------------------------------------------------------------------------

def pe_sections(data):
    """[(name, virtual size, raw size, characteristics)] of a PE image's section table."""
    if data[:2] != b"MZ":
        raise ValueError("not an MZ file")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    count, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    table = pe + 24 + optional_size
    symbol_table = struct.unpack_from("<I", data, pe + 12)[0]
    symbols = struct.unpack_from("<I", data, pe + 16)[0]
    sections = []
    for i in range(count):
        raw_name, vsize, _, rawsize, _ = struct.unpack_from("<8sIIII", data, table + 40 * i)
        flags, = struct.unpack_from("<I", data, table + 40 * i + 36)
        name = raw_name.rstrip(b"\0").decode("latin-1")
        if name.startswith("/") and symbol_table:
            # "/N": the name stands at offset N of the string table after the symbols.
            start = symbol_table + symbols * 18 + int(name[1:])
            name = data[start:data.index(b"\0", start)].decode("latin-1")
        sections.append((name, vsize, rawsize, flags))
    return sections


def executable_facts(path):
    with open(path, "rb") as f:
        data = f.read()
    sections = pe_sections(data)
    debug = [s for s in sections if s[0].startswith(".debug")]
    image = [s for s in sections if not s[0].startswith(".debug")]
    return {"file_size": len(data), "sections": sections,
            "image": sum(v for _, v, _, _ in image),
            "debug": sum(r for _, _, r, _ in debug)}


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


def kib(value):
    return "%.1f" % (value / 1024)


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


def after_exit_note(program, baseline):
    runs = len(program["runs"]) + len(baseline["runs"])
    failed = sum(1 for s in (program, baseline) for run in s["runs"]
                 if not run["after_exit"]["known"])
    reported = len(after_exit_readings(program)) + len(after_exit_readings(baseline))
    if failed == runs:
        return "the call fails once the process has ended, so the peak is the one before OK"
    return ("the call succeeds but Wine reads the counters of a Linux process that is usually "
            "gone by then: %d of %d readings were 0%s; the others, where the Linux process "
            "was still there, are in the last row" %
            (runs - failed - reported, runs,
             ", %d failed" % failed if failed else ""))


def render(results, program_exe, baseline_exe, facts):
    program = results["series"]["program"]
    baseline = results["series"]["baseline"]
    ready = [summarize(series_values(s, lambda r: r["start_to_ready_ms"]))
             for s in (program, baseline)]
    ok = [summarize(series_values(s, lambda r: r["ok_to_exit_ms"])) for s in (program, baseline)]
    peak = [memory_values(s, "before_ok", "peak_working_set") for s in (program, baseline)]
    working = [memory_values(s, "before_ok", "working_set") for s in (program, baseline)]
    pagefile = [memory_values(s, "before_ok", "pagefile_usage") for s in (program, baseline)]
    private = [memory_values(s, "before_ok", "private_bytes") for s in (program, baseline)]
    names = (program["name"], baseline["name"])
    exes = (executable_facts(program_exe), executable_facts(baseline_exe))

    out = []
    add = out.append
    add("# Performance")
    add("")
    add("Generated by `%s` on %s; do not edit by hand, run the command again." %
        (facts["command"], facts["date"]))
    add("")
    add("Machine: %s processors (%s), %s memory, Linux %s, %s, Xvfb. Load average before the "
        "run %s, after it %s. The processors were shared with other developers' builds and "
        "tests while this ran, so the times are indicative: compare the program with the "
        "baseline of the same run, not one run of this command with another." %
        (facts["nproc"], facts["cpu"], facts["memory"], facts["kernel"], facts["wine"],
         facts["load_before"], facts["load_after"]))
    add("")
    add("## How it is measured")
    add("")
    add("`bench/quillset_bench.exe` runs inside the build's Wine prefix and starts, in turn, "
        "the program (`%s`) and a bare dialog program (`%s`, `bench/baseline/`: one "
        "`DialogBoxParamW` on a one-button template): %d measured runs of each after %s of "
        "each, alternating which of the two goes first, %d ms apart. The simulated ORVEX driver has unit 1 (slot 0) plugged, answering a read with "
        "Light Load on (status 1) and the write with status 0, so OK brings no message box; "
        "units 2 to 4 are absent. The driver's registry key names a folder with the README "
        "documents, so the dialog does everything it does for a user." %
        (names[0], names[1], ready[0]["n"], warmup_text(results["warmup"]), results["gap_ms"]))
    add("")
    add("- Start to ready: from just before `CreateProcessW` until the dialog is visible and "
        "enabled; for the program, the settings dialog whose check box 1000 answers "
        "`BM_GETCHECK` with `BST_CHECKED`, for the baseline its dialog. The window list is "
        "polled every %d ms (Sleep), so a time can be up to a poll late." %
        results["ready_poll_ms"])
    add("- OK to exit: from posting `BM_CLICK` to the OK button until the process handle is "
        "signalled.")
    add("- Memory: `GetProcessMemoryInfo` on the child's handle once its dialog is ready, just "
        "before OK. Wine takes these from the Linux process (`/proc/<pid>/status`), so they "
        "include Wine's own loader and libraries; the baseline shows that share. "
        "`PrivateUsage` is %s. Read again once the process has ended, %s." %
        ("not filled in by Wine (0)" if not any(private[0] + private[1]) else "reported",
         after_exit_note(program, baseline)))
    add("- No CPU time: for another process Wine's `GetProcessTimes` gives the caller's own "
        "user and kernel times.")
    add("")
    add("## Times")
    add("")
    add("Milliseconds: median (quartiles; min–max) over %d runs each." % ready[0]["n"])
    add("")
    add("| | %s | %s | ratio of medians |" % names)
    add("|---|---|---|---|")
    add("| start to ready | %s | %s | %s |" % (times_cell(ready[0]), times_cell(ready[1]),
                                               ratio_cell(ratio(ready[0]["median"],
                                                                ready[1]["median"]))))
    add("| OK to exit | %s | %s | %s |" % (times_cell(ok[0]), times_cell(ok[1]),
                                           ratio_cell(ratio(ok[0]["median"], ok[1]["median"]))))
    add("")
    add("## Memory")
    add("")
    add("MiB, just before OK unless the row says otherwise: median (min–max).")
    add("")
    add("| | %s | %s | ratio of medians |" % names)
    add("|---|---|---|---|")
    for label, values in (("peak working set", peak), ("working set", working),
                          ("pagefile usage (private)", pagefile)):
        medians = [statistics.median(v) if v else 0 for v in values]
        add("| %s | %s | %s | %s |" % (label, memory_cell(values[0]), memory_cell(values[1]),
                                       ratio_cell(ratio(medians[0], medians[1]))))
    late = [after_exit_readings(s) for s in (program, baseline)]
    late_medians = [statistics.median(v) if v else 0 for v in late]
    add("| peak working set after the end, where still reported | %s | %s | %s |" % tuple(
        ["%s in %d of %d runs" % (memory_cell(v), len(v), len(s["runs"])) if v
         else "0 in every run" for v, s in zip(late, (program, baseline))] +
        [ratio_cell(ratio(late_medians[0], late_medians[1]))]))
    add("")
    add("## Executables")
    add("")
    add("KiB. Virtual size / size in the file for each section (PE section table).")
    add("")
    add("| section | %s | %s |" % names)
    add("|---|---|---|")
    order = []
    for facts_of in exes:
        for name, _, _, _ in facts_of["sections"]:
            if name not in order:
                order.append(name)
    for name in order:
        cells = []
        for facts_of in exes:
            found = [s for s in facts_of["sections"] if s[0] == name]
            cells.append("%s / %s" % (kib(found[0][1]), kib(found[0][2])) if found else "–")
        add("| `%s` | %s | %s |" % (name, cells[0], cells[1]))
    add("| image sections without `.debug*` (virtual) | %s | %s |" %
        (kib(exes[0]["image"]), kib(exes[1]["image"])))
    add("| `.debug*` sections (in the file) | %s | %s |" %
        (kib(exes[0]["debug"]), kib(exes[1]["debug"])))
    add("| file | %s | %s |" % (kib(exes[0]["file_size"]), kib(exes[1]["file_size"])))
    add("")
    add("## Device traffic per run")
    add("")
    add("As the simulated driver counted it (opens and device control requests that reached "
        "its units, each run's handles all closed before it was read).")
    add("")
    expected = program["expected_traffic"]
    add("Expected for one run of the program with OK, from the channel "
        "(`Quillset/driver/DriverChannel.cpp`): `CountConnectedUnits` opens each of the four "
        "slots once, and only slot 0 reaches a unit (1 open; the other three fail in "
        "`CreateFileW` before any driver sees them); `ReadDriverSettings` opens slot 0 twice, "
        "a probe and then the exchange, and makes one GET, whose status 1 ends the search "
        "(2 opens, 1 call); `WriteDriverSettings` opens every present slot twice and makes one "
        "SET at each (2 opens, 1 call); status 0 means no second write. In all: %s." %
        describe_traffic(expected))
    add("")
    add("| | expected | measured |")
    add("|---|---|---|")
    for series in (program, baseline):
        groups = traffic_groups(series)
        measured = "; ".join("%d of %d runs: %s" % (n, len(series["runs"]),
                                                    describe_traffic(t)) for t, n in groups)
        verdict = "" if traffic_matches(series) else " **(differs from the expected)**"
        add("| %s | %s | %s%s |" % (series["name"], describe_traffic(series["expected_traffic"]),
                                     measured, verdict))
    add("")
    return "\n".join(out)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--results", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--baseline", required=True)
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
    text = render(results, args.program, args.baseline, facts)
    # The release exe's sizes are written by scripts/release --sizes; they stay as they were.
    from release_sizes import carried_over
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
