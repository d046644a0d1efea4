// Differential tests of the add, subtract and multiply-by-word kernels
// against GMP's mpn layer. Every call runs on guarded arrays with stale
// words above indiceMax; the whole record (all words, stale ones included,
// and every field) is compared with a model built on mpn_add/mpn_sub_n/
// mpn_mul_1, B is checked unchanged, and the record contract is checked
// whenever the kernel reports no overflow.
#include <gmp.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "lfx86_64.h"
#include "record_support.h"

namespace {

constexpr uint64_t kOnes = ~0ULL;
constexpr int64_t kAuxMark = 0x5A5A1234;

// Everything a kernel could change in a record.
struct Etat {
    int64_t signe;
    int64_t taille;
    int64_t aux;
    int64_t indiceMax;
    std::vector<uint64_t> mots;
};

Etat lire(const Lii *li)
{
    return {li->signe, li->taille_mantisse, li->aux, li->indiceMax,
            std::vector<uint64_t>(li->mantisse, li->mantisse + li->taille_mantisse)};
}

::testing::AssertionResult meme_etat(const Etat &got, const Etat &want)
{
    if (got.signe != want.signe || got.taille != want.taille || got.aux != want.aux ||
        got.indiceMax != want.indiceMax) {
        return ::testing::AssertionFailure()
               << "fields (signe, taille, aux, indiceMax) = (" << got.signe << ", " << got.taille << ", "
               << got.aux << ", " << got.indiceMax << "), expected (" << want.signe << ", " << want.taille
               << ", " << want.aux << ", " << want.indiceMax << ")";
    }
    for (size_t i = 0; i < want.mots.size(); ++i) {
        if (got.mots[i] != want.mots[i]) {
            return ::testing::AssertionFailure()
                   << "word " << i << " is " << std::hex << got.mots[i] << ", expected " << want.mots[i];
        }
    }
    return ::testing::AssertionSuccess();
}

// Index of the top non-zero word among the first n words, -1 if none.
int64_t haut(const std::vector<uint64_t> &w, int64_t n)
{
    for (int64_t i = n - 1; i >= 0; --i) {
        if (w[static_cast<size_t>(i)] != 0) {
            return i;
        }
    }
    return -1;
}

// Sets signe and indiceMax of a model from its first n words; a record that
// was zero takes signe 1 when it becomes non-zero.
void rescanne(Etat *e, int64_t n)
{
    e->indiceMax = haut(e->mots, n);
    if (e->indiceMax < 0) {
        e->signe = 0;
    } else if (e->signe == 0) {
        e->signe = 1;
    }
}

// Words 0..top that take part in the value: none for a zero record.
int64_t haut_effectif(const Etat &e)
{
    return e.signe != 0 ? e.indiceMax : -1;
}

Etat modele_add(const Etat &a, const Etat &b, uint64_t *ret)
{
    Etat r = a;
    *ret = 0;
    if (b.signe == 0) {
        return r;
    }
    const bool rapide = a.signe != 0 && b.indiceMax <= a.indiceMax;
    const auto na = static_cast<mp_size_t>(haut_effectif(a) + 1);
    const auto nb = static_cast<mp_size_t>(b.indiceMax + 1);
    const mp_size_t n = std::max(na, nb);
    std::vector<uint64_t> s(static_cast<size_t>(n) + 1, 0);
    if (na == 0) {
        std::copy(b.mots.begin(), b.mots.begin() + nb, s.begin());
    } else if (na >= nb) {
        s[static_cast<size_t>(n)] = mpn_add(s.data(), a.mots.data(), na, b.mots.data(), nb);
    } else {
        s[static_cast<size_t>(n)] = mpn_add(s.data(), b.mots.data(), nb, a.mots.data(), na);
    }
    const int64_t ns = n + static_cast<int64_t>(s[static_cast<size_t>(n)]);
    const int64_t ecrits = std::min(ns, a.taille);
    std::copy(s.begin(), s.begin() + ecrits, r.mots.begin());
    *ret = ns > a.taille ? 1 : 0;
    if (!(rapide && *ret == 1)) { // a lost carry on the common path keeps indiceMax
        rescanne(&r, ecrits);
    }
    return r;
}

Etat modele_sub(const Etat &a, const Etat &b, uint64_t *ret)
{
    Etat r = a;
    *ret = 0;
    if (b.signe == 0) {
        return r;
    }
    const bool rapide = a.signe != 0 && b.indiceMax <= a.indiceMax;
    const int64_t n = rapide ? a.indiceMax + 1 : std::min(b.indiceMax, a.taille - 1) + 1;
    std::vector<uint64_t> pa(static_cast<size_t>(n), 0), pb(static_cast<size_t>(n), 0),
        d(static_cast<size_t>(n));
    std::copy_n(a.mots.begin(), std::min(haut_effectif(a) + 1, n), pa.begin());
    std::copy_n(b.mots.begin(), std::min(b.indiceMax + 1, n), pb.begin());
    const uint64_t emprunt = n > 0 ? mpn_sub_n(d.data(), pa.data(), pb.data(), n) : 0;
    std::copy(d.begin(), d.end(), r.mots.begin());
    *ret = rapide ? emprunt : 1;
    rescanne(&r, n);
    return r;
}

Etat modele_mul(const Etat &a, uint64_t f, uint64_t *ret)
{
    Etat r = a;
    *ret = 0;
    if (a.signe == 0) {
        return r;
    }
    if (f == 0) {
        r.signe = 0;
        return r;
    }
    const uint64_t haut_mot = mpn_mul_1(r.mots.data(), a.mots.data(), a.indiceMax + 1, f);
    if (haut_mot != 0) {
        if (a.indiceMax + 1 < a.taille) {
            r.mots[static_cast<size_t>(++r.indiceMax)] = haut_mot;
        } else {
            *ret = haut_mot;
        }
    }
    return r;
}

enum Noyau { kAdd, kSub };

// Runs one add or subtract on A and B and checks everything against the
// model. The contract must hold unless an add reports a lost carry.
void verifie_addsub(Noyau noyau, Lii *A, const Lii *B)
{
    const Etat avant_a = lire(A);
    const Etat avant_b = lire(B);
    uint64_t attendu_ret = 0;
    const Etat attendu = noyau == kAdd ? modele_add(avant_a, avant_b, &attendu_ret)
                                       : modele_sub(avant_a, avant_b, &attendu_ret);
    const uint64_t ret = noyau == kAdd ? add_R_2P_x86_64_bini_spe(A, B) : sub_R_2P_x86_64_bini_spe(A, B);
    EXPECT_EQ(ret, attendu_ret);
    EXPECT_TRUE(meme_etat(lire(A), attendu));
    EXPECT_TRUE(meme_etat(lire(B), avant_b)) << "B was changed";
    EXPECT_TRUE(guards_intact(A));
    EXPECT_TRUE(guards_intact(B));
    if (noyau == kSub || ret == 0) {
        EXPECT_TRUE(record_contract_holds(A));
    }
}

void verifie_mul(Lii *A, uint64_t f)
{
    const Etat avant = lire(A);
    uint64_t attendu_ret = 0;
    const Etat attendu = modele_mul(avant, f, &attendu_ret);
    const uint64_t ret = mulB_R_x86_64_bini(A, f);
    EXPECT_EQ(ret, attendu_ret);
    EXPECT_TRUE(meme_etat(lire(A), attendu));
    EXPECT_TRUE(guards_intact(A));
    if (ret == 0) {
        EXPECT_TRUE(record_contract_holds(A));
    }
}

// Fills every word with non-zero stale values, then sets words 0..top to
// `value` (word top forced non-zero) with signe 1. top < 0 makes a zero
// record whose indiceMax and words are left stale.
void remplir(Lii *li, int64_t top, const std::vector<uint64_t> &value, std::mt19937_64 *rng)
{
    for (int64_t i = 0; i < li->taille_mantisse; ++i) {
        li->mantisse[i] = (*rng)() | 1;
    }
    li->aux = kAuxMark;
    if (top < 0) {
        li->signe = 0;
        li->indiceMax = static_cast<int64_t>((*rng)() % static_cast<uint64_t>(li->taille_mantisse + 1)) - 1;
        return;
    }
    for (int64_t i = 0; i <= top; ++i) {
        li->mantisse[i] = value[static_cast<size_t>(i)];
    }
    if (li->mantisse[top] == 0) {
        li->mantisse[top] = 1 + (*rng)() % 1000;
    }
    li->signe = 1;
    li->indiceMax = top;
}

void remplir_aleatoire(Lii *li, int64_t top, WordKind kind, std::mt19937_64 *rng)
{
    remplir(li, top, random_words(rng, static_cast<size_t>(std::max<int64_t>(top + 1, 0)), kind), rng);
}

// A record with exactly these value words (least significant first), its
// other words stale.
Lii record_de(int64_t taille, const std::vector<uint64_t> &w, std::mt19937_64 *rng)
{
    Lii li = make_guarded_lii(taille);
    remplir(&li, static_cast<int64_t>(w.size()) - 1, w, rng);
    return li;
}

// Sizes that cover every remainder of a four- or eight-word unroll, and
// longer arrays around multiples of 32 words: with whole 32-word chunks
// above it, the first segment is entered at each of its four slots
// (33, 34, 35, 127 words) and spans a full chunk (64, 96).
std::vector<int64_t> tailles()
{
    std::vector<int64_t> t;
    for (int64_t n = 1; n <= 18; ++n) {
        t.push_back(n);
    }
    for (int64_t n : {31, 32, 33, 34, 35, 64, 65, 66, 96, 97, 98, 127, 200, 333}) {
        t.push_back(n);
    }
    return t;
}

const WordKind kKinds[] = {kUniform, kAllOnes, kSparse, kSmall};

// ---- fixed cases whose results are known by hand -----------------------

TEST(KernelsAddSub, HandWorkedResults)
{
    std::mt19937_64 rng(1);
    { // 1 + (2^64-1, 2^64-1, 5): the carry ripples into the top word
        Lii a = record_de(4, {kOnes, kOnes, 5}, &rng);
        Lii b = record_de(4, {1}, &rng);
        EXPECT_EQ(add_R_2P_x86_64_bini_spe(&a, &b), 0u);
        EXPECT_EQ(value_words(&a), (std::vector<uint64_t>{0, 0, 6}));
        free_guarded_lii(&a);
        free_guarded_lii(&b);
    }
    { // (5, 0, 1) - (6, 2^64-1): two top words cancel
        Lii a = record_de(3, {5, 0, 1}, &rng);
        Lii b = record_de(3, {6, kOnes}, &rng);
        EXPECT_EQ(sub_R_2P_x86_64_bini_spe(&a, &b), 0u);
        EXPECT_EQ(a.indiceMax, 0);
        EXPECT_EQ(a.signe, 1);
        EXPECT_EQ(std::vector<uint64_t>(a.mantisse, a.mantisse + 3), (std::vector<uint64_t>{kOnes, 0, 0}));
        free_guarded_lii(&a);
        free_guarded_lii(&b);
    }
    { // carry out of the top word, with and without room
        for (int64_t taille : {2, 1}) {
            Lii a = record_de(taille, {kOnes}, &rng);
            Lii b = record_de(taille, {1}, &rng);
            EXPECT_EQ(add_R_2P_x86_64_bini_spe(&a, &b), taille == 1 ? 1u : 0u);
            EXPECT_EQ(a.indiceMax, taille - 1);
            EXPECT_EQ(a.mantisse[0], 0u);
            if (taille == 2) {
                EXPECT_EQ(a.mantisse[1], 1u);
            }
            free_guarded_lii(&a);
            free_guarded_lii(&b);
        }
    }
}

TEST(KernelsMul, HandWorkedResults)
{
    std::mt19937_64 rng(2);
    for (int64_t taille : {2, 1}) { // 2^63 * 2
        Lii a = record_de(taille, {1ULL << 63}, &rng);
        EXPECT_EQ(mulB_R_x86_64_bini(&a, 2), taille == 1 ? 1u : 0u);
        EXPECT_EQ(a.mantisse[0], 0u);
        EXPECT_EQ(a.indiceMax, taille - 1);
        if (taille == 2) {
            EXPECT_EQ(a.mantisse[1], 1u);
        }
        free_guarded_lii(&a);
    }
    Lii a = record_de(3, {7, 9}, &rng);
    const Etat avant = lire(&a);
    EXPECT_EQ(mulB_R_x86_64_bini(&a, 1), 0u);
    EXPECT_TRUE(meme_etat(lire(&a), avant));
    EXPECT_EQ(mulB_R_x86_64_bini(&a, 0), 0u); // only signe changes
    Etat zero = avant;
    zero.signe = 0;
    EXPECT_TRUE(meme_etat(lire(&a), zero));
    EXPECT_EQ(mulB_R_x86_64_bini(&a, 12345), 0u); // a zero stays put
    EXPECT_TRUE(meme_etat(lire(&a), zero));
    free_guarded_lii(&a);
}

// ---- random operands against GMP ----------------------------------------

// B's top relative to A's: equal, one below, anything below, single word.
int64_t choisir_haut_b(int64_t haut_a, int forme, std::mt19937_64 *rng)
{
    switch (forme) {
    case 0:
        return haut_a;
    case 1:
        return std::max<int64_t>(haut_a - 1, 0);
    case 2:
        return static_cast<int64_t>((*rng)() % static_cast<uint64_t>(haut_a + 1));
    default:
        return 0;
    }
}

TEST(KernelsAddSub, RandomOperandsAgainstGmp)
{
    std::mt19937_64 rng(3);
    for (Noyau noyau : {kAdd, kSub}) {
        for (int64_t taille : tailles()) {
            for (int essai = 0; essai < 24; ++essai) {
                // A's top at the last word (no room), one below, or anywhere.
                const int64_t haut_a = essai % 3 == 0 ? taille - 1
                                       : essai % 3 == 1
                                           ? std::max<int64_t>(taille - 2, 0)
                                           : static_cast<int64_t>(rng() % static_cast<uint64_t>(taille));
                const int64_t haut_b = choisir_haut_b(haut_a, essai % 4, &rng);
                SCOPED_TRACE(::testing::Message()
                             << (noyau == kAdd ? "add" : "sub") << " taille " << taille << " A top " << haut_a
                             << " B top " << haut_b << " trial " << essai);
                Lii a = make_guarded_lii(taille);
                Lii b = make_guarded_lii(taille);
                remplir_aleatoire(&a, haut_a, kKinds[essai % 4], &rng);
                remplir_aleatoire(&b, haut_b, kKinds[(essai / 4) % 4], &rng);
                verifie_addsub(noyau, &a, &b);
                free_guarded_lii(&a);
                free_guarded_lii(&b);
            }
        }
    }
}

// A = B + D with D small or zero, so A >= B and A - B cancels B's length of
// top words or more; A - A leaves zero.
TEST(KernelsSub, CancellationsAndSelfSubtraction)
{
    std::mt19937_64 rng(4);
    for (int64_t taille : tailles()) {
        for (int essai = 0; essai < 6; ++essai) {
            SCOPED_TRACE(::testing::Message() << "taille " << taille << " trial " << essai);
            const int64_t haut = taille - 1 - (essai % 2 == 1 && taille > 1 ? 1 : 0);
            Lii b = make_guarded_lii(taille);
            remplir_aleatoire(&b, haut, essai < 3 ? kAllOnes : kUniform, &rng);
            if (haut > 0 && essai < 3) { // B = 5, 2^64-1, ...: D's carry runs to the top
                b.mantisse[haut] = 5;
            }
            std::vector<uint64_t> d(static_cast<size_t>(haut + 1), 0);
            d[0] = essai % 3; // 0: A == B
            std::vector<uint64_t> somme(d.size());
            const uint64_t c =
                mpn_add_n(somme.data(), b.mantisse, d.data(), static_cast<mp_size_t>(d.size()));
            if (c != 0) { // would not fit: take D = 0
                std::copy_n(b.mantisse, d.size(), somme.begin());
            }
            Lii a = make_guarded_lii(taille);
            remplir(&a, haut, somme, &rng);
            verifie_addsub(kSub, &a, &b);
            EXPECT_LE(a.indiceMax, 0);
            free_guarded_lii(&a);
            free_guarded_lii(&b);
        }
    }
    Lii a = make_guarded_lii(40);
    remplir_aleatoire(&a, 37, kUniform, &rng);
    EXPECT_EQ(sub_R_2P_x86_64_bini_spe(&a, &a), 0u);
    EXPECT_EQ(a.signe, 0);
    EXPECT_EQ(a.indiceMax, -1);
    EXPECT_EQ(std::count(a.mantisse, a.mantisse + 38, 0u), 38);
    free_guarded_lii(&a);
}

// A made of all-ones words: a carry from word 0 runs through every word of
// A, then either stops, grows A, or is lost; a borrow from 0 words likewise.
// With one zero word in A (trou), the carry stops there instead.
TEST(KernelsAddSub, LongCarryAndBorrowChains)
{
    std::mt19937_64 rng(5);
    for (int64_t taille : tailles()) {
        for (int64_t marge = 0; marge <= 2 && marge < taille; ++marge) {
            const int64_t haut_a = taille - 1 - marge;
            for (int64_t haut_b : {int64_t{0}, haut_a / 2, haut_a}) {
                const int64_t trou =
                    haut_a > 1 ? 1 + static_cast<int64_t>(rng() % static_cast<uint64_t>(haut_a)) : -1;
                SCOPED_TRACE(::testing::Message() << "taille " << taille << " A top " << haut_a << " B top "
                                                  << haut_b << " zero word " << trou);
                Lii a = make_guarded_lii(taille);
                Lii b = make_guarded_lii(taille);
                remplir_aleatoire(&a, haut_a, kAllOnes, &rng);
                if (trou >= 0 && trou < haut_a && haut_b % 2 == 0) {
                    a.mantisse[trou] = 0;
                }
                std::vector<uint64_t> un(static_cast<size_t>(haut_b + 1), 0);
                un[static_cast<size_t>(haut_b)] = 1; // B = 2^(64*haut_b)
                un[0] |= 1;
                remplir(&b, haut_b, un, &rng);
                verifie_addsub(kAdd, &a, &b);
                // A is now mostly zero words (or 2^64-1 words after a loss):
                // subtracting B back walks the borrow the whole way.
                if (record_contract_holds(&a) && a.signe != 0 && a.indiceMax >= haut_b) {
                    verifie_addsub(kSub, &a, &b);
                }
                free_guarded_lii(&a);
                free_guarded_lii(&b);
            }
        }
    }
}

TEST(KernelsAddSub, ZeroOperands)
{
    std::mt19937_64 rng(6);
    for (Noyau noyau : {kAdd, kSub}) {
        for (int64_t taille : {1, 5, 17}) {
            Lii a = make_guarded_lii(taille);
            Lii b = make_guarded_lii(taille);
            remplir_aleatoire(&a, taille - 1, kUniform, &rng);
            remplir_aleatoire(&b, -1, kUniform, &rng); // zero B, stale words
            const Etat avant = lire(&a);
            EXPECT_EQ(noyau == kAdd ? add_R_2P_x86_64_bini_spe(&a, &b) : sub_R_2P_x86_64_bini_spe(&a, &b),
                      0u);
            EXPECT_TRUE(meme_etat(lire(&a), avant));
            remplir_aleatoire(&a, -1, kUniform, &rng); // both zero
            verifie_addsub(noyau, &a, &b);
            EXPECT_EQ(a.signe, 0);
            free_guarded_lii(&a);
            free_guarded_lii(&b);
        }
    }
}

// The operands that callers never pass: B longer than A (B's array may be
// longer than A's), A zero with stale indiceMax and words, and B > A with
// equal tops. The exact sum or modular difference is expected.
TEST(KernelsAddSub, OperandsOutsideTheCallersRules)
{
    std::mt19937_64 rng(7);
    for (Noyau noyau : {kAdd, kSub}) {
        for (int64_t taille_a : {1, 2, 3, 4, 5, 8, 9, 17, 40}) {
            for (int essai = 0; essai < 16; ++essai) {
                const int64_t taille_b = taille_a + static_cast<int64_t>(rng() % 4);
                const int64_t haut_a =
                    essai % 4 == 0 ? -1 : static_cast<int64_t>(rng() % static_cast<uint64_t>(taille_a));
                int64_t haut_b = static_cast<int64_t>(rng() % static_cast<uint64_t>(taille_b));
                if (essai % 4 == 3) {
                    haut_b = std::min(std::max<int64_t>(haut_a, 0), taille_b - 1); // equal tops
                } else if (haut_b <= haut_a) {
                    haut_b = std::min(haut_a + 1, taille_b - 1);
                }
                SCOPED_TRACE(::testing::Message()
                             << (noyau == kAdd ? "add" : "sub") << " taille " << taille_a << "/" << taille_b
                             << " A top " << haut_a << " B top " << haut_b);
                Lii a = make_guarded_lii(taille_a);
                Lii b = make_guarded_lii(taille_b);
                remplir_aleatoire(&a, haut_a, kKinds[essai % 4], &rng);
                remplir_aleatoire(&b, haut_b, kKinds[essai / 4], &rng);
                verifie_addsub(noyau, &a, &b);
                free_guarded_lii(&a);
                free_guarded_lii(&b);
            }
        }
    }
    // B's top on A's last word and above A's top: the carry out of it has
    // room in a longer A only.
    for (int64_t taille : {3, 4}) {
        Lii a = record_de(taille, {1}, &rng);
        Lii b = record_de(taille, {kOnes, kOnes, kOnes}, &rng);
        verifie_addsub(kAdd, &a, &b);
        EXPECT_EQ(a.signe, taille == 3 ? 0 : 1);
        EXPECT_EQ(a.indiceMax, taille == 3 ? -1 : 3);
        free_guarded_lii(&a);
        free_guarded_lii(&b);
    }
    // A zero B whose words reach past A's array, sum truncated to zero.
    Lii a = make_guarded_lii(2);
    Lii b = record_de(4, {0, 0, 0, 7}, &rng);
    remplir_aleatoire(&a, -1, kUniform, &rng);
    EXPECT_EQ(add_R_2P_x86_64_bini_spe(&a, &b), 1u);
    EXPECT_EQ(a.signe, 0);
    EXPECT_EQ(a.indiceMax, -1);
    EXPECT_TRUE(guards_intact(&a));
    free_guarded_lii(&a);
    free_guarded_lii(&b);
}

TEST(KernelsMul, RandomOperandsAgainstGmp)
{
    std::mt19937_64 rng(8);
    const uint64_t facteurs[] = {0, 1, 2, 3, 4, 68, 1ULL << 63, kOnes, kOnes - 1};
    for (int64_t taille : tailles()) {
        for (int essai = 0; essai < 24; ++essai) {
            const int64_t haut = essai % 3 == 0 ? taille - 1
                                 : essai % 3 == 1
                                     ? std::max<int64_t>(taille - 2, 0)
                                     : static_cast<int64_t>(rng() % static_cast<uint64_t>(taille));
            const uint64_t f = essai < 9 ? facteurs[essai] : rng() >> (rng() % 64);
            SCOPED_TRACE(::testing::Message() << "taille " << taille << " top " << haut << " f " << f);
            Lii a = make_guarded_lii(taille);
            remplir_aleatoire(&a, haut, kKinds[essai % 4], &rng);
            verifie_mul(&a, f);
            if (a.signe != 0 && a.mantisse[a.indiceMax] != 0) { // again, unless it overflowed to a zero top
                verifie_mul(&a, f);
            }
            free_guarded_lii(&a);
        }
    }
}

TEST(KernelsMul, ZeroRecordIsLeftAlone)
{
    std::mt19937_64 rng(9);
    for (uint64_t f : {uint64_t{0}, uint64_t{1}, uint64_t{7}, kOnes}) {
        Lii a = make_guarded_lii(6);
        remplir_aleatoire(&a, -1, kUniform, &rng);
        const Etat avant = lire(&a);
        EXPECT_EQ(mulB_R_x86_64_bini(&a, f), 0u);
        EXPECT_TRUE(meme_etat(lire(&a), avant));
        EXPECT_TRUE(guards_intact(&a));
        free_guarded_lii(&a);
    }
}

} // namespace
