#!/usr/bin/env python3
"""bench/run must end non-zero when a row of its report misses its target:
its tables built from made-up measurements, one meeting every target and one
missing one per table, through the status that bench/run ends with.
    tests/check_bench_status.py BENCH_RUN"""
import importlib.machinery
import importlib.util
import sys

loader = importlib.machinery.SourceFileLoader("bench_run", sys.argv[1])
bench = importlib.util.module_from_spec(importlib.util.spec_from_loader("bench_run", loader))
loader.exec_module(bench)


def tables(slow):
    """Every table with a target; `slow` puts the measured side above it."""
    ours = 1.0 + slow
    kernel = [["mulB_R_x86_64_bini / mpn_mul_1"] + [(ours, 1.0)] * len(bench.KERNEL_SIZES)]
    run = {"request": ["40000", "pi", "16", "2"], "series": (0.5 * ours, 1.0), "grouped_series": 0.9,
           "cpu": (1.0, 2.0), "wall": (1.0, 2.0), "peak_kib": [4000]}
    decimal = [(["100000", "e", "10"], 0.04 * ours, 1.0)]
    memory = [(["40000", "pi", "16", "2"], [2000 * ours])]
    return [bench.kernel_table(kernel), bench.whole_run_table([run]), bench.decimal_share_table(decimal),
            bench.memory_table(memory)]


failures = []
if any(bench.exit_status(t) != 0 for t in tables(0.0)):
    failures.append("a report meeting every target ends non-zero")
failures += ["table %d: a missed target ends with status 0" % i
             for i, t in enumerate(tables(0.3)) if bench.exit_status(t) == 0]
print("\n".join(failures) or "ok")
sys.exit(1 if failures else 0)
