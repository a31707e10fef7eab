#include "gamedata/SectionHeader.h"

#include <string>

namespace skarvel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the digits at the start of text.
std::size_t digitCount(std::string_view text) {
    std::size_t count = 0;
    while (count < text.size() && isDigit(text[count])) {
        ++count;
    }
    return count;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Where a header's "[" would stand: after an optional byte order mark and blanks.
std::size_t bracketPosition(std::string_view line) {
    std::size_t pos = line.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < line.size() && isBlank(line[pos])) {
        ++pos;
    }
    return pos;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::optional<KindHeader> matchKindHeader(std::string_view line, std::string_view kind) {
    const std::size_t pos = bracketPosition(line);
    const std::string_view rest = line.substr(pos);
    if (!rest.starts_with('[') || rest.substr(1, kind.size()) != kind) {
        return std::nullopt;
    }
    const std::size_t digitsBegin = 1 + kind.size();
    const std::size_t digits = digitCount(rest.substr(digitsBegin));
    const std::size_t close = digitsBegin + digits;
    if (close >= rest.size() || rest[close] != ']') {
        return std::nullopt;
    }
    return KindHeader{pos, pos + close + 1, rest.substr(digitsBegin, digits)};
}

bool looksLikeBrokenHeader(std::string_view line, std::string_view kind) {
    const std::size_t pos = bracketPosition(line);
    if (pos >= line.size() || line[pos] != '[' || matchKindHeader(line, kind)) {
        return false;
    }
    std::string_view name = line.substr(pos + 1);
    name = name.substr(0, name.find(']'));
    while (!name.empty() && isBlank(name.front())) {
        name.remove_prefix(1);
    }
    while (!name.empty() && isBlank(name.back())) {
        name.remove_suffix(1);
    }
    if (name.size() < kind.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kind.size(); ++i) {
        if (lowerAscii(name[i]) != lowerAscii(kind[i])) {
            return false;
        }
    }
    return digitCount(name.substr(kind.size())) == name.size() - kind.size();
}

bool isNumberedHeader(std::string_view line, std::string_view kind, int number) {
    const auto header = matchKindHeader(line, kind);
    return header && !header->digits.empty() && header->digits == std::to_string(number);
}

} // namespace skarvel
