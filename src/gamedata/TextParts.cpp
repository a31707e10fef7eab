#include "gamedata/TextParts.h"

#include "gamedata/SectionHeader.h"
#include "gamedata/TextLines.h"
#include "platform/AsciiText.h"

namespace skarvel {

namespace {

bool isControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::string trimControl(std::string_view text) {
    while (!text.empty() && isControlOrBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isControlOrBlank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

void removeAll(std::string& text, std::string_view what) {
    if (what.empty()) {
        return;
    }
    std::string kept;
    kept.reserve(text.size());
    std::size_t from = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, from)) {
        kept.append(text, from, at - from);
        from = at + what.size();
    }
    kept.append(text, from, std::string::npos);
    text = std::move(kept);
}

std::string getDelimitedPart(std::string_view text, char start, char stop) {
    std::string_view rest = text;
    if (start != '*') {
        const auto at = text.find(start);
        if (at == std::string_view::npos) {
            return {};
        }
        rest = text.substr(at + 1);
    }
    const std::string trimmed = trimControl(rest);
    const auto end = trimmed.find(stop);
    if (end == std::string::npos) {
        return trimmed;
    }
    return trimControl(std::string_view(trimmed).substr(0, end));
}

std::string cutDelimitedPart(std::string& text, char start, char stop) {
    std::string part = getDelimitedPart(text, start, stop);
    removeAll(text, part);
    return part;
}

std::vector<std::string> ReadSectionLines(const std::string& path, std::string_view header) {
    const TextFileLines file(path);
    const std::vector<std::string_view>& lines = file.lines();
    std::vector<std::string> section;
    // Header lines by the one header rule: a "[" in a comment or a value opens nothing.
    const auto isHeader = [&](std::size_t i) { return opensSection(lines[i], i == 0); };
    std::size_t i = 0;
    while (i < lines.size() && !(isHeader(i) && lines[i].find(header) != std::string::npos)) {
        ++i;
    }
    for (++i; i < lines.size() && !isHeader(i); ++i) {
        section.emplace_back(lines[i]);
    }
    return section;
}

} // namespace skarvel
