// The printers, byte for byte: literal texts for small records, and a plain
// digit-by-digit formatter written here for the large and random ones.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "lfx86_64.h"
#include "record_support.h"

namespace {

// An Lii over the given words (least significant first); the printers only
// read taille_mantisse and the words, so signe and indiceMax are free.
struct Record {
    std::vector<uint64_t> words;
    Lii lii;
};

Record make_record(std::vector<uint64_t> words, int64_t signe = 1)
{
    Record r{std::move(words), {}};
    r.lii.signe = signe;
    r.lii.taille_mantisse = static_cast<int64_t>(r.words.size());
    r.lii.mantisse = r.words.data();
    r.lii.aux = 0;
    r.lii.indiceMax = r.lii.taille_mantisse - 1;
    return r;
}

std::string printed(void (*printer)(const Lii *), const Record &r)
{
    return capture_stdout([&] { printer(&r.lii); });
}

// Digit string of one word: 64 bits or 16 hexadecimal digits, top first.
std::string word_digits(uint64_t w, int radix)
{
    std::string s;
    if (radix == 2) {
        for (int bit = 63; bit >= 0; --bit) {
            s += ((w >> bit) & 1) != 0 ? '1' : '0';
        }
    } else {
        char text[17];
        std::snprintf(text, sizeof text, "%016lX", w);
        s = text;
    }
    return s;
}

// The layout, one digit at a time: count line at multiples of 100, a space
// at the other multiples of 10.
std::string reference_layout(const std::vector<uint64_t> &words, int radix)
{
    std::string out = "\n";
    std::string integer = word_digits(words.back(), radix);
    integer.erase(0, integer.find_first_not_of('0'));
    out += integer + ".\n";
    long i = 1;
    for (size_t j = words.size() - 1; j-- > 0;) {
        for (char digit : word_digits(words[j], radix)) {
            out += digit;
            if (i % 100 == 0) {
                out += "  :: " + std::to_string(i) + " \n";
            } else if (i % 10 == 0) {
                out += ' ';
            }
            ++i;
        }
    }
    return out + "\n\n";
}

std::vector<std::string> lines_of(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
        lines.push_back(text.substr(start, nl - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::vector<uint64_t> patterned_words(size_t n)
{
    std::vector<uint64_t> words(n);
    for (size_t k = 0; k < n; ++k) {
        words[k] = 0x0123456789ABCDEFULL * (k + 1) ^ (0xFEDCBA9876543210ULL >> (k % 64));
    }
    return words;
}

} // namespace

TEST(ConstantPrinters, OneAndAHalfInBothRadixes)
{
    const Record r = make_record({1ULL << 63, 1});
    const std::string zeros63(63, '0');
    std::string bits = "1" + zeros63;
    std::string grouped;
    for (size_t k = 0; k < bits.size(); k += 10) {
        grouped += bits.substr(k, 10);
        if (k + 10 < bits.size()) {
            grouped += ' ';
        }
    }
    EXPECT_EQ(printed(print_cst_base2_bini, r), "\n1.\n" + grouped + "\n\n");
    EXPECT_EQ(printed(print_cst_base16_bini, r), "\n1.\n8000000000 000000\n\n");
}

TEST(ConstantPrinters, IntegerPartDigits)
{
    struct Case {
        uint64_t top;
        const char *base2;
        const char *base16;
    };
    const Case cases[] = {
        {0, "", ""},
        {1, "1", "1"},
        {2, "10", "2"},
        {3, "11", "3"},
        {31, "11111", "1F"},
        {0xABCDEF, "101010111100110111101111", "ABCDEF"},
        {UINT64_MAX, nullptr, "FFFFFFFFFFFFFFFF"},
        {1ULL << 63, nullptr, "8000000000000000"},
    };
    for (const Case &c : cases) {
        const Record r = make_record({c.top});
        const std::string base2 = c.base2 != nullptr ? c.base2 : word_digits(c.top, 2);
        // A one-word record has no fraction: the point line, then the two closing newlines.
        EXPECT_EQ(printed(print_cst_base2_bini, r), "\n" + base2 + ".\n\n\n") << c.top;
        EXPECT_EQ(printed(print_cst_base16_bini, r), std::string("\n") + c.base16 + ".\n\n\n") << c.top;
    }
}

TEST(ConstantPrinters, ZeroIntegerWordGivesALineWithOnlyThePoint)
{
    const Record r = make_record({0xB504F333F9DE6484ULL, 0});
    EXPECT_EQ(printed(print_cst_base16_bini, r), "\n.\nB504F333F9 DE6484\n\n");
    EXPECT_EQ(lines_of(printed(print_cst_base2_bini, r))[1], ".");
}

TEST(ConstantPrinters, NeitherSignNorIndiceMaxMatters)
{
    Record positive = make_record(patterned_words(5), 1);
    Record negative = make_record(patterned_words(5), -1);
    Record zero_signed = make_record(patterned_words(5), 0);
    negative.lii.indiceMax = 0;
    zero_signed.lii.indiceMax = -1;
    for (auto printer : {print_cst_base2_bini, print_cst_base16_bini}) {
        const std::string expected = printed(printer, positive);
        EXPECT_EQ(printed(printer, negative), expected);
        EXPECT_EQ(printed(printer, zero_signed), expected);
    }
}

TEST(ConstantPrinters, UppercaseDigitsInTheFraction)
{
    const Record r = make_record({0xFEDCBA9876543210ULL, 0xABCDEF0123456789ULL, 31});
    EXPECT_EQ(printed(print_cst_base16_bini, r), "\n1F.\nABCDEF0123 456789FEDC BA98765432 10\n\n");
}

TEST(ConstantPrinters, FractionEndingOnAFullLine)
{
    // 25 fraction words: 1600 binary digits, 400 hexadecimal ones.
    const Record r = make_record(patterned_words(26));
    const std::string base2 = printed(print_cst_base2_bini, r);
    const std::string base16 = printed(print_cst_base16_bini, r);
    EXPECT_EQ(base2, reference_layout(r.words, 2));
    EXPECT_EQ(base16, reference_layout(r.words, 16));

    const std::string tail2 = "  :: 1600 \n\n\n";
    const std::string tail16 = "  :: 400 \n\n\n";
    ASSERT_GE(base2.size(), tail2.size());
    EXPECT_EQ(base2.substr(base2.size() - tail2.size()), tail2);
    EXPECT_EQ(base16.substr(base16.size() - tail16.size()), tail16);
    // Header line, 16 (or 4) full lines, then two empty lines.
    EXPECT_EQ(lines_of(base2).size(), 1u + 1 + 16 + 2 + 1);
    EXPECT_EQ(lines_of(base16).size(), 1u + 1 + 4 + 2 + 1);
}

TEST(ConstantPrinters, ShortLastLines)
{
    // 17 fraction words in radix 2: ten full lines, then 88 digits with no
    // space and no count after the last group of eight.
    const Record r18 = make_record(patterned_words(18));
    const std::vector<std::string> lines2 = lines_of(printed(print_cst_base2_bini, r18));
    ASSERT_EQ(lines2.size(), 1u + 1 + 10 + 1 + 2);
    EXPECT_EQ(lines2[11].substr(lines2[11].size() - 10), "  :: 1000 ");
    const std::string &last2 = lines2[12];
    EXPECT_EQ(last2.size(), 88u + 8);
    EXPECT_EQ(last2.find(':'), std::string::npos);
    EXPECT_NE(last2.back(), ' ');
    EXPECT_EQ(last2.substr(last2.rfind(' ') + 1).size(), 8u);
    EXPECT_EQ(lines2[13], "");
    EXPECT_EQ(lines2[14], "");

    // 65 fraction words in radix 16: 1040 digits, the last line 40 digits
    // ending in a space.
    const Record r66 = make_record(patterned_words(66));
    const std::string text16 = printed(print_cst_base16_bini, r66);
    EXPECT_EQ(text16, reference_layout(r66.words, 16));
    const std::vector<std::string> lines16 = lines_of(text16);
    ASSERT_EQ(lines16.size(), 1u + 1 + 10 + 1 + 2);
    EXPECT_EQ(lines16[12].size(), 40u + 4);
    EXPECT_EQ(lines16[12].back(), ' ');
}

TEST(ConstantPrinters, CounterRunsAcrossWords)
{
    // Fraction word k holds the digit k+1 sixteen times. In radix 16 the
    // first line takes six whole words and four digits of the seventh.
    std::vector<uint64_t> words(9);
    for (size_t k = 0; k < 8; ++k) {
        words[k] = 0x1111111111111111ULL * (k + 1);
    }
    words[8] = 9;
    const Record r = make_record(words);
    EXPECT_EQ(printed(print_cst_base16_bini, r),
              "\n9.\n"
              "8888888888 8888887777 7777777777 7766666666 6666666655 "
              "5555555555 5555444444 4444444444 3333333333 3333332222  :: 100 \n"
              "2222222222 2211111111 11111111\n\n");
}

TEST(ConstantPrinters, RandomRecordsMatchTheDigitByDigitLayout)
{
    std::mt19937_64 rng(20240611);
    // Large sizes run past the printer's internal buffer several times.
    for (size_t n : {1u, 2u, 3u, 7u, 17u, 64u, 257u, 1000u, 3001u}) {
        for (WordKind kind : {kUniform, kAllOnes, kSparse}) {
            const Record r = make_record(random_words(&rng, n, kind));
            EXPECT_EQ(printed(print_cst_base2_bini, r), reference_layout(r.words, 2)) << n << " words";
            EXPECT_EQ(printed(print_cst_base16_bini, r), reference_layout(r.words, 16)) << n << " words";
        }
    }
}

TEST(ConstantPrinters, FollowsTextAlreadyBufferedOnStdout)
{
    const Record r = make_record({5, 2});
    const std::string text = capture_stdout([&] {
        std::printf("before");
        print_cst_base16_bini(&r.lii);
        std::printf("after");
    });
    EXPECT_EQ(text, "before\n2.\n0000000000 000005\n\nafter");
}

TEST(Dumps, FixedPointOneInThreeWords)
{
    Record r = make_record({0, 0, 1});
    EXPECT_EQ(printed(printLii, r), "\n Precision = 3\n Signe = 1\n indiceMax = 2\n1 0 0 \n");
    Li li{r.lii.signe, r.lii.taille_mantisse, r.lii.mantisse, 0};
    EXPECT_EQ(capture_stdout([&] { printLi(&li); }), "\n Precision = 3\n Signe = 1\n1 0 0 \n");
}

TEST(Dumps, AllWordsInUnsignedDecimalWhateverIndiceMaxSays)
{
    Record r = make_record({UINT64_MAX, 10, 1ULL << 63, 0}, -1);
    r.lii.indiceMax = 1;
    EXPECT_EQ(printed(printLii, r), "\n Precision = 4\n Signe = -1\n indiceMax = 1\n"
                                    "0 9223372036854775808 10 18446744073709551615 \n");
}

TEST(Dumps, RecordsWithoutWordsOrDestroyed)
{
    Lii empty{0, 0, nullptr, 0, -1};
    EXPECT_EQ(capture_stdout([&] { printLii(&empty); }), "\n Precision = 0\n Signe = 0\n indiceMax = -1\n\n");
    Lii destroyed{-1, -10, nullptr, 0, -1};
    EXPECT_EQ(capture_stdout([&] { printLii(&destroyed); }),
              "\n Precision = -10\n Signe = -1\n indiceMax = -1\n\n");
    Li destroyed_li{-2, -10, nullptr, 0};
    EXPECT_EQ(capture_stdout([&] { printLi(&destroyed_li); }), "\n Precision = -10\n Signe = -2\n\n");
}

TEST(Dumps, ManyWordsRunPastTheBuffer)
{
    std::mt19937_64 rng(7);
    const Record r = make_record(random_words(&rng, 5000, kUniform));
    std::string expected = "\n Precision = 5000\n Signe = 1\n indiceMax = 4999\n";
    for (size_t w = r.words.size(); w-- > 0;) {
        expected += std::to_string(r.words[w]) + " ";
    }
    EXPECT_EQ(printed(printLii, r), expected + "\n");
}
