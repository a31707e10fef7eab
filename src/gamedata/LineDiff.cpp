#include "gamedata/LineDiff.h"

#include "gamedata/TextLines.h"

#include <algorithm>

namespace skarvel {

namespace {

using Lines = std::vector<std::string>;

// Myers' shortest edit script between a and b, as marks per line in order ('=', '-', '+');
// empty when more than kMaxDiffEdits edits are needed.
std::vector<char> editScript(const Lines& a, const Lines& b) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    const int limit = std::min(n + m, kMaxDiffEdits);
    const int offset = limit + 1;
    std::vector<int> v(static_cast<std::size_t>(2 * limit + 3), 0);
    std::vector<std::vector<int>> trace;
    const auto at = [offset](std::vector<int>& row, int k) -> int& {
        return row[static_cast<std::size_t>(k + offset)];
    };
    for (int d = 0; d <= limit; ++d) {
        trace.push_back(v);
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && at(v, k - 1) < at(v, k + 1))) ? at(v, k + 1)
                                                                         : at(v, k - 1) + 1;
            int y = x - k;
            while (x < n && y < m &&
                   a[static_cast<std::size_t>(x)] == b[static_cast<std::size_t>(y)]) {
                ++x;
                ++y;
            }
            at(v, k) = x;
            if (x < n || y < m) {
                continue;
            }
            std::vector<char> script;
            for (int step = d; step >= 0; --step) {
                std::vector<int>& row = trace[static_cast<std::size_t>(step)];
                const int kk = x - y;
                const int fromK = (kk == -step || (kk != step && at(row, kk - 1) < at(row, kk + 1)))
                                      ? kk + 1
                                      : kk - 1;
                const int fromX = at(row, fromK);
                const int fromY = fromX - fromK;
                while (x > fromX && y > fromY) {
                    script.push_back('=');
                    --x;
                    --y;
                }
                if (step > 0) {
                    script.push_back(x == fromX ? '+' : '-');
                }
                x = fromX;
                y = fromY;
            }
            std::reverse(script.begin(), script.end());
            return script;
        }
    }
    return {};
}

} // namespace

std::vector<DiffLine> lineDiff(std::string_view before, std::string_view after, int context) {
    const Lines a = splitLines(before);
    const Lines b = splitLines(after);
    // The common start and end need no search.
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
        ++tail;
    }
    const Lines middleA(a.begin() + static_cast<std::ptrdiff_t>(head),
                        a.end() - static_cast<std::ptrdiff_t>(tail));
    const Lines middleB(b.begin() + static_cast<std::ptrdiff_t>(head),
                        b.end() - static_cast<std::ptrdiff_t>(tail));
    std::vector<char> middle = editScript(middleA, middleB);
    if (middle.empty()) {
        middle.assign(middleA.size(), '-');
        middle.insert(middle.end(), middleB.size(), '+');
    }
    std::vector<char> script(head, '=');
    script.insert(script.end(), middle.begin(), middle.end());
    script.insert(script.end(), tail, '=');

    // Every line with its mark, then only those near a change.
    std::vector<DiffLine> all;
    std::size_t ia = 0;
    std::size_t ib = 0;
    for (const char mark : script) {
        if (mark == '=') {
            all.push_back({' ', a[ia++]});
            ++ib;
        } else if (mark == '-') {
            all.push_back({'-', a[ia++]});
        } else {
            all.push_back({'+', b[ib++]});
        }
    }
    std::vector<bool> shown(all.size(), false);
    const auto reach = static_cast<std::ptrdiff_t>(std::max(context, 0));
    for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(all.size()); ++i) {
        if (all[static_cast<std::size_t>(i)].mark == ' ') {
            continue;
        }
        const std::ptrdiff_t last =
            std::min<std::ptrdiff_t>(i + reach, static_cast<std::ptrdiff_t>(all.size()) - 1);
        for (std::ptrdiff_t j = std::max<std::ptrdiff_t>(0, i - reach); j <= last; ++j) {
            shown[static_cast<std::size_t>(j)] = true;
        }
    }
    std::vector<DiffLine> result;
    std::size_t skipped = 0;
    for (std::size_t i = 0; i <= all.size(); ++i) {
        if (i < all.size() && !shown[i]) {
            ++skipped;
            continue;
        }
        if (skipped > 0 && (!result.empty() || i < all.size())) {
            result.push_back({'@', std::to_string(skipped) + " unchanged lines"});
        }
        skipped = 0;
        if (i < all.size()) {
            result.push_back(std::move(all[i]));
        }
    }
    return result;
}

} // namespace skarvel
