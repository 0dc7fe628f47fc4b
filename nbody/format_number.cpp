#include "nbody/format_number.h"

#include <charconv>

namespace {

std::string format(double value, std::chars_format how, int precision) {
    // The longest text: "-" and the 309 digits of the largest double before
    // the point, the point and the decimals asked for.
    std::string text(320 + static_cast<std::size_t>(precision < 0 ? 0 : precision), '\0');
    const std::to_chars_result written =
        std::to_chars(text.data(), text.data() + text.size(), value, how, precision);
    text.resize(written.ec == std::errc() ? static_cast<std::size_t>(written.ptr - text.data())
                                          : 0);
    return text;
}

} // namespace

std::string format_fixed(double value, int decimals) {
    return format(value, std::chars_format::fixed, decimals);
}

std::string format_general(double value, int digits) {
    return format(value, std::chars_format::general, digits);
}

std::string format_exponent(double value, int decimals) {
    return format(value, std::chars_format::scientific, decimals);
}
