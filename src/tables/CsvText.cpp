#include "tables/CsvText.h"

#include "platform/AsciiText.h"
#include "ships/Numbers.h"

#include <algorithm>
#include <array>
#include <utility>

namespace skarvel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

bool isFormulaStart(char c) {
    return c == '=' || c == '+' || c == '-' || c == '@';
}

bool allBlank(const CsvRecord& record) {
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (!trimBlanks(record.field(i)).empty()) {
            return false;
        }
    }
    return true;
}

} // namespace

CsvReader::CsvReader(std::string_view text, char separator) : text_(text), separator_(separator) {
    if (text_.starts_with(kByteOrderMark)) {
        text_.remove_prefix(kByteOrderMark.size());
    }
}

void CsvReader::lineBreak() {
    if (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') {
        ++at_;
    }
    ++at_;
    ++line_;
}

void CsvReader::skipLine() {
    while (at_ < text_.size() && !isLineEnd(text_[at_])) {
        ++at_;
    }
    if (at_ < text_.size()) {
        lineBreak();
    }
}

bool CsvReader::next(CsvRecord& record) {
    while (at_ < text_.size()) {
        readRecord(record);
        if (!record.problem.empty() || !allBlank(record)) {
            return true;
        }
    }
    return false;
}

void CsvReader::endField(CsvRecord& record) const {
    record.ends.push_back(static_cast<std::uint32_t>(record.text.size()));
}

void CsvReader::readRecord(CsvRecord& record) {
    record.line = line_;
    record.text.clear();
    record.ends.clear();
    record.problem.clear();
    const std::size_t start = at_;
    const auto broken = [&](std::string problem) {
        record.text.clear();
        record.ends.clear();
        record.problem = std::move(problem);
        skipLine();
    };
    enum class State { Start, Plain, Quoted, Closed } state = State::Start;
    std::string& field = record.text;
    while (true) {
        if (at_ == text_.size()) {
            if (state == State::Quoted) {
                // Everything after the opening quote would be one field: the line is broken
                // and the lines after it are read as they are.
                at_ = start;
                line_ = record.line;
                broken("a quoted field is never closed (its closing quote is missing)");
                return;
            }
            endField(record);
            return;
        }
        const char c = text_[at_];
        if (state == State::Quoted) {
            if (c == '"' && at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
                field += '"';
                at_ += 2;
            } else if (c == '"') {
                state = State::Closed;
                ++at_;
            } else {
                const bool ends = isLineEnd(c) &&
                                  !(c == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n');
                field += c;
                ++at_;
                line_ += ends ? 1 : 0;
            }
            continue;
        }
        if (c == separator_) {
            endField(record);
            state = State::Start;
            ++at_;
        } else if (isLineEnd(c)) {
            endField(record);
            lineBreak();
            return;
        } else if (c == '"') {
            if (state != State::Start) {
                broken(state == State::Plain ? "a quote inside a field that does not start with one"
                                             : "a quote inside a quoted field that is not doubled");
                return;
            }
            state = State::Quoted;
            ++at_;
        } else if (state == State::Closed) {
            if (c != ' ') {
                broken("text after the closing quote of a field");
                return;
            }
            ++at_;
        } else {
            field += c;
            state = State::Plain;
            ++at_;
        }
    }
}

char csvSeparator(std::string_view text, const std::function<bool(std::string_view)>& known) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::string_view header = text.substr(0, text.find_first_of("\r\n"));
    char best = ',';
    std::pair<std::size_t, std::size_t> bestScore{0, 0};
    for (const char separator : std::array{',', ';', '\t'}) {
        CsvReader reader(header, separator);
        CsvRecord record;
        if (!reader.next(record) || !record.problem.empty()) {
            continue;
        }
        std::pair<std::size_t, std::size_t> score{0, record.size()};
        for (std::size_t i = 0; i < record.size(); ++i) {
            score.first += known(record.field(i)) ? 1 : 0;
        }
        if (score > bestScore) {
            best = separator;
            bestScore = score;
        }
    }
    return best;
}

std::string_view separatorName(char separator) {
    return separator == ';' ? "semicolon" : separator == '\t' ? "tab" : "comma";
}

std::string csvField(std::string_view field, char separator) {
    if (field.find_first_of("\"\r\n") == std::string_view::npos &&
        field.find(separator) == std::string_view::npos) {
        return std::string(field);
    }
    std::string text = "\"";
    for (const char c : field) {
        text += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return text + "\"";
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        text += (i == 0 ? "" : ",") + csvField(fields[i]);
    }
    return text + "\r\n";
}

std::string csvCell(std::string_view utf8Text, bool numeric) {
    if (numeric && readNumber(utf8Text)) {
        std::string number(utf8Text);
        std::replace(number.begin(), number.end(), ',', '.');
        return number;
    }
    return formulaEscaped(utf8Text);
}

std::string formulaEscaped(std::string_view text) {
    const std::size_t first = text.find_first_not_of('\'');
    if (first == std::string_view::npos || !isFormulaStart(text[first])) {
        return std::string(text);
    }
    return "'" + std::string(text);
}

std::string_view unescapedCell(std::string_view cell) {
    const std::size_t first = cell.find_first_not_of('\'');
    if (first == 0 || first == std::string_view::npos || !isFormulaStart(cell[first])) {
        return cell;
    }
    return cell.substr(1);
}

} // namespace skarvel
