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
