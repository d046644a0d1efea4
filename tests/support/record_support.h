// Helpers shared by the test suites: records with guard words around their
// arrays, the record contract as a checkable predicate, and random words.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

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

// The record contract: signe 0 or a non-zero top word at an indiceMax
// inside the array.
::testing::AssertionResult record_contract_holds(const Lii *li);

// Sets the record to the integer whose words are `words` (least significant
// first): words are copied, indiceMax is the top non-zero word, signe 1 or 0.
// Words of the array above words.size() keep what they hold.
void set_lii_words(Lii *li, const std::vector<uint64_t> &words);
// Words 0..indiceMax of a record (empty for signe 0).
std::vector<uint64_t> value_words(const Lii *li);

// Kinds of random words: uniform, all ones, sparse (mostly zero), small.
enum WordKind { kUniform, kAllOnes, kSparse, kSmall };
std::vector<uint64_t> random_words(std::mt19937_64 *rng, size_t n, WordKind kind);
