#include "tables/TableCsvImport.h"

#include "journal/Encoding.h"
#include "platform/AsciiText.h"
#include "ships/Numbers.h"
#include "tables/CsvText.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <span>
#include <unordered_map>

namespace skarvel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The lines a problem of many lines names at most.
constexpr std::size_t kNamedLines = 10;

std::string headerKey(std::string_view field) {
    while (field.starts_with(kByteOrderMark)) {
        field.remove_prefix(kByteOrderMark.size());
    }
    return std::string(trimBlanks(field));
}

std::string quotedText(std::string_view text) {
    return "'" + std::string(text) + "'";
}

std::string lineList(const std::vector<std::size_t>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < kNamedLines; ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(lines[i]);
    }
    if (lines.size() > kNamedLines) {
        text += " and " + std::to_string(lines.size() - kNamedLines) + " more";
    }
    return text;
}

bool isDigitText(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "12,500" and "1,000": a decimal comma or a thousands separator, nobody can tell.
bool thousandsLike(std::string_view text) {
    if (text.starts_with('+') || text.starts_with('-')) {
        text.remove_prefix(1);
    }
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || comma == 0 || comma > 3 || text.front() == '0') {
        return false;
    }
    const std::string_view before = text.substr(0, comma);
    const std::string_view after = text.substr(comma + 1);
    return isDigitText(before) && after.size() == 3 && isDigitText(after);
}

// Why the text of a numeric column is not one number, or empty when it is one.
std::string numberProblem(std::string_view text) {
    const std::string_view number = trimBlanks(text);
    if (number.find_first_of(" \t\xA0") != std::string_view::npos) {
        return quotedText(number) + " holds a blank; write the number without thousands separators";
    }
    if (!readNumber(number)) {
        const auto count = [&](char c) { return std::count(number.begin(), number.end(), c); };
        if (count(',') + count('.') > 1 || count('\'') > 0) {
            return quotedText(number) + " holds a thousands separator; write the number without "
                                        "them, with one decimal point";
        }
        return quotedText(number) + " is not a number";
    }
    if (thousandsLike(number)) {
        return quotedText(number) + " may hold a thousands separator or a decimal comma; write " +
               "it without thousands separators, with a decimal point";
    }
    return {};
}

bool sameText(bool numeric, std::string_view a, std::string_view b) {
    if (numeric) {
        const auto x = readNumber(a);
        const auto y = readNumber(b);
        if (x && y) {
            return *x == *y;
        }
    }
    return trimBlanks(a) == trimBlanks(b);
}

// One row's value for a target: a section's key that rows may share, or a level cell.
struct Offer {
    std::size_t line;
    std::size_t row;
    std::size_t column;
    std::string value;
};

class Import {
public:
    Import(CsvImportTarget& table, const std::function<void(const std::string&)>& onProblem)
        : table_(table), onProblem_(onProblem) {}

    TableImport run(std::string_view csv);

private:
    void problem(std::string text) {
        ++result_.problemCount;
        if (onProblem_) {
            onProblem_(text);
        }
        if (result_.problems.size() < kShownProblems) {
            result_.problems.push_back(std::move(text));
        }
    }
    void cellProblem(std::size_t line, std::size_t column, const std::string& text) {
        problem("line " + std::to_string(line) + ", column " + table_.columnKey(column) + ": " +
                text);
    }
    bool readHeader(const CsvRecord& header);
    // The row of a record, or the table's size when it names none; problems told once.
    std::size_t rowOf(const CsvRecord& record, bool tell);
    void offer(const CsvRecord& record, std::size_t row);
    void settle(const std::vector<Offer>& offers);

    CsvImportTarget& table_;
    const std::function<void(const std::string&)>& onProblem_;
    TableImport result_;
    std::vector<std::uint16_t> columnAt_; // by field: the column, or columnCount()
    std::size_t nicknameAt_ = 0;
    std::unordered_map<std::string, std::size_t> rows_; // lowered nickname -> row
    std::vector<std::vector<std::size_t>> linesOfRow_;
    std::unordered_map<std::string, std::size_t> targetAt_;
    std::vector<std::vector<Offer>> targets_; // in the order first given
};

bool Import::readHeader(const CsvRecord& header) {
    if (!header.problem.empty()) {
        problem("line " + std::to_string(header.line) + ": " + header.problem);
        return false;
    }
    const std::size_t columns = table_.columnCount();
    std::vector<bool> seen(columns);
    nicknameAt_ = header.size();
    columnAt_.reserve(header.size());
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string key = headerKey(header.field(i));
        std::size_t column = table_.columnOfKey(key);
        if (key.empty()) {
            // Spreadsheets end lines with separators of empty columns.
            column = columns;
        } else if (column == columns) {
            problem("line " + std::to_string(header.line) + ": unknown column " +
                    quotedText(toCp1252(key)));
        } else if (seen[column]) {
            problem("line " + std::to_string(header.line) + ": the column " + quotedText(key) +
                    " is given twice; only the first is read");
            column = columns;
        } else {
            seen[column] = true;
            nicknameAt_ = table_.columnKey(column) == "nickname" ? columnAt_.size() : nicknameAt_;
        }
        columnAt_.push_back(static_cast<std::uint16_t>(column));
    }
    if (nicknameAt_ == header.size()) {
        problem("The file has no nickname column, so no row can be matched.");
        return false;
    }
    for (std::size_t row = 0; row < table_.rowCount(); ++row) {
        rows_.try_emplace(lowerAsciiCopy(table_.rowNickname(row)), row);
    }
    linesOfRow_.resize(table_.rowCount());
    return true;
}

std::size_t Import::rowOf(const CsvRecord& record, bool tell) {
    const std::size_t none = table_.rowCount();
    const std::string line = "line " + std::to_string(record.line) + ": ";
    if (!record.problem.empty()) {
        if (tell) {
            problem(line + record.problem);
        }
        return none;
    }
    if (record.size() != columnAt_.size()) {
        if (tell) {
            problem(line + std::to_string(record.size()) + " fields where the header has " +
                    std::to_string(columnAt_.size()) + "; the row is left alone");
        }
        return none;
    }
    const std::string nickname(trimBlanks(unescapedCell(record.field(nicknameAt_))));
    const auto found = rows_.find(lowerAsciiCopy(toCp1252(nickname)));
    if (found == rows_.end()) {
        if (tell) {
            problem(line + "unknown nickname " + quotedText(toCp1252(nickname)));
        }
        return none;
    }
    return found->second;
}

void Import::offer(const CsvRecord& record, std::size_t row) {
    for (std::size_t i = 0; i < record.size(); ++i) {
        const std::size_t column = columnAt_[i];
        if (column == table_.columnCount() || i == nicknameAt_) {
            continue;
        }
        const std::string_view cell = unescapedCell(record.field(i));
        if (trimBlanks(cell).empty()) {
            continue;
        }
        const bool numeric = table_.numeric(column);
        if (cell.find('\0') != std::string_view::npos) {
            cellProblem(record.line, column, "a value cannot hold a NUL byte");
            continue;
        }
        if (cell.find(';') != std::string_view::npos) {
            cellProblem(record.line, column,
                        "a value cannot hold ';', which starts a comment in the game's files");
            continue;
        }
        std::string value = table_.utf8(column) ? std::string(cell) : toCp1252(cell);
        if (numeric) {
            if (const std::string why = numberProblem(value); !why.empty()) {
                cellProblem(record.line, column, why);
                continue;
            }
        }
        const std::string target = table_.target(row, column);
        if (target.empty()) {
            if (!sameText(numeric, table_.asRead(row, column), value)) {
                cellProblem(record.line, column, "this value cannot be changed here");
            }
            continue;
        }
        const auto [at, added] = targetAt_.try_emplace(target, targets_.size());
        if (added) {
            targets_.emplace_back();
        }
        targets_[at->second].push_back({record.line, row, column, std::move(value)});
    }
}

void Import::settle(const std::vector<Offer>& offers) {
    const Offer& first = offers.front();
    const bool numeric = table_.numeric(first.column);
    const auto differs = [&](const Offer& other) {
        return !sameText(numeric, other.value, first.value);
    };
    if (std::any_of(offers.begin(), offers.end(), differs)) {
        std::string text = "column " + table_.columnKey(first.column);
        if (const std::string section = table_.sectionOf(first.row, first.column);
            !section.empty()) {
            text += " of " + section;
        }
        text += ": the rows sharing this value give different ones (";
        for (std::size_t i = 0; i < offers.size() && i < kNamedLines; ++i) {
            text += (i == 0 ? "line " : "; line ") + std::to_string(offers[i].line) + ", " +
                    table_.rowNickname(offers[i].row) + ": " + quotedText(offers[i].value);
        }
        if (offers.size() > kNamedLines) {
            text += "; and " + std::to_string(offers.size() - kNamedLines) + " more rows";
        }
        problem(text + "); it is left alone");
        return;
    }
    if (sameText(numeric, table_.asRead(first.row, first.column), first.value)) {
        return;
    }
    try {
        const std::string before = table_.shown(first.row, first.column);
        if (const std::string refusal = table_.set(first.row, first.column, first.value);
            !refusal.empty()) {
            cellProblem(first.line, first.column, refusal);
        } else if (table_.shown(first.row, first.column) != before) {
            ++result_.changed;
        }
    } catch (const std::exception& error) {
        cellProblem(first.line, first.column,
                    quotedText(first.value) + " cannot be taken: " + error.what());
    }
}

TableImport Import::run(std::string_view csv) {
    result_.separator = csvSeparator(csv, [this](std::string_view key) {
        return table_.columnOfKey(headerKey(key)) < table_.columnCount();
    });
    CsvRecord record;
    {
        CsvReader reader(csv, result_.separator);
        if (!reader.next(record)) {
            problem("The file holds no header row.");
            return result_;
        }
        if (!readHeader(record)) {
            return result_;
        }
        while (reader.next(record)) {
            if (const std::size_t row = rowOf(record, true); row < linesOfRow_.size()) {
                linesOfRow_[row].push_back(record.line);
            }
        }
    }
    for (std::size_t row = 0; row < linesOfRow_.size(); ++row) {
        if (linesOfRow_[row].size() > 1) {
            problem("lines " + lineList(linesOfRow_[row]) + ": the nickname " +
                    quotedText(table_.rowNickname(row)) +
                    " is given more than once; none of these rows is read");
        }
    }
    CsvReader reader(csv, result_.separator);
    reader.next(record); // the header
    while (reader.next(record)) {
        if (const std::size_t row = rowOf(record, false);
            row < linesOfRow_.size() && linesOfRow_[row].size() == 1) {
            offer(record, row);
        }
    }
    for (const std::vector<Offer>& offers : targets_) {
        settle(offers);
    }
    return result_;
}

} // namespace

TableImport importTableCsv(CsvImportTarget& table, std::string_view csv,
                           const std::function<void(const std::string&)>& onProblem) {
    return Import(table, onProblem).run(csv);
}

} // namespace skarvel
