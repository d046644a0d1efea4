// Memory exhaustion for real: the program runs under an address-space limit
// (ulimit -v, set by a shell that then execs it), so that calloc itself
// fails when a record no longer fits. Every such run must end with exactly
// the out-of-memory lines, no digits, status 2 and no crash.
//
// Where the limit falls is measured, not guessed: the program's own needs
// (libraries, stack, buffers) differ between machines, so each test searches
// for the smallest limit at which a run gets past a given point and then
// steps down from there one record at a time. The runs that place records
// precisely ask glibc to give every allocation of a page or more a mapping
// of its own (GLIBC_TUNABLES=glibc.malloc.mmap_threshold=4096): each record
// then adds exactly its own pages to the address space, and no heap top pad
// or recycled block blurs the step from one record to the next.
//
// One more thing blurs the first steps: while it looks for the shared
// libraries, the dynamic loader maps its cache of library paths, tens of KiB
// that are released before main but count against the limit meanwhile. The
// same runs therefore name the directories of the libraries in
// LD_LIBRARY_PATH (those of this test program, which uses the same C
// library), where the loader finds them without opening its cache.
//
// Nor is the room left to the program always the limit less a fixed start-up
// cost. A program that loads libstdc++ (clang links it whether or not it is
// used; g++ drops it when nothing refers to it) has it allocate an emergency
// pool for exceptions, some 70 KiB, before main, and carries on without the
// pool when that allocation fails. Just below the limit at which the pool
// fits, the program thus has more room than just above it. A search that
// spans that limit compares runs with and without the pool, so the pi test
// steps up one page at a time and starts over where a run gets less far
// than the run one page below.
//
// AddressSanitizer reserves terabytes of shadow memory, so no such limit can
// be set on a sanitized program: the tests skip themselves in that build.
#include <link.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "expected_text.h"
#include "printed_output.h"
#include "run_program.h"

#if defined(__SANITIZE_ADDRESS__)
#define VEXO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VEXO_UNDER_ASAN 1
#endif
#endif

namespace {

const std::string kProgram = program_under_test(VEXO_BUILT_BINARY);

constexpr int64_t kKiB = 1024;
constexpr int64_t kPageKiB = 4;

int add_library_directory(dl_phdr_info *info, size_t, void *data)
{
    const std::string path = info->dlpi_name != nullptr ? info->dlpi_name : "";
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        auto *dirs = static_cast<std::string *>(data);
        const std::string dir = path.substr(0, slash);
        if ((":" + *dirs + ":").find(":" + dir + ":") == std::string::npos) {
            *dirs += (dirs->empty() ? "" : ":") + dir;
        }
    }
    return 0;
}

// The directories of every shared library loaded in this process.
std::string library_directories()
{
    std::string dirs;
    dl_iterate_phdr(add_library_directory, &dirs);
    return dirs;
}

// Runs the program with the address space limited to limit_kib KiB; with
// own_mappings, every record gets a mapping of its own and the loader no
// cache (see above).
ProgramRun run_limited(int64_t limit_kib, const std::vector<std::string> &words, bool own_mappings)
{
    std::string script = "ulimit -v \"$1\" || exit 125; shift; ";
    if (own_mappings) {
        script += "GLIBC_TUNABLES=glibc.malloc.mmap_threshold=4096; export GLIBC_TUNABLES; ";
        script += "LD_LIBRARY_PATH='" + library_directories() + "'; export LD_LIBRARY_PATH; ";
    }
    script += "exec \"$@\"";
    std::vector<std::string> argv = {"sh", "-c", script, "sh", std::to_string(limit_kib), kProgram};
    argv.insert(argv.end(), words.begin(), words.end());
    return run_program("/bin/sh", argv);
}

// Smallest limit, to the page, in [lo, hi] at which the run shows `reached`;
// `reached` must be false at lo and true at hi.
int64_t smallest_limit(int64_t lo, int64_t hi, const std::vector<std::string> &words,
                       const std::function<bool(const ProgramRun &)> &reached)
{
    EXPECT_FALSE(reached(run_limited(lo, words, true))) << "already reached at " << lo << " KiB";
    EXPECT_TRUE(reached(run_limited(hi, words, true))) << "never reached at " << hi << " KiB";
    while (hi - lo > kPageKiB) {
        const int64_t mid = (lo + hi) / 2 / kPageKiB * kPageKiB;
        if (reached(run_limited(mid, words, true))) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return hi;
}

// The first term of each formula is arctan(1/x) for this x.
const char *first_x(int formula)
{
    static const char *const xs[] = {"2", "5", "18", "23"};
    return xs[formula - 1];
}

void expect_failure(const ProgramRun &r, const std::string &expected, const std::string &what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(mask_durations(r.out), expected);
    EXPECT_FALSE(parse_printed_number(r.out).found) << "digits printed";
}

void expect_success(const ProgramRun &r, const std::string &what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(parse_printed_number(r.out).found) << r.out;
}

#ifdef VEXO_UNDER_ASAN
#define SKIP_UNDER_ASAN() GTEST_SKIP() << "address-space limits mean nothing under AddressSanitizer"
#else
#define SKIP_UNDER_ASAN() (void)0
#endif

TEST(OutOfMemory, EveryCalculatorMeetsTheLimitAtItsFirstRecord)
{
    SKIP_UNDER_ASAN();
    // Records of 2^25 + 4 words (256 MiB) each, under a 128 MiB limit.
    const int64_t limit = 128 * kKiB;
    for (const char *cst : {"e", "sqrt2", "1/sqrt2"}) {
        expect_failure(run_limited(limit, {"2147483648", cst, "2"}, false), kRecordOutOfMemory,
                       std::string(cst) + " radix 2");
        expect_failure(run_limited(limit, {"536870912", cst, "16"}, false), kRecordOutOfMemory,
                       std::string(cst) + " radix 16");
    }
    for (int f = 1; f <= 4; ++f) {
        const std::string formula = std::to_string(f);
        expect_failure(run_limited(limit, {"2147483648", "pi", "2", formula}, false),
                       pi_banner(f) + kPiOutOfMemory, "pi radix 2 formula " + formula);
        expect_failure(run_limited(limit, {"536870912", "pi", "16", formula}, false),
                       pi_banner(f) + kPiOutOfMemory, "pi radix 16 formula " + formula);
    }
}

// Records of 1024 words (8 KiB, 16320 radix-16 digits) for every constant:
// small enough for the series to finish in a blink, large enough to step
// from record to record with room on either side.
const std::string kDigits = "16320";
constexpr int64_t kRecordKiB = 8;

TEST(OutOfMemory, PiFailsInItsFirstTermAndInALaterOne)
{
    SKIP_UNDER_ASAN();
    for (int f : {2, 4}) {
        const std::string formula = std::to_string(f);
        SCOPED_TRACE("formula " + formula);
        const std::vector<std::string> words = {kDigits, "pi", "16", formula};
        const std::string first_line =
            std::string(" Duration = ####### seconds for arctan(1/") + first_x(f) + ").\n";
        // The first term holds three records (the result and the two of its
        // series); every later term needs a fourth. From the smallest limit
        // at which the program starts, one page more each time: past_first
        // is the first limit whose run gets past the first term, done the
        // first one above it whose run ends well, with no run between them
        // falling back into the first term.
        const int64_t started =
            smallest_limit(1024, 1024 * kKiB, words, [](const ProgramRun &r) { return !r.out.empty(); });
        int64_t past_first = -1;
        int64_t done = -1;
        for (int64_t limit = started; done < 0 && limit < started + 1024 * kKiB; limit += kPageKiB) {
            const ProgramRun r = run_limited(limit, words, true);
            if (mask_durations(r.out).find(first_line) == std::string::npos) {
                past_first = -1;
            } else if (past_first < 0) {
                past_first = limit;
            }
            if (past_first >= 0 && r.status == 0) {
                done = limit;
            }
        }
        ASSERT_GE(done, 0) << "no run ended well from " << started << " KiB up";
        // What separates the two is one record and its mapping's rounding.
        const int64_t step = done - past_first;
        EXPECT_GE(step, kRecordKiB);
        EXPECT_LE(step, kRecordKiB + 2 * kPageKiB);

        // The second term cannot create its third record.
        expect_failure(run_limited(past_first, words, true), pi_banner(f) + first_line + kPiOutOfMemory,
                       "failure in the second term");
        // One record less at each step: the first term fails creating its
        // third, second and first record.
        for (int64_t k = 0; k < 3; ++k) {
            const int64_t limit = past_first - step / 2 - k * step;
            expect_failure(run_limited(limit, words, true), pi_banner(f) + kPiOutOfMemory,
                           "failure in the first term, " + std::to_string(k) + " records short");
        }
        expect_success(run_limited(done, words, true), "room for four records");
    }
}

TEST(OutOfMemory, EAndTheRootsFailAtEachOfTheirRecords)
{
    SKIP_UNDER_ASAN();
    struct Calculator {
        const char *cst;
        int64_t records;
    };
    for (const Calculator c : {Calculator{"e", 2}, Calculator{"sqrt2", 3}, Calculator{"1/sqrt2", 3}}) {
        SCOPED_TRACE(c.cst);
        const std::vector<std::string> words = {kDigits, c.cst, "16"};
        // Below the first record's needs the program still starts and says
        // so; from there each record adds one step up to `created`, where
        // the formula lines follow the last creation. Stepping up one page
        // at a time from `started` finds the first such limit: both then lie
        // on the same side of the limit at which libstdc++'s pool fits, as
        // long as the records need less room than that pool (see above).
        const int64_t started =
            smallest_limit(1024, 1024 * kKiB, words, [](const ProgramRun &r) { return !r.out.empty(); });
        int64_t created = started;
        while (run_limited(created, words, true).out.find("\n Formula used :\n") == std::string::npos) {
            created += kPageKiB;
            ASSERT_LT(created, started + 1024 * kKiB) << "no record created from " << started << " KiB up";
        }
        expect_success(run_limited(created, words, true), "every record created");
        const int64_t step = (created - started) / c.records;
        EXPECT_GE(step, kRecordKiB);
        EXPECT_LE(step, kRecordKiB + 2 * kPageKiB);
        // Half a record short, then one more record short each time, down
        // to the first record.
        for (int64_t k = 0; k < c.records; ++k) {
            const int64_t limit = created - step / 2 - k * step;
            expect_failure(run_limited(limit, words, true), kRecordOutOfMemory,
                           std::to_string(k) + " records short of " + std::to_string(c.records));
        }
    }
}

// The refusal line's digit count, or -1 when the run is not exactly that
// line for this constant.
int64_t refused_limit(const ProgramRun &r, const std::string &constant)
{
    const TooLargeLine line = parse_too_large(r.out);
    return r.status == 2 && line.valid && line.constant == constant ? line.max_digits : -1;
}

TEST(OutOfMemory, TheLargestRequestMeetsTheLimitAndTheNextOneTheSizeGuard)
{
    SKIP_UNDER_ASAN();
    const int64_t limit = 256 * kKiB;
    struct Request {
        std::vector<std::string> words; // the count first, left empty here
        std::string constant;
        std::string failure;
    };
    const Request requests[] = {
        {{"e", "2"}, "e", kRecordOutOfMemory},
        {{"sqrt2", "16"}, "sqrt2", kRecordOutOfMemory},
        {{"1/sqrt2", "2"}, "1/sqrt2", kRecordOutOfMemory},
        {{"pi", "2", "1"}, "pi by formula 1", pi_banner(1) + kPiOutOfMemory},
        {{"pi", "16", "3"}, "pi by formula 3", pi_banner(3) + kPiOutOfMemory},
    };
    for (const Request &q : requests) {
        SCOPED_TRACE(q.constant + " radix " + q.words[1]);
        std::vector<std::string> huge = {"9223372036854775807"};
        huge.insert(huge.end(), q.words.begin(), q.words.end());
        // Refused before any record is sized, so the limit plays no part.
        const ProgramRun refused = run_limited(limit, huge, false);
        const int64_t largest = refused_limit(refused, q.constant);
        ASSERT_GT(largest, 1000000) << refused.out;
        EXPECT_EQ(refused.err, "");
        EXPECT_EQ(parse_too_large(refused.out).radix, std::stoll(q.words[1]));

        // The largest accepted count passes the guard and meets calloc's
        // failure; the next one is refused with the same line.
        std::vector<std::string> at = q.words;
        at.insert(at.begin(), std::to_string(largest));
        expect_failure(run_limited(limit, at, false), q.failure, "largest accepted count");
        std::vector<std::string> past = q.words;
        past.insert(past.begin(), std::to_string(largest + 1));
        const ProgramRun next = run_limited(limit, past, false);
        EXPECT_EQ(next.out, refused.out);
        EXPECT_EQ(next.status, 2);
    }
}

} // namespace
