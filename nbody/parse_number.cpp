#include "nbody/parse_number.h"

#include <charconv>
#include <cmath>

namespace {
std::string_view without_plus(std::string_view text) {
    // from_chars accepts '-' but not '+'; "+-1" must still fail.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        text.remove_prefix(1);
    return text;
}

template <class T> bool parse_integer(std::string_view text, T& value) {
    text = without_plus(text);
    if (text.empty())
        return false;
    T v{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    value = v;
    return true;
}

bool is_hex_digit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
} // namespace

bool parse_double(std::string_view text, double& value) {
    text = without_plus(text);
    if (text.empty())
        return false;
    double v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

double leading_number(std::string_view text) {
    std::size_t k = 0;
    while (k < text.size() && is_blank(text[k]))
        ++k;
    bool negative = false;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) {
        negative = text[k] == '-';
        ++k;
    }
    std::string_view rest = text.substr(k);
    auto format = std::chars_format::general;
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        // "0x" without a hexadecimal digit after it is the number 0 and a
        // letter, as for strtod.
        if (is_hex_digit(rest[2]) || (rest[2] == '.' && rest.size() > 3 && is_hex_digit(rest[3]))) {
            rest.remove_prefix(2);
            format = std::chars_format::hex;
        }
    }
    // The sign was taken above: a second one ("--1") makes no number.
    if (rest.empty() || rest[0] == '-')
        return 0;
    double v = 0;
    const std::from_chars_result read =
        std::from_chars(rest.data(), rest.data() + rest.size(), v, format);
    if (read.ec != std::errc() || !std::isfinite(v))
        return 0;
    return negative ? -v : v;
}

bool parse_int(std::string_view text, int& value) {
    return parse_integer(text, value);
}
bool parse_long(std::string_view text, long& value) {
    return parse_integer(text, value);
}

std::vector<std::string_view> split_words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t k = 0;
    while (k < text.size()) {
        while (k < text.size() && is_blank(text[k]))
            ++k;
        const std::size_t start = k;
        while (k < text.size() && !is_blank(text[k]))
            ++k;
        if (k > start)
            words.push_back(text.substr(start, k - start));
    }
    return words;
}
