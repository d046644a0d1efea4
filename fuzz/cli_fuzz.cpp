// Fuzz target for the command line: vexo_main on argument vectors of up to
// six words of arbitrary bytes. The first input byte gives argc (0 to 6);
// the rest is split at NUL bytes into the words, argv[0] included (missing
// words are empty).
//
// The outcome is predicted independently of the program, from the words
// read with strtol (whose overflow saturates, as the C library defines it):
//   - anything but a complete and valid request: status 1 and exactly the
//     usage text, with argv[0] (or the program's own name when argc is 0)
//     as the name;
//   - a valid request: status 0 with the banner of its constant (and
//     formula) and a printed value, or, for a digit count above every
//     calculator's size limit, status 2 and the one refusal line, naming the
//     constant and radix asked for.
//
// Digit counts are capped so that runs stay short: when word 1 reads as a
// number above 1000 but below 10^12, it is replaced by the decimal text of
// 13 + n mod 988 before the call. Counts of 10^12 and more are left alone:
// every calculator refuses them before it allocates anything.
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "expected_text.h"
#include "fuzz_support.h"
#include "cli.h"

namespace {

constexpr long kLargestComputed = 1000;          // largest digit count computed as asked
constexpr long kAlwaysTooLarge = 1000000000000L; // refused by every calculator

long read_number(const std::string &word)
{
    errno = 0;
    return std::strtol(word.c_str(), nullptr, 10);
}

bool is_constant(const std::string &word)
{
    return word == "pi" || word == "e" || word == "sqrt2" || word == "1/sqrt2";
}

// What the command line asks for: 1 for the usage text, else 0 (computed)
// or 2 (refused as too large).
int expected_status(const std::vector<std::string> &words)
{
    const size_t argc = words.size();
    if (argc != 4 && argc != 5) {
        return 1;
    }
    const long n = read_number(words[1]);
    if (n <= 12 || !is_constant(words[2])) {
        return 1;
    }
    const long base = read_number(words[3]);
    if (base != 2 && base != 10 && base != 16) {
        return 1;
    }
    if (words[2] == "pi") {
        if (argc != 5) {
            return 1;
        }
        const long method = read_number(words[4]);
        if (method < 1 || method > 4) {
            return 1;
        }
    }
    return n >= kAlwaysTooLarge ? 2 : 0;
}

bool starts_with(const std::string &s, const std::string &start)
{
    return s.compare(0, start.size(), start) == 0;
}

bool ends_with(const std::string &s, const char *end)
{
    const size_t n = std::strlen(end);
    return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

// True when some line holds only integer digits (radix 2, 10 or 16) and the
// point: the first line of a printed value.
bool has_integer_line(const std::string &s)
{
    size_t start = 0;
    while (start < s.size()) {
        size_t end = s.find('\n', start);
        if (end == std::string::npos) {
            end = s.size();
        }
        if (end > start && s[end - 1] == '.' && s.find_first_not_of("0123456789ABCDEF", start) == end - 1) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Word 1 above the cap but within reach of the calculators becomes small.
void cap_count(std::vector<std::string> *words)
{
    if (words->size() < 2) {
        return;
    }
    const long n = read_number((*words)[1]);
    if (n > kLargestComputed && n < kAlwaysTooLarge) {
        (*words)[1] = std::to_string(13 + n % 988);
    }
}

std::vector<std::string> split_words(const uint8_t *data, size_t size)
{
    const size_t argc = size > 0 ? data[0] % 7 : 0;
    std::vector<std::string> words(argc);
    size_t word = 0;
    for (size_t i = 1; i < size && word < argc; ++i) {
        if (data[i] == 0) {
            ++word;
        } else {
            words[word].push_back(static_cast<char>(data[i]));
        }
    }
    return words;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> words = split_words(data, size);
    cap_count(&words);

    std::vector<char *> argv;
    for (std::string &w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    int status = -1;
    const std::string out = capture_output([&] { status = vexo_main(argc, argv.data()); });

    require(status == 0 || status == 1 || status == 2, "exit status outside 0, 1, 2");
    require(status == expected_status(words), "exit status differs from the one the words ask for");
    if (status == 1) {
        require(out == usage_text(argc > 0 ? words[0] : "vexo_x86_64"), "usage text differs");
        return 0;
    }
    // A valid request from here on: words 1 to 3 (and 4 for pi) are read.
    const bool pi = words[2] == "pi";
    const int method = pi ? static_cast<int>(read_number(words[4])) : 0;
    if (status == 2) {
        const TooLargeLine line = parse_too_large(out);
        require(line.valid, "a refused request prints other than its one line");
        require(line.constant == (pi ? "pi by formula " + std::to_string(method) : words[2]) &&
                    line.radix == read_number(words[3]),
                "a refusal names another request");
    } else {
        require(starts_with(out, pi ? pi_banner(method) : constant_banner(words[2])),
                "a computed request does not start with its banner");
        require(ends_with(out, "\n\n") && has_integer_line(out),
                "a computed request does not end with its value");
    }
    return 0;
}
