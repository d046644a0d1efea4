// Reading the calculators' output: the printed value (integer digits and
// fraction digits, with the layout the constant printers give them) and the
// duration lines, whose seconds change from run to run.
#pragma once

#include <string>

struct PrintedNumber {
    bool found;           // an integer line ("<digits>.") was seen
    size_t start;         // offset of the newline that opens the value
    std::string integer;  // integer digits, empty for a zero integer part
    std::string fraction; // every fraction digit, separators removed
};

// The value printed at the end of a calculator's output.
PrintedNumber parse_printed_number(const std::string &text);

// The exact text that the constant printers write for these digits: a
// newline, the integer line, lines of 100 digits grouped by ten with the
// running count, and the two closing newlines.
std::string printer_layout(const std::string &integer, const std::string &fraction);

// Each "%7.3f" field of a " Duration = " or " Total duration = " line
// replaced by "#######". A field
// that is not seven characters of a number with three decimals is left
// alone, so that the comparison with the expected text fails.
std::string mask_durations(const std::string &text);
