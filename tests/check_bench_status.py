#!/usr/bin/env python3
"""bench/run must end non-zero when a row of its report misses its target or
the reference figure of the processor's generation, and only then: its
tables built from made-up measurements, and its main run on made-up
measurements through the status that it ends with.
    tests/check_bench_status.py BENCH_RUN"""
import importlib.machinery
import importlib.util
import os
import shutil
import sys
import tempfile

loader = importlib.machinery.SourceFileLoader("bench_run", sys.argv[1])
bench = importlib.util.module_from_spec(importlib.util.spec_from_loader("bench_run", loader))
loader.exec_module(bench)
KERNEL = "mulB_R_x86_64_bini / mpn_mul_1"
RUN = ["40000", "pi", "16", "2"]


def kernel(ratios, noise=0.01):
    """A kernel row with these ratios, three repetitions a side `noise` apart."""
    return [KERNEL] + [([r, r * (1 + noise), r], [1.0, 1.0, 1.0]) for r in ratios]


def run(ratio):
    return {"request": RUN, "series": (ratio, 1.0), "series_runs": ([ratio] * 3, [1.0] * 3),
            "grouped_series": 0.9, "cpu": (1.0, 2.0), "wall": (1.0, 2.0), "peak_kib": [2000]}


def reference(ratio):
    return {"processor": "made up", "revision": "r0", "date": "d0", "kernels": {KERNEL: {
        str(n): ratio for n in bench.KERNEL_SIZES}}, "whole runs": {" ".join(RUN): ratio}}


def tables(slow):
    """The other tables with a target; `slow` puts the measured side above it."""
    ours = 1.0 + slow
    decimal = [(["100000", "e", "10"], 0.09 * ours, 1.0)]
    # A million decimal digits of e: its printing (copy and text, about 2 MiB)
    # outgrows the two records of its series.
    memory = [(["40000", "pi", "16", "2"], [2000 * ours]), (["1000000", "e", "10"], [3800 * ours])]
    return [bench.decimal_share_table(decimal), bench.memory_table(memory)]


failures = []
# name, kernel ratios at 4 .. 65536 words and their noise, whole-run ratio,
# reference ratio of the same generation (None: none), fails?
CASES = [
    ("within every target, slow at 4 and 16 words", [1.3, 1.3, 0.5, 0.5, 0.5], 0.01, 0.5, 0.5, False),
    ("above GMP at 64 words only", [0.5, 0.5, 1.15, 0.5, 0.5], 0.01, 0.5, None, True),
    ("above GMP at 64 words within its own noise", [0.5, 0.5, 1.15, 0.5, 0.5], 0.2, 0.5, None, False),
    ("a kernel above its reference at 1024 words only", [0.5, 0.5, 0.5, 0.8, 0.5], 0.01, 0.5, 0.5, True),
    ("a whole run above its reference", [0.5] * 5, 0.01, 0.8, 0.5, True),
    ("a whole run not faster than the yardstick", [0.5] * 5, 0.01, 1.0, None, True),
    ("slow figures with no reference for the generation", [0.5, 0.5, 0.5, 0.8, 0.5], 0.01, 0.8, None, False),
]
for name, ratios, noise, whole, figure, fails in CASES:
    ref = None if figure is None else reference(figure)
    lines = (bench.kernel_table([kernel(ratios, noise)], ref, "Zen 3") +
             bench.whole_run_table([run(whole)], ref, "Zen 3"))
    if (bench.exit_status(lines) != 0) != fails:
        failures.append("%s: status %d" % (name, bench.exit_status(lines)))
if any(bench.exit_status(t) != 0 for t in tables(0.0)):
    failures.append("a report meeting every target ends non-zero")
failures += ["table %d: a missed target ends with status 0" % i
             for i, t in enumerate(tables(0.3)) if bench.exit_status(t) == 0]

# main, measuring nothing: a regression against the reference of the same
# generation ends it with status 1; the same figures on a generation with no
# reference pass, and each full run writes its generation's figures.
work = tempfile.mkdtemp()
bench.REFERENCE = os.path.join(work, "reference.json")
bench.results_folder = lambda quick: work
bench.prepare = lambda context: context.update(revision="r1")
bench.plot = lambda *args: None
table = {(label, n): {"cpu": 1.0, "wall": 1.0, "series": 1.0, "peak_kib": [2000]}
         for label, _ in bench.CURVES for n in [1000, 100000]}
for kind, measured_ratio, status in [("Zen 3", 0.5, 0), ("Zen 3", 0.8, 1), ("Zen 4", 0.8, 0)]:
    bench.write_references(bench.REFERENCE, {"Zen 3": reference(0.5)})
    bench.processor = lambda: ("made-up processor", kind)
    bench.measure = lambda quick, context: {
        "kernels": [kernel([0.5, 0.5, 0.5, measured_ratio, 0.5])], "runs": [run(0.5)], "sizes": [1000, 100000],
        "table": table, "printer": 0.001, "decimal": []}
    try:
        bench.main([])
        failures.append("%s, ratio %g: main returned" % (kind, measured_ratio))
    except SystemExit as done:
        if done.code != status:
            failures.append("%s, ratio %g: main ends with %s, not %d" % (kind, measured_ratio, done.code, status))
    written = bench.read_references(bench.REFERENCE)
    if written.get(kind, {}).get("revision") != "r1" or "Zen 3" not in written:
        failures.append("%s: the reference figures were not written beside the others" % kind)
shutil.rmtree(work)
print("\n".join(failures) or "ok")
sys.exit(1 if failures else 0)
