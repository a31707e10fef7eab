#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace skarvel {

// What stands for a character that could not be read.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 bytes of a code point; a surrogate or a value past U+10FFFF, which UTF-8
// cannot carry, becomes U+FFFD.
void appendUtf8(std::string& text, char32_t codePoint);

struct Utf8Character {
    char32_t codePoint;
    std::size_t length; // in bytes
};

// The character a UTF-8 text starts with; nothing when it does not start with a well-formed
// sequence (cut short, overlong, a surrogate, past U+10FFFF), so that callers can tell bytes
// of another encoding apart.
std::optional<Utf8Character> firstUtf8Character(std::string_view text);

} // namespace skarvel
