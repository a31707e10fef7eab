#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace skarvel {

// A damaged PE file: the text says what did not fit.
class PeFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// String number (0..65535) -> text in UTF-8; a code unit that is no character (half a
// surrogate pair) is U+FFFD. Empty strings are left out.
using PeStringTable = std::unordered_map<std::uint16_t, std::string>;

// The string tables (resource type 6) of a PE32 or PE32+ file in memory, the first language
// of each block. A file without resources or without string tables gives an empty table.
// Every offset and length is checked against the bytes; anything out of bounds throws
// PeFormatError, so a damaged file gives no strings at all rather than some wrong ones.
PeStringTable readPeStringTable(std::string_view image);

} // namespace skarvel
