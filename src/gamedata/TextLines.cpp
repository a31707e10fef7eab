#include "gamedata/TextLines.h"

#include "platform/Files.h"

#include <cstring>
#include <stdexcept>

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

namespace {

template <typename Line> std::vector<Line> split(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = lineBreakFrom(text, start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

void refuseBinary(const std::string& path, std::string_view bytes) {
    // Splitting a binary file would cut it at the zero byte and a rewrite would destroy it.
    if (bytes.find('\0') != std::string_view::npos) {
        throw std::runtime_error(path + " is not a text file");
    }
}

} // namespace

std::vector<std::string> splitLines(std::string_view text) {
    return split<std::string>(text);
}

TextFileLines::TextFileLines(const std::string& path) : bytes_(readFile(path)) {
    refuseBinary(path, bytes_);
    lines_ = split<std::string_view>(bytes_);
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) {
        size += line.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<EditableLine> splitEditableLines(std::string_view bytes) {
    std::vector<EditableLine> lines;
    forEachLine(bytes, [&](LineWithEnd line) {
        lines.push_back({std::string(line.text), std::string(line.ending)});
    });
    return lines;
}

std::string joinEditableLines(const std::vector<EditableLine>& lines) {
    std::string bytes;
    for (const EditableLine& line : lines) {
        bytes.append(line.text).append(line.ending);
    }
    return bytes;
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

std::vector<std::string> readTextLines(const std::string& path) {
    const std::string bytes = readFile(path);
    refuseBinary(path, bytes);
    return splitLines(bytes);
}

void writeTextLines(const std::string& path, const std::vector<std::string>& lines) {
    writeFileAtomically(path, joinLines(lines), /*durable=*/true);
}

} // namespace skarvel
