#include "BiniFormat.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace bini {

namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kValueSize = 5;

enum ValueType : std::uint8_t { Boolean = 0, Integer = 1, Float = 2, String = 3 };

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

// Walks the records between the header and the string table; every read is checked against
// the records' end so that a truncated file cannot be read past.
class RecordReader {
public:
    RecordReader(std::string_view file, std::size_t begin, std::size_t end)
        : file_(file), pos_(begin), end_(end) {}

    bool atEnd() const { return pos_ >= end_; }
    std::size_t offset() const { return pos_; }

    void require(std::size_t bytes, const char* what) const {
        if (end_ - pos_ < bytes) {
            throw FormatError(std::string("truncated ") + what + " at offset " +
                              std::to_string(pos_));
        }
    }
    std::uint32_t take(std::size_t width) {
        const std::uint32_t value = littleEndian(file_, pos_, width);
        pos_ += width;
        return value;
    }

private:
    std::string_view file_;
    std::size_t pos_;
    std::size_t end_;
};

class StringTable {
public:
    explicit StringTable(std::string_view strings) : strings_(strings) {}

    std::string_view at(std::uint32_t offset) const {
        if (offset >= strings_.size()) {
            throw FormatError("string offset " + std::to_string(offset) + " out of range");
        }
        const std::size_t end = strings_.find('\0', offset);
        if (end == std::string_view::npos) {
            throw FormatError("string at offset " + std::to_string(offset) +
                              " has no terminating NUL");
        }
        return strings_.substr(offset, end - offset);
    }

private:
    std::string_view strings_;
};

// Counts the text instead of making it, and stops at the limit, so that the size is known
// before anything is allocated.
class TextMeasure {
public:
    explicit TextMeasure(std::size_t limit) : limit_(limit) {}

    void append(std::string_view piece) {
        if (piece.size() > limit_ - size_) {
            throw FormatError("the text form would exceed " + std::to_string(limit_) + " bytes (" +
                              std::to_string(kMaxTextRatio) + " times the file's size, at most " +
                              std::to_string(kMaxTextSize >> 20) + " MB)");
        }
        size_ += piece.size();
    }
    std::size_t size() const { return size_; }

private:
    std::size_t limit_;
    std::size_t size_ = 0;
};

// Characters that would end a line, a section name or a key early when the text is read back.
constexpr std::string_view kLineBreakers("\r\n\0", 3);
constexpr std::string_view kSectionBreakers("\r\n\0]", 4);
constexpr std::string_view kKeyBreakers("\r\n\0=;", 5);

std::string describe(char c) {
    switch (c) {
    case '\r':
    case '\n':
        return "a line break";
    case '\0':
        return "a NUL byte";
    default:
        return std::string("\"") + c + "\"";
    }
}

std::string_view fitting(std::string_view text, std::string_view breakers, const char* what,
                         std::size_t at) {
    const std::size_t bad = text.find_first_of(breakers);
    if (bad != std::string_view::npos) {
        throw FormatError(std::string(what) + " at offset " + std::to_string(at) + " holds " +
                          describe(text[bad]) + ", which the text form cannot carry");
    }
    return text;
}

template <typename Text>
void appendValue(Text& out, RecordReader& records, const StringTable& strings) {
    const std::size_t at = records.offset();
    const auto type = static_cast<std::uint8_t>(records.take(1));
    const std::uint32_t data = records.take(4);
    switch (type) {
    case Boolean:
        out.append(std::string_view(data != 0 ? "true" : "false"));
        return;
    case Integer: {
        char buffer[16];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int32_t>(data));
        out.append(std::string_view(buffer, result.ptr));
        return;
    }
    case Float:
        out.append(std::string_view(floatText(std::bit_cast<float>(data))));
        return;
    case String:
        out.append(fitting(strings.at(data), kLineBreakers, "string value", at));
        return;
    default:
        throw FormatError("unknown value type " + std::to_string(type) + " at offset " +
                          std::to_string(at));
    }
}

template <typename Text>
void writeText(Text& out, std::string_view file, std::uint32_t tableOffset) {
    const StringTable strings(file.substr(tableOffset));
    RecordReader records(file, kHeaderSize, tableOffset);
    while (!records.atEnd()) {
        records.require(4, "section record");
        const std::size_t sectionAt = records.offset();
        const std::string_view section =
            fitting(strings.at(records.take(2)), kSectionBreakers, "section name", sectionAt);
        const std::uint32_t entries = records.take(2);
        out.append(std::string_view("["));
        out.append(section);
        out.append(std::string_view("]\r\n"));
        for (std::uint32_t e = 0; e < entries; ++e) {
            records.require(3, "entry record");
            const std::size_t keyAt = records.offset();
            const std::string_view key =
                fitting(strings.at(records.take(2)), kKeyBreakers, "key", keyAt);
            // Such a key would read back as a section header.
            const std::size_t first = key.find_first_not_of(" \t");
            if (first != std::string_view::npos && key[first] == '[') {
                throw FormatError("key at offset " + std::to_string(keyAt) +
                                  " starts with \"[\", which the text form cannot carry");
            }
            out.append(key);
            const std::uint32_t values = records.take(1);
            records.require(values * kValueSize, "value record");
            for (std::uint32_t v = 0; v < values; ++v) {
                out.append(std::string_view(v == 0 ? " = " : ", "));
                appendValue(out, records, strings);
            }
            out.append(std::string_view("\r\n"));
        }
        out.append(std::string_view("\r\n"));
    }
}

} // namespace

std::size_t textLimit(std::size_t biniSize) {
    return biniSize > kMaxTextSize / kMaxTextRatio ? kMaxTextSize : biniSize * kMaxTextRatio;
}

std::string toText(std::string_view file) {
    return toText(file, textLimit(file.size()));
}

std::string toText(std::string_view file, std::size_t maxTextSize) {
    if (file.size() < kHeaderSize || file.substr(0, 4) != "BINI") {
        throw FormatError("not a BINI file");
    }
    const std::uint32_t version = littleEndian(file, 4, 4);
    if (version != 1) {
        throw FormatError("unsupported BINI version " + std::to_string(version));
    }
    const std::uint32_t tableOffset = littleEndian(file, 8, 4);
    if (tableOffset < kHeaderSize || tableOffset > file.size()) {
        throw FormatError("string table offset " + std::to_string(tableOffset) + " out of range");
    }

    // The first pass checks everything and measures; the second cannot fail.
    TextMeasure measure(maxTextSize);
    writeText(measure, file, tableOffset);
    std::string text;
    text.reserve(measure.size());
    writeText(text, file, tableOffset);
    return text;
}

} // namespace bini
