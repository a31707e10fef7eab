#include "support/JournalLines.h"

#include "journal/Encoding.h"
#include "support/TestFiles.h"

#include <algorithm>

namespace skarvel::test {

Lines journalLines(const std::filesystem::path& file) {
    const std::string bytes = readBytes(file);
    Lines lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        auto end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string line = bytes.substr(start, end - start);
        // "[yyyy-mm-dd hh:mm:ss]" is 21 characters.
        if (line.size() > 21 && line[0] == '[' && line[20] == ']') {
            line.erase(0, 21);
        }
        lines.push_back(line);
        start = end + 2;
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
