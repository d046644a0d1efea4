// Fuzz target for the five arithmetic kernels, with one oracle: the kernel
// model of tests/support/kernel_model.h (whose arithmetic the unit tests
// check with GMP). The first byte picks the kernel, which side of each
// array meets a protected page, and whether both arguments are the same
// record; the rest builds the records (sizes up to kMaxWords, signe,
// indiceMax, stale words above it, aux) and the divisor or factor. Bytes
// past the end of the input come from a generator seeded by it, so a short
// input can ask for a record of thousands of words.
//
// Each call runs on the records and, in the model, on copies of them; then
//   - the results are equal, and so is every record: every field and every
//     word of every array, stale words above indiceMax included;
//   - the records keep the record rules (in their relaxed form right after
//     an add or a multiply that reported a lost top word);
//   - nothing outside the arrays is touched: each array sits against a
//     page that cannot be read or written (on one side or the other, as the
//     input chooses) and has guard words on its other side.
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "../tests/support/kernel_model.h"
#include "fuzz_support.h"
#include "lfx86_64.h"

namespace {

constexpr int64_t kMaxWords = 8192; // largest array of a record
constexpr int64_t kGuardWords = 4;  // on the side away from the protected page
constexpr uint64_t kGuardPattern = 0xA5C3F00DDEADBEEFULL;

// ---- where the arrays live --------------------------------------------------

// One place for an array: data pages between two pages that cannot be touched.
struct Place {
    uint64_t *begin; // first word of the data pages
    uint64_t *end;   // one past their last word
};

struct Arena {
    Place places[2];
};

Place make_place()
{
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t data = ((kMaxWords + kGuardWords) * sizeof(uint64_t) + page - 1) / page * page;
    auto *block =
        static_cast<uint8_t *>(mmap(nullptr, data + 2 * page, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    require(block != MAP_FAILED, "mmap of the arena");
    require(mprotect(block + page, data, PROT_READ | PROT_WRITE) == 0, "mprotect of the arena");
    return Place{reinterpret_cast<uint64_t *>(block + page),
                 reinterpret_cast<uint64_t *>(block + page + data)};
}

// Built once for the whole run: mapping pages on every input would cost more
// than the kernels themselves.
Arena *arena()
{
    static Arena a{{make_place(), make_place()}};
    return &a;
}

// Places an array of t words against the lower protected page (guard words
// after it) or against the upper one (guard words before it).
uint64_t *place_array(const Place *p, int64_t t, bool against_top)
{
    uint64_t *m = against_top ? p->end - t : p->begin;
    uint64_t *guards = against_top ? m - kGuardWords : m + t;
    for (int64_t i = 0; i < kGuardWords; ++i) {
        guards[i] = kGuardPattern ^ static_cast<uint64_t>(i);
    }
    return m;
}

bool guards_intact(const Lii *r, bool against_top)
{
    const uint64_t *guards = against_top ? r->mantisse - kGuardWords : r->mantisse + r->taille_mantisse;
    for (int64_t i = 0; i < kGuardWords; ++i) {
        if (guards[i] != (kGuardPattern ^ static_cast<uint64_t>(i))) {
            return false;
        }
    }
    return true;
}

// ---- building records from the input -----------------------------------------

// Words that the kernels' carries, borrows and reciprocals find hardest come
// up often; the rest are raw.
uint64_t pick_word(FuzzBytes *o)
{
    switch (next_byte(o) % 10) {
    case 0:
        return 0;
    case 1:
        return ~uint64_t{0};
    case 2:
        return 1;
    case 3:
        return uint64_t{1} << 63;
    case 4:
        return 0xFFFFFFFFULL;
    case 5:
        return uint64_t{1} << 32;
    case 6:
        return next_byte(o);
    default:
        return next_word(o);
    }
}

int64_t pick_size(FuzzBytes *o, int64_t minimum)
{
    const uint8_t b = next_byte(o);
    int64_t t = 1 + b % 40;
    if (b >= 240) { // now and then a long array, up to kMaxWords
        const int64_t high = next_byte(o);
        t = 1 + (high << 8 | next_byte(o)) % kMaxWords;
    }
    return t < minimum ? minimum : t;
}

int64_t pick_signe(FuzzBytes *o)
{
    switch (next_byte(o) % 5) {
    case 0:
    case 1:
        return 1;
    case 2:
        return 0;
    case 3:
        return -1;
    default: {
        const int64_t s = static_cast<int64_t>(next_word(o));
        return s == 0 ? 7 : s; // any non-zero signe means "not zero"
    }
    }
}

// A record of t words at the given place. A non-zero record gets a non-zero
// word at its indiceMax; a zero one has indiceMax -1 or, as after a
// multiplication by 0, some index left over. Every word above indiceMax is
// stale: whatever the input gives.
Lii make_record(FuzzBytes *o, const Place *p, int64_t t, bool against_top)
{
    Lii r;
    r.taille_mantisse = t;
    r.mantisse = place_array(p, t, against_top);
    r.aux = static_cast<int64_t>(next_word(o));
    r.signe = pick_signe(o);
    for (int64_t i = 0; i < t; ++i) {
        r.mantisse[i] = pick_word(o);
    }
    const uint8_t b = next_byte(o);
    const int64_t index = (static_cast<int64_t>(next_byte(o)) << 8 | b) % t;
    if (r.signe != 0) {
        r.indiceMax = index;
        if (r.mantisse[r.indiceMax] == 0) {
            r.mantisse[r.indiceMax] = 1 + next_byte(o);
        }
    } else {
        r.indiceMax = (b & 1) != 0 ? index : -1;
    }
    return r;
}

uint64_t pick_divisor(FuzzBytes *o)
{
    const uint8_t b = next_byte(o);
    switch (b % 12) {
    case 0:
        return (b & 0x10) != 0 ? 0 : 1;
    case 1:
        return uint64_t{1} << (next_byte(o) % 64); // powers of two, also 2^32 and above
    case 2:
        return 0xFFFFFFFFULL - (b >> 4); // just below 2^32
    case 3:
        return 0x100000000ULL + (b >> 4); // 2^32 and just above
    case 4:
        return ~uint64_t{0} - (b >> 4); // the largest words
    case 5: {
        // Divisors of the series: x, x^2, odd numbers, the root constants.
        constexpr uint64_t series[] = {2,    3,     4,     5,         23,       25,       57,    239,
                                       3249, 57121, 19601, 384199201, 36869184, 26193924, 33124, 529};
        return series[(b >> 4) % (sizeof series / sizeof series[0])];
    }
    case 6:
    case 7:
        return 2 + next_byte(o) % 254;
    case 8:
    case 9: {
        const uint64_t d = next_word(o) & 0xFFFFFFFFULL; // a half-word divisor
        return d < 2 ? 2 : d;
    }
    default:
        return next_word(o);
    }
}

// ---- the model's copies and the comparison -----------------------------------

// The model's copy of one record: its fields, and its words in an array of
// its own.
struct ModelRecord {
    Lii record;
    uint64_t words[kMaxWords];
};

void copy_for_model(const Lii *r, ModelRecord *m)
{
    m->record = *r;
    m->record.mantisse = m->words;
    std::memcpy(m->words, r->mantisse, static_cast<size_t>(r->taille_mantisse) * sizeof(uint64_t));
}

// Every field but the array's address, and every word.
void require_same(const Lii *kernel, const ModelRecord *model, const char *what)
{
    const Lii *m = &model->record;
    const bool same = kernel->signe == m->signe && kernel->taille_mantisse == m->taille_mantisse &&
                      kernel->aux == m->aux && kernel->indiceMax == m->indiceMax &&
                      std::memcmp(kernel->mantisse, model->words,
                                  static_cast<size_t>(kernel->taille_mantisse) * sizeof(uint64_t)) == 0;
    require(same, what);
}

void require_rules(const Lii *r, RecordRules rules)
{
    const std::string broken = record_rule_broken(r, rules);
    require(broken.empty(), broken.c_str());
}

// The model's copies of up to two records, kept off the stack (128 KB).
struct Scratch {
    ModelRecord a;
    ModelRecord b;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    FuzzBytes o = fuzz_bytes_of(data, size);
    const uint8_t choice = next_byte(&o);
    const bool a_against_top = (choice & 0x10) != 0; // which side of each array meets the protected page
    const bool b_against_top = (choice & 0x20) != 0;
    const bool same_record = (choice & 0xC0) == 0xC0; // add/sub with A == B, division into Q == A
    Arena *ar = arena();
    static Scratch scratch;
    ModelRecord *ma = &scratch.a;
    ModelRecord *mb = &scratch.b;

    Lii A = make_record(&o, &ar->places[0], pick_size(&o, 1), a_against_top);
    copy_for_model(&A, ma);
    const uint64_t *const a_words = A.mantisse;
    switch (choice % 5) {
    case 0:
    case 1: {
        Lii B = make_record(&o, &ar->places[1], pick_size(&o, 1), b_against_top);
        copy_for_model(&B, mb);
        const bool adding = choice % 5 == 0;
        Lii *b = same_record ? &A : &B;
        Lii *model_b = same_record ? &ma->record : &mb->record;
        const uint64_t want = adding ? model_add(&ma->record, model_b) : model_sub(&ma->record, model_b);
        const uint64_t got = adding ? add_R_2P_x86_64_bini_spe(&A, b) : sub_R_2P_x86_64_bini_spe(&A, b);
        require(got == want,
                adding ? "add result differs from the model" : "sub result differs from the model");
        require_same(&A, ma, "A differs from the model");
        require_same(&B, mb, "B differs from the model");
        require_rules(&A, adding && got != 0 ? kAfterLostTopWord : kRecordAtRest);
        require(guards_intact(&B, b_against_top), "guard words of B changed");
        break;
    }
    case 2: {
        const uint64_t f = (next_byte(&o) & 1) != 0 ? pick_word(&o) : pick_divisor(&o);
        const uint64_t want = model_mul(&ma->record, f);
        const uint64_t got = mulB_R_x86_64_bini(&A, f);
        require(got == want, "mul result differs from the model");
        require_same(&A, ma, "A differs from the model");
        require_rules(&A, got != 0 ? kAfterLostTopWord : kRecordAtRest);
        break;
    }
    case 3: {
        const uint64_t d = pick_divisor(&o);
        const uint64_t want = model_div_in_place(&ma->record, d);
        const uint64_t got = divHalfB_R_x86_64_bini(&A, d);
        require(got == want, "divide in place: remainder differs from the model");
        require_same(&A, ma, "divide in place: A differs from the model");
        require_rules(&A, kRecordAtRest);
        break;
    }
    default: {
        // Q needs room for A's words in use; often exactly that, so that a
        // write past them meets the protected page.
        const int64_t needed = A.signe != 0 ? A.indiceMax + 1 : 1;
        int64_t tq = (next_byte(&o) & 1) != 0 ? needed : pick_size(&o, needed);
        tq = tq > kMaxWords ? kMaxWords : tq;
        Lii Q = make_record(&o, &ar->places[1], tq, b_against_top);
        copy_for_model(&Q, mb);
        const uint64_t d = pick_divisor(&o);
        Lii *q = same_record ? &A : &Q;
        Lii *model_q = same_record ? &ma->record : &mb->record;
        const uint64_t want = model_div_into(model_q, &ma->record, d);
        const uint64_t got = divHalfB_x86_64_bini(q, &A, d);
        require(got == want, "divide into Q: remainder differs from the model");
        require_same(&A, ma, "divide into Q: A differs from the model");
        require_same(&Q, mb, "divide into Q: Q differs from the model");
        require_rules(q, kRecordAtRest);
        require(guards_intact(&Q, b_against_top), "guard words of Q changed");
        break;
    }
    }
    require(A.mantisse == a_words, "A's array moved");
    require(guards_intact(&A, a_against_top), "guard words of A changed");
    return 0;
}
