#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// Position of the next CR or LF at or after start, or npos.
std::size_t lineBreakFrom(std::string_view text, std::size_t start);

// One line of a file and the line end that follows it, as they stand in the bytes. The
// last line of a file without a final line end has an empty ending.
struct LineWithEnd {
    std::string_view text;
    std::string_view ending;
};

// Calls visit(LineWithEnd) for every line; the texts and endings put together again give
// the bytes back exactly.
template <typename Visit> void forEachLine(std::string_view bytes, Visit&& visit);

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

// The line end most lines of the text have (CR LF on a tie or when there is none): what a
// line that the program adds ends with.
std::string_view commonLineEnd(std::string_view bytes);

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

template <typename Visit> void forEachLine(std::string_view bytes, Visit&& visit) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = lineBreakFrom(bytes, start);
        if (end == std::string_view::npos) {
            visit(LineWithEnd{bytes.substr(start), {}});
            return;
        }
        std::size_t next = end + 1;
        if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') {
            ++next;
        }
        visit(LineWithEnd{bytes.substr(start, end - start), bytes.substr(end, next - end)});
        start = next;
    }
}

} // namespace skarvel
