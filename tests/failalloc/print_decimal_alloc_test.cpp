// The radix-10 printer when the copy of the fraction cannot be allocated: it
// prints nothing and says so by its result; with memory it allocates one
// copy, also when it has to convert a second time.
#include <algorithm>
#include <string>
#include <vector>

#include "capture_stdout.h"
#include "failing_calloc.h"
#include "printed_output.h"
#include "record_support.h"
#include "calculators.h"

namespace {

struct Outcome {
    std::string text;
    uint64_t result;
    long callocs;
};

Outcome print_failing_at(std::vector<uint64_t> words, long fail_at,
                         uint64_t (*printer)(const Lii *) = print_cst_base10_bini)
{
    Lii a{1, static_cast<int64_t>(words.size()), words.data(), 0, 0};
    Outcome o{"", 2, 0};
    o.text = capture_stdout([&] {
        failing_calloc_fail_at(fail_at);
        o.result = printer(&a);
        o.callocs = failing_calloc_calls();
        failing_calloc_fail_at(0);
    });
    return o;
}

} // namespace

TEST(DecimalPrinterAlloc, FailedCopyPrintsNothingAndReturnsOne)
{
    for (size_t t : {2u, 3u, 500u}) {
        std::vector<uint64_t> words(t, 0x0123456789ABCDEFULL);
        const Outcome failed = print_failing_at(words, 1);
        EXPECT_EQ(failed.text, "") << t;
        EXPECT_EQ(failed.result, 1u) << t;
        EXPECT_EQ(failed.callocs, 1) << t;

        const Outcome fine = print_failing_at(words, 0);
        EXPECT_EQ(fine.result, 0u) << t;
        EXPECT_EQ(fine.callocs, 1) << t;
        EXPECT_TRUE(fine.text.starts_with("\n81985529216486895.\n")) << t;
    }
    // A one-word record has no fraction to convert and needs no memory.
    const Outcome one = print_failing_at({42}, 1);
    EXPECT_EQ(one.text, "\n42.\n\n\n");
    EXPECT_EQ(one.result, 0u);
    EXPECT_EQ(one.callocs, 0);
    // An all-ones fraction makes the conversion start again; it reuses its copy.
    const Outcome again = print_failing_at(std::vector<uint64_t>(400, ~0ULL), 0);
    EXPECT_EQ(again.callocs, 1);
    EXPECT_EQ(parse_printed_number(again.text).fraction, std::string(decimal_fraction_digits(400), '9'));
}

// A text longer than the printers' 32 KiB on the stack is built in one
// calloc, after the decimal printer's copy; when it fails, nothing is
// printed and nothing is left allocated.
TEST(DecimalPrinterAlloc, ALongTextTakesOneAllocationThatMayFail)
{
    struct Case {
        uint64_t (*printer)(const Lii *);
        size_t words;
        long callocs;
    };
    const Case cases[] = {
        {print_cst_base10_bini, 3000, 2}, {print_cst_base16_bini, 3000, 1}, {print_cst_base2_bini, 600, 1}};
    for (const Case &c : cases) {
        const std::vector<uint64_t> words(c.words, 0x0123456789ABCDEFULL);
        const Outcome fine = print_failing_at(words, 0, c.printer);
        EXPECT_EQ(fine.result, 0u) << c.words;
        EXPECT_EQ(fine.callocs, c.callocs) << c.words;
        EXPECT_GT(fine.text.size(), 32768u);
        const Outcome failed = print_failing_at(words, c.callocs, c.printer);
        EXPECT_EQ(failed.text, "") << c.words;
        EXPECT_EQ(failed.result, 1u) << c.words;
    }
}

// A calculator whose value cannot be printed in radix 10 for want of memory
// writes its out-of-memory line instead of digits, releases everything and
// fails, so that the program ends with status 2. The printer's copy, or its
// text when that is long, is the last allocation of a run.
TEST(DecimalPrinterAlloc, ACalculatorWhosePrinterFindsNoMemoryFails)
{
    struct Case {
        const char *name;
        int32_t (*run)();
        const char *line;
    };
    const Case cases[] = {
        {"e", [] { return calcul_e(10, 500); }, " not enough memeory !!!\n"},
        {"sqrt2", [] { return calcul_sqrt2(10, 500); }, " not enough memeory !!!\n"},
        {"pi", [] { return calcul_pi(10, 500, 2); }, "Not enough memory !\n\n"},
        {"e, radix 16", [] { return calcul_e(16, 30000); }, " not enough memeory !!!\n"},
    };
    for (const Case &c : cases) {
        failing_calloc_fail_at(0);
        capture_stdout([&] { EXPECT_EQ(c.run(), 0) << c.name; });
        const long callocs = failing_calloc_calls();
        int32_t result = 0;
        const std::string out = capture_stdout([&] {
            failing_calloc_fail_at(callocs);
            result = c.run();
        });
        failing_calloc_fail_at(0);
        EXPECT_EQ(result, 1) << c.name;
        EXPECT_FALSE(parse_printed_number(out).found) << c.name << ": digits printed";
        const std::string line = c.line;
        EXPECT_EQ(out.substr(out.size() - std::min(out.size(), line.size())), line) << c.name;
    }
}
