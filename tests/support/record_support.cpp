#include "record_support.h"

#include <algorithm>
#include <cstdlib>
#include <string>

Lii make_guarded_lii(int64_t taille)
{
    const int64_t total = taille + 2 * kGuardWords;
    auto *block = static_cast<uint64_t *>(std::malloc(static_cast<size_t>(total) * sizeof(uint64_t)));
    for (int64_t i = 0; i < total; ++i) {
        block[i] = kGuardPattern ^ static_cast<uint64_t>(i);
    }
    for (int64_t i = 0; i < taille; ++i) {
        block[kGuardWords + i] = 0;
    }
    Lii li{};
    li.signe = 0;
    li.taille_mantisse = taille;
    li.mantisse = block + kGuardWords;
    li.aux = 0;
    li.indiceMax = -1;
    return li;
}

bool guards_intact(const Lii *li)
{
    const uint64_t *block = li->mantisse - kGuardWords;
    const int64_t taille = li->taille_mantisse;
    for (int64_t i = 0; i < kGuardWords; ++i) {
        if (block[i] != (kGuardPattern ^ static_cast<uint64_t>(i))) {
            return false;
        }
        const int64_t j = kGuardWords + taille + i;
        if (block[j] != (kGuardPattern ^ static_cast<uint64_t>(j))) {
            return false;
        }
    }
    return true;
}

void free_guarded_lii(Lii *li)
{
    std::free(li->mantisse - kGuardWords);
    li->mantisse = nullptr;
}

::testing::AssertionResult record_contract_holds(const Lii *li, RecordRules rules)
{
    const std::string broken = record_rule_broken(li, rules);
    if (!broken.empty()) {
        return ::testing::AssertionFailure() << broken;
    }
    return ::testing::AssertionSuccess();
}

Lii copy_guarded_lii(const Lii *li)
{
    Lii copy = make_guarded_lii(li->taille_mantisse);
    std::copy_n(li->mantisse, li->taille_mantisse, copy.mantisse);
    copy.signe = li->signe;
    copy.aux = li->aux;
    copy.indiceMax = li->indiceMax;
    return copy;
}

::testing::AssertionResult same_record(const Lii *got, const Lii *want)
{
    if (got->signe != want->signe || got->taille_mantisse != want->taille_mantisse || got->aux != want->aux ||
        got->indiceMax != want->indiceMax) {
        return ::testing::AssertionFailure()
               << "fields (signe, taille_mantisse, aux, indiceMax) = (" << got->signe << ", "
               << got->taille_mantisse << ", " << got->aux << ", " << got->indiceMax << "), expected ("
               << want->signe << ", " << want->taille_mantisse << ", " << want->aux << ", " << want->indiceMax
               << ")";
    }
    for (int64_t i = 0; i < want->taille_mantisse; ++i) {
        if (got->mantisse[i] != want->mantisse[i]) {
            return ::testing::AssertionFailure() << "word " << i << " is " << std::hex << got->mantisse[i]
                                                 << ", expected " << want->mantisse[i];
        }
    }
    return ::testing::AssertionSuccess();
}

void set_lii_words(Lii *li, const std::vector<uint64_t> &words)
{
    li->indiceMax = -1;
    for (size_t i = 0; i < words.size(); ++i) {
        li->mantisse[i] = words[i];
        if (words[i] != 0) {
            li->indiceMax = static_cast<int64_t>(i);
        }
    }
    li->signe = li->indiceMax >= 0 ? 1 : 0;
}

std::vector<uint64_t> value_words(const Lii *li)
{
    if (li->signe == 0) {
        return {};
    }
    return std::vector<uint64_t>(li->mantisse, li->mantisse + li->indiceMax + 1);
}

std::vector<uint64_t> random_words(std::mt19937_64 *rng, size_t n, WordKind kind)
{
    std::vector<uint64_t> w(n);
    for (auto &x : w) {
        switch (kind) {
        case kUniform:
            x = (*rng)();
            break;
        case kAllOnes:
            x = ~0ULL;
            break;
        case kSparse:
            x = ((*rng)() % 8 == 0) ? (*rng)() : 0;
            break;
        case kSmall:
            x = (*rng)() % 4;
            break;
        }
    }
    return w;
}

// Marks aux, which no kernel but the division's copy may touch.
constexpr int64_t kAuxMark = 0x5A5A1234;

void fill_record(Lii *li, int64_t top, const std::vector<uint64_t> &value, std::mt19937_64 *rng)
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

void fill_random_record(Lii *li, int64_t top, WordKind kind, std::mt19937_64 *rng)
{
    fill_record(li, top, random_words(rng, static_cast<size_t>(std::max<int64_t>(top + 1, 0)), kind), rng);
}

Lii record_of(int64_t size, const std::vector<uint64_t> &w, std::mt19937_64 *rng)
{
    Lii li = make_guarded_lii(size);
    fill_record(&li, static_cast<int64_t>(w.size()) - 1, w, rng);
    return li;
}

std::vector<int64_t> kernel_test_sizes()
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
