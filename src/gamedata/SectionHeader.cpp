#include "gamedata/SectionHeader.h"

#include "platform/AsciiText.h"

#include <string>

namespace skarvel {

namespace {

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

// Where a header's "[" would stand: after blanks, and on the file's first line after an
// optional byte order mark.
std::size_t bracketPosition(std::string_view line, bool atFileStart) {
    std::size_t pos = line.size() - withoutFileStartMark(line, atFileStart).size();
    while (pos < line.size() && isBlank(line[pos])) {
        ++pos;
    }
    return pos;
}

} // namespace

std::optional<KindHeader> matchKindHeader(std::string_view line, std::string_view kind,
                                          bool atFileStart) {
    const std::size_t pos = bracketPosition(line, atFileStart);
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

bool looksLikeBrokenHeader(std::string_view line, std::string_view kind, bool atFileStart) {
    const std::size_t pos = bracketPosition(line, atFileStart);
    if (pos >= line.size() || line[pos] != '[' || matchKindHeader(line, kind, atFileStart)) {
        return false;
    }
    std::string_view name = line.substr(pos + 1);
    name = trimBlanks(name.substr(0, name.find(']')));
    if (!startsWithIgnoringCase(name, kind)) {
        return false;
    }
    return digitCount(name.substr(kind.size())) == name.size() - kind.size();
}

bool isNumberedHeader(std::string_view line, std::string_view kind, int number, bool atFileStart) {
    const auto header = matchKindHeader(line, kind, atFileStart);
    return header && !header->digits.empty() && header->digits == std::to_string(number);
}

} // namespace skarvel
