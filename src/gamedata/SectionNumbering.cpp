#include "gamedata/SectionNumbering.h"

#include "gamedata/IniEngine.h"
#include "gamedata/SectionHeader.h"
#include "gamedata/TextLines.h"
#include "gamedata/UserIniFile.h"
#include "journal/Journal.h"
#include "platform/Files.h"

#include <algorithm>
#include <array>
#include <memory>
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
constexpr auto kNumberingOrder = std::to_array<NumberedFile>({
    {kGoods, "Good", "Good erstellt", "goods entfernt"},
    {kShipArch, "Ship", "Ships erstellt", "Ships entfernt"},
    {kMiscEquip, "Power", "Power erstellt", "Power entfernt"},
    {kEngineEquip, "Engine", "Engine erstellt", "Engine entfernt"},
});
constexpr auto kRemovalOrder =
    std::to_array({kNumberingOrder[1], kNumberingOrder[0], kNumberingOrder[2], kNumberingOrder[3]});

const std::string& pathOf(const DataFileSet& files, DataFileIndex index) {
    return files.files[static_cast<std::size_t>(index)];
}

// Appends the line to out, numbered when it is a header of name. A header still numbered
// by a run that was killed is numbered anew in file order, so that no number is taken twice.
void appendNumbered(std::string_view line, bool atFileStart, std::string_view name, int& counter,
                    std::string& out) {
    const auto header = matchKindHeader(line, name, atFileStart);
    if (!header) {
        out += line;
        return;
    }
    out.append(line.substr(0, header->open)).append("[").append(name);
    out.append(std::to_string(counter)).append("]").append(line.substr(header->end));
    ++counter;
}

// Appends the line to out, with a numbered header of name made plain again.
void appendPlain(std::string_view line, bool atFileStart, std::string_view name, std::string& out) {
    const auto header = matchKindHeader(line, name, atFileStart);
    if (!header || header->digits.empty()) {
        out += line;
        return;
    }
    out.append(line.substr(0, header->open)).append("[").append(name).append("]");
    out.append(line.substr(header->end));
}

// The whole file line by line, each line through edit(line, atFileStart, out) and followed
// by its own line end, without splitting it into separate strings first (the largest files
// have tens of thousands).
template <typename Edit> std::string rewriteLines(std::string_view text, Edit&& edit) {
    std::string out;
    out.reserve(text.size() + text.size() / 8 + 2);
    bool atFileStart = true;
    forEachLine(text, [&](LineWithEnd line) {
        edit(line.text, atFileStart, out);
        atFileStart = false;
        out += line.ending;
    });
    return out;
}

// Writes the text back unless it is the same bytes.
void writeBack(const std::string& path, const std::string& original, const std::string& text) {
    if (text != original) {
        writeFileAtomically(path, text);
    }
}

} // namespace

std::string withPlainHeaders(std::string_view text, std::string_view kind) {
    return rewriteLines(text, [&](std::string_view line, bool atFileStart, std::string& out) {
        appendPlain(line, atFileStart, kind, out);
    });
}

std::string closedFormOf(DataFileIndex file, std::string_view bytes) {
    for (const NumberedFile& row : kNumberingOrder) {
        if (row.file == file && bytes.find('\0') == std::string_view::npos) {
            return withPlainHeaders(bytes, row.name);
        }
    }
    return std::string(bytes);
}

NotTextFileError::NotTextFileError(std::string path)
    : std::runtime_error(path + " is not a text file"), path_(std::move(path)) {}

int numberHeaders(std::vector<std::string>& lines, std::string_view name) {
    int counter = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line;
        appendNumbered(lines[i], i == 0, name, counter, line);
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

namespace {

std::string numberingFailure(const std::string& path, const std::string& cause,
                             const std::vector<std::string>& unrestored) {
    std::string text = path + ": " + cause;
    if (!unrestored.empty()) {
        text += "; still numbered, as they could not be restored:";
        for (const std::string& file : unrestored) {
            text += " " + file + ";";
        }
        text.pop_back();
    }
    return text;
}

} // namespace

NumberingError::NumberingError(std::string path, const std::string& cause,
                               std::vector<std::string> unrestored)
    : std::runtime_error(numberingFailure(path, cause, unrestored)), path_(std::move(path)),
      cause_(cause), unrestored_(std::move(unrestored)) {}

namespace {

// Headers numbered by an earlier run, and lines that were meant as headers but open no
// section of the kind: both are journaled with their line.
void journalOddHeaders(TJournal& journal, const std::string& path, std::string_view text,
                       std::string_view kind) {
    long long number = 0;
    int leftovers = 0;
    forEachLine(text, [&](LineWithEnd line) {
        ++number;
        const bool atFileStart = number == 1;
        if (const auto header = matchKindHeader(line.text, kind, atFileStart)) {
            leftovers += header->digits.empty() ? 0 : 1;
        } else if (looksLikeBrokenHeader(line.text, kind, atFileStart)) {
            journal.WriteFormatted("Fehlerhafte Sektionszeile %d in [%s]: %s",
                                   {number, path, std::string(line.text)},
                                   JournalEntryKind::Warning);
        }
    });
    if (leftovers > 0) {
        journal.WriteFormatted("%d Nummerierungen aus einem früheren Lauf in [%s] - neu nummeriert",
                               {static_cast<long long>(leftovers), path},
                               JournalEntryKind::Warning);
    }
}

} // namespace

SectionCounts NumberSections(TJournal& journal, const DataFileSet& files) {
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

    SectionCounts counts;
    for (std::size_t i = 0; i < kNumberingOrder.size(); ++i) {
        const NumberedFile& row = kNumberingOrder[i];
        const std::string& path = pathOf(files, row.file);
        journalOddHeaders(journal, path, contents[i], row.name);
        int counter = 0;
        const std::string numbered = rewriteLines(
            contents[i], [&](std::string_view line, bool atFileStart, std::string& out) {
                appendNumbered(line, atFileStart, row.name, counter, out);
            });
        try {
            writeBack(path, contents[i], numbered);
        } catch (const std::exception& error) {
            // No half-numbered set: the files numbered so far get their bytes back.
            std::vector<std::string> unrestored;
            for (std::size_t done = 0; done < i; ++done) {
                const std::string& donePath = pathOf(files, kNumberingOrder[done].file);
                try {
                    writeBack(donePath, std::string(), contents[done]);
                } catch (const std::exception& undo) {
                    journal.WriteFormatted("Nummerierung nicht entfernt [%s] - %s",
                                           {donePath, undo.what()}, JournalEntryKind::Error);
                    unrestored.push_back(donePath + " - " + undo.what());
                }
            }
            journal.WriteFormatted("Nummerierung fehlgeschlagen [%s] - %s", {path, error.what()},
                                   JournalEntryKind::Error);
            if (!unrestored.empty()) {
                journal.WriteFormatted("Nummerierung nicht zurückgenommen - %d Dateien bleiben "
                                       "nummeriert",
                                       {static_cast<long long>(unrestored.size())},
                                       JournalEntryKind::Error);
            }
            const NumberingError failure(path, error.what(), std::move(unrestored));
            journal.Write("Nummerierung abgebrochen", JournalEntryKind::End);
            throw failure;
        }
        counts[static_cast<std::size_t>(row.file)] = counter;
        journal.Write(row.numberedText, JournalEntryKind::Info);
    }
    journal.Write("Nummerierung erstellt", JournalEntryKind::End);
    return counts;
}

std::vector<std::string> numberedSectionNames(std::string_view text, std::string_view kind) {
    std::vector<std::string> names;
    bool atFileStart = true;
    forEachLine(text, [&](LineWithEnd line) {
        const auto header = matchKindHeader(line.text, kind, atFileStart);
        atFileStart = false;
        if (header && !header->digits.empty()) {
            names.push_back(std::string(kind) + std::string(header->digits));
        }
    });
    return names;
}

namespace {

// Whether the file as parsed (the parse the reading uses anyway) holds a header of the kind
// without a number; true when it cannot be parsed, so that the line rule decides.
bool hasPlainHeader(const std::string& path, std::string_view kind) {
    std::shared_ptr<const ini::ParsedIni> parsed;
    try {
        parsed = ini::currentIni(path);
    } catch (const std::exception&) {
        return true;
    }
    if (!parsed || parsed->bytes().find('\0') != std::string::npos) {
        return true; // the line rule's reading refuses it as before
    }
    return std::any_of(parsed->sections().begin(), parsed->sections().end(), [&](const auto& s) {
        const auto header = matchKindHeader(parsed->headerLine(s), kind);
        return header && header->digits.empty();
    });
}

} // namespace

std::vector<std::string> NumberNewSections(TJournal& journal, const DataFileSet& files,
                                           const std::vector<DataFileIndex>& which) {
    std::vector<std::string> numbered;
    for (const NumberedFile& row : kNumberingOrder) {
        if (std::find(which.begin(), which.end(), row.file) == which.end()) {
            continue;
        }
        const std::string& path = pathOf(files, row.file);
        if (!hasPlainHeader(path, row.name)) {
            continue; // most outside changes add no section: nothing to rewrite
        }
        const std::string original = readFile(path);
        if (original.find('\0') != std::string::npos) {
            throw NotTextFileError(path);
        }
        // The numbers continue after the highest in use, so none is taken twice.
        long long next = 0;
        for (const std::string& name : numberedSectionNames(original, row.name)) {
            const std::string digits = name.substr(row.name.size());
            if (digits.size() <= 9) { // larger numbers are no open's
                next = std::max(next, std::stoll(digits) + 1);
            }
        }
        int added = 0;
        const std::string text =
            rewriteLines(original, [&](std::string_view line, bool atFileStart, std::string& out) {
                const auto header = matchKindHeader(line, row.name, atFileStart);
                if (!header || !header->digits.empty()) {
                    out += line;
                    return;
                }
                out.append(line.substr(0, header->open)).append("[").append(row.name);
                out.append(std::to_string(next++)).append("]").append(line.substr(header->end));
                ++added;
            });
        if (added > 0) {
            writeBack(path, original, text);
            journal.WriteFormatted("%d neue Sektionen nummeriert [%s]",
                                   {static_cast<long long>(added), path}, JournalEntryKind::Info);
            numbered.push_back(path + ": " + std::to_string(added));
        }
    }
    return numbered;
}

std::vector<std::string> RemoveSectionNumbers(TJournal& journal, const DataFileSet& files) {
    journal.Write("Entferne Nummerierungen", JournalEntryKind::Begin);
    std::vector<std::string> failures;
    for (const NumberedFile& row : kRemovalOrder) {
        const std::string& path = pathOf(files, row.file);
        try {
            const std::string original = readFile(path);
            if (original.find('\0') != std::string::npos) {
                throw NotTextFileError(path);
            }
            const std::string plain = withPlainHeaders(original, row.name);
            writeBack(path, original, plain);
            journal.Write(row.removedText, JournalEntryKind::Info);
        } catch (const std::exception& error) {
            // The other files are still made readable for the game.
            journal.WriteFormatted("Nummerierung nicht entfernt [%s] - %s", {path, error.what()},
                                   JournalEntryKind::Error);
            failures.push_back(path + " - " + error.what());
        }
    }
    journal.Write("Nummerierung entfernen", JournalEntryKind::End);
    return failures;
}

} // namespace skarvel
