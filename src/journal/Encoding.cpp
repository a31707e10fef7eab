#include "journal/Encoding.h"

#include "platform/Utf8.h"

#include <array>
#include <optional>

namespace skarvel {

namespace {

// The characters of the bytes 0x80..0x9F, where Windows-1252 departs from Latin-1.
constexpr std::array<char16_t, 32> kHighCharacters = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> cp1252Byte(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (std::size_t i = 0; i < kHighCharacters.size(); ++i) {
        if (kHighCharacters[i] == codePoint) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

} // namespace

std::string toCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto character = firstUtf8Character(utf8);
        if (!character) {
            out.push_back(utf8.front());
            utf8.remove_prefix(1);
            continue;
        }
        out.push_back(cp1252Byte(character->codePoint).value_or('?'));
        utf8.remove_prefix(character->length);
    }
    return out;
}

std::string fromCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? char32_t{kHighCharacters[byte - 0x80u]}
                                                    : char32_t{byte});
    }
    return out;
}

} // namespace skarvel
