"""Every measurement of bench/run, returned as data: the raw figures of each
repetition, rounded to five significant digits, with nothing judged or
rendered. data.py writes them to bench/results/measurements.json."""
import json
import re
import os
import subprocess

from . import plan
from .programs import BUILD, PROGRAM, YARDSTICK, die, program_series_seconds, run_timed, say, \
    check_same_digits, yardstick_value


def figure(x):
    """A measured value as the data keeps it: five significant digits."""
    return float("%.5g" % x)


def figures(values):
    return [figure(x) for x in values]


def benchmark_entries(program, min_time):
    """Every repetition of every benchmark of one Google Benchmark program:
    its CPU time per call in nanoseconds and the core clock measured beside
    it, by name."""
    path = os.path.join(BUILD, "bench", program)
    say("kernel benchmarks: " + program)
    done = subprocess.run([path, "--benchmark_min_time=%g" % min_time, "--benchmark_format=json",
                           "--benchmark_repetitions=%d" % plan.KERNEL_REPETITIONS],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    if done.returncode != 0:
        die(program + " failed")
    entries = {}
    for entry in json.loads(done.stdout)["benchmarks"]:
        if entry.get("run_type") == "aggregate":
            continue
        scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[entry["time_unit"]]
        times, clocks = entries.setdefault(entry["name"], ([], []))
        times.append(entry["cpu_time"] * scale)
        clocks.append(entry["clock_ghz"])
    return entries


def kernel_entries(min_time):
    """Every repetition of every benchmark of the kernel programs, by
    (program, name)."""
    programs = {pair[1] for pair in plan.KERNEL_PAIRS + plan.CALL_PAIRS}
    return {(program, name): value for program in sorted(programs)
            for name, value in benchmark_entries(program, min_time).items()}


def timed_pair(ours, theirs):
    """Both sides' CPU time per call (ns) and clock (GHz) of each repetition."""
    return {"kernel_ns": figures(ours[0]), "kernel_ghz": figures(ours[1]),
            "gmp_ns": figures(theirs[0]), "gmp_ghz": figures(theirs[1])}


def kernels(entries):
    """Per kernel pair and size: the kernel's and GMP's times and clocks."""
    rows = []
    for label, program, kernel, gmp, extra in plan.KERNEL_PAIRS:
        sizes = {}
        for n in plan.KERNEL_SIZES:
            suffix = "/%d" % n + ("/" + extra if extra else "")
            ours, theirs = entries.get((program, kernel + suffix)), entries.get((program, gmp + suffix))
            if ours and theirs:
                sizes[str(n)] = timed_pair(ours, theirs)
        rows.append({"label": label, "sizes": sizes})
    return rows


def calls(entries):
    """The routines timed per call beside their counterpart (GMP's side of
    the pair): times and clocks."""
    rows = []
    for label, program, routine, other in plan.CALL_PAIRS:
        ours, theirs = entries.get((program, routine)), entries.get((program, other))
        if ours and theirs:
            rows.append({"label": label, "call": timed_pair(ours, theirs)})
    return rows


def whole_runs(requests, repetitions):
    """Program, yardstick and, for pi, the yardstick with the program's
    grouped terms, alternately; the digits checked every time."""
    rows = []
    for request in requests:
        say("whole runs: " + " ".join(request))
        programs, yardsticks, grouped = [], [], []
        for _ in range(repetitions):
            programs.append(run_timed([PROGRAM] + request))
            yardsticks.append(run_timed([YARDSTICK] + request))
            check_same_digits(request, programs[-1], yardsticks[-1])
            if request[1] == "pi":
                grouped.append(run_timed([YARDSTICK, "--grouped"] + request))
                check_same_digits(request, programs[-1], grouped[-1])
        rows.append({
            "request": " ".join(request),
            "program_series": figures(program_series_seconds(r) for r in programs),
            "yardstick_series": figures(yardstick_value(r, "series_seconds") for r in yardsticks),
            # Outside pi there is nothing to group: the yardstick itself.
            "grouped_series": figures(yardstick_value(r, "series_seconds") for r in grouped or yardsticks),
            "program_cpu": figures(r.cpu for r in programs), "yardstick_cpu": figures(r.cpu for r in yardsticks),
            "program_wall": figures(r.wall for r in programs),
            "yardstick_wall": figures(r.wall for r in yardsticks),
            "peak_kib": [r.peak_kib for r in programs],
        })
    return rows


def decimal_shares(requests, repetitions):
    """The decimal printer alone (its conversion and layout, timed by the
    yardstick around the call and the flush, output to /dev/null) against the
    series time that the program prints for the same request."""
    rows = []
    for request in requests:
        say("decimal printer: " + " ".join(request))
        reps = repetitions if int(request[0]) <= plan.SMALL_SIZE else 1
        printer = [yardstick_value(run_timed([YARDSTICK] + request, keep_output=False), "print_seconds")
                   for _ in range(reps)]
        series = [program_series_seconds(run_timed([PROGRAM] + request)) for _ in range(reps)]
        rows.append({"request": " ".join(request), "printer_seconds": figures(printer),
                     "series_seconds": figures(series)})
    return rows


def printer_seconds(digits, repetitions):
    """The radix-16 printer alone on a record of digits/16 + 4 words (the size
    of every record of a run of that many hexadecimal digits), its output sent
    to /dev/null: the yardstick times it around the call and the flush."""
    say("printer alone")
    return {"digits": digits, "seconds": figures(
        yardstick_value(run_timed([YARDSTICK, str(digits), "e", "16"], keep_output=False), "print_seconds")
        for _ in range(repetitions))}


def curves(sizes, repetitions_small):
    """Whole-process CPU and wall time of the program for every curve and
    size, the series time it prints and its peak memory, every run."""
    rows = []
    for label, words in plan.CURVES:
        row = {"label": label, "arguments": " ".join(words), "sizes": {}}
        for n in sizes:
            repetitions = repetitions_small if n <= plan.SMALL_SIZE else 1
            say("running time: %d %s" % (n, " ".join(words)))
            runs = [run_timed([PROGRAM, str(n)] + words) for _ in range(repetitions)]
            row["sizes"][str(n)] = {"cpu": figures(r.cpu for r in runs), "wall": figures(r.wall for r in runs),
                                    "series": figures(program_series_seconds(r) for r in runs),
                                    "peak_kib": [r.peak_kib for r in runs]}
        rows.append(row)
    return rows


def record_bytes(request, yardstick=YARDSTICK):
    """The memory that a run holds at once: the larger of its series' records
    (four of W words for pi, three for the roots, two for e) and what its
    printing holds, the value's record, the decimal printer's copy of it and
    the whole text of the value when it outgrows the printer's 32 KiB on the
    stack. The word count, the digits and the text's bytes are the library's
    own, printed by `vexo_gmp_yardstick --sizes` (`yardstick`, the one of
    build-bench/ by default). It runs only while
    measuring; the data keeps its result, so rendering needs no program."""
    sizes = subprocess.run([yardstick, "--sizes"] + list(request), stdout=subprocess.PIPE, text=True)
    found = dict(re.findall(r"(\w+)=(\d+)", sizes.stdout))
    if sizes.returncode != 0 or not {"words", "text_bytes"} <= found.keys():
        die("vexo_gmp_yardstick --sizes %s printed no sizes" % " ".join(request))
    words, text = int(found["words"]), int(found["text_bytes"])
    count = {"pi": 4, "e": 2}.get(request[1], 3)
    printing = words * 8 * (2 if request[2] == "10" else 1) + (text if text > 32768 else 0)
    return max(count * words * 8, printing)


def memory_requests(runs, curve_rows):
    """The requests of the table of peak memory: the whole runs, then the
    curve runs from plan.MEMORY_CURVE_SIZE digits up."""
    requests = [row["request"] for row in runs]
    for row in curve_rows:
        requests += ["%s %s" % (n, row["arguments"]) for n in row["sizes"] if int(n) >= plan.MEMORY_CURVE_SIZE]
    return requests


def measure(quick, context):
    """Every measurement of the report."""
    reps = context["repetitions"]
    entries = kernel_entries(context["min_time"])
    data = {"kernels": kernels(entries), "calls": calls(entries),
            "whole_runs": whole_runs(plan.QUICK_WHOLE_RUNS if quick else plan.WHOLE_RUNS, reps)}
    sizes = [n for n in plan.CURVE_SIZES if n <= plan.QUICK_LARGEST_SIZE] if quick else plan.CURVE_SIZES
    data["curves"] = curves(sizes, reps)
    data["printer"] = printer_seconds(min(plan.PRINT_SHARE_DIGITS, max(sizes)), reps)
    data["decimal_shares"] = decimal_shares(plan.QUICK_DECIMAL_SHARE_RUNS if quick else plan.DECIMAL_SHARE_RUNS,
                                            reps)
    data["record_bytes"] = {r: record_bytes(r.split()) for r in memory_requests(data["whole_runs"], data["curves"])}
    return data
