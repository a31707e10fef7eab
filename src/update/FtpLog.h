#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skarvel {

// The journal text of one chunk of the FTP exchange: the prefix ("->> " sent, "<<- " received
// or a status) and the chunk up to its first line end. Nothing for an empty chunk.
std::optional<std::string> ftpLogText(std::string_view prefix, std::string_view chunk);

} // namespace skarvel
