"""The cycle tables in the kernels' header comments: one row for the
processor measured and one for its counterpart, written from the same data
as RESULTS.md's cycles (d = 7 for the divisions). A full bench/run writes
them; the render test checks that they still say what the data says."""
import os
import re

from . import judge, plan
from .programs import ROOT

# (kernel file, label of its figures, its counterpart's name, decimals).
KERNEL_TABLES = [
    ("add_R_2P_x86_64_bini_spe.S", "add_R_2P_x86_64_bini_spe / mpn_add_n", "mpn_add_n", 2),
    ("sub_R_2P_x86_64_bini_spe.S", "sub_R_2P_x86_64_bini_spe / mpn_sub_n", "mpn_sub_n", 2),
    ("mulB_R_x86_64_bini.S", "mulB_R_x86_64_bini / mpn_mul_1", "mpn_mul_1", 2),
    ("divHalfB_x86_64_bini.S", "divHalfB_x86_64_bini / mpn_divrem_1, d = 7", "mpn_divrem_1", 1),
    ("divHalfB_R_x86_64_bini.S", "divHalfB_R_x86_64_bini / mpn_divrem_1 in place, d = 7", "mpn_divrem_1", 1),
]
CALL_TABLES = [("aurora_x86_64.S", plan.CALL_PAIRS[0][0], "__rdtsc()", 1)]
# A row: " *   " and the name padded to this column (or not at all when
# longer), then the figures in columns of 8 (the first of 7).
NAME_COLUMN = 34


def processor_name(context):
    """"AMD Zen 5 (family 26 model 2)", or lscpu's vendor, family and model
    for a processor of no known generation."""
    found = re.search(r"family (\S+), model (\S+)\)$", context["processor"])
    if context["generation"].startswith("Zen") and found:
        return "AMD %s (family %s model %s)" % (context["generation"], found.group(1), found.group(2))
    return context["generation"]


def row(name, figures, indent):
    head = " *   " + indent + name
    cells = "".join(v.rjust(7 if i == 0 else 8) for i, v in enumerate(figures))
    return head.ljust(NAME_COLUMN) + cells + "\n"


def tables(measured):
    """For each header file: its two rows (processor, counterpart)."""
    name = processor_name(measured["context"])
    kernels = {k["label"]: k["sizes"] for k in measured["kernels"]}
    calls = {c["label"]: c["call"] for c in measured.get("calls", [])}
    out = {}
    for file, label, other, decimals in KERNEL_TABLES:
        sizes = kernels.get(label, {})
        if all(str(n) in sizes for n in plan.KERNEL_SIZES):
            sides = [["%.*f" % (decimals, judge.cycles_per_word(sizes[str(n)], side, n)) for n in plan.KERNEL_SIZES]
                     for side in ("kernel", "gmp")]
            out[file] = (row(name, sides[0], ""), row(other, sides[1], "  "))
    for file, label, other, decimals in CALL_TABLES:
        if label in calls:
            sides = [["%.*f" % (decimals, judge.cycles_per_word(calls[label], side, 1))] for side in ("kernel", "gmp")]
            out[file] = (row(name, sides[0], ""), row(other, sides[1], "  "))
    return out


def with_rows(text, name, rows):
    """The header text with the processor's two rows replaced, or added at
    the end of the table (the rows under the line that ends with
    "bench/results/RESULTS.md:" or starts the table with "words")."""
    lines = text.splitlines(True)
    for i, line in enumerate(lines):
        if line.startswith(" *   " + name + " "):
            return "".join(lines[:i] + list(rows) + lines[i + 2:])
    for i, line in enumerate(lines):
        if line.rstrip().endswith("RESULTS.md:") or line.startswith(" *   words "):
            end = i + 1
            while end < len(lines) and lines[end].startswith(" *   "):
                end += 1
            return "".join(lines[:end] + list(rows) + lines[end:])
    return text


def updated(measured, folder=os.path.join(ROOT, "kernels")):
    """(path, text now, text with the measured rows) for every header."""
    name = processor_name(measured["context"])
    for file, rows in tables(measured).items():
        path = os.path.join(folder, file)
        with open(path) as f:
            text = f.read()
        yield path, text, with_rows(text, name, rows)


def write(measured):
    for path, text, fresh in updated(measured):
        if fresh != text:
            with open(path, "w") as out:
                out.write(fresh)


def stale(measured):
    """The headers whose rows differ from the data."""
    return [os.path.relpath(path, ROOT) for path, text, fresh in updated(measured) if fresh != text]
