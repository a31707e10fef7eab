#include "platform/Utf8.h"

namespace skarvel {

namespace {

bool isSurrogate(char32_t codePoint) {
    return codePoint >= 0xD800 && codePoint < 0xE000;
}

} // namespace

void appendUtf8(std::string& text, char32_t codePoint) {
    if (isSurrogate(codePoint) || codePoint > 0x10FFFF) {
        codePoint = kReplacementCharacter;
    }
    const auto byte = [&text](char32_t value) { text.push_back(static_cast<char>(value)); };
    if (codePoint < 0x80) {
        byte(codePoint);
    } else if (codePoint < 0x800) {
        byte(0xC0 | codePoint >> 6);
        byte(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        byte(0xE0 | codePoint >> 12);
        byte(0x80 | (codePoint >> 6 & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    } else {
        byte(0xF0 | codePoint >> 18);
        byte(0x80 | (codePoint >> 12 & 0x3F));
        byte(0x80 | (codePoint >> 6 & 0x3F));
        byte(0x80 | (codePoint & 0x3F));
    }
}

std::optional<Utf8Character> firstUtf8Character(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0; // below it the sequence is overlong
    if (lead < 0x80) {
        return Utf8Character{lead, 1};
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1Fu;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0Fu;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07u;
        smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() < length) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        codePoint = codePoint << 6 | (next & 0x3Fu);
    }
    if (codePoint < smallest || isSurrogate(codePoint) || codePoint > 0x10FFFF) {
        return std::nullopt;
    }
    return Utf8Character{codePoint, length};
}

} // namespace skarvel
