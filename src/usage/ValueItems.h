#pragma once

#include "platform/AsciiText.h"

#include <string_view>

namespace skarvel::usage {

// Whether a list item is a number ("0", "-1", "0.25", "1e-05"): numbers name nothing.
constexpr bool isNumber(std::string_view item) {
    std::size_t at = 0;
    if (at < item.size() && (item[at] == '+' || item[at] == '-')) {
        ++at;
    }
    auto digits = [&item, &at] {
        const std::size_t from = at;
        while (at < item.size() && item[at] >= '0' && item[at] <= '9') {
            ++at;
        }
        return at - from;
    };
    std::size_t mantissa = digits();
    if (at < item.size() && item[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return false;
    }
    if (at < item.size() && (item[at] == 'e' || item[at] == 'E')) {
        ++at;
        if (at < item.size() && (item[at] == '+' || item[at] == '-')) {
            ++at;
        }
        if (digits() == 0) {
            return false;
        }
    }
    return at == item.size();
}

// Calls visit(item) for each list item of a value's text that names something, as
// check::listItems splits the value the parser gives (one pair of surrounding quotes off,
// split at commas, trimmed): empty items and numbers left out. Each item is a view into
// value, so that its place in the line is known.
template <typename Visit> void forEachNamedItem(std::string_view value, Visit&& visit) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    while (true) {
        const std::size_t comma = value.find(',');
        const std::string_view item = trimBlanks(value.substr(0, comma));
        if (!item.empty() && !isNumber(item)) {
            visit(item);
        }
        if (comma == std::string_view::npos) {
            return;
        }
        value.remove_prefix(comma + 1);
    }
}

// The value's text of a key line, as the parser finds it: after the first "=", up to the
// first ";", without the blanks around it. Empty when the line has no "=" before a comment.
constexpr std::string_view valueOfLine(std::string_view line) {
    const std::size_t comment = line.find(';');
    const std::size_t equals = line.substr(0, comment).find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    const std::size_t end = comment == std::string_view::npos ? line.size() : comment;
    return trimBlanks(line.substr(equals + 1, end - equals - 1));
}

} // namespace skarvel::usage
