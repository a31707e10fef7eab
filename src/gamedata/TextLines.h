#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// Position of the next CR or LF at or after start, or npos.
std::size_t lineBreakFrom(std::string_view text, std::size_t start);

// Whole-file line handling: split at CR LF, lone LF and lone CR; join with CR LF after
// every line, the last one included.
std::vector<std::string> splitLines(std::string_view text);
std::string joinLines(const std::vector<std::string>& lines);

// Reads a file as lines. A file with a NUL byte is not text: throws std::runtime_error
// "<path> is not a text file".
std::vector<std::string> readTextLines(const std::string& path);
// Writes lines with CR LF, replacing the file atomically (permissions kept).
void writeTextLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace skarvel
