"""Running the programs that bench/run and bench/compare_builds measure: the
build, one timed run with its own peak memory, the program's and the
yardstick's reports, and the machine the figures come from."""
import os
import re
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.join(ROOT, "build-bench")
PROGRAM = os.path.join(BUILD, "vexo_x86_64")
YARDSTICK = os.path.join(BUILD, "bench", "vexo_gmp_yardstick")
TIME = "/usr/bin/time"
# AMD's generations by lscpu's family and model numbers: one model name ("AMD
# EPYC") covers several, and family 25 holds both Zen 3 and Zen 4.
AMD_GENERATIONS = [(25, range(0x00, 0x10), "Zen 3"), (25, range(0x20, 0x60), "Zen 3"),
                   (25, range(0x10, 0x20), "Zen 4"), (25, range(0x60, 0x80), "Zen 4"),
                   (25, range(0xa0, 0xb0), "Zen 4"), (26, range(0x00, 0x100), "Zen 5")]
# Wall and CPU seconds of every measured run: when other jobs take the
# processor, the wall time grows beyond the CPU time.
CONTENTION = {"wall": 0.0, "cpu": 0.0}


def say(text):
    print(text, flush=True)


def die(text):
    sys.stderr.write("%s: %s\n" % (os.path.relpath(sys.argv[0], ROOT), text))
    sys.exit(1)


def install_missing():
    """The packages of the benchmarks (python3, the compiler, CMake, Ninja,
    GMP, Google Benchmark, gnuplot-nox and time), through the project's
    installer: as root, through sudo when it exists, or else it names them."""
    if subprocess.run([os.path.join(ROOT, "scripts", "deps.sh"), "bench"]).returncode != 0:
        die("missing packages (see above)")


def build(source, folder, targets, bench=True):
    """A release build of the tree at source in folder, of these targets."""
    say("building the release tree in %s" % os.path.relpath(folder, ROOT))
    configure = ["cmake", "-S", source, "-B", folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                 "-DVEXO_BUILD_TESTS=OFF", "-DVEXO_BUILD_BENCH=%s" % ("ON" if bench else "OFF"),
                 "-DVEXO_SANITIZE=OFF"]
    jobs = "-j%d" % (os.cpu_count() or 1)
    for command in (configure, ["cmake", "--build", folder, jobs, "--target"] + targets):
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if done.returncode != 0:
            sys.stderr.write(done.stdout)
            die("build failed: " + " ".join(command))


class Run:
    """One run of a program: its output, exit status and costs."""

    def __init__(self, stdout, stderr, wall, cpu, peak_kib):
        self.stdout = stdout
        self.stderr = stderr
        self.wall = wall          # seconds, whole process
        self.cpu = cpu            # user + system seconds, whole process
        self.peak_kib = peak_kib  # maximum resident set size


def run_timed(argv, keep_output=True):
    """Runs argv under /usr/bin/time, which reports the peak resident size
    (the kernel's high-water mark, from wait4). A wait4 here would not do: a
    child started from Python inherits the interpreter's high-water mark
    through the exec. The wall time is taken around the process; the CPU
    time comes from wait4, which counts the program (time's own share is a
    few hundred microseconds)."""
    with tempfile.TemporaryDirectory() as tmp:
        out_path = os.path.join(tmp, "out")
        err_path = os.path.join(tmp, "err")
        peak_path = os.path.join(tmp, "peak")
        command = [TIME, "-f", "%M", "-o", peak_path] + argv
        with open(out_path if keep_output else os.devnull, "wb") as out, open(err_path, "wb") as err:
            start = time.perf_counter()
            child = subprocess.Popen(command, stdout=out, stderr=err)
            _, status, usage = os.wait4(child.pid, 0)
            wall = time.perf_counter() - start
            child.returncode = os.waitstatus_to_exitcode(status)
        if child.returncode != 0:
            die("%s ended with status %d: %s" % (" ".join(argv), child.returncode, open(err_path).read()))
        stdout = open(out_path, "rb").read() if keep_output else b""
        stderr = open(err_path, "rb").read().decode()
        peak = int(open(peak_path).read().split()[-1])
    run = Run(stdout, stderr, wall, usage.ru_utime + usage.ru_stime, peak)
    CONTENTION["wall"] += run.wall
    CONTENTION["cpu"] += run.cpu
    return run


def program_series_seconds(run):
    """The series time the program prints: the total line for pi (every
    duration line but the per-term ones), the one duration line otherwise."""
    totals = [float(m.group(1)) for m in
              re.finditer(rb"^ (?:Total duration|Duration) = +([0-9.]+) seconde?s\.$", run.stdout, re.M)]
    if not totals:
        die("no duration line in the program's output")
    return totals[-1]


def yardstick_value(run, key):
    match = re.search(r"^%s (\S+)$" % key, run.stderr, re.M)
    if not match:
        die("the yardstick did not report " + key)
    return float(match.group(1))


def check_same_digits(request, program, yardstick):
    """The yardstick prints only the digit block; it must be the end of the
    program's output, after nothing but heading and duration lines."""
    digits = yardstick.stdout
    head = program.stdout[:len(program.stdout) - len(digits)]
    problems = []
    if len(digits) < 20 or not program.stdout.endswith(digits):
        problems.append("the digit blocks differ")
    if any(line and not line.startswith(b" ") for line in head.split(b"\n")):
        problems.append("the program prints digits before the yardstick's block")
    if request[1] != "pi":
        iterations = re.search(rb"^ Number of iterations = (\d+)$", program.stdout, re.M)
        if not iterations or float(iterations.group(1)) != yardstick_value(yardstick, "iterations"):
            problems.append("the numbers of iterations differ")
    if problems:
        die("DIGITS CHECK FAILED for '%s': %s" % (" ".join(request), "; ".join(problems)))


def generation(vendor, family, model):
    """The name that a processor's reference figures are kept under: AMD's
    generation, or else the vendor, family and model that lscpu gives."""
    if vendor == "AuthenticAMD" and family.isdigit() and model.isdigit():
        for number, models, name in AMD_GENERATIONS:
            if int(family) == number and int(model) in models:
                return name
    return "%s family %s model %s" % (vendor, family, model)


def processor():
    """lscpu's model name with its family and model numbers (the name alone,
    such as "AMD EPYC", can stand for processors of different generations),
    and the generation."""
    fields = {}
    for line in subprocess.run(["lscpu"], stdout=subprocess.PIPE, text=True).stdout.splitlines():
        key, _, value = line.partition(":")
        fields.setdefault(key.strip(), value.strip())
    family, model = fields.get("CPU family", "?"), fields.get("Model", "?")
    return ("%s (family %s, model %s)" % (fields.get("Model name", "unknown"), family, model),
            generation(fields.get("Vendor ID", "unknown"), family, model))


def load_average():
    return [round(x, 2) for x in os.getloadavg()]


def source_revision(root=ROOT):
    rev = subprocess.run(["git", "-C", root, "rev-parse", "--short", "HEAD"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True).stdout.strip() or "unknown"
    dirty = subprocess.run(["git", "-C", root, "status", "--porcelain", "--untracked-files=no",
                            "--", "kernels", "src", "include"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout.strip()
    return rev + (" with uncommitted changes in kernels/, src/ or include/" if dirty else "")
