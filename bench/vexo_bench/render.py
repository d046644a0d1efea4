"""RESULTS.md rendered from the data: the tables of bench/run's
measurements with their verdicts, and the prose of RESULTS.md.in with its
placeholders filled. Nothing here measures or judges; the same data always
gives the same bytes."""
import os
import string

from . import judge, plan, render_costs
from .judge import median
from .render_costs import header, row

TEMPLATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "RESULTS.md.in")
# The runs waited for the processor for more than this share of their time:
# the report says that the machine was busy.
BUSY_CONTENTION = 1.05


def template_parts(path=TEMPLATE):
    """The document and its named fragments: every line "@@ name" of the
    template starts a fragment that runs up to the next one; the document is
    what comes before the first."""
    with open(path) as f:
        text = f.read()
    head, *rest = text.split("\n@@ ")
    fragments = {}
    for part in rest:
        name, _, body = part.partition("\n")
        fragments[name.strip()] = body.strip("\n")
    return head, fragments


def verdict(problems):
    if problems is None:
        return "n/a"
    return "pass" if not problems else "**FAIL**: " + "; ".join(problems)


def kernel_table(measured, verdicts):
    lines = [header(["kernel / GMP"] + ["%d words (ns per %s)" % (n, "call" if n == 4 else "word")
                                        for n in plan.KERNEL_SIZES] + ["verdict"])]
    for kernel in measured["kernels"]:
        cells = [kernel["label"]]
        for n in plan.KERNEL_SIZES:
            cell = kernel["sizes"].get(str(n))
            if cell is None:
                cells.append("n/a")
                continue
            ratio, _ = judge.kernel_cell(cell)
            div = 1 if n == 4 else n
            cells.append("%.2f (%.2f / %.2f)" % (ratio, min(cell["kernel_ns"]) / div, min(cell["gmp_ns"]) / div))
        lines.append(row(cells + [verdict(verdicts["kernels"][kernel["label"]])]))
    return "\n".join(lines)


def cycles_table(measured):
    lines = [header(["kernel / GMP, cycles per word"] + ["%d words" % n for n in plan.KERNEL_SIZES])]
    for kernel in measured["kernels"]:
        cells = [kernel["label"]]
        for n in plan.KERNEL_SIZES:
            cell = kernel["sizes"].get(str(n))
            cells.append("n/a" if cell is None else "%.2f / %.2f" % (
                judge.cycles_per_word(cell, "kernel", n), judge.cycles_per_word(cell, "gmp", n)))
        lines.append(row(cells))
    return "\n".join(lines)


def calls_table(measured):
    lines = [header(["routine / counterpart", "ns per call", "cycles per call"])]
    for routine in measured.get("calls", []):
        cell = routine["call"]
        lines.append(row([routine["label"], "%.2f / %.2f" % (min(cell["kernel_ns"]), min(cell["gmp_ns"])),
                          "%.1f / %.1f" % (judge.cycles_per_word(cell, "kernel", 1),
                                           judge.cycles_per_word(cell, "gmp", 1))]))
    return "\n".join(lines)


def clock_range(measured):
    clocks = [ghz for kernel in measured["kernels"] for cell in kernel["sizes"].values()
              for ghz in cell["kernel_ghz"] + cell["gmp_ghz"]]
    return "%.2f-%.2f" % (min(clocks), max(clocks)) if clocks else "n/a"


def whole_run_table(measured, verdicts):
    lines = [header(["request", "program series (s)", "yardstick series (s)", "ratio", "noise", "target",
                     "grouped yardstick (s)", "ratio to grouped", "CPU ratio", "wall ratio", "digits",
                     "verdict"])]
    for run in measured["whole_runs"]:
        p, y, g = median(run["program_series"]), median(run["yardstick_series"]), median(run["grouped_series"])
        ratio, noise = judge.whole_run_ratio(run)
        lines.append(row(["`%s`" % run["request"], "%.3f" % p, "%.3f" % y, "%.2f" % ratio, "%.0f %%" % (100 * noise),
                          "< %g" % judge.WHOLE_RUN_TARGET if judge.has_whole_run_target(run) else "n/a",
                          "%.3f" % g, "%.2f" % (p / g if g > 0 else float("inf")),
                          "%.2f" % (median(run["program_cpu"]) / median(run["yardstick_cpu"])),
                          "%.2f" % (median(run["program_wall"]) / median(run["yardstick_wall"])), "identical",
                          verdict(verdicts["whole runs"][run["request"]])]))
    return "\n".join(lines)


def print_share_table(measured, verdicts):
    lines = [header(["run of %d hex digits" % measured["printer"]["digits"], "whole run, CPU (s)",
                     "printer alone (ms)", "printing share", "target <= %g %%" % (100 * judge.PRINT_SHARE_TARGET),
                     "(wall - series) / wall"])]
    printer = median(measured["printer"]["seconds"])
    for label, entry, share in judge.print_shares(measured):
        wall = median(entry["wall"])
        lines.append(row([label, "%.3f" % median(entry["cpu"]), "%.2f" % (1000 * printer), "%.3f %%" % (100 * share),
                          verdict(verdicts["printing"][label]),
                          "%.1f %%" % (100 * (wall - median(entry["series"])) / wall)]))
    return "\n".join(lines)


def decimal_share_table(measured, verdicts):
    lines = [header(["request", "decimal printer alone (ms)", "program series (s)", "share",
                     "target <= %g %%" % (100 * judge.DECIMAL_SHARE_TARGET)])]
    for share_row in measured["decimal_shares"]:
        share, _ = judge.decimal_share(share_row)
        lines.append(row(["`%s`" % share_row["request"], "%.1f" % (1000 * median(share_row["printer_seconds"])),
                          "%.3f" % median(share_row["series_seconds"]), "%.2f %%" % (100 * share),
                          verdict(verdicts["decimal printing"][share_row["request"]])]))
    return "\n".join(lines)


def memory_table(measured, verdicts):
    lines = [header(["request", "records or printing (KiB)", "peak resident (KiB), median [range]",
                     "peak - records (KiB)", "target: records + %d KiB" % judge.MEMORY_SLACK_KIB])]
    for request, peaks, held in judge.memory_rows(measured):
        peak = median(peaks)
        spread = " [%d-%d]" % (min(peaks), max(peaks)) if len(peaks) > 1 else ""
        lines.append(row(["`%s`" % request, "%.0f" % (held / 1024), "%.0f%s" % (peak, spread),
                          "%.0f" % (peak - held / 1024), verdict(verdicts["memory"][request])]))
    return "\n".join(lines)


def runtime_table(measured):
    curves = measured["curves"]
    lines = [header(["hex digits"] + [curve["label"] for curve in curves])]
    for n in curves[0]["sizes"] if curves else []:
        lines.append(row([n] + ["%.3f" % median(curve["sizes"][n]["cpu"]) for curve in curves]))
    return "\n".join(lines)


def generations(references):
    """The generations in the columns of the expected ratios: AMD's three,
    then any other processor that has reference figures."""
    named = ["Zen 3", "Zen 4", "Zen 5"]
    return named + sorted(k for k in references if k not in named)


def expected_table(references):
    """The reference ratios side by side, one column per generation: what each
    is expected to reach, not a verdict."""
    kinds, empty = generations(references), "not measured"
    sizes = judge.KERNEL_TARGET_SIZES
    lines = [header(["ratio"] + kinds)]
    for label, *_ in plan.KERNEL_PAIRS:
        cells = []
        for kind in kinds:
            figures = references.get(kind, {}).get("kernels", {}).get(label, {})
            shown = [figures.get(str(n)) for n in sizes]
            cells.append(" / ".join("%.2f" % f for f in shown) if None not in shown else empty)
        lines.append(row(["%s, %s words" % (label, " / ".join(map(str, sizes)))] + cells))
    for request in plan.WHOLE_RUNS:
        key = " ".join(request)
        lines.append(row(["`%s`, program / yardstick" % key] + [
            "%.2f" % references[k]["whole runs"][key] if key in references.get(k, {}).get("whole runs", {})
            else empty for k in kinds]))
    lines.append(row(["measured on"] + ["%s, revision %s, %s" % (
        references[k]["processor"], references[k]["revision"], references[k]["date"])
        if k in references else empty for k in kinds]))
    return "\n".join(lines)


def targets_note(references, fragments):
    """Whether every generation's reference meets the targets, and where not."""
    excesses = judge.reference_excesses(references)
    if not excesses:
        return fragments["references_meet_targets"]
    listed = ". ".join("%s: %s" % (kind, "; ".join("%s %.2f" % (what, ratio) for what, ratio in over))
                       for kind, over in sorted(excesses.items()))
    return string.Template(fragments["references_miss_targets"]).substitute(
        listed=listed, floor="%.0f" % (100 * judge.NOISE_FLOOR),
        above="%.2f" % (judge.KERNEL_TARGET * (1 + judge.NOISE_FLOOR)))


def fields(measured, references, verdicts, fragments):
    """Every placeholder of the document."""
    context = measured["context"]
    compared = measured.get("compared_with")
    fill = string.Template
    values = {
        "date": context["date"], "elapsed": "%.0f" % context["elapsed_seconds"],
        "processor": context["processor"], "cpus": context["logical_cpus"], "generation": context["generation"],
        "compared_with": "revision %s, %s" % (compared["revision"], compared["date"]) if compared
        else fragments["no_reference"],
        "revision": context["revision"], "load_start": ", ".join("%.2f" % x for x in context["load_start"]),
        "load_end": ", ".join("%.2f" % x for x in context["load_end"]),
        "contention": "%.3f" % context["contention"],
        "min_time": "%g" % context["min_time"], "kernel_repetitions": context["kernel_repetitions"],
        "target_sizes": ", ".join(map(str, judge.KERNEL_TARGET_SIZES)),
        "target_sizes_slashed": " / ".join(map(str, judge.KERNEL_TARGET_SIZES)),
        "kernel_target": "%g" % judge.KERNEL_TARGET, "whole_run_target": "%g" % judge.WHOLE_RUN_TARGET,
        "noise_floor": "%.0f" % (100 * judge.NOISE_FLOOR), "reps": context["repetitions"],
        "print_digits": measured["printer"]["digits"], "small_size": plan.SMALL_SIZE,
        "decimal_target_digits": judge.DECIMAL_SHARE_TARGET_DIGITS, "memory_slack": judge.MEMORY_SLACK_KIB,
        "clock_range": clock_range(measured),
        "kernel_table": kernel_table(measured, verdicts), "cycles_table": cycles_table(measured),
        "calls_table": calls_table(measured),
        "whole_run_table": whole_run_table(measured, verdicts),
        "print_share_table": print_share_table(measured, verdicts),
        "decimal_share_table": decimal_share_table(measured, verdicts),
        "memory_table": memory_table(measured, verdicts), "runtime_table": runtime_table(measured),
        "expected_table": expected_table(references), "targets_note": targets_note(references, fragments),
    }
    values["busy_note"] = fill(fragments["busy"]).substitute(values) if context["contention"] > BUSY_CONTENTION else ""
    values["quick_note"] = fragments["quick"] if context["quick"] else ""
    return values


def render(measured, references, costs, template=TEMPLATE):
    """The text of RESULTS.md."""
    document, fragments = template_parts(template)
    verdicts = judge.judge(measured)
    values = fields(measured, references, verdicts, fragments)
    values.update(render_costs.fields(costs, fragments))
    text = string.Template(document).substitute(values)
    # An empty optional paragraph leaves no blank lines behind.
    while "\n\n\n" in text:
        text = text.replace("\n\n\n", "\n\n")
    return text
