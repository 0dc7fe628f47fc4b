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
