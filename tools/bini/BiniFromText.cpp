#include "BiniFormat.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

namespace bini {

namespace {

constexpr std::uint32_t kMaxNameOffset = std::numeric_limits<std::uint16_t>::max();
constexpr std::size_t kMaxEntries = std::numeric_limits<std::uint16_t>::max();
constexpr std::size_t kMaxValues = std::numeric_limits<std::uint8_t>::max();

struct Entry {
    std::string_view name;
    std::vector<std::string_view> values;
};

struct Section {
    std::string_view name;
    std::vector<Entry> entries;
};

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string_view withoutComment(std::string_view line) {
    return line.substr(0, line.find(';'));
}

std::vector<std::string_view> splitValues(std::string_view text) {
    std::vector<std::string_view> values;
    if (text.empty()) {
        return values;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        values.push_back(trimmed(text.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            return values;
        }
        start = comma + 1;
    }
}

std::vector<Section> parseText(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) {
        throw FormatError("the text holds a NUL byte");
    }
    std::vector<Section> sections;
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string_view line = trimmed(text.substr(pos, end - pos));
        pos = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
        ++lineNumber;

        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            sections.push_back(
                {trimmed(line.substr(1, close == std::string_view::npos ? std::string_view::npos
                                                                        : close - 1)),
                 {}});
            continue;
        }
        if (sections.empty()) {
            throw FormatError("line " + std::to_string(lineNumber) +
                              " holds a key before the first section");
        }
        const std::string_view content = withoutComment(line);
        const std::size_t equals = content.find('=');
        Entry entry{trimmed(content.substr(0, equals)), {}};
        if (entry.name.empty()) {
            continue; // "= value" names no key, as in the settings-file engine
        }
        if (equals != std::string_view::npos) {
            const std::string_view values = trimmed(content.substr(equals + 1));
            // Counted before splitting: a long line of commas would take gigabytes of views.
            if (!values.empty() &&
                static_cast<std::size_t>(std::ranges::count(values, ',')) >= kMaxValues) {
                throw FormatError("line " + std::to_string(lineNumber) + " holds more than " +
                                  std::to_string(kMaxValues) + " values");
            }
            entry.values = splitValues(values);
        }
        auto& entries = sections.back().entries;
        if (entries.size() == kMaxEntries) {
            throw FormatError("section " + std::string(sections.back().name) +
                              " holds too many entries");
        }
        entries.push_back(std::move(entry));
    }
    return sections;
}

class StringTableBuilder {
public:
    std::uint32_t add(std::string_view text) {
        const auto [found, added] =
            offsets_.try_emplace(std::string(text), static_cast<std::uint32_t>(bytes_.size()));
        if (added) {
            if (bytes_.size() + text.size() + 1 > std::numeric_limits<std::uint32_t>::max()) {
                throw FormatError("the string table is larger than 4 GB");
            }
            bytes_.append(text).push_back('\0');
        }
        return found->second;
    }
    std::uint16_t addName(std::string_view name) {
        const std::uint32_t offset = add(name);
        if (offset > kMaxNameOffset) {
            throw FormatError("the names do not fit into the first 64 KB of the string table");
        }
        return static_cast<std::uint16_t>(offset);
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::unordered_map<std::string, std::uint32_t> offsets_;
};

void putLittleEndian(std::string& out, std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

template <typename Number> bool parsesWhole(std::string_view text, Number& number) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

void putValue(std::string& out, std::string_view text, StringTableBuilder& strings) {
    std::int32_t integer = 0;
    float fraction = 0;
    if (parsesWhole(text, integer)) {
        out.push_back(1);
        putLittleEndian(out, static_cast<std::uint32_t>(integer), 4);
    } else if (text.find('.') != std::string_view::npos && parsesWhole(text, fraction) &&
               std::isfinite(fraction)) {
        out.push_back(2);
        putLittleEndian(out, std::bit_cast<std::uint32_t>(fraction), 4);
    } else {
        out.push_back(3);
        putLittleEndian(out, strings.add(text), 4);
    }
}

} // namespace

std::string fromText(std::string_view text) {
    // Editors on Windows like to put a byte order mark in front of the first header.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    const std::vector<Section> sections = parseText(text);

    // Names go first so that their 16-bit offsets reach them.
    StringTableBuilder strings;
    for (const auto& section : sections) {
        strings.addName(section.name);
        for (const auto& entry : section.entries) {
            strings.addName(entry.name);
        }
    }

    std::string records;
    for (const auto& section : sections) {
        putLittleEndian(records, strings.addName(section.name), 2);
        putLittleEndian(records, static_cast<std::uint32_t>(section.entries.size()), 2);
        for (const auto& entry : section.entries) {
            putLittleEndian(records, strings.addName(entry.name), 2);
            records.push_back(static_cast<char>(entry.values.size()));
            for (const auto value : entry.values) {
                putValue(records, value, strings);
            }
        }
    }

    if (records.size() > std::numeric_limits<std::uint32_t>::max() - 12) {
        throw FormatError("the records are larger than 4 GB");
    }
    std::string file = "BINI";
    putLittleEndian(file, 1, 4);
    putLittleEndian(file, static_cast<std::uint32_t>(12 + records.size()), 4);
    file += records;
    file += strings.bytes();
    return file;
}

} // namespace bini
