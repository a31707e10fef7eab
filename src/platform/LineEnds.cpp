#include "platform/LineEnds.h"

#include <algorithm>
#include <cstring>

namespace skarvel {

namespace {
constexpr std::size_t kLongestWindow = 64 * 1024;
} // namespace

std::size_t lineBreakFrom(std::string_view text, std::size_t start) {
    // Both searches are vectorised and bounded by a window that grows from the start, so a
    // line costs about its own length whichever line end the text uses: a search for the next
    // LF through a text of bare CRs ran to its end for every line, which was quadratic.
    std::size_t window = 64;
    while (start < text.size()) {
        const std::size_t length = std::min(window, text.size() - start);
        const char* begin = text.data() + start;
        const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', length));
        const std::size_t limit = lf ? static_cast<std::size_t>(lf - begin) : length;
        if (const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', limit))) {
            return start + static_cast<std::size_t>(cr - begin);
        }
        if (lf) {
            return start + limit;
        }
        start += length;
        window = std::min(window * 2, kLongestWindow);
    }
    return std::string_view::npos;
}

std::vector<std::size_t> lineStartsOf(std::string_view bytes) {
    std::vector<std::size_t> starts{0};
    forEachLine(bytes, [&](LineWithEnd line) {
        if (!line.ending.empty()) {
            starts.push_back(starts.back() + line.size());
        }
    });
    return starts;
}

std::size_t lineNumberAt(std::string_view bytes, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t start = 0; start < bytes.size();) {
        const LineWithEnd each = lineAt(bytes, start);
        start += each.size();
        if (start > offset || each.ending.empty()) {
            break;
        }
        ++line;
    }
    return line;
}

std::string_view commonLineEnd(std::string_view bytes) {
    std::size_t crlf = 0, lf = 0, cr = 0;
    forEachLine(bytes, [&](LineWithEnd line) {
        if (line.ending == "\r\n") {
            ++crlf;
        } else if (line.ending == "\n") {
            ++lf;
        } else if (line.ending == "\r") {
            ++cr;
        }
    });
    if (lf > crlf && lf >= cr) {
        return "\n";
    }
    if (cr > crlf && cr > lf) {
        return "\r";
    }
    return "\r\n";
}

} // namespace skarvel
