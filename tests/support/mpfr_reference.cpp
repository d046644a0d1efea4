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
    const long bits_per_digit = radix == 16 ? 4 : 1;
    const long fraction_bits = fraction_digits * bits_per_digit;
    // 64 guard bits: the truncation is wrong only if the scaled value lies
    // within 2^-64 of an integer, which these irrational constants do not.
    mpfr_t x;
    mpfr_init2(x, fraction_bits + 128);
    compute_constant(x, constant);

    mpz_t whole, scaled;
    mpz_inits(whole, scaled, nullptr);
    mpfr_get_z(whole, x, MPFR_RNDZ);
    mpfr_mul_2ui(x, x, static_cast<unsigned long>(fraction_bits), MPFR_RNDN);
    mpfr_get_z(scaled, x, MPFR_RNDZ);
    // scaled - whole * 2^fraction_bits is the fraction, as an integer.
    mpz_t shifted;
    mpz_init(shifted);
    mpz_mul_2exp(shifted, whole, static_cast<mp_bitcnt_t>(fraction_bits));
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
