#include "printed_output.h"

#include <cctype>

namespace {

bool is_digit_char(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0 || (c >= 'A' && c <= 'F');
}

// A line of the form "<digits>." (the digits possibly absent).
bool is_integer_line(const std::string &line)
{
    if (line.empty() || line.back() != '.') {
        return false;
    }
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        if (!is_digit_char(line[i])) {
            return false;
        }
    }
    return true;
}

bool looks_like_seconds(const std::string &field)
{
    // "%7.3f" of a non-negative value: blanks, then digits, '.', 3 digits.
    if (field.size() != 7 || field[3] != '.') {
        return false;
    }
    size_t i = 0;
    while (i < 2 && field[i] == ' ') {
        ++i;
    }
    for (; i < 7; ++i) {
        if (i != 3 && std::isdigit(static_cast<unsigned char>(field[i])) == 0) {
            return false;
        }
    }
    return true;
}

} // namespace

PrintedNumber parse_printed_number(const std::string &text)
{
    PrintedNumber num{false, 0, "", ""};
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find('\n', pos);
        const std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (pos > 0 && text[pos - 1] == '\n' && is_integer_line(line)) {
            num.found = true;
            num.start = pos - 1;
            num.integer = line.substr(0, line.size() - 1);
            pos = end == std::string::npos ? text.size() : end + 1;
            break;
        }
        if (end == std::string::npos) {
            return num;
        }
        pos = end + 1;
    }
    // Digits up to the empty line that closes the value; counts dropped.
    while (pos < text.size()) {
        const size_t end = text.find('\n', pos);
        std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (line.empty()) {
            break;
        }
        const size_t count = line.find("  ::");
        if (count != std::string::npos) {
            line.resize(count);
        }
        for (char c : line) {
            if (c != ' ') {
                num.fraction.push_back(c);
            }
        }
        pos = end == std::string::npos ? text.size() : end + 1;
    }
    return num;
}

std::string printer_layout(const std::string &integer, const std::string &fraction)
{
    std::string out = "\n" + integer + ".\n";
    for (size_t i = 1; i <= fraction.size(); ++i) {
        out.push_back(fraction[i - 1]);
        if (i % 100 == 0) {
            out += "  :: " + std::to_string(i) + " \n";
        } else if (i % 10 == 0) {
            out.push_back(' ');
        }
    }
    return out + "\n\n";
}

std::string mask_durations(const std::string &text)
{
    // Matches " Duration = " and " Total duration = " alike.
    static const std::string key = "uration = ";
    std::string out = text;
    size_t pos = 0;
    while ((pos = out.find(key, pos)) != std::string::npos) {
        pos += key.size();
        if (looks_like_seconds(out.substr(pos, 7))) {
            out.replace(pos, 7, "#######");
        }
    }
    return out;
}
