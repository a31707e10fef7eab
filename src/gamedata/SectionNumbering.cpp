#include "gamedata/SectionNumbering.h"

#include "gamedata/TextLines.h"
#include "gamedata/UserIniFile.h"
#include "journal/Journal.h"
#include "platform/Files.h"

#include <array>
#include <optional>

namespace skarvel {

namespace {

struct NumberedFile {
    DataFileIndex file;
    std::string_view name;
    std::string_view numberedText;
    std::string_view removedText;
};

// The order of the numbering; the removal starts with the ships.
constexpr std::array<NumberedFile, 4> kNumberingOrder = {{
    {kGoods, "Good", "Good erstellt", "goods entfernt"},
    {kShipArch, "Ship", "Ships erstellt", "Ships entfernt"},
    {kMiscEquip, "Power", "Power erstellt", "Power entfernt"},
    {kEngineEquip, "Engine", "Engine erstellt", "Engine entfernt"},
}};
constexpr std::array<NumberedFile, 4> kRemovalOrder = {
    {kNumberingOrder[1], kNumberingOrder[0], kNumberingOrder[2], kNumberingOrder[3]}};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Position of the "[" of a header line, or npos. A byte order mark before the first line's
// header is skipped, as the settings-file engine does.
std::size_t headerStart(std::string_view line, bool firstLine) {
    std::size_t pos = firstLine && line.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
        ++pos;
    }
    return pos < line.size() && line[pos] == '[' ? pos : std::string_view::npos;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of "[Name" + digits + "]" at pos, or 0.
std::size_t numberedHeaderLength(std::string_view line, std::size_t pos, std::string_view name) {
    const std::string_view rest = line.substr(pos);
    if (!rest.starts_with("[") || rest.substr(1).substr(0, name.size()) != name) {
        return 0;
    }
    std::size_t end = 1 + name.size();
    const std::size_t digitsBegin = end;
    while (end < rest.size() && isDigit(rest[end])) {
        ++end;
    }
    if (end == digitsBegin || end >= rest.size() || rest[end] != ']') {
        return 0;
    }
    return end + 1;
}

std::string plainHeader(std::string_view name) {
    return "[" + std::string(name) + "]";
}

const std::string& pathOf(const DataFileSet& files, DataFileIndex index) {
    return files.files[static_cast<std::size_t>(index)];
}

// Appends the line to out, numbered when it is the plain header "[" + name + "]".
void appendNumbered(std::string_view line, bool firstLine, std::string_view name,
                    std::string_view header, int& counter, std::string& out) {
    const std::size_t pos = headerStart(line, firstLine);
    if (pos == std::string_view::npos || line.substr(pos, header.size()) != header) {
        out += line;
        return;
    }
    out.append(line.substr(0, pos)).append("[").append(name).append(std::to_string(counter));
    out.append("]").append(line.substr(pos + header.size()));
    ++counter;
}

// Appends the line to out, with a numbered header of name made plain again.
void appendPlain(std::string_view line, bool firstLine, std::string_view name, std::string& out) {
    const std::size_t pos = headerStart(line, firstLine);
    const std::size_t length =
        pos == std::string_view::npos ? 0 : numberedHeaderLength(line, pos, name);
    if (length == 0) {
        out += line;
        return;
    }
    out.append(line.substr(0, pos)).append("[").append(name).append("]");
    out.append(line.substr(pos + length));
}

// The whole file line by line, each line through edit and ended with CR LF, without
// splitting it into separate strings first (the largest files have tens of thousands).
template <typename Edit> std::string rewriteLines(std::string_view text, Edit&& edit) {
    std::string out;
    out.reserve(text.size() + text.size() / 8 + 2);
    std::size_t start = 0;
    bool firstLine = true;
    while (start < text.size()) {
        const std::size_t end = lineBreakFrom(text, start);
        edit(text.substr(start, end == std::string_view::npos ? end : end - start), firstLine, out);
        out += "\r\n";
        firstLine = false;
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return out;
}

// Writes the text back unless it is the same bytes.
void writeBack(const std::string& path, const std::string& original, const std::string& text) {
    if (text != original) {
        writeFileAtomically(path, text);
    }
}

} // namespace

NotTextFileError::NotTextFileError(std::string path)
    : std::runtime_error(path + " is not a text file"), path_(std::move(path)) {}

int numberHeaders(std::vector<std::string>& lines, std::string_view name) {
    const std::string header = plainHeader(name);
    int counter = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line;
        appendNumbered(lines[i], i == 0, name, header, counter, line);
        lines[i] = std::move(line);
    }
    return counter;
}

void removeHeaderNumbers(std::vector<std::string>& lines, std::string_view name) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line;
        appendPlain(lines[i], i == 0, name, line);
        lines[i] = std::move(line);
    }
}

void NumberSections(TJournal& journal, const DataFileSet& files) {
    journal.Write("Erstelle Nummerierungen", JournalEntryKind::Begin);

    // All four are read before any is rewritten, so a file that is not text stops the
    // numbering before it has changed anything.
    std::array<std::string, kNumberingOrder.size()> contents;
    for (std::size_t i = 0; i < kNumberingOrder.size(); ++i) {
        const std::string& path = pathOf(files, kNumberingOrder[i].file);
        contents[i] = readFile(path);
        if (contents[i].find('\0') != std::string::npos) {
            journal.WriteFormatted("Keine Textdatei [%s] - die Nummerierung wird nicht erstellt",
                                   {path}, JournalEntryKind::Error);
            journal.Write("Nummerierung abgebrochen", JournalEntryKind::End);
            throw NotTextFileError(path);
        }
        if (kNumberingOrder[i].file == kGoods) {
            journal.WriteFormatted("TempDir [%s]", {files.dataDir}, JournalEntryKind::Info);
        }
    }

    for (std::size_t i = 0; i < kNumberingOrder.size(); ++i) {
        const NumberedFile& row = kNumberingOrder[i];
        const std::string header = plainHeader(row.name);
        int counter = 0;
        const std::string numbered =
            rewriteLines(contents[i], [&](std::string_view line, bool first, std::string& out) {
                appendNumbered(line, first, row.name, header, counter, out);
            });
        writeBack(pathOf(files, row.file), contents[i], numbered);
        journal.Write(row.numberedText, JournalEntryKind::Info);
    }
    journal.Write("Nummerierung erstellt", JournalEntryKind::End);
}

void RemoveSectionNumbers(TJournal& journal, const DataFileSet& files) {
    journal.Write("Entferne Nummerierungen", JournalEntryKind::Begin);
    for (const NumberedFile& row : kRemovalOrder) {
        const std::string& path = pathOf(files, row.file);
        try {
            const std::string original = readFile(path);
            if (original.find('\0') != std::string::npos) {
                throw NotTextFileError(path);
            }
            const std::string plain =
                rewriteLines(original, [&](std::string_view line, bool first, std::string& out) {
                    appendPlain(line, first, row.name, out);
                });
            writeBack(path, original, plain);
            journal.Write(row.removedText, JournalEntryKind::Info);
        } catch (const std::exception& error) {
            // The other files are still made readable for the game.
            journal.WriteFormatted("Nummerierung nicht entfernt [%s] - %s", {path, error.what()},
                                   JournalEntryKind::Error);
        }
    }
    journal.Write("Nummerierung entfernen", JournalEntryKind::End);
}

std::vector<std::string> sectionsContaining(const TUserIniFile& ini, std::string_view text) {
    std::vector<std::string> names = ini.ListSections();
    std::erase_if(names,
                  [text](const std::string& name) { return name.find(text) == std::string::npos; });
    return names;
}

} // namespace skarvel
