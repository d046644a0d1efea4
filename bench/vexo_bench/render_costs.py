"""The sections of RESULTS.md on the cost of the checks, rendered from
check_costs.json: what bench/compare_builds recorded (every run, summed up
here), or figures copied once where they cannot be measured again, which
their entry says."""
import statistics
import string

from . import judge


def row(cells):
    return "| " + " | ".join(cells) + " |"


def header(cells):
    return "\n".join([row(cells), "|---" * len(cells) + "|"])


def summary(timed):
    """Medians, the ratio of the fastest runs, the range of the pair ratios
    and the median peaks of one request: from its runs when the data keeps
    them, else as copied."""
    if "old_cpu" not in timed:
        return timed
    ratios = [n / o for o, n in zip(timed["old_cpu"], timed["new_cpu"])]
    return {"request": timed["request"], "runs": len(timed["old_cpu"]),
            "old_median": statistics.median(timed["old_cpu"]), "new_median": statistics.median(timed["new_cpu"]),
            "fastest_ratio": min(timed["new_cpu"]) / min(timed["old_cpu"]), "pair_ratios": [min(ratios), max(ratios)],
            "old_peak_kib": statistics.median(timed["old_peak_kib"]),
            "new_peak_kib": statistics.median(timed["new_peak_kib"])}


def instruction_table(rows, titles):
    lines = [header(["request"] + titles + ["ratio"])]
    for counted in rows:
        lines.append(row(["`%s`" % counted["request"], "%d" % counted["old"], "%d" % counted["new"],
                          "%.4f" % (counted["new"] / counted["old"])]))
    return "\n".join(lines)


def time_cells(timed):
    low, high = timed["pair_ratios"]
    # Copied rows keep the ratio that was computed from the unrounded medians.
    ratio = timed.get("median_ratio", timed["new_median"] / timed["old_median"])
    return ["`%s`" % timed["request"], "%d" % timed["runs"], "%.3f" % timed["old_median"],
            "%.3f" % timed["new_median"], "%.4f" % ratio,
            "%.4f" % timed["fastest_ratio"], "%.3f" % low if low == high else "%.3f-%.3f" % (low, high)]


def arithmetic_time_table(rows):
    lines = [header(["request", "pairs", "before the check: CPU (s), median", "with the check: CPU (s), median",
                     "ratio of medians", "ratio of fastest", "pair ratios, range"])]
    return "\n".join(lines + [row(time_cells(timed)) for timed in rows])


def digits_time_table(rows):
    lines = [header(["request", "pairs", "before: CPU (s), median", "with the checks: CPU (s), median", "ratio of medians",
                     "ratio of fastest", "pair ratios, range", "peak KiB, before / with", "verdict"])]
    for timed in rows:
        problems = judge.check_cost_problems(timed)
        digits = int(timed["request"].split()[0])
        shown = "pass"
        if digits < judge.CHECK_TIME_TARGET_DIGITS and not problems:
            shown = "%+.1f ms: pass" % (1000 * (timed["new_median"] - timed["old_median"]))
        lines.append(row(time_cells(timed) + ["%.0f / %.0f" % (timed["old_peak_kib"], timed["new_peak_kib"]),
                                              shown if not problems else "**FAIL**: " + "; ".join(problems)]))
    return "\n".join(lines)


def machine(entry, fragments):
    """Where a measurement was made, for the sentence that introduces it."""
    used = len(entry.get("cpus_used", []))
    pinning = string.Template(fragments["pinned"]).substitute(used=used) if used < entry["logical_cpus"] \
        else fragments["unpinned"]
    return string.Template(fragments["machine"]).substitute(
        processor=entry["processor"], generation=entry["generation"], cpus=entry["logical_cpus"], pinning=pinning)


def largest_peak_growth(rows):
    """The request whose peak grows most with the checks, the growth in KiB
    and in bytes per digit asked for."""
    grown = max(rows, key=lambda timed: timed["new_peak_kib"] - timed["old_peak_kib"])
    growth = grown["new_peak_kib"] - grown["old_peak_kib"]
    return grown["request"], growth, growth * 1024 / int(grown["request"].split()[0])


def fields(costs, fragments):
    """Every placeholder of the two sections."""
    arithmetic, digits = costs["arithmetic check"], costs["printed digits check"]
    a_times = [summary(timed) for timed in arithmetic["times"]["rows"]]
    d_times = [summary(timed) for timed in digits["times"]["rows"]]
    alignment, residue = arithmetic["kernel_alignment"], arithmetic["residue_bench"]
    hex_bench = digits["pi_hex_digits_bench"]
    grown_request, growth, per_digit = largest_peak_growth(d_times)
    return {
        "a_date": arithmetic["date"], "a_machine": machine(arithmetic, fragments),
"a_old": arithmetic["old"], "a_new": arithmetic["new"],
        "a_instruction_table": instruction_table(arithmetic["instructions"]["rows"], [
            "instructions before the check", "instructions with the check"]),
        "a_same_binary": arithmetic["times"]["same_binary_pair_ratio_percent"],
        "a_time_table": arithmetic_time_table(a_times),
        "align_request": alignment["request"], "align_runs": alignment["runs"],
        "align_percent": alignment["slower_percent"], "align_slow": alignment["offsets_bytes"][0],
        "align_fast": alignment["offsets_bytes"][1],
        "fraction_ns": residue["fraction_update_ns"], "fermat_ns": residue["fermat_inverse_update_ns"],
        "division_ns": residue["four_word_division_ns"], "residue_ns": residue["residueLii_ns_per_word"],
        "d_date": digits["times"]["date"][:10], "d_machine": machine(digits["times"], fragments),
        "d_old": digits["times"]["old"], "d_new": digits["times"]["new"],
        "d_instruction_date": digits["instructions"]["date"][:10],
        "d_instruction_table": instruction_table(digits["instructions"]["rows"], [
            "instructions before", "instructions with the checks"]),
        "d_time_table": digits_time_table(d_times),
        "check_time_target": "%g" % (100 * judge.CHECK_TIME_TARGET),
        "check_time_digits": judge.CHECK_TIME_TARGET_DIGITS,
        "check_time_small": "%g" % (1000 * judge.CHECK_TIME_SMALL_SECONDS),
        "check_memory": "%g" % judge.CHECK_MEMORY_BYTES_PER_DIGIT,
        "grown_request": grown_request, "growth_kib": "%+.0f" % growth, "growth_per_digit": "%.2f" % per_digit,
        "hex_ms": ", ".join("%s-%s ms at position %s" % (low, high, position)
                            for position, (low, high) in hex_bench["ms_by_position"].items()),
        "hex_ns": hex_bench["ns_per_term"],
    }
