"""What bench/run measures: the requests, the kernel benchmarks and their
sizes. The targets are in judge.py."""

WHOLE_RUNS = [["40000", "pi", "16", "2"], ["40000", "pi", "16", "4"],
              ["150000", "e", "16"], ["150000", "sqrt2", "16"],
              ["48000", "pi", "10", "2"], ["180000", "e", "10"]]
# --quick: the same constants, radixes and formulas at sizes whose series still
# last a tenth of a second or more (10 ticks of the program's clock), so that
# their ratios mean something; no target, which is set for the sizes above.
QUICK_WHOLE_RUNS = [["30000", "pi", "16", "2"], ["30000", "pi", "16", "4"],
                    ["100000", "e", "16"], ["100000", "sqrt2", "16"],
                    ["36000", "pi", "10", "2"], ["120000", "e", "10"]]
# The decimal printer's conversion against the series of the same run: the
# fastest series (e, sqrt2) make it look largest.
DECIMAL_SHARE_RUNS = [["100000", "e", "10"], ["100000", "sqrt2", "10"], ["100000", "pi", "10", "2"],
                      ["1000000", "e", "10"]]
QUICK_DECIMAL_SHARE_RUNS = [["80000", "e", "10"], ["80000", "sqrt2", "10"], ["50000", "pi", "10", "2"]]
# The hexadecimal printer alone is timed on a record of a run of this many
# digits (or of the largest curve size, when smaller).
PRINT_SHARE_DIGITS = 100000

# Kernel benchmarks: (label, benchmark program, kernel's name, GMP's name,
# extra argument of the benchmark or None).
KERNEL_PAIRS = [
    ("add_R_2P_x86_64_bini_spe / mpn_add_n", "addsubmul_bench",
     "BM_add_R_2P_x86_64_bini_spe", "BM_mpn_add_n", None),
    ("sub_R_2P_x86_64_bini_spe / mpn_sub_n", "addsubmul_bench",
     "BM_sub_R_2P_x86_64_bini_spe", "BM_mpn_sub_n", None),
    ("mulB_R_x86_64_bini / mpn_mul_1", "addsubmul_bench",
     "BM_mulB_R_x86_64_bini", "BM_mpn_mul_1", None),
] + [("divHalfB_x86_64_bini / mpn_divrem_1, d = %s" % d, "div_bench", "BM_divHalfB", "BM_gmp_divrem_1", d)
     for d in ["7", "25", "57121", "384199201", "4294967295"]
     ] + [("divHalfB_R_x86_64_bini / mpn_divrem_1 in place, d = %s" % d, "div_bench",
           "BM_divHalfB_R", "BM_gmp_divrem_1_in_place", d)
          for d in ["7", "25", "57121", "384199201", "4294967295"]]
KERNEL_SIZES = [4, 16, 64, 1024, 65536]
# Routines timed per call beside a counterpart: (label, benchmark program,
# routine's name, counterpart's name).
CALL_PAIRS = [("aurora_x86_64 / the compiler's __rdtsc()", "addsubmul_bench", "BM_aurora_x86_64",
               "BM_rdtsc_inline")]
KERNEL_REPETITIONS = 3

CURVES = [("pi, formula 1", ["pi", "16", "1"]), ("pi, formula 2", ["pi", "16", "2"]),
          ("pi, formula 3", ["pi", "16", "3"]), ("pi, formula 4", ["pi", "16", "4"]),
          ("e", ["e", "16"]), ("sqrt2", ["sqrt2", "16"])]
CURVE_SIZES = [1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000]
# Up to this size three runs, median; above it one run (40 s for formula 1).
SMALL_SIZE = 100000
QUICK_LARGEST_SIZE = 50000
# The curve runs from this size up also count in the table of peak memory.
MEMORY_CURVE_SIZE = 100000
