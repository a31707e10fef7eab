#include "gamedata/TextLines.h"

#include "platform/Files.h"

#include <stdexcept>

namespace skarvel {

namespace {

template <typename Line> std::vector<Line> split(std::string_view text) {
    std::vector<Line> lines;
    forEachLine(text, [&](LineWithEnd line) { lines.emplace_back(line.text); });
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

std::vector<std::string> readTextLines(const std::string& path) {
    const std::string bytes = readFile(path);
    refuseBinary(path, bytes);
    return splitLines(bytes);
}

void writeTextLines(const std::string& path, const std::vector<std::string>& lines) {
    writeFileAtomically(path, joinLines(lines), /*durable=*/true);
}

} // namespace skarvel
