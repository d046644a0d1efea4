#!/usr/bin/env python3
"""bench/run must end non-zero when a measured row misses its target or
the reference figure of the processor's generation, and only then: its
verdicts on made-up measurements, and its main run on made-up measurements
through the status that it ends with.
    tests/check_bench_status.py BENCH_RUN YARDSTICK"""
import importlib.machinery
import importlib.util
import os
import shutil
import sys
import tempfile

loader = importlib.machinery.SourceFileLoader("bench_run", sys.argv[1])
bench = importlib.util.module_from_spec(importlib.util.spec_from_loader("bench_run", loader))
loader.exec_module(bench)
judge, plan = bench.judge, bench.plan
KERNEL = "mulB_R_x86_64_bini / mpn_mul_1"
RUN = "40000 pi 16 2"


def kernel(ratios, noise=0.01):
    """A kernel row with these ratios, three repetitions a side, each side
    half the `noise` apart."""
    return {"label": KERNEL, "sizes": {str(n): {"kernel_ns": [r, r * (1 + noise / 2), r],
                                                "gmp_ns": [1.0, 1.0 + noise / 2, 1.0],
                                                "kernel_ghz": [3.0] * 3, "gmp_ghz": [3.0] * 3}
                                       for n, r in zip(plan.KERNEL_SIZES, ratios)}}


def run(ratio):
    return {"request": RUN, "program_series": [ratio] * 3, "yardstick_series": [1.0] * 3,
            "grouped_series": [0.9], "program_cpu": [1.0], "yardstick_cpu": [2.0], "program_wall": [1.0],
            "yardstick_wall": [2.0], "peak_kib": [2000]}


def reference(ratio):
    return {"processor": "made up", "revision": "r0", "date": "d0", "kernels": {KERNEL: {
        str(n): ratio for n in plan.KERNEL_SIZES}}, "whole runs": {RUN: ratio}}


def measured(kernels=(), runs=(), ref=None, decimal=(), memory=()):
    """Made-up measurements of Zen 3; memory: (request, peaks), the bytes its
    run holds computed as bench/run computes them."""
    runs = list(runs) + [dict(run(0.5), request=request, peak_kib=peaks) for request, peaks in memory]
    return {"context": {"generation": "Zen 3"}, "compared_with": ref, "kernels": list(kernels), "whole_runs": runs,
            "curves": [], "printer": {"digits": 100000, "seconds": [0.001]}, "decimal_shares": list(decimal),
            "record_bytes": {request: bench.measure.record_bytes(request.split(), sys.argv[2]) for request, _ in memory}}


def tables(slow):
    """The other rows with a target; `slow` puts the measured side above it."""
    ours = 1.0 + slow
    decimal = [{"request": "100000 e 10", "printer_seconds": [0.09 * ours], "series_seconds": [1.0]}]
    # A million decimal digits of e: its printing (copy and text, about 2 MiB)
    # outgrows the two records of its series.
    memory = [("40000 pi 16 2", [2000 * ours]), ("1000000 e 10", [3800 * ours])]
    return [measured(decimal=decimal), measured(memory=memory)]


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
    status = judge.exit_status(judge.judge(measured([kernel(ratios, noise)], [run(whole)], ref)))
    if (status != 0) != fails:
        failures.append("%s: status %d" % (name, status))
if any(judge.exit_status(judge.judge(t)) != 0 for t in tables(0.0)):
    failures.append("measurements meeting every target end non-zero")
failures += ["table %d: a missed target ends with status 0" % i
             for i, t in enumerate(tables(0.3)) if judge.exit_status(judge.judge(t)) == 0]

# main, measuring nothing: a regression against the reference of the same
# generation ends it with status 1; the same figures on a generation with no
# reference pass, and each full run writes its generation's figures and the
# report says what the verdict says.
work = tempfile.mkdtemp()
bench.REFERENCE = os.path.join(work, "reference.json")
bench.results_folder = lambda quick: work
bench.prepare = lambda context: context.update(revision="r1")
bench.plot = lambda *args: None
curves = [{"label": label, "arguments": " ".join(words), "sizes": {
    n: {"cpu": [1.0], "wall": [1.0], "series": [1.0], "peak_kib": [2000]} for n in ["1000", "100000"]}}
    for label, words in plan.CURVES]
for kind, measured_ratio, status in [("Zen 3", 0.5, 0), ("Zen 3", 0.8, 1), ("Zen 4", 0.8, 0)]:
    bench.data.write(bench.REFERENCE, {"Zen 3": reference(0.5)})
    bench.processor = lambda: ("made-up processor", kind)
    bench.measure.measure = lambda quick, context: {
        "kernels": [kernel([0.5, 0.5, 0.5, measured_ratio, 0.5])], "whole_runs": [run(0.5)],
        "curves": curves, "printer": {"digits": 100000, "seconds": [0.001]}, "decimal_shares": [],
        "record_bytes": {"100000 pi 16 1": 200000}}
    try:
        bench.main([])
        failures.append("%s, ratio %g: main returned" % (kind, measured_ratio))
    except SystemExit as done:
        if done.code != status:
            failures.append("%s, ratio %g: main ends with %s, not %d" % (kind, measured_ratio, done.code, status))
    written = bench.data.read(bench.REFERENCE)
    if written.get(kind, {}).get("revision") != "r1" or "Zen 3" not in written:
        failures.append("%s: the reference figures were not written beside the others" % kind)
    with open(os.path.join(work, "RESULTS.md")) as report:
        measured_part = report.read().split("\n## Cost of")[0]
        if ("**FAIL**" in measured_part) != (status != 0):
            failures.append("%s, ratio %g: the report's verdicts disagree with the status" % (kind, measured_ratio))
shutil.rmtree(work)
print("\n".join(failures) or "ok")
sys.exit(1 if failures else 0)
