#include "mpfr_reference.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include <gmp.h>
#include <mpfr.h>

namespace {

void compute_constant(mpfr_t x, const std::string &constant)
{
    if (constant == "pi") {
        mpfr_const_pi(x, MPFR_RNDN);
    } else if (constant == "e") {
        mpfr_set_ui(x, 1, MPFR_RNDN);
        mpfr_exp(x, x, MPFR_RNDN);
    } else if (constant == "sqrt2") {
        mpfr_sqrt_ui(x, 2, MPFR_RNDN);
    } else if (constant == "1/sqrt2") {
        mpfr_set_ui(x, 2, MPFR_RNDN);
        mpfr_rec_sqrt(x, x, MPFR_RNDN);
    } else {
        std::abort();
    }
}

std::string to_upper(std::string s)
{
    for (auto &c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

} // namespace

std::string reference_fraction_digits(const std::string &constant, int radix, long fraction_digits,
                                      std::string *integer_digits)
{
    // Radix 10 needs log2(10) < 10/3 bits per digit.
    const long bits_per_digit = radix == 16 ? 4 : radix == 10 ? 4 : 1;
    const long fraction_bits = fraction_digits * bits_per_digit;
    // 64 guard bits: the truncation is wrong only if the scaled value lies
    // within 2^-64 of an integer, which these irrational constants do not.
    mpfr_t x;
    mpfr_init2(x, fraction_bits + 128);
    compute_constant(x, constant);

    mpz_t whole, scaled, shifted;
    mpz_inits(whole, scaled, shifted, nullptr);
    mpfr_get_z(whole, x, MPFR_RNDZ);
    if (radix == 10) {
        // 10^digits is exact at this precision (it needs 2.33 bits a digit).
        mpz_ui_pow_ui(shifted, 10, static_cast<unsigned long>(fraction_digits));
        mpfr_mul_z(x, x, shifted, MPFR_RNDN);
        mpz_mul(shifted, whole, shifted);
    } else {
        mpfr_mul_2ui(x, x, static_cast<unsigned long>(fraction_bits), MPFR_RNDN);
        mpz_mul_2exp(shifted, whole, static_cast<mp_bitcnt_t>(fraction_bits));
    }
    mpfr_get_z(scaled, x, MPFR_RNDZ);
    // scaled - whole * radix^digits is the fraction, as an integer.
    mpz_sub(scaled, scaled, shifted);

    char *integer_text = mpz_get_str(nullptr, radix, whole);
    *integer_digits = mpz_sgn(whole) == 0 ? "" : to_upper(integer_text);
    char *fraction_text = mpz_get_str(nullptr, radix, scaled);
    std::string fraction = to_upper(fraction_text);
    if (fraction == "0") {
        fraction.clear();
    }
    fraction.insert(0, static_cast<size_t>(fraction_digits) - fraction.size(), '0');

    std::free(integer_text);
    std::free(fraction_text);
    mpz_clears(whole, scaled, shifted, nullptr);
    mpfr_clear(x);
    return fraction;
}

std::string reference_decimal_digits(const std::vector<uint64_t> &words, long fraction_digits,
                                     std::string *integer_digits)
{
    const uint64_t top = words.empty() ? 0 : words.back();
    *integer_digits = top == 0 ? "" : std::to_string(top);
    const size_t fraction_words = words.empty() ? 0 : words.size() - 1;
    mpz_t fraction, power;
    mpz_inits(fraction, power, nullptr);
    // The fraction as an integer N over 2^(64 F); its first digits are
    // floor(N * 10^digits / 2^(64 F)).
    mpz_import(fraction, fraction_words, -1, sizeof(uint64_t), 0, 0, words.data());
    mpz_ui_pow_ui(power, 10, static_cast<unsigned long>(fraction_digits));
    mpz_mul(fraction, fraction, power);
    mpz_fdiv_q_2exp(fraction, fraction, 64 * fraction_words);
    std::string digits;
    if (mpz_sgn(fraction) != 0) {
        char *text = mpz_get_str(nullptr, 10, fraction);
        digits = text;
        std::free(text);
    }
    digits.insert(0, static_cast<size_t>(fraction_digits) - digits.size(), '0');
    mpz_clears(fraction, power, nullptr);
    return digits;
}

int64_t reference_decimal_digit_count(uint64_t fraction_words)
{
    mpfr_t low, high;
    mpfr_inits2(256, low, high, nullptr);
    mpfr_set_ui(low, 2, MPFR_RNDN);
    mpfr_set_ui(high, 2, MPFR_RNDN);
    mpfr_log10(low, low, MPFR_RNDD);
    mpfr_log10(high, high, MPFR_RNDU);
    mpfr_mul_ui(low, low, fraction_words, MPFR_RNDD);
    mpfr_mul_ui(high, high, fraction_words, MPFR_RNDU);
    mpfr_mul_2ui(low, low, 6, MPFR_RNDD);
    mpfr_mul_2ui(high, high, 6, MPFR_RNDU);
    mpfr_floor(low, low);
    mpfr_floor(high, high);
    const int64_t count =
        mpfr_equal_p(low, high) != 0 ? static_cast<int64_t>(mpfr_get_sj(low, MPFR_RNDZ)) : -1;
    mpfr_clears(low, high, nullptr);
    return count;
}
