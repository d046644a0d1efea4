// Helpers shared by the test suites: records with guard words around their
// arrays, the record rules as a checkable predicate, whole-record copies and
// comparisons, and random words.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "kernel_model.h"
#include "lfx86_64.h"

// Guard words placed below and above every guarded array.
constexpr int64_t kGuardWords = 8;
constexpr uint64_t kGuardPattern = 0xDEADBEEFCAFEF00DULL;

// An Lii of `taille` words whose array sits between two runs of guard words.
// The words are zero, signe 0, indiceMax -1, aux 0.
Lii make_guarded_lii(int64_t taille);
// True when no guard word around the array has changed.
bool guards_intact(const Lii *li);
void free_guarded_lii(Lii *li);

// The record rules of lfx86_64.h: signe 0, or an indiceMax inside the array
// over a non-zero word. Right after an add or a multiply whose result
// reported a lost carry or top word, pass kAfterLostTopWord: the word at
// indiceMax = taille_mantisse-1 may then be zero.
::testing::AssertionResult record_contract_holds(const Lii *li, RecordRules rules = kRecordAtRest);

// A guarded record with the same fields and the same taille_mantisse words
// as li (stale ones included); free it with free_guarded_lii.
Lii copy_guarded_lii(const Lii *li);
// Every field but the array's address, and every word of the array.
::testing::AssertionResult same_record(const Lii *got, const Lii *want);

// Sets the record to the integer whose words are `words` (least significant
// first): words are copied, indiceMax is the top non-zero word, signe 1 or 0.
// Words of the array above words.size() keep what they hold.
void set_lii_words(Lii *li, const std::vector<uint64_t> &words);
// Words 0..indiceMax of a record (empty for signe 0).
std::vector<uint64_t> value_words(const Lii *li);

// Kinds of random words: uniform, all ones, sparse (mostly zero), small.
enum WordKind { kUniform, kAllOnes, kSparse, kSmall };
std::vector<uint64_t> random_words(std::mt19937_64 *rng, size_t n, WordKind kind);
const WordKind kWordKinds[] = {kUniform, kAllOnes, kSparse, kSmall};

// Records for the kernels' differential tests. fill_record fills every word
// with non-zero stale values, then sets words 0..top to `value` (word top
// forced non-zero) with signe 1, and marks aux. top < 0 makes a zero record
// whose indiceMax and words are left stale.
void fill_record(Lii *li, int64_t top, const std::vector<uint64_t> &value, std::mt19937_64 *rng);
void fill_random_record(Lii *li, int64_t top, WordKind kind, std::mt19937_64 *rng);
// A guarded record with exactly these value words (least significant
// first), its other words stale.
Lii record_of(int64_t size, const std::vector<uint64_t> &w, std::mt19937_64 *rng);
// Sizes that cover every remainder of a four- or eight-word unroll, and
// longer arrays around multiples of 32 words: with whole 32-word chunks
// above it, the first segment is entered at each of its four slots
// (33, 34, 35, 127 words) and spans a full chunk (64, 96).
std::vector<int64_t> kernel_test_sizes();
