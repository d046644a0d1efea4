// The program's fixed texts as a user expects to read them, written out here
// once for every test and fuzz target: the usage text, the banners of the
// calculators, the out-of-memory lines, and a reader of the one line that
// refuses a request beyond the size limit. They are deliberately not taken
// from the program's own strings, so that a change there shows as a failure.
//
// Header-only, so that a fuzz target can use it with just an include path.
#pragma once

#include <cstdint>
#include <string>

// The usage text for a program name.
inline std::string usage_text(const std::string &prog)
{
    return "\n\n UTILISATION :  " + prog +
           " n cst radix [method]\n"
           "    n      = number of digits\n"
           "    cst    = pi, e, sqrt2, 1/sqrt2\n"
           "    radix  = 2, 10 or 16\n"
           "    method = 1, or 2, or 3, or 4 and only for pi with :\n"
           "      * 1  : pi/4 = arctan(1/2) + arctan(1/3)\t(Newton)\n"
           "      * 2  : pi/4 = 4 arctan(1/5) - arctan(1/239)\t(Machin)\n"
           "      * 3  : pi/4 = 12 arctan(1/18) + 8 arctan(1/57) - 5 arctan(1/239)\t(Gauss)\n"
           "      * 4  : pi/4 = 17 arctan(1/23) + 8 arctan( 1/182 ) + 10 arctan( 1/5118 ) + 5 "
           "arctan( 1/6072 )\n\n";
}

// The two lines (and the empty one after them) that open a pi run by formula
// 1 to 4; empty for any other number.
inline std::string pi_banner(int formula)
{
    switch (formula) {
    case 1:
        return "\n Formula used (de Newton) :\n pi/4 = arctan( 1/2 ) + arctan( 1/3 )\n\n";
    case 2:
        return "\n Formula used (de Machin) :\n pi/4 = 4 arctan( 1/5 ) - arctan( 1/239 )\n\n";
    case 3:
        return "\n Formula used :\n pi/4 = 12 arctan( 1/18 ) + 8 arctan( 1/57 ) - 5 arctan( 1/239 )\n\n";
    case 4:
        return " Formula used :\n pi/4 = 17 arctan(1/23) + 8 arctan( 1/182 ) + 10 arctan( 1/5118 ) + 5 "
               "arctan( 1/6072 )\n\n";
    default:
        return "";
    }
}

// The same for "e", "sqrt2" and "1/sqrt2"; empty for any other name.
inline std::string constant_banner(const std::string &constant)
{
    const std::string head = "\n Formula used :\n";
    if (constant == "e") {
        return head + " e = 1/0! + 1/1! + 1/2! + ... \n\n";
    }
    if (constant == "sqrt2") {
        return head + " sqrt(2) = 27720/19601/sqrt(1-1/384199201) \n\n";
    }
    if (constant == "1/sqrt2") {
        return head + " 1/sqrt(2) = 13860/19601/sqrt(1-1/384199201) \n\n";
    }
    return "";
}

// What pi prints when a record of a series cannot be created, and what e and
// the roots print when one of their records cannot.
inline const std::string kPiOutOfMemory = "not enough memeory !!!\nNot enough memory !\n\n";
inline const std::string kRecordOutOfMemory = " not enough memeory !!!\n";

// The refusal of a request beyond the size limit, read back.
struct TooLargeLine {
    bool valid; // the text was exactly one such line, and nothing else
    std::string constant;
    int64_t max_digits;
    int64_t radix;
};

// Reads a decimal count as printf's %ld writes a non-negative one: digits
// only, no sign, no leading zero, within int64_t. Advances *at past it.
inline bool read_count(const std::string &text, size_t *at, int64_t *value)
{
    const size_t start = *at;
    int64_t v = 0;
    while (*at < text.size() && text[*at] >= '0' && text[*at] <= '9') {
        if (__builtin_mul_overflow(v, 10, &v) || __builtin_add_overflow(v, text[*at] - '0', &v)) {
            return false;
        }
        ++*at;
    }
    *value = v;
    const size_t length = *at - start;
    return length > 0 && (length == 1 || text[start] != '0');
}

// " Request too large for <constant>: at most <digits> digits in radix
// <radix>.\n", the whole text; valid is false for anything else.
inline TooLargeLine parse_too_large(const std::string &text)
{
    TooLargeLine line{false, "", -1, -1};
    const std::string head = " Request too large for ";
    const std::string middle = ": at most ";
    const std::string radix_words = " digits in radix ";
    const std::string tail = ".\n";
    if (text.compare(0, head.size(), head) != 0) {
        return line;
    }
    const size_t middle_at = text.find(middle, head.size());
    if (middle_at == std::string::npos || middle_at == head.size()) {
        return line;
    }
    line.constant = text.substr(head.size(), middle_at - head.size());
    size_t at = middle_at + middle.size();
    if (line.constant.find('\n') != std::string::npos || !read_count(text, &at, &line.max_digits) ||
        text.compare(at, radix_words.size(), radix_words) != 0) {
        return line;
    }
    at += radix_words.size();
    if (!read_count(text, &at, &line.radix) || text.compare(at, std::string::npos, tail) != 0) {
        return line;
    }
    line.valid = true;
    return line;
}
