#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace bini {

// The compressed settings format, little-endian:
//   header      "BINI", uint32 version (1), uint32 offset of the string table
//   sections    from offset 12 up to the string table, each: uint16 name, uint16 entry count
//   entries     uint16 name, uint8 value count, then per value uint8 type + 4 data bytes
//               (0 boolean, 1 int32, 2 float32, 3 uint32 string offset)
//   strings     NUL-terminated (Windows-1252) up to the end; names and string values are
//               offsets from the table's start
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A small file whose strings are referenced over and over could otherwise ask for gigabytes
// of text: the text form may be at most kMaxTextRatio times the file's size and never more
// than kMaxTextSize bytes.
constexpr std::size_t kMaxTextRatio = 64;
constexpr std::size_t kMaxTextSize = std::size_t{512} * 1024 * 1024;
std::size_t textLimit(std::size_t biniSize);

// The text form of a BINI file: "[name]" per section, "key = v1, v2" per entry (the key
// alone without values), a blank line after each section, CR LF line ends. Throws
// FormatError for anything not well formed, for a name or string that the text form cannot
// carry (a line break or NUL, "]" in a section name, "=" or ";" in a key, a key starting
// with "["), and for text beyond maxTextSize (textLimit of the file's size), which is
// measured before any of it is made.
std::string toText(std::string_view biniBytes);
std::string toText(std::string_view biniBytes, std::size_t maxTextSize);

// A BINI file from the text form of a settings file: sections, keys and comma-separated
// values; a value is an int32 when it is a whole number, a float32 when it holds "." and reads
// as a number, else a string. Strings are stored once. A leading UTF-8 byte order mark is
// skipped. Lines starting with ";" and text after ";" are comments; a line without a key name
// ("= 5") is skipped. Throws FormatError for text that cannot be stored (a key before the first
// section, a NUL byte, more than 255 values or 65535 entries, names beyond the 64 KB that a
// name offset reaches).
std::string fromText(std::string_view text);

// The shortest text that reads back as the same float32, always with a decimal point
// ("2.0", "0.1", "1.0e-30"); "inf", "-inf" and "nan" for the values without digits.
std::string floatText(float value);

} // namespace bini
