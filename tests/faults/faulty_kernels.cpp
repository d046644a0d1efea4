// The five kernels, each able to go wrong once, for the tests of the
// program's arithmetic check. Linked into a test build of the program with
// -Wl,--wrap=<kernel> for each of them; the shipped program has none of it.
//
// VEXO_FAULT="<kernel> <call> <word> <kind>" picks the call (counted from 1
// among that kernel's calls) and what goes wrong there:
//   result    a bit of word <word> of the record the call wrote is flipped;
//   returned  the word the call returns (remainder, carry, borrow or top
//             word) is off by one bit;
//   operand   a bit of word <word> of the operand it reads is flipped just
//             before the call, as by a fault in memory between two calls;
//   zero      the record the call wrote is left zero (signe 0, indiceMax
//             -1, its words cleared), as if the quotient had vanished.
// The word is taken at most at the record's top non-zero word, so that the
// change always lands in its value.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lfx86_64.h"

extern "C" {
uint64_t __real_add_R_2P_x86_64_bini_spe(Lii *A, const Lii *B);
uint64_t __real_sub_R_2P_x86_64_bini_spe(Lii *A, const Lii *B);
uint64_t __real_mulB_R_x86_64_bini(Lii *A, uint64_t f);
uint64_t __real_divHalfB_R_x86_64_bini(Lii *A, uint64_t d);
uint64_t __real_divHalfB_x86_64_bini(Lii *Q, const Lii *A, uint64_t d);
}

namespace {

enum Kind { kResult, kReturned, kOperand, kZero, kNoFault };

struct Fault {
    char kernel[64];
    long call;
    long word;
    Kind kind;
    long calls_seen;
};

Fault *planned_fault()
{
    static Fault fault{{}, 0, 0, kNoFault, 0};
    static bool read = false;
    if (!read) {
        read = true;
        const char *plan = std::getenv("VEXO_FAULT");
        char kind[16] = {};
        if (plan != nullptr &&
            std::sscanf(plan, "%63s %ld %ld %15s", fault.kernel, &fault.call, &fault.word, kind) == 4) {
            fault.kind = std::strcmp(kind, "result") == 0     ? kResult
                         : std::strcmp(kind, "returned") == 0 ? kReturned
                         : std::strcmp(kind, "operand") == 0  ? kOperand
                         : std::strcmp(kind, "zero") == 0     ? kZero
                                                              : kNoFault;
        }
    }
    return &fault;
}

// The kind of fault due at this call of `kernel`, or kNoFault.
Kind fault_now(const char *kernel)
{
    Fault *f = planned_fault();
    if (f->kind == kNoFault || std::strcmp(f->kernel, kernel) != 0) {
        return kNoFault;
    }
    return ++f->calls_seen == f->call ? f->kind : kNoFault;
}

void flip_bit(const Lii *record)
{
    if (record->signe == 0 || record->indiceMax < 0) {
        return;
    }
    const long word = planned_fault()->word;
    const int64_t at = word < record->indiceMax ? word : record->indiceMax;
    record->mantisse[at] ^= uint64_t{1} << 21;
}

void clear_record(const Lii *record)
{
    Lii *written = const_cast<Lii *>(record);
    for (int64_t i = 0; i <= written->indiceMax; ++i) {
        written->mantisse[i] = 0;
    }
    written->signe = 0;
    written->indiceMax = -1;
}

// One kernel call, going wrong as planned: `written` is the record the call
// writes, `operand` the one it reads.
template <typename Call>
uint64_t call_kernel(const char *kernel, const Lii *written, const Lii *operand, Call call)
{
    const Kind kind = fault_now(kernel);
    if (kind == kOperand) {
        flip_bit(operand);
    }
    const uint64_t returned = call();
    if (kind == kResult) {
        flip_bit(written);
    } else if (kind == kZero) {
        clear_record(written);
    }
    return kind == kReturned ? returned ^ 1 : returned;
}

} // namespace

extern "C" {

uint64_t __wrap_add_R_2P_x86_64_bini_spe(Lii *A, const Lii *B)
{
    return call_kernel("add", A, B, [&] { return __real_add_R_2P_x86_64_bini_spe(A, B); });
}

uint64_t __wrap_sub_R_2P_x86_64_bini_spe(Lii *A, const Lii *B)
{
    return call_kernel("sub", A, B, [&] { return __real_sub_R_2P_x86_64_bini_spe(A, B); });
}

uint64_t __wrap_mulB_R_x86_64_bini(Lii *A, uint64_t f)
{
    return call_kernel("mul", A, A, [&] { return __real_mulB_R_x86_64_bini(A, f); });
}

uint64_t __wrap_divHalfB_R_x86_64_bini(Lii *A, uint64_t d)
{
    return call_kernel("div_R", A, A, [&] { return __real_divHalfB_R_x86_64_bini(A, d); });
}

uint64_t __wrap_divHalfB_x86_64_bini(Lii *Q, const Lii *A, uint64_t d)
{
    return call_kernel("div", Q, A, [&] { return __real_divHalfB_x86_64_bini(Q, A, d); });
}

} // extern "C"
