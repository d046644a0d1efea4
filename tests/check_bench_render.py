#!/usr/bin/env python3
"""bench/results/RESULTS.md must be exactly what `bench/run --render` makes
of the committed data: a hand edit of the report, or data changed without
rendering again, fails here with the first lines of the difference.
    tests/check_bench_render.py BENCH_RUN RESULTS_MD"""
import difflib
import os
import subprocess
import sys
import tempfile

bench_run, committed = sys.argv[1], sys.argv[2]
with tempfile.TemporaryDirectory() as scratch:
    rendered = os.path.join(scratch, "RESULTS.md")
    done = subprocess.run([sys.executable, bench_run, "--render", "--to", rendered])
    if done.returncode != 0:
        sys.exit("bench/run --render ended with status %d" % done.returncode)
    with open(rendered) as f:
        fresh = f.read()
with open(committed) as f:
    kept = f.read()
if fresh != kept:
    diff = difflib.unified_diff(kept.splitlines(), fresh.splitlines(), "committed", "rendered", lineterm="")
    print("\n".join(list(diff)[:40]))
    sys.exit("RESULTS.md is not what bench/run --render makes of the data: run it and commit the result")
print("ok")
