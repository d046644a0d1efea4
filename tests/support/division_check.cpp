#include "division_check.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include "kernel_model.h"

static_assert(sizeof(mp_limb_t) == sizeof(uint64_t), "64-bit GMP limbs");

Quotient gmp_divide(const std::vector<uint64_t> &a, uint64_t d)
{
    Quotient q{std::vector<uint64_t>(a.size()), 0};
    q.reste =
        mpn_divrem_1(reinterpret_cast<mp_limb_t *>(q.words.data()), 0,
                     reinterpret_cast<const mp_limb_t *>(a.data()), static_cast<mp_size_t>(a.size()), d);
    return q;
}

int64_t quotient_top(const Quotient &q)
{
    const auto k = static_cast<int64_t>(q.words.size()) - 1;
    return q.words.back() == 0 ? k - 1 : k;
}

void load_value(Lii *li, const std::vector<uint64_t> &value, int64_t signe, std::mt19937_64 *rng)
{
    for (int64_t i = 0; i < li->taille_mantisse; ++i) {
        li->mantisse[i] = i < static_cast<int64_t>(value.size()) ? value[i] : ((*rng)() | 1);
    }
    li->signe = signe;
    li->indiceMax = static_cast<int64_t>(value.size()) - 1;
    li->aux = static_cast<int64_t>((*rng)());
}

std::vector<uint64_t> all_words(const Lii *li)
{
    return std::vector<uint64_t>(li->mantisse, li->mantisse + li->taille_mantisse);
}

// Divides `value` (top word non-zero) in place, with the in-place kernel or
// with the other one given the same record as Q and A, and checks
// everything against GMP: the stale words above indiceMax must come through
// untouched.
namespace {

void check_in_place(const std::vector<uint64_t> &value, uint64_t d, int64_t signe, int64_t extra, bool q_is_a,
                    std::mt19937_64 *rng)
{
    SCOPED_TRACE(::testing::Message()
                 << (q_is_a ? "Q == A" : "in place") << ", d=" << d << " words=" << value.size());
    const auto k = static_cast<int64_t>(value.size()) - 1;
    const Quotient want = gmp_divide(value, d);
    const int64_t top = quotient_top(want);

    Lii a = make_guarded_lii(k + 1 + extra);
    load_value(&a, value, signe, rng);
    const std::vector<uint64_t> before = all_words(&a);
    const int64_t aux = a.aux;
    Lii model = copy_guarded_lii(&a);
    const uint64_t model_result = q_is_a ? model_div_into(&model, &model, d) : model_div_in_place(&model, d);

    EXPECT_EQ(q_is_a ? divHalfB_x86_64_bini(&a, &a, d) : divHalfB_R_x86_64_bini(&a, d), want.reste);
    EXPECT_EQ(model_result, want.reste);
    EXPECT_TRUE(same_record(&a, &model));
    free_guarded_lii(&model);
    EXPECT_EQ(a.indiceMax, top);
    EXPECT_GE(a.indiceMax, k - 1) << "at most one top word falls out of use";
    EXPECT_EQ(a.signe, top < 0 ? 0 : signe);
    EXPECT_EQ(a.aux, aux);
    EXPECT_EQ(a.taille_mantisse, k + 1 + extra);
    const std::vector<uint64_t> after = all_words(&a);
    EXPECT_EQ(std::vector<uint64_t>(after.begin(), after.begin() + k + 1), want.words);
    EXPECT_EQ(std::vector<uint64_t>(after.begin() + k + 1, after.end()),
              std::vector<uint64_t>(before.begin() + k + 1, before.end()));
    EXPECT_TRUE(guards_intact(&a));
    EXPECT_TRUE(record_contract_holds(&a));
    free_guarded_lii(&a);
}

// Divides `value` into a Q full of stale words and fields; A must come out
// exactly as it went in.
void check_into_q(const std::vector<uint64_t> &value, uint64_t d, int64_t signe, int64_t extra,
                  std::mt19937_64 *rng)
{
    SCOPED_TRACE(::testing::Message() << "into Q, d=" << d << " words=" << value.size());
    const auto k = static_cast<int64_t>(value.size()) - 1;
    const Quotient want = gmp_divide(value, d);
    const int64_t top = quotient_top(want);

    Lii a = make_guarded_lii(k + 1 + extra);
    load_value(&a, value, signe, rng);
    Lii q = make_guarded_lii(k + 1 + static_cast<int64_t>((*rng)() % 4));
    load_value(&q, random_words(rng, static_cast<size_t>(q.taille_mantisse), kUniform), 1, rng);
    q.signe = static_cast<int64_t>((*rng)() % 3) - 1;
    q.indiceMax = static_cast<int64_t>((*rng)() % static_cast<uint64_t>(q.taille_mantisse + 1)) - 1;
    const std::vector<uint64_t> a_before = all_words(&a);
    const std::vector<uint64_t> q_before = all_words(&q);
    const Lii a_fields = a;
    const int64_t q_aux = q.aux;
    Lii model_a = copy_guarded_lii(&a);
    Lii model_q = copy_guarded_lii(&q);
    EXPECT_EQ(model_div_into(&model_q, &model_a, d), want.reste);

    EXPECT_EQ(divHalfB_x86_64_bini(&q, &a, d), want.reste);
    EXPECT_TRUE(same_record(&q, &model_q));
    EXPECT_TRUE(same_record(&a, &model_a));
    free_guarded_lii(&model_a);
    free_guarded_lii(&model_q);
    EXPECT_EQ(all_words(&a), a_before);
    EXPECT_EQ(a.signe, a_fields.signe);
    EXPECT_EQ(a.indiceMax, a_fields.indiceMax);
    EXPECT_EQ(a.aux, a_fields.aux);

    EXPECT_EQ(q.indiceMax, top);
    EXPECT_EQ(q.signe, top < 0 ? 0 : signe);
    EXPECT_EQ(q.aux, top < 0 ? q_aux : a_fields.aux) << "aux follows a non-zero quotient only";
    const std::vector<uint64_t> after = all_words(&q);
    EXPECT_EQ(std::vector<uint64_t>(after.begin(), after.begin() + k + 1), want.words);
    EXPECT_EQ(std::vector<uint64_t>(after.begin() + k + 1, after.end()),
              std::vector<uint64_t>(q_before.begin() + k + 1, q_before.end()));
    EXPECT_TRUE(guards_intact(&a));
    EXPECT_TRUE(guards_intact(&q));
    EXPECT_TRUE(record_contract_holds(&q));
    free_guarded_lii(&a);
    free_guarded_lii(&q);
}

} // namespace

void check_both(const std::vector<uint64_t> &value, uint64_t d, int64_t signe, std::mt19937_64 *rng)
{
    const auto extra = static_cast<int64_t>((*rng)() % 4);
    check_in_place(value, d, signe, extra, false, rng);
    check_in_place(value, d, signe, extra, true, rng);
    check_into_q(value, d, signe, extra, rng);
}

uint64_t random_half_word_divisor(std::mt19937_64 *rng)
{
    const uint64_t d = (*rng)() >> (32 + (*rng)() % 31);
    return d < 2 ? d + 2 : d;
}

std::vector<uint64_t> divisors_under_test(std::mt19937_64 *rng)
{
    std::vector<uint64_t> ds = {1,   2,     3,        5,         7,          10,        25,
                                239, 19601, 36869184, 384199201, 0x80000001, 0xFFFFFFFF};
    for (int j = 1; j <= 31; ++j) {
        ds.push_back(UINT64_C(1) << j);
    }
    for (int i = 0; i < 10; ++i) {
        ds.push_back(random_half_word_divisor(rng));
    }
    // Whole-word divisors take the word-by-word path.
    ds.insert(ds.end(), {UINT64_C(1) << 32, (UINT64_C(1) << 32) + 1, kMaxWord, UINT64_C(1) << 63});
    for (int i = 0; i < 4; ++i) {
        ds.push_back((*rng)() | (UINT64_C(1) << 32));
    }
    return ds;
}

std::vector<uint64_t> random_value(std::mt19937_64 *rng, size_t n, WordKind kind)
{
    std::vector<uint64_t> v = random_words(rng, n, kind);
    if (v.back() == 0) {
        v.back() = 1 + (*rng)() % 3;
    }
    return v;
}
