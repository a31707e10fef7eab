#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// One line of a shown difference: ' ' in both texts, '-' only in the first, '+' only in
// the second, '@' a run of unchanged lines left out (its text says how many).
struct DiffLine {
    char mark = ' ';
    std::string text;

    bool operator==(const DiffLine&) const = default;
};

// The line differences from `before` to `after` (lines split as splitLines does), with
// `context` unchanged lines around each change; empty when the lines are the same. Very
// different texts (more than kMaxDiffEdits changed lines) show as all lines replaced.
inline constexpr int kMaxDiffEdits = 2000;
std::vector<DiffLine> lineDiff(std::string_view before, std::string_view after, int context = 3);

} // namespace skarvel
