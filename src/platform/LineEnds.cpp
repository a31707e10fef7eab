#include "platform/LineEnds.h"

#include <cstring>

namespace skarvel {

std::size_t lineBreakFrom(std::string_view text, std::size_t start) {
    // Two vectorised searches, the second only up to the first LF: find_first_of would test
    // every byte against the set, which made splitting a large file many times slower.
    if (start >= text.size()) {
        return std::string_view::npos;
    }
    const char* begin = text.data() + start;
    const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', text.size() - start));
    const std::size_t limit = lf ? static_cast<std::size_t>(lf - begin) : text.size() - start;
    const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', limit));
    if (cr) {
        return start + static_cast<std::size_t>(cr - begin);
    }
    return lf ? start + limit : std::string_view::npos;
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
