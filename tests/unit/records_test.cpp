// Lifecycle of the number records: creation, destruction, copies, initial
// values, the top-word search of an Li, and allocation failure.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "lfx86_64.h"
#include "record_support.h"

namespace {

// A size no calloc can satisfy: its byte count overflows size_t.
constexpr int64_t kHugeWords = INT64_C(1) << 62;

void expect_all_zero(const uint64_t *words, int64_t n)
{
    for (int64_t i = 0; i < n; ++i) {
        EXPECT_EQ(words[i], 0U) << "word " << i;
    }
}

TEST(Records, CreatedRecordsAreZeroAndDestroyedOnesCarryTheirMarkers)
{
    for (int64_t nb : {1, 3, 66, 1000}) {
        Li li{};
        li.aux = 77;
        EXPECT_EQ(createLi(&li, nb), static_cast<uint64_t>(nb) * 8U);
        ASSERT_NE(li.mantisse, nullptr);
        EXPECT_EQ(li.signe, 0);
        EXPECT_EQ(li.taille_mantisse, nb);
        EXPECT_EQ(li.aux, 77) << "create leaves aux alone";
        expect_all_zero(li.mantisse, nb);
        destroyLi(&li);
        EXPECT_EQ(li.signe, -2);
        EXPECT_EQ(li.taille_mantisse, -10);
        EXPECT_EQ(li.aux, 77);

        Lii lii{};
        lii.aux = -5;
        lii.signe = 1;
        lii.indiceMax = 9;
        createLii(&lii, nb);
        ASSERT_NE(lii.mantisse, nullptr);
        EXPECT_EQ(lii.signe, 0);
        EXPECT_EQ(lii.indiceMax, -1);
        EXPECT_EQ(lii.taille_mantisse, nb);
        EXPECT_EQ(lii.aux, -5);
        expect_all_zero(lii.mantisse, nb);
        destroyLii(&lii);
        EXPECT_EQ(lii.signe, -1);
        EXPECT_EQ(lii.taille_mantisse, -10);
        EXPECT_EQ(lii.indiceMax, -1);
    }
}

TEST(Records, ACreateRoutineSizesTheArrayInWords)
{
    Li li{};
    EXPECT_EQ(createLi(&li, 66), 528U);
    destroyLi(&li);
    // A record without words: nothing to allocate, and a zero result.
    Li empty{};
    EXPECT_EQ(createLi(&empty, 0), 0U);
    EXPECT_EQ(empty.taille_mantisse, 0);
    destroyLi(&empty);
}

TEST(Records, FailedAllocationLeavesANullArray)
{
    Li li{};
    li.mantisse = reinterpret_cast<uint64_t *>(&li); // must be overwritten
    EXPECT_EQ(createLi(&li, kHugeWords), 0U);
    EXPECT_EQ(li.mantisse, nullptr);
    EXPECT_EQ(li.signe, 0);

    Lii lii{};
    createLii(&lii, kHugeWords);
    EXPECT_EQ(lii.mantisse, nullptr);
    EXPECT_EQ(lii.signe, 0);
    EXPECT_EQ(lii.indiceMax, -1);

    // A negative count allocates nothing rather than a wrapped size.
    createLii(&lii, -3);
    EXPECT_EQ(lii.mantisse, nullptr);

    Li source{};
    source.taille_mantisse = kHugeWords;
    source.signe = 1;
    source.mantisse = nullptr; // never read: the allocation fails first
    Li dest{};
    copyAndCreate(&dest, &source);
    EXPECT_EQ(dest.mantisse, nullptr);
    EXPECT_EQ(dest.taille_mantisse, kHugeWords);
}

TEST(Records, InitialiseFixedPointSetsTheIntegerWord)
{
    Lii a{};
    createLii(&a, 66);
    a.mantisse[3] = 12345; // a value that must be cleared
    EXPECT_EQ(initialise_fixedPoint_bini(&a, 1), 0U);
    EXPECT_EQ(a.signe, 1);
    EXPECT_EQ(a.indiceMax, 65);
    EXPECT_EQ(a.mantisse[65], 1U);
    expect_all_zero(a.mantisse, 65);

    EXPECT_EQ(initialise_fixedPoint_bini(&a, 0), 0U);
    EXPECT_EQ(a.signe, 0);
    EXPECT_EQ(a.indiceMax, -1);
    expect_all_zero(a.mantisse, 66);

    EXPECT_EQ(initialise_fixedPoint_bini(&a, UINT64_MAX), 0U);
    EXPECT_EQ(a.mantisse[65], UINT64_MAX);
    EXPECT_TRUE(record_contract_holds(&a));
    destroyLii(&a);

    Lii empty{};
    createLii(&empty, 0);
    empty.signe = 7;
    empty.indiceMax = 4;
    EXPECT_EQ(initialise_fixedPoint_bini(&empty, 1), 1U);
    EXPECT_EQ(empty.signe, 7) << "a refused record keeps its fields";
    EXPECT_EQ(empty.indiceMax, 4);
    destroyLii(&empty);
}

TEST(Records, InitialiseIntegerSetsWordZero)
{
    Lii a = make_guarded_lii(4);
    a.mantisse[2] = 9;
    initialise_bini(&a, 7);
    EXPECT_EQ(a.signe, 1);
    EXPECT_EQ(a.indiceMax, 0);
    EXPECT_EQ(value_words(&a), (std::vector<uint64_t>{7}));
    expect_all_zero(a.mantisse + 1, 3);

    initialise_bini(&a, 0);
    EXPECT_EQ(a.signe, 0);
    EXPECT_EQ(a.indiceMax, -1);
    expect_all_zero(a.mantisse, 4);
    EXPECT_TRUE(guards_intact(&a));
    free_guarded_lii(&a);

    // No words: nothing is written, not even outside the empty array.
    Lii empty = make_guarded_lii(0);
    initialise_bini(&empty, 5);
    EXPECT_EQ(empty.signe, 0);
    EXPECT_TRUE(guards_intact(&empty));
    free_guarded_lii(&empty);
}

// A record whose creation failed keeps its size and a null array: the
// initialisers and indiceMax treat it as a record without words.
TEST(Records, AFailedCreationIsLeftUntouched)
{
    Lii a{};
    createLii(&a, INT64_C(1) << 60);
    ASSERT_EQ(a.mantisse, nullptr);
    a.signe = 7;
    a.indiceMax = 4;
    EXPECT_EQ(initialise_fixedPoint_bini(&a, 1), 1U);
    initialise_bini(&a, 1);
    EXPECT_EQ(a.signe, 7);
    EXPECT_EQ(a.indiceMax, 4);
    EXPECT_EQ(a.taille_mantisse, INT64_C(1) << 60);

    Li li{};
    EXPECT_EQ(createLi(&li, INT64_C(1) << 60), 0U);
    li.signe = 1;
    int64_t chiffre = 3;
    EXPECT_EQ(indiceMax(&chiffre, &li), 0);
    EXPECT_EQ(chiffre, 0);
}

TEST(Records, TopWordOfAnLi)
{
    struct Case {
        int64_t signe;
        std::vector<uint64_t> words;
        int64_t index;
        int64_t word;
    };
    const Case cases[] = {
        {1, {5, 0, 9, 0}, 2, 9},
        {1, {5, 0, 0, 0}, 0, 5},
        {1, {0, 0, 0, 0}, 0, 0},
        {0, {5, 0, 9, 0}, 0, 0},
        {-1, {0, 0, 0, UINT64_MAX}, 3, -1},
    };
    for (const Case &c : cases) {
        Li li{};
        li.signe = c.signe;
        li.taille_mantisse = static_cast<int64_t>(c.words.size());
        std::vector<uint64_t> words = c.words;
        li.mantisse = words.data();
        int64_t chiffre = 12345;
        EXPECT_EQ(indiceMax(&chiffre, &li), c.index);
        EXPECT_EQ(chiffre, c.word);
    }
    // A non-zero sign on a record without words reads as zero.
    Li none{};
    none.signe = 1;
    int64_t chiffre = 3;
    EXPECT_EQ(indiceMax(&chiffre, &none), 0);
    EXPECT_EQ(chiffre, 0);
}

TEST(Records, CopiesCarryExactlyTheirFields)
{
    Li src{};
    createLi(&src, 3);
    src.signe = -1;
    src.aux = 42;
    src.mantisse[0] = 1;
    src.mantisse[1] = 2;
    src.mantisse[2] = 3;

    // copy: signe, aux and the source's words; the larger destination keeps
    // its own size, array and upper words.
    Li dst{};
    createLi(&dst, 5);
    dst.mantisse[3] = 33;
    dst.mantisse[4] = 44;
    uint64_t *array = dst.mantisse;
    copy(&dst, &src);
    EXPECT_EQ(dst.signe, -1);
    EXPECT_EQ(dst.aux, 42);
    EXPECT_EQ(dst.taille_mantisse, 5);
    EXPECT_EQ(dst.mantisse, array);
    EXPECT_EQ(std::vector<uint64_t>(dst.mantisse, dst.mantisse + 5),
              (std::vector<uint64_t>{1, 2, 3, 33, 44}));
    destroyLi(&dst);

    // copyAndCreate: a new array of the source's size, no aux.
    Li fresh{};
    fresh.aux = 7;
    copyAndCreate(&fresh, &src);
    ASSERT_NE(fresh.mantisse, nullptr);
    EXPECT_NE(fresh.mantisse, src.mantisse);
    EXPECT_EQ(fresh.taille_mantisse, 3);
    EXPECT_EQ(fresh.signe, -1);
    EXPECT_EQ(fresh.aux, 7);
    EXPECT_EQ(std::vector<uint64_t>(fresh.mantisse, fresh.mantisse + 3), (std::vector<uint64_t>{1, 2, 3}));
    destroyLi(&fresh);
    destroyLi(&src);

    // copyLii: signe, indiceMax and every source word (stale ones too), not aux.
    Lii a = make_guarded_lii(3);
    set_lii_words(&a, {8, 9, 0});
    a.mantisse[2] = 555; // stale word above indiceMax: still copied
    a.aux = 99;
    Lii b = make_guarded_lii(5);
    b.mantisse[3] = 3;
    b.mantisse[4] = 4;
    b.aux = -4;
    copyLii(&b, &a);
    EXPECT_EQ(b.signe, 1);
    EXPECT_EQ(b.indiceMax, 1);
    EXPECT_EQ(b.aux, -4);
    EXPECT_EQ(b.taille_mantisse, 5);
    EXPECT_EQ(std::vector<uint64_t>(b.mantisse, b.mantisse + 5), (std::vector<uint64_t>{8, 9, 555, 3, 4}));
    EXPECT_TRUE(guards_intact(&b));
    free_guarded_lii(&a);
    free_guarded_lii(&b);
}

} // namespace
