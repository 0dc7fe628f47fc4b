// Walking text as UTF-8, for the writers that must tell well-formed
// characters from stray bytes (names come from files and command lines).
#pragma once

#include <cstddef>
#include <string>

// Walks text as UTF-8: each well-formed character goes to `character` with
// its code point and bytes, each byte that starts no well-formed character
// (a stray continuation, a truncated, overlong or surrogate sequence, a
// code point past U+10FFFF) to `stray`.
template <class Character, class Stray>
void each_character(const std::string& text, Character character, Stray stray) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t k = 0;
    while (k < size) {
        const unsigned char lead = bytes[k];
        std::size_t length = 0;
        char32_t code = 0, least = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
            least = 0x10000;
        }
        bool good = length > 0 && k + length <= size;
        for (std::size_t j = 1; good && j < length; ++j) {
            good = (bytes[k + j] & 0xC0) == 0x80;
            code = (code << 6) | (bytes[k + j] & 0x3F);
        }
        good = good && code >= least && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (good) {
            character(code, text.substr(k, length));
            k += length;
        } else {
            stray();
            ++k;
        }
    }
}
