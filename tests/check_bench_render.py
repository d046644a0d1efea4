#!/usr/bin/env python3
"""bench/results/RESULTS.md must be exactly what `bench/run --render` makes
of the committed data: a hand edit of the report, or data changed without
rendering again, fails here with the first lines of the difference. The
kernels' headers must give the cycles of the same data.
    tests/check_bench_render.py BENCH_RUN RESULTS_MD"""
import difflib
import json
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
sys.path.insert(0, os.path.dirname(os.path.abspath(bench_run)))
from vexo_bench import headers  # noqa: E402

with open(os.path.join(os.path.dirname(committed), "measurements.json")) as f:
    stale = headers.stale(json.load(f))
if stale:
    sys.exit("the cycle tables of %s are not those of measurements.json" % ", ".join(stale))

# Another processor's rows go under the table's last row, once.
table = " * in bench/results/RESULTS.md:\n *   words    4\n *   AMD Zen 5 (f)   1.0\n *     gmp   2.0\n */\n"
rows = (" *   AMD Zen 3 (f)   3.0\n", " *     gmp   4.0\n")
added = headers.with_rows(table, "AMD Zen 3 (f)", rows)
again = headers.with_rows(added, "AMD Zen 3 (f)", (rows[0].replace("3.0", "5.0"), rows[1]))
if added != table.replace(" */", "".join(rows) + " */") or again != added.replace("3.0", "5.0"):
    sys.exit("a new processor's cycle rows are not added, or not replaced, in place:\n" + added + again)
print("ok")
