// The check of pi's last digits: where its window ends in each radix, the
// digits it reads from a record, its verdict on one window, and the whole
// check on records of pi made from MPFR's digits, right and wrong.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "mpfr_reference.h"
#include "pi_digit_check.h"

namespace {

// pi in a fixed-point record of `words` words, from MPFR's hexadecimal digits.
std::vector<uint64_t> pi_words(int64_t words)
{
    std::string integer;
    const std::string hex = reference_fraction_digits("pi", 16, 16 * (words - 1), &integer);
    std::vector<uint64_t> w(static_cast<size_t>(words), 3);
    for (int64_t j = 0; j < words - 1; ++j) {
        w[static_cast<size_t>(words - 2 - j)] =
            std::stoull(hex.substr(static_cast<size_t>(16 * j), 16), nullptr, 16);
    }
    return w;
}

Lii record_of(std::vector<uint64_t> *w)
{
    return Lii{1, static_cast<int64_t>(w->size()), w->data(), 0, static_cast<int64_t>(w->size()) - 1};
}

// Flips hexadecimal digit `digit` (1 after the point) of the record.
void flip_digit(std::vector<uint64_t> *w, int64_t digit)
{
    const int64_t bit = 4 * (digit - 1);
    (*w)[w->size() - 2 - static_cast<size_t>(bit / 64)] ^= uint64_t{0xF} << (60 - bit % 64);
}

TEST(PiDigitCheck, TheWindowEndsAtTheLastDigitARequestDependsOn)
{
    struct Case {
        int64_t base, digits, last_hex_digit;
    };
    // Radix 10: ceil(13 log2 10) = 44 bits, ceil(100 log2 10) = 333.
    const Case cases[] = {{16, 1000, 1000}, {2, 13, 4},   {2, 1000, 250},
                          {2, 1001, 251},   {10, 13, 11}, {10, 100, 84}};
    for (const Case &c : cases) {
        EXPECT_EQ(last_hex_digit_needed(c.base, c.digits), c.last_hex_digit)
            << c.digits << " in radix " << c.base;
    }
}

TEST(PiDigitCheck, ARecordReadsAsTheExtractionGivesItsDigits)
{
    std::vector<uint64_t> w = pi_words(5);
    const Lii pi = record_of(&w);
    std::string integer;
    const std::string hex = reference_fraction_digits("pi", 16, 64, &integer) + std::string(32, '0');
    for (const int64_t position : {0, 1, 15, 16, 17, 33, 40}) {
        uint64_t digits[2];
        record_hex_digits(&pi, position, digits);
        EXPECT_EQ(digits[0], std::stoull(hex.substr(static_cast<size_t>(position), 16), nullptr, 16))
            << position;
        EXPECT_EQ(digits[1], std::stoull(hex.substr(static_cast<size_t>(position) + 16, 16), nullptr, 16))
            << position;
    }
}

TEST(PiDigitCheck, AWindowIsUndecidedOnlyWithinTheBoundOfADigitBoundary)
{
    const uint64_t record[2] = {0x0123456789ABCDEF, 0x8000000000000000};
    struct Case {
        uint64_t extracted_low; // digits 17..32, after a window ending at 16
        uint64_t bound;
        uint64_t record_flip; // bits of record[0] changed
        WindowVerdict verdict;
    };
    const Case cases[] = {
        {0x8000000000000000, 1000, 0, kWindowAgrees},
        {0x8000000000000000, 1000, 1, kWindowDisagrees},                 // the window's last digit
        {0x8000000000000000, 1000, uint64_t{1} << 31, kWindowDisagrees}, // its first
        {0x8000000000000000, 1000, uint64_t{1} << 32, kWindowAgrees},    // before it
        {999, 1000, 0, kWindowUndecided},
        {1000, 1000, 0, kWindowAgrees},
        {~uint64_t{0} - 998, 1000, 0, kWindowUndecided},
        {~uint64_t{0} - 999, 1000, 0, kWindowAgrees},
    };
    for (const Case &c : cases) {
        const uint64_t extracted[2] = {record[0], c.extracted_low};
        const uint64_t changed[2] = {record[0] ^ c.record_flip, record[1]};
        EXPECT_EQ(compare_window(extracted, c.bound, changed, 16), c.verdict) << std::hex << c.extracted_low;
    }
}

// The extraction, but as if digits 17..32 of each were a run of F's within its
// bound: every window must move left of that run before it is decided.
uint64_t extraction_ending_in_a_run(int64_t position, uint64_t digits[2])
{
    pi_hex_digits_at(position, digits);
    digits[1] = ~uint64_t{0};
    return 2;
}

TEST(PiDigitCheck, TheLastDigitsOfPiAgreeAndAWrongOneIsCaught)
{
    std::vector<uint64_t> right = pi_words(66); // 1040 digits
    struct Case {
        int64_t wrong_digit; // 0: none
        bool agrees;
    };
    // The window ends at digit 1000, or a little before it when it has to move.
    const Case cases[] = {{0, true}, {1000, false}, {997, false}, {1010, true}};
    for (const HexDigitsAt extract : {pi_hex_digits_at, extraction_ending_in_a_run}) {
        for (const Case &c : cases) {
            std::vector<uint64_t> w = right;
            if (c.wrong_digit != 0) {
                flip_digit(&w, c.wrong_digit);
            }
            const Lii pi = record_of(&w);
            const bool moved = extract != pi_hex_digits_at;
            EXPECT_EQ(pi_last_digits_agree(&pi, 1000, extract),
                      moved && c.wrong_digit == 1000 ? true : c.agrees)
                << "wrong digit " << c.wrong_digit << (moved ? ", window moved" : "");
        }
    }
    // A request of a few digits checks the first eight.
    std::vector<uint64_t> w = pi_words(4);
    const Lii pi = record_of(&w);
    EXPECT_TRUE(pi_last_digits_agree(&pi, 4, pi_hex_digits_at));
    flip_digit(&w, 8);
    EXPECT_FALSE(pi_last_digits_agree(&pi, 4, pi_hex_digits_at));
}

} // namespace
