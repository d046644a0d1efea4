// Shared by the fuzz targets: reading values out of the fuzzer's bytes, the
// failure report, and capture of what a routine writes to standard output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// The fuzzer's input read front to back. Once the bytes run out, further
// bytes come from a small generator seeded by the input, so that an input
// can ask for many words without spelling them all out, and the same input
// always decodes to the same values.
struct Octets {
    const uint8_t *p;
    size_t n;
    uint64_t etat; // generator state for the bytes past the end
};

inline Octets octets_de(const uint8_t *data, size_t size)
{
    uint64_t graine = 0x9E3779B97F4A7C15ULL ^ size;
    for (size_t i = 0; i < size && i < 16; ++i) {
        graine = (graine ^ data[size - 1 - i]) * 0x100000001B3ULL;
    }
    return Octets{data, size, graine | 1};
}

inline uint8_t octet(Octets *o)
{
    if (o->n > 0) {
        --o->n;
        return *o->p++;
    }
    // xorshift64: cheap, and never stuck at zero since the state is odd at first.
    o->etat ^= o->etat << 13;
    o->etat ^= o->etat >> 7;
    o->etat ^= o->etat << 17;
    return static_cast<uint8_t>(o->etat >> 24);
}

inline uint64_t mot_brut(Octets *o)
{
    uint64_t w = 0;
    for (int i = 0; i < 8; ++i) {
        w |= static_cast<uint64_t>(octet(o)) << (8 * i);
    }
    return w;
}

// Reports a broken property and stops the run so that libFuzzer keeps the
// input that showed it.
[[noreturn]] inline void echec(const char *quoi)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", quoi);
    std::fflush(stderr);
    std::abort();
}

inline void exiger(bool condition, const char *quoi)
{
    if (!condition) {
        echec(quoi);
    }
}

// Runs body with stdout pointed at a memory stream and returns every byte
// written. glibc lets stdout be reassigned, and the library writes through
// stdout itself, so nothing touches file descriptor 1 meanwhile.
template <typename Corps>
std::string capturer_stdout(Corps body)
{
    char *texte = nullptr;
    size_t taille = 0;
    FILE *flux = open_memstream(&texte, &taille);
    exiger(flux != nullptr, "open_memstream");
    FILE *ancien = stdout;
    stdout = flux;
    body();
    std::fflush(flux);
    stdout = ancien;
    std::fclose(flux);
    std::string resultat(texte, taille);
    std::free(texte);
    return resultat;
}
