// The printers, byte for byte: literal texts for small records, and a plain
// digit-by-digit formatter written here for the large and random ones.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "lfx86_64.h"
#include "mpfr_reference.h"
#include "printed_output.h"
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

// What a printer writes for r; it must report the value printed.
std::string printed(uint64_t (*printer)(const Lii *), const Record &r)
{
    uint64_t result = LFX_PRINT_NO_MEMORY;
    const std::string text = capture_stdout([&] { result = printer(&r.lii); });
    EXPECT_EQ(result, uint64_t{LFX_PRINTED});
    return text;
}

std::string printed(void (*dump)(const Lii *), const Record &r)
{
    return capture_stdout([&] { dump(&r.lii); });
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

// The expected text for these words, from the layout written in the test
// support one digit at a time.
std::string reference_layout(const std::vector<uint64_t> &words, int radix)
{
    std::string integer = word_digits(words.back(), radix);
    integer.erase(0, integer.find_first_not_of('0'));
    std::string fraction;
    for (size_t j = words.size() - 1; j-- > 0;) {
        fraction += word_digits(words[j], radix);
    }
    return printer_layout(integer, fraction);
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
    EXPECT_EQ(printed(print_cst_base2_bini, r), "\n1.\n1000000000 0000000000 0000000000 0000000000 "
                                                "0000000000 0000000000 0000\n\n");
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

TEST(ConstantPrinters, FullAndShortLastLines)
{
    // 25 fraction words: 1600 binary or 400 hexadecimal digits, so the last
    // line is full and two empty lines follow it.
    const Record r26 = make_record(patterned_words(26));
    const std::string base2 = printed(print_cst_base2_bini, r26);
    const std::string base16 = printed(print_cst_base16_bini, r26);
    EXPECT_EQ(base2, reference_layout(r26.words, 2));
    EXPECT_EQ(base16, reference_layout(r26.words, 16));
    EXPECT_TRUE(base2.ends_with(" :: 1600 \n\n\n"));
    EXPECT_TRUE(base16.ends_with(" :: 400 \n\n\n"));

    // 17 fraction words in radix 2: ten full lines, then 88 digits ending
    // in a group of eight, with no space or count after it.
    const Record r18 = make_record(patterned_words(18));
    const std::vector<std::string> lines2 = lines_of(printed(print_cst_base2_bini, r18));
    EXPECT_EQ(printed(print_cst_base2_bini, r18), reference_layout(r18.words, 2));
    ASSERT_EQ(lines2.size(), 15u);
    EXPECT_TRUE(lines2[11].ends_with(" :: 1000 "));
    EXPECT_EQ(lines2[12].size(), 88u + 8);
    EXPECT_EQ(lines2[12].rfind(' '), 88u + 8 - 9);

    // 65 fraction words in radix 16: 1040 digits, the last line 40 digits
    // ending in a space.
    const Record r66 = make_record(patterned_words(66));
    const std::string text16 = printed(print_cst_base16_bini, r66);
    EXPECT_EQ(text16, reference_layout(r66.words, 16));
    const std::vector<std::string> lines16 = lines_of(text16);
    ASSERT_EQ(lines16.size(), 15u);
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

TEST(Dumps, FieldsThenEveryWordInUnsignedDecimal)
{
    Record one = make_record({0, 0, 1});
    EXPECT_EQ(printed(printLii, one), "\n Precision = 3\n Signe = 1\n indiceMax = 2\n1 0 0 \n");
    Li li{1, 3, one.words.data(), 0};
    EXPECT_EQ(capture_stdout([&] { printLi(&li); }), "\n Precision = 3\n Signe = 1\n1 0 0 \n");

    // Words above indiceMax are printed too.
    Record r = make_record({UINT64_MAX, 10, 1ULL << 63, 0}, -1);
    r.lii.indiceMax = 1;
    EXPECT_EQ(printed(printLii, r), "\n Precision = 4\n Signe = -1\n indiceMax = 1\n"
                                    "0 9223372036854775808 10 18446744073709551615 \n");

    // Thousands of words run past the printer's buffer.
    std::mt19937_64 rng(7);
    const Record big = make_record(random_words(&rng, 5000, kUniform));
    std::string expected = "\n Precision = 5000\n Signe = 1\n indiceMax = 4999\n";
    for (size_t w = big.words.size(); w-- > 0;) {
        expected += std::to_string(big.words[w]) + " ";
    }
    EXPECT_EQ(printed(printLii, big), expected + "\n");
}

TEST(Dumps, RecordsWithoutWordsOrDestroyed)
{
    Lii empty{0, 0, nullptr, 0, -1};
    EXPECT_EQ(capture_stdout([&] { printLii(&empty); }), "\n Precision = 0\n Signe = 0\n indiceMax = -1\n\n");
    Li destroyed{-2, -10, nullptr, 0};
    EXPECT_EQ(capture_stdout([&] { printLi(&destroyed); }), "\n Precision = -10\n Signe = -2\n\n");
}

namespace {

// Three pages, the last two protected: words placed at the end of the first
// page end at the boundary, and any read past them faults; a pointer to the
// start of the third page has no readable word on either side.
struct PageEnd {
    uint8_t *block;
    size_t page;
    uint64_t *boundary;         // first word of the protected pages
    uint64_t *protected_middle; // first word of the third page
};

PageEnd map_page_end()
{
    const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void *block = mmap(nullptr, 3 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    EXPECT_NE(block, MAP_FAILED);
    auto *bytes = static_cast<uint8_t *>(block);
    EXPECT_EQ(mprotect(bytes + page, 2 * page, PROT_NONE), 0);
    return PageEnd{bytes, page, reinterpret_cast<uint64_t *>(bytes + page),
                   reinterpret_cast<uint64_t *>(bytes + 2 * page)};
}

// The dump of a record with these words: fields, then the words top down.
std::string dump_text(const std::vector<uint64_t> &words, int64_t signe, const std::string &indice_line)
{
    std::string text = "\n Precision = " + std::to_string(words.size()) +
                       "\n Signe = " + std::to_string(signe) + "\n" + indice_line;
    for (size_t w = words.size(); w-- > 0;) {
        text += std::to_string(words[w]) + " ";
    }
    return text + "\n";
}

void unmap_page_end(const PageEnd &p)
{
    munmap(p.block, 3 * p.page);
}

} // namespace

TEST(PrintersAtPageEnd, WordsEndingAtAProtectedPageAreReadNoFurther)
{
    const PageEnd p = map_page_end();
    std::mt19937_64 rng(3);
    for (int64_t n = 1; n <= 3; ++n) {
        const std::vector<uint64_t> words = random_words(&rng, static_cast<size_t>(n), kUniform);
        uint64_t *at_end = p.boundary - n;
        std::copy(words.begin(), words.end(), at_end);
        Lii a{1, n, at_end, 0, n - 1};
        EXPECT_EQ(capture_stdout([&] { print_cst_base2_bini(&a); }), reference_layout(words, 2)) << n;
        EXPECT_EQ(capture_stdout([&] { print_cst_base16_bini(&a); }), reference_layout(words, 16)) << n;
        std::string integer;
        const std::string decimals = reference_decimal_digits(words, decimal_fraction_digits(n), &integer);
        EXPECT_EQ(capture_stdout([&] { print_cst_base10_bini(&a); }), printer_layout(integer, decimals)) << n;
        const std::string indice_line = " indiceMax = " + std::to_string(n - 1) + "\n";
        EXPECT_EQ(capture_stdout([&] { printLii(&a); }), dump_text(words, 1, indice_line)) << n;
        Li li{1, n, at_end, 0};
        EXPECT_EQ(capture_stdout([&] { printLi(&li); }), dump_text(words, 1, "")) << n;
    }
    unmap_page_end(p);
}

TEST(PrintersOfEmptyRecords, PrintNoValueAndReadNoWord)
{
    const PageEnd p = map_page_end();
    // mantisse at the boundary of the readable page, then in the middle of
    // the protected pages (no readable word on either side), then null.
    for (uint64_t *m : {p.boundary, p.protected_middle, static_cast<uint64_t *>(nullptr)}) {
        for (const int64_t taille : {int64_t{0}, int64_t{-1}, int64_t{-10}, INT64_MIN}) {
            Lii a{1, taille, m, 0, 0};
            EXPECT_EQ(capture_stdout([&] { print_cst_base2_bini(&a); }), "\n\n\n") << taille;
            EXPECT_EQ(capture_stdout([&] { print_cst_base16_bini(&a); }), "\n\n\n") << taille;
            uint64_t result = 2;
            EXPECT_EQ(capture_stdout([&] { result = print_cst_base10_bini(&a); }), "\n\n\n") << taille;
            EXPECT_EQ(result, 0u);
            const std::string fields = "\n Precision = " + std::to_string(taille) + "\n Signe = 1\n";
            EXPECT_EQ(capture_stdout([&] { printLii(&a); }), fields + " indiceMax = 0\n\n");
            Li li{1, taille, m, 0};
            EXPECT_EQ(capture_stdout([&] { printLi(&li); }), fields + "\n");
        }
    }
    // A record whose creation failed keeps its size but has no array.
    for (const int64_t taille : {int64_t{1}, int64_t{5}, INT64_MAX}) {
        Lii a{0, taille, nullptr, 0, -1};
        EXPECT_EQ(capture_stdout([&] { print_cst_base2_bini(&a); }), "\n\n\n");
        EXPECT_EQ(capture_stdout([&] { print_cst_base16_bini(&a); }), "\n\n\n");
        EXPECT_EQ(capture_stdout([&] { print_cst_base10_bini(&a); }), "\n\n\n");
        EXPECT_EQ(capture_stdout([&] { printLii(&a); }),
                  "\n Precision = " + std::to_string(taille) + "\n Signe = 0\n indiceMax = -1\n\n");
    }
    unmap_page_end(p);
}
