"""The targets, and the verdicts computed on the measured numbers: each row
with a target gets the list of what it misses (empty: it passes), or None
when it has no target. bench/run's exit status comes from these lists."""
import statistics
import sys

from . import plan

# Kernels, ours / GMP, at the sizes where a call's words outweigh its fixed
# cost; at 4 and 16 words that cost ranks the kernels against GMP
# differently on different processor generations, so those sizes are shown
# without a target and compared with no reference.
KERNEL_TARGET = 1.0
KERNEL_TARGET_SIZES = [64, 1024, 65536]
# Whole runs: the program's series time below the yardstick's.
WHOLE_RUN_TARGET = 1.0
PRINT_SHARE_TARGET = 0.02
# The multiply kernel that converts and the division kernels that sum the
# series rank differently against each other on different generations.
DECIMAL_SHARE_TARGET = 0.10
DECIMAL_SHARE_TARGET_DIGITS = 100000
MEMORY_SLACK_KIB = 2048
# A ratio is taken to miss a target or its reference figure only by more
# than the spread of its own repetitions, or than this share, whichever is
# larger: repeated runs of one build move by several percent on these
# machines.
NOISE_FLOOR = 0.10
# The checks' costs against the revision before them (check_costs.json):
# the whole run's CPU time at most this much larger from this many digits
# up, at most this many seconds more below; the peak at most this many
# bytes more per digit asked for.
CHECK_TIME_TARGET = 0.01
CHECK_TIME_TARGET_DIGITS = 100000
CHECK_TIME_SMALL_SECONDS = 0.010
CHECK_MEMORY_BYTES_PER_DIGIT = 1.5


def median(values):
    return statistics.median(values)


def spread(values):
    """How far the repetitions of one measurement lie apart: the slowest over
    the fastest, less one."""
    return max(values) / min(values) - 1 if len(values) > 1 and min(values) > 0 else 0.0


def tolerance(noise):
    return max(NOISE_FLOOR, noise)


def kernel_cell(cell):
    """Ratio of the fastest repetitions (on a shared machine, other work only
    ever adds time), and the noise of the ratio."""
    ours, theirs = cell["kernel_ns"], cell["gmp_ns"]
    return min(ours) / min(theirs), spread(ours) + spread(theirs)


def cycles_per_word(cell, side, words):
    """The fastest repetition's time per word times the clock measured in
    that same repetition; side is "kernel" or "gmp"."""
    times = cell[side + "_ns"]
    fastest = times.index(min(times))
    return times[fastest] * cell[side + "_ghz"][fastest] / words


def kernel_problems(row, reference, kind):
    """What a kernel row misses, at each size with a target: GMP's time, or
    the reference figure of the processor's generation, beyond the noise."""
    expected = (reference or {}).get("kernels", {}).get(row["label"], {})
    problems = []
    for n in KERNEL_TARGET_SIZES:
        cell = row["sizes"].get(str(n))
        if cell is None:
            continue
        ratio, noise = kernel_cell(cell)
        allowed = tolerance(noise)
        if ratio > KERNEL_TARGET + allowed:
            problems.append("%d words %.2f > %.2f (GMP + noise)" % (n, ratio, KERNEL_TARGET + allowed))
        figure = expected.get(str(n))
        if figure is not None and ratio > figure * (1 + allowed):
            problems.append("%d words %.2f > %s's %.2f + %.0f %%" % (n, ratio, kind, figure, 100 * allowed))
    return problems


def whole_run_ratio(row):
    """Ratio of the median series times, and its noise."""
    p, y = median(row["program_series"]), median(row["yardstick_series"])
    return (p / y if y > 0 else float("inf")), spread(row["program_series"]) + spread(row["yardstick_series"])


def has_whole_run_target(row):
    """The target is set for the full sizes, not for --quick's."""
    return row["request"].split() in plan.WHOLE_RUNS


def whole_run_problems(row, reference, kind):
    ratio, noise = whole_run_ratio(row)
    problems = []
    if has_whole_run_target(row) and not ratio < WHOLE_RUN_TARGET:
        problems.append("%.2f, not below %g" % (ratio, WHOLE_RUN_TARGET))
    figure = (reference or {}).get("whole runs", {}).get(row["request"])
    if figure is not None and ratio > figure * (1 + tolerance(noise)):
        problems.append("%.2f > %s's %.2f + %.0f %%" % (ratio, kind, figure, 100 * tolerance(noise)))
    return problems


def print_shares(measured):
    """(curve label, its sizes' entry) at the size the printer was timed on,
    and the printing share of each."""
    digits = str(measured["printer"]["digits"])
    printer = median(measured["printer"]["seconds"])
    return [(row["label"], row["sizes"][digits], printer / median(row["sizes"][digits]["cpu"]))
            for row in measured["curves"] if digits in row["sizes"]]


def decimal_share(row):
    """The share, and whether the request has a target."""
    series = median(row["series_seconds"])
    share = median(row["printer_seconds"]) / series if series > 0 else float("inf")
    return share, int(row["request"].split()[0]) == DECIMAL_SHARE_TARGET_DIGITS


def memory_rows(measured):
    """(request, peaks in KiB, bytes the run holds) of every run whose peak
    memory is judged: the whole runs and the large curve runs."""
    peaks = {row["request"]: row["peak_kib"] for row in measured["whole_runs"]}
    for row in measured["curves"]:
        for n, entry in row["sizes"].items():
            peaks.setdefault("%s %s" % (n, row["arguments"]), entry["peak_kib"])
    return [(request, peaks[request], held) for request, held in measured["record_bytes"].items()]


def judge(measured):
    """Every verdict of a run of bench/run, by table and row."""
    reference = measured.get("compared_with")
    kind = measured["context"]["generation"]
    decimal = {}
    for row in measured["decimal_shares"]:
        share, targeted = decimal_share(row)
        decimal[row["request"]] = (["%.2f %% > %g %%" % (100 * share, 100 * DECIMAL_SHARE_TARGET)]
                                   if share > DECIMAL_SHARE_TARGET else []) if targeted else None
    return {
        "kernels": {row["label"]: kernel_problems(row, reference, kind) for row in measured["kernels"]},
        "whole runs": {row["request"]: whole_run_problems(row, reference, kind) for row in measured["whole_runs"]},
        "printing": {label: ["%.3f %% > %g %%" % (100 * share, 100 * PRINT_SHARE_TARGET)]
                     if share > PRINT_SHARE_TARGET else [] for label, _, share in print_shares(measured)},
        "decimal printing": decimal,
        "memory": {request: ["%.0f KiB > %.0f + %d KiB" % (median(peaks), held / 1024, MEMORY_SLACK_KIB)]
                   if median(peaks) * 1024 > held + MEMORY_SLACK_KIB * 1024 else []
                   for request, peaks, held in memory_rows(measured)},
    }


def missed(verdicts):
    """(table, row, problems) of every row that misses its target."""
    return [(table, row, problems) for table, rows in verdicts.items()
            for row, problems in rows.items() if problems]


def exit_status(verdicts):
    """0 when every row with a target meets it; otherwise 1, with the rows
    that miss it named on standard error."""
    failed = missed(verdicts)
    for table, row, problems in failed:
        sys.stderr.write("bench/run: target missed: %s, %s: %s\n" % (table, row, "; ".join(problems)))
    return 1 if failed else 0


def reference_excesses(references):
    """Per generation, its reference ratios that do not meet the targets:
    (what, ratio) of kernels above KERNEL_TARGET at the sizes with a target
    and of whole runs not below WHOLE_RUN_TARGET."""
    found = {}
    for kind, figures in references.items():
        over = [("%s, %s words" % (label, n), ratios[str(n)]) for label, ratios in figures["kernels"].items()
                for n in KERNEL_TARGET_SIZES if ratios.get(str(n), 0) > KERNEL_TARGET]
        over += [("`%s`" % request, ratio) for request, ratio in figures["whole runs"].items()
                 if ratio >= WHOLE_RUN_TARGET]
        if over:
            found[kind] = over
    return found


def check_cost_problems(row):
    """What a row of the printed digits' checks misses: its time (relative
    from CHECK_TIME_TARGET_DIGITS up, absolute below) or its peak memory."""
    digits = int(row["request"].split()[0])
    old, new = row["old_median"], row["new_median"]
    problems = []
    if digits >= CHECK_TIME_TARGET_DIGITS and new > old * (1 + CHECK_TIME_TARGET):
        problems.append("%+.2f %%" % (100 * (new / old - 1)))
    if digits < CHECK_TIME_TARGET_DIGITS and new - old > CHECK_TIME_SMALL_SECONDS:
        problems.append("%+.1f ms" % (1000 * (new - old)))
    if "old_peak_kib" in row and (row["new_peak_kib"] - row["old_peak_kib"]) * 1024 > \
            CHECK_MEMORY_BYTES_PER_DIGIT * digits:
        problems.append("%+d KiB" % (row["new_peak_kib"] - row["old_peak_kib"]))
    return problems
