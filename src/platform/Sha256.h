#pragma once

#include <string>
#include <string_view>

namespace skarvel {

// The SHA-256 of the bytes as 64 lower-case hex digits.
std::string sha256Hex(std::string_view bytes);

} // namespace skarvel
