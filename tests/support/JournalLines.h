#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace skarvel::test {

using Lines = std::vector<std::string>;

// The lines of a text whatever its line ends; no empty entry after a final line end.
Lines splitLines(const std::string& text);
// The lines of a journal file without their time stamps: "[Info   ] text".
Lines journalLines(const std::filesystem::path& file);
// The lines from index from on; none when from is past the end.
Lines linesFrom(const Lines& lines, std::size_t from);
// The lines from the first that equals first up to the first that equals last, both included.
Lines linesBetween(const Lines& lines, const std::string& first, const std::string& last);
bool contains(const Lines& lines, const std::string& line);
// Expected journal lines are written in UTF-8 here, as in the program's source.
Lines cp1252(const Lines& utf8);

} // namespace skarvel::test
