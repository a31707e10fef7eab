#include "support/JournalLines.h"

#include "journal/Encoding.h"
#include "support/TestFiles.h"

#include <algorithm>

namespace skarvel::test {

Lines splitLines(const std::string& text) {
    Lines lines;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

Lines journalLines(const std::filesystem::path& file) {
    Lines lines = splitLines(readBytes(file));
    for (std::string& line : lines) {
        // "[yyyy-mm-dd hh:mm:ss]" is 21 characters.
        if (line.size() > 21 && line[0] == '[' && line[20] == ']') {
            line.erase(0, 21);
        }
    }
    return lines;
}

Lines linesFrom(const Lines& lines, std::size_t from) {
    return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())), lines.end()};
}

Lines linesBetween(const Lines& lines, const std::string& first, const std::string& last) {
    auto begin = std::find(lines.begin(), lines.end(), first);
    auto end = begin == lines.end() ? lines.end() : std::find(begin, lines.end(), last);
    return {begin, end == lines.end() ? end : end + 1};
}

bool contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

Lines cp1252(const Lines& utf8) {
    Lines result;
    for (const auto& line : utf8) {
        result.push_back(toCp1252(line));
    }
    return result;
}

} // namespace skarvel::test
