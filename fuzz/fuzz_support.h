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
struct FuzzBytes {
    const uint8_t *p;
    size_t n;
    uint64_t state; // generator state for the bytes past the end
};

inline FuzzBytes fuzz_bytes_of(const uint8_t *data, size_t size)
{
    uint64_t seed = 0x9E3779B97F4A7C15ULL ^ size;
    for (size_t i = 0; i < size && i < 16; ++i) {
        seed = (seed ^ data[size - 1 - i]) * 0x100000001B3ULL;
    }
    return FuzzBytes{data, size, seed | 1};
}

inline uint8_t next_byte(FuzzBytes *o)
{
    if (o->n > 0) {
        --o->n;
        return *o->p++;
    }
    // xorshift64: cheap, and never stuck at zero since the state is odd at first.
    o->state ^= o->state << 13;
    o->state ^= o->state >> 7;
    o->state ^= o->state << 17;
    return static_cast<uint8_t>(o->state >> 24);
}

inline uint64_t next_word(FuzzBytes *o)
{
    uint64_t w = 0;
    for (int i = 0; i < 8; ++i) {
        w |= static_cast<uint64_t>(next_byte(o)) << (8 * i);
    }
    return w;
}

// Reports a broken property and stops the run so that libFuzzer keeps the
// input that showed it.
[[noreturn]] inline void fail_check(const char *what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

inline void require(bool condition, const char *what)
{
    if (!condition) {
        fail_check(what);
    }
}

// Runs body with stdout pointed at a memory stream and returns every byte
// written. glibc lets stdout be reassigned, and the library writes through
// stdout itself, so nothing touches file descriptor 1 meanwhile.
template <typename Body>
std::string capture_output(Body body)
{
    char *text = nullptr;
    size_t size_bytes = 0;
    FILE *stream = open_memstream(&text, &size_bytes);
    require(stream != nullptr, "open_memstream");
    FILE *previous = stdout;
    stdout = stream;
    body();
    std::fflush(stream);
    stdout = previous;
    std::fclose(stream);
    std::string result(text, size_bytes);
    std::free(text);
    return result;
}
