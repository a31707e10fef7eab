#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace skarvel {

// Line ends as the game's files have them: CR LF, a lone LF or a lone CR, mixed in one file.
// Every splitter of text into lines goes through lineAt, so that all of them agree on where
// a line ends and put the bytes back exactly.

// Position of the next CR or LF at or after start, or npos; costs about the distance to it.
std::size_t lineBreakFrom(std::string_view text, std::size_t start);

// One line and the line end that follows it, as they stand in the bytes. The last line of
// a text without a final line end has an empty ending.
struct LineWithEnd {
    std::string_view text;
    std::string_view ending;

    std::size_t size() const { return text.size() + ending.size(); }
};

// The line that starts at start; the next one starts at start + size(). Past the end of the
// bytes, an empty line with an empty ending.
inline LineWithEnd lineAt(std::string_view bytes, std::size_t start) {
    if (start >= bytes.size()) {
        return {};
    }
    const std::size_t end = lineBreakFrom(bytes, start);
    if (end == std::string_view::npos) {
        return {bytes.substr(start), {}};
    }
    std::size_t next = end + 1;
    if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') {
        ++next;
    }
    return {bytes.substr(start, end - start), bytes.substr(end, next - end)};
}

// The first line of the bytes without its line end.
inline std::string_view firstLine(std::string_view bytes) {
    return lineAt(bytes, 0).text;
}

// Calls visit(LineWithEnd) for every line; the texts and endings put together again give
// the bytes back exactly.
template <typename Visit> void forEachLine(std::string_view bytes, Visit&& visit) {
    for (std::size_t start = 0; start < bytes.size();) {
        const LineWithEnd line = lineAt(bytes, start);
        visit(line);
        start += line.size();
    }
}

// Where each line starts, the first at 0: every line counter turns offsets into line numbers
// with the line ends of lineAt, so a file of bare CRs has its lines too.
std::vector<std::size_t> lineStartsOf(std::string_view bytes);
// The 1-based line holding the byte at offset (an offset at or past the end: the last line).
std::size_t lineNumberAt(std::string_view bytes, std::size_t offset);

// The line end most lines of the text have (CR LF on a tie or when there is none): what a
// line that the program adds ends with.
std::string_view commonLineEnd(std::string_view bytes);

} // namespace skarvel
