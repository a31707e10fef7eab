#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// One record of a CSV text: its fields (quotes removed, "" read as one quote) and the line it
// starts on. A record that breaks RFC 4180 has a problem and no fields. The fields are held
// one after another in one text, so that a header of millions of columns stays small.
struct CsvRecord {
    std::size_t line = 0;
    std::string problem;
    std::string text;
    std::vector<std::uint32_t> ends; // of each field in text (texts are below 4 GB)

    std::size_t size() const { return ends.size(); }
    std::string_view field(std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(text).substr(begin, ends[i] - begin);
    }
};

// Reads the records of a CSV text one by one, so that a large file is never held twice. A
// byte order mark is skipped; lines end in CR LF, LF or CR; blank lines and lines of empty
// fields are left out. A broken line (a stray quote, text after a closing quote, a quote
// never closed) is one record with a problem, and reading goes on at the next line.
class CsvReader {
public:
    CsvReader(std::string_view text, char separator);
    // The next record; false at the end of the text.
    bool next(CsvRecord& record);

private:
    void readRecord(CsvRecord& record);
    void skipLine(); // to the start of the next line
    void lineBreak();
    void endField(CsvRecord& record) const;

    std::string_view text_;
    char separator_;
    std::size_t at_ = 0;
    std::size_t line_ = 1;
};

// The separator of the header (the text's first line): comma, semicolon or tab, whichever
// splits it into the most fields that known accepts, then into the most fields; a comma on
// a tie.
char csvSeparator(std::string_view text, const std::function<bool(std::string_view)>& known);

// "comma", "semicolon", "tab".
std::string_view separatorName(char separator);

// The field as a CSV file holds it: quoted when it holds the separator, a quote or a line
// break.
std::string csvField(std::string_view field, char separator = ',');

// One record of a CSV file as tables write them: comma-separated, quoted where needed, CR LF.
std::string csvLine(const std::vector<std::string>& fields);

// A cell of a table's CSV file: in a numeric column a number with a point, else the text
// (UTF-8) escaped as formulaEscaped does.
std::string csvCell(std::string_view utf8Text, bool numeric);

// Spreadsheets run a cell that starts with = + - or @ as a formula: such a text gets a
// leading ' (as do texts of only 's before one), and unescapedCell takes one off again.
std::string formulaEscaped(std::string_view text);
std::string_view unescapedCell(std::string_view cell);

} // namespace skarvel
