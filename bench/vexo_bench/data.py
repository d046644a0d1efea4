"""The data files of bench/results/: what bench/run measured
(measurements.json), each processor generation's reference figures
(reference.json) and the costs of the checks that bench/compare_builds
measured (check_costs.json). RESULTS.md is rendered from these three."""
import json
import os

from .programs import ROOT

RESULTS = os.path.join(ROOT, "bench", "results")
MEASUREMENTS = os.path.join(RESULTS, "measurements.json")
REFERENCE = os.path.join(RESULTS, "reference.json")
CHECK_COSTS = os.path.join(RESULTS, "check_costs.json")
# Objects of plain values, or as short as this, stay on one line.
SHORT_LINE = 180


def read(path, default=None):
    if not os.path.exists(path):
        return default
    with open(path) as f:
        return json.load(f)


def layout(value, indent=""):
    """JSON with one line per object of plain values or short object (a
    kernel's figures, a run's repetitions), so that a diff of the file shows
    which figures moved."""
    inline = json.dumps(value, ensure_ascii=False)
    parts = value.values() if isinstance(value, dict) else value if isinstance(value, list) else []
    if not any(isinstance(v, (dict, list)) for v in parts) or len(indent) + len(inline) <= SHORT_LINE:
        return inline
    inner = indent + "  "
    if isinstance(value, dict):
        items = ["%s%s: %s" % (inner, json.dumps(k, ensure_ascii=False), layout(v, inner))
                 for k, v in value.items()]
        return "{\n" + ",\n".join(items) + "\n" + indent + "}"
    return "[\n" + ",\n".join(inner + layout(v, inner) for v in value) + "\n" + indent + "]"


def write(path, value):
    with open(path, "w") as out:
        out.write(layout(value) + "\n")
