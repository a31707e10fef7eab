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

void appendInteger(std::string& out, std::int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendValue(std::string& out, RecordReader& records, const StringTable& strings) {
    const auto type = static_cast<std::uint8_t>(records.take(1));
    const std::uint32_t data = records.take(4);
    switch (type) {
    case Boolean:
        out += data != 0 ? "true" : "false";
        return;
    case Integer:
        appendInteger(out, static_cast<std::int32_t>(data));
        return;
    case Float:
        out += floatText(std::bit_cast<float>(data));
        return;
    case String:
        out += strings.at(data);
        return;
    default:
        throw FormatError("unknown value type " + std::to_string(type) + " at offset " +
                          std::to_string(records.offset() - kValueSize));
    }
}

} // namespace

std::string toText(std::string_view file) {
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

    const StringTable strings(file.substr(tableOffset));
    RecordReader records(file, kHeaderSize, tableOffset);
    std::string text;
    text.reserve(file.size() * 3);
    while (!records.atEnd()) {
        records.require(4, "section record");
        const std::string_view section = strings.at(records.take(2));
        const std::uint32_t entries = records.take(2);
        text.append("[").append(section).append("]\r\n");
        for (std::uint32_t e = 0; e < entries; ++e) {
            records.require(3, "entry record");
            text.append(strings.at(records.take(2)));
            const std::uint32_t values = records.take(1);
            records.require(values * kValueSize, "value record");
            for (std::uint32_t v = 0; v < values; ++v) {
                text += v == 0 ? " = " : ", ";
                appendValue(text, records, strings);
            }
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

} // namespace bini
