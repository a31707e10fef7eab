#pragma once

#include "platform/LineEnds.h"

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// The lines of a file that is edited line by line and written back byte for byte.
struct EditableLine {
    std::string text;
    std::string ending;
};
inline std::string_view lineText(const EditableLine& line) {
    return line.text;
}
std::vector<EditableLine> splitEditableLines(std::string_view bytes);
std::string joinEditableLines(const std::vector<EditableLine>& lines);

// Whole-file line handling: split at CR LF, lone LF and lone CR; join with CR LF after
// every line, the last one included.
std::vector<std::string> splitLines(std::string_view text);
std::string joinLines(const std::vector<std::string>& lines);

// Reads a file as lines. A file with a NUL byte is not text: throws std::runtime_error
// "<path> is not a text file".
std::vector<std::string> readTextLines(const std::string& path);
// A text file read whole, its lines as views into the bytes: for reading large files
// without a string per line. Same splitting and the same refusal of binary files as
// readTextLines. Neither copied nor moved, so the views stay valid.
class TextFileLines {
public:
    explicit TextFileLines(const std::string& path);
    TextFileLines(const TextFileLines&) = delete;
    TextFileLines& operator=(const TextFileLines&) = delete;

    const std::vector<std::string_view>& lines() const { return lines_; }

private:
    std::string bytes_;
    std::vector<std::string_view> lines_;
};

// Writes lines with CR LF, replacing the file atomically (permissions kept).
void writeTextLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace skarvel
