// Hexadecimal digits of pi at a position, by Bellard's formula. The series
// and its terms are described in pi_hex_series.h; here is how each term is
// computed, and why the result is within 1 of the true digits.
//
// A head term needs no division: 2^(e+192) - r is a multiple of m for
// r = 2^(e+192) mod m, so F = -r m^-1 modulo 2^192 (m is odd, so invertible
// modulo powers of two). Word by word from the bottom, F's words are
// -r3 m^-1, -r2 m^-1 and -r1 m^-1 modulo 2^64, for r3, r2 and r1 the
// residues of 2^(e+192), 2^(e+128) and 2^(e+64): floor(F / 2^64) is
// floor(2^(e+128) / m), and so on. Each residue is the one before times
// 2^-64 modulo m, one Montgomery reduction with R = 2^64, whose multiplier
// u = r m' (m' = -m^-1 mod 2^64) is the very word -r m^-1 wanted. So a head
// term needs m' and a number below 2^64 congruent to 2^(e+256) (or to
// 2^(e-a+256), the 2^a then applied to the first residue), from a modular
// exponentiation: Montgomery squarings, each doubled when the exponent's
// bit is 1.
//
// The error bound. Count in units of 2^-192, modulo 2^192, and let N be the
// number of terms summed (every k < k_end). The exact S* = frac(16^n pi) 2^192
// is the sum of the terms' exact parts x (signed; F <= x < F + 1 for the
// truncation F of each) and of the tail left out, tau. Each positive term is
// added as F + 1 and each negative one as -F, so S - S* gains F + 1 - x in
// (0, 1] from each positive term and x - F in [0, 1) from each negative one;
// one more unit, added for the tail, brings 1 - tau in (0, 2), as |tau| < 1.
// So 0 < S - S* < N + 2. D is S truncated to its top 128 bits, so with
// T = S* / 2^64 (in units of 2^-128), T - D = (S mod 2^64) / 2^64 - (S - S*)
// / 2^64 lies in (-(N + 2) 2^-64, 1): strictly between -1 and 1, as
// N + 2 < 2^63 at every position served. Hence B = 1.
//
// The tail left out. The seven coefficients of k add up, in absolute value,
// to less than 2^5 + 1 + 2^8 + 2^6/3 + 2^2/5 + 2^2/7 + 1/9 < 2^9 (their sum at
// k = 0), so the terms of k are below 2^(192 + 4n - 6 - 10k + 9) in all, and
// those of every k >= K below 2^(196 + 4n - 10K): at most 1 once
// 10K >= 4n + 196, so k_end = ceil((4n + 196) / 10).
#include "pi_hex_series.h"

#include "lfx86_64.h"
#include "vexo_assert.h"

namespace pi_hex {

namespace {

void add_term(Sum192 *sum, uint64_t f2, uint64_t f1, uint64_t f0, uint64_t mask)
{
    sum->low += f0 ^ mask;
    sum->middle += f1 ^ mask;
    sum->top += f2 ^ mask;
}

int bit_length(uint64_t v)
{
    return 64 - __builtin_clzll(v);
}

uint64_t mul_high(uint64_t a, uint64_t b)
{
    return static_cast<uint64_t>((static_cast<UInt128>(a) * b) >> 64);
}

// -m^-1 mod 2^64 for odd m: 3m XOR 2 is m^-1 to 5 bits, and each Newton
// step x (2 - m x) doubles the bits that are right.
uint64_t negated_inverse(uint64_t m)
{
    uint64_t x = (3 * m) ^ 2;
    for (int i = 0; i < 4; ++i) {
        x *= 2 - m * x;
    }
    return 0 - x;
}

// Adds F from x < 2^64, congruent to 2^(e-a+256) modulo m; m' is
// -m^-1 mod 2^64. A reduction (x + u m) / 2^64 is below m + 1 and would be
// m only for x a multiple of m, so it lies below m: r3 is that times 2^a,
// by doublings. The next two, of residues below m, are below m too. The
// carry out of the low word of the sum r + u m is 1 unless r is 0, that
// word being 0.
void add_head_term(Sum192 *sum, uint64_t x, int a, uint64_t m, uint64_t m_prime, uint64_t mask)
{
    uint64_t r3 = mul_high(x * m_prime, m) + (x != 0);
    for (int i = 0; i < a; ++i) {
        r3 <<= 1;
        r3 = r3 >= m ? r3 - m : r3;
    }
    const uint64_t f0 = r3 * m_prime;
    const uint64_t r2 = mul_high(f0, m) + (r3 != 0);
    const uint64_t f1 = r2 * m_prime;
    const uint64_t r1 = mul_high(f1, m) + (r2 != 0);
    add_term(sum, r1 * m_prime, f1, f0, mask);
}

// ---- the generic arithmetic: Montgomery with R = 2^64, any m below 2^60 ----
//
// Values stay below 4m and stand for x R^-1 mod m. A reduction of t < 16 m^2
// gives (t + u m) / R < 16 m^2 / R + m < 2m, doubled below 4m.

// The seven head terms of k (base_exponent(position, k) >= 0). Their
// exponentiations share the exponent c = e - a + 192, each term's shift a
// being applied at the end, and run side by side.
void add_head_k_generic(Sum192 *sum, int64_t position, int64_t k)
{
    const auto c = static_cast<uint64_t>(base_exponent(position, k) + 192);
    // Each starts from R 2^(c >> L) mod m, standing for 2^(c >> L): c's top
    // 6 bits, c being at least 192.
    const int L = bit_length(c) - 6;
    uint64_t m[kTermsPerK];
    uint64_t m_prime[kTermsPerK];
    uint64_t x[kTermsPerK];
    for (int j = 0; j < kTermsPerK; ++j) {
        m[j] = term_modulus(j, k);
        m_prime[j] = negated_inverse(m[j]);
        x[j] = static_cast<uint64_t>((UInt128{1} << ((c >> L) + 64)) % m[j]);
    }
    for (int i = L - 1; i >= 0; --i) {
        const auto bit = static_cast<int>((c >> i) & 1);
        for (int j = 0; j < kTermsPerK; ++j) {
            const UInt128 t = static_cast<UInt128>(x[j]) * x[j];
            const auto t_low = static_cast<uint64_t>(t);
            const uint64_t r =
                static_cast<uint64_t>(t >> 64) + mul_high(t_low * m_prime[j], m[j]) + (t_low != 0);
            x[j] = r << bit;
        }
    }
    // x stands for 2^c: x = 2^(c+64) = 2^(e-a+256) mod m.
    for (int j = 0; j < kTermsPerK; ++j) {
        add_head_term(sum, x[j], kBellardTerms[j].shift, m[j], m_prime[j], sign_mask(j, k));
    }
}

// ---- the fast arithmetic: Montgomery with R = 2^32, m below 2^28 ----------
//
// Values stay below 4m < 2^30 and stand for x R^-1 mod m. A squaring
// t = x^2 < 16 m^2 < 2^60 is one 64-bit multiplication, u = t m' mod 2^32 one
// 32-bit one, u m < 2^60 one more; t + u m, below 2^61, is a multiple of
// 2^32, and (t + u m) / 2^32 < 16 m^2 / 2^32 + m < 2m. Shifting by 31
// instead of 32 doubles it, for nothing, when the exponent's bit is 1.

// k's per block, and of those the k's whose 14 exponentiations run side by
// side: a squaring is a chain of three multiplications, and with only 7
// chains at a time the multipliers would wait on it.
constexpr int kBlockK = 8;
constexpr int kGroupK = 2;
constexpr int kGroupLanes = kGroupK * kTermsPerK;

// The squarings of the 14 terms of two k, from values below 4m standing for
// 2^(c[g] >> L) to values standing for 2^c[g].
void square_group(uint64_t *x, const uint64_t *m, const uint64_t *m_prime, const uint64_t *c, int L)
{
    uint64_t v[kGroupLanes];
    for (int l = 0; l < kGroupLanes; ++l) {
        v[l] = x[l];
    }
    for (int i = L - 1; i >= 0; --i) {
        unsigned shift[kGroupK];
        for (int g = 0; g < kGroupK; ++g) {
            shift[g] = 32 - static_cast<unsigned>((c[g] >> i) & 1);
        }
        for (int l = 0; l < kGroupLanes; ++l) {
            const uint64_t t = v[l] * v[l];
            const uint64_t u =
                static_cast<uint32_t>(static_cast<uint32_t>(t) * static_cast<uint32_t>(m_prime[l]));
            v[l] = (t + u * m[l]) >> shift[l / kTermsPerK];
        }
    }
    for (int l = 0; l < kGroupLanes; ++l) {
        x[l] = v[l];
    }
}

// The 56 head terms of k0 .. k0+7, for k0 >= 1 (no modulus is 1),
// k0 + 8 <= kFastKEnd and base_exponent(position, k0 + 7) >= 0. Each
// exponentiation computes 2^c for c = e - a + 224, so that its result is
// x = 2^(c+32) = 2^(e-a+256) mod m.
void add_head_block_fast(Sum192 *sum, int64_t position, int64_t k0)
{
    VEXO_ASSERT(k0 >= 1);
    VEXO_ASSERT(k0 + kBlockK <= kFastKEnd);
    VEXO_ASSERT(base_exponent(position, k0 + kBlockK - 1) >= 0);
    constexpr int kLanes = kBlockK * kTermsPerK;
    uint64_t m[kLanes];
    uint64_t m_prime[kLanes];
    uint64_t x[kLanes];
    uint64_t c[kBlockK];
    int L[kBlockK / kGroupK];
    for (int b = 0; b < kBlockK; ++b) {
        c[b] = static_cast<uint64_t>(base_exponent(position, k0 + b) + 224);
    }
    // A group starts from R 2^(c >> L) mod m, the top 5 bits of its first
    // (larger) exponent, so that (c >> L) + 32 < 64 for both of its k.
    for (int g = 0; g < kBlockK / kGroupK; ++g) {
        const int first_k = g * kGroupK;
        L[g] = bit_length(c[first_k]) - 5;
    }
    for (int b = 0; b < kBlockK; ++b) {
        const int top = static_cast<int>(c[b] >> L[b / kGroupK]) + 32;
        for (int j = 0; j < kTermsPerK; ++j) {
            const int l = b * kTermsPerK + j;
            m[l] = term_modulus(j, k0 + b);
            m_prime[l] = negated_inverse(m[l]);
            x[l] = (uint64_t{1} << top) % m[l];
        }
    }
    for (int g = 0; g < kBlockK / kGroupK; ++g) {
        const int first = g * kGroupLanes;
        const int first_k = g * kGroupK;
        square_group(x + first, m + first, m_prime + first, c + first_k, L[g]);
    }
    // add_head_term, with the shift applied before the first reduction:
    // y = x 2^a < 2^38 is below 2^64 and, a power of 2 modulo m > 1, neither
    // 0 nor a multiple of m, so each carry is 1 and each residue below m.
    Sum192 block{};
    for (int b = 0; b < kBlockK; ++b) {
        for (int j = 0; j < kTermsPerK; ++j) {
            const int l = b * kTermsPerK + j;
            const uint64_t y = x[l] << kBellardTerms[j].shift;
            const uint64_t mp = m_prime[l];
            const uint64_t r3 = mul_high(y * mp, m[l]) + 1;
            const uint64_t r2 = mul_high(r3 * mp, m[l]) + 1;
            const uint64_t r1 = mul_high(r2 * mp, m[l]) + 1;
            add_term(&block, r1 * mp, r2 * mp, r3 * mp, sign_mask(j, k0 + b));
        }
    }
    sum->low += block.low;
    sum->middle += block.middle;
    sum->top += block.top;
}

// The seven tail terms of k (base_exponent(position, k) < 0, so e <= 7):
// F = floor(2^(e+192) / m) mod 2^192, 0 when e < -192, by long division of
// that power of two, below 2^200, by m, word by word.
void add_tail_k(Sum192 *sum, int64_t position, int64_t k)
{
    for (int j = 0; j < kTermsPerK; ++j) {
        const int64_t p = base_exponent(position, k) + kBellardTerms[j].shift + 192;
        const uint64_t m = term_modulus(j, k);
        uint64_t f[4] = {0, 0, 0, 0};
        uint64_t r = 0;
        for (int w = 3; w >= 0 && p >= 0; --w) {
            const uint64_t word = p / 64 == w ? uint64_t{1} << (p % 64) : 0;
            const UInt128 n = (static_cast<UInt128>(r) << 64) | word;
            f[w] = static_cast<uint64_t>(n / m);
            r = static_cast<uint64_t>(n - static_cast<UInt128>(f[w]) * m);
        }
        add_term(sum, f[2], f[1], f[0], sign_mask(j, k));
    }
}

} // namespace

void add_head_terms(Sum192 *sum, int64_t position, int64_t k_begin, int64_t k_end, bool fast)
{
    int64_t k = k_begin;
    if (fast) {
        if (k == 0 && k < k_end) {
            add_head_k_generic(sum, position, k++);
        }
        for (; k + kBlockK <= k_end && k + kBlockK <= kFastKEnd; k += kBlockK) {
            add_head_block_fast(sum, position, k);
        }
    }
    for (; k < k_end; ++k) {
        add_head_k_generic(sum, position, k);
    }
}

int64_t series_sum(int64_t position, uint64_t words[3])
{
    // The terms of k < k_head are all head terms; the largest modulus among
    // them is at most 4 position + 3 < 2^60.
    const int64_t top_exponent = base_exponent(position, 0);
    const int64_t k_head = top_exponent >= 0 ? top_exponent / 10 + 1 : 0;
    const int64_t k_end = (4 * position + 196 + 9) / 10;
    Sum192 sum{};
    add_head_terms(&sum, position, 0, k_head, true);
    for (int64_t k = k_head; k < k_end; ++k) {
        add_tail_k(&sum, position, k);
    }
    // One for each term (completing -F for a negative one, rounding up a
    // positive one), and one for the tail.
    const int64_t terms = kTermsPerK * k_end;
    sum_words(sum, static_cast<uint64_t>(terms + 1), words);
    return terms;
}

} // namespace pi_hex

uint64_t pi_hex_digits_at(int64_t position, uint64_t digits[2])
{
    if (position < 0 || position > LFX_PI_HEX_MAX_POSITION) {
        return 0;
    }
    uint64_t words[3];
    pi_hex::series_sum(position, words);
    digits[0] = words[0];
    digits[1] = words[1];
    return 1;
}
