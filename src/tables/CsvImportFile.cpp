#include "tables/CsvImportFile.h"

#include "journal/Encoding.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "ports/Dialogs.h"
#include "tables/CsvText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace skarvel {

namespace {

// The problems of an import that get a journal line each; the rest go kProblemsPerLine to
// a line.
constexpr std::size_t kProblemsJournalledAlone = 100;
constexpr std::size_t kProblemsPerLine = 1000;

// Why the file cannot be imported, or empty when its bytes were read.
std::string readCsvFile(const std::string& path, std::string& bytes) {
    struct stat info {};
    switch (tryReadRegularFile(path, kCsvFileCap, bytes, &info)) {
    case RegularRead::Read:
        return {};
    case RegularRead::NotRegular:
        return path + " is " + std::string(fileKindText(info.st_mode)) + ", not a regular file.";
    case RegularRead::TooLarge: {
        const auto size = static_cast<std::uint64_t>(info.st_size);
        char megabytes[32];
        std::snprintf(megabytes, sizeof megabytes, "%.1f", static_cast<double>(size) / 1048576.0);
        return path + " is " + megabytes + " MB (" + std::to_string(size) +
               " bytes); a CSV file above 64 MB is not imported.";
    }
    case RegularRead::Failed:
        break;
    }
    return path + " cannot be read: " + std::strerror(errno) + ".";
}

} // namespace

bool writeCsvFile(TJournal& journal, Dialogs& dialogs, const std::string& path,
                  const std::string& text) {
    try {
        writeFileAtomically(path, text);
    } catch (const std::exception& error) {
        journal.Write(error.what(), JournalEntryKind::Error);
        dialogs.message(MessageKind::Error,
                        std::string("The CSV file was not written: ") + error.what());
        return false;
    }
    return true;
}

std::optional<std::string> importCsvFile(TJournal& journal, Dialogs& dialogs,
                                         const std::string& path, const CsvImportWords& words,
                                         const CsvImport& import) {
    std::string bytes;
    if (const std::string refusal = readCsvFile(path, bytes); !refusal.empty()) {
        journal.Write(refusal, JournalEntryKind::Error);
        dialogs.message(MessageKind::Error, refusal + "\nNothing was imported.");
        return std::nullopt;
    }
    // The journal syncs every line to disk: beyond the first problems, many go to a line.
    std::size_t journalled = 0;
    std::string batch;
    const auto writeBatch = [&] {
        if (!batch.empty()) {
            journal.WriteFormatted(std::string(words.journal) + ": nicht übernommen: %s", {batch},
                                   JournalEntryKind::Data);
            batch.clear();
        }
    };
    const TableImport result = import(bytes, [&](const std::string& problem) {
        batch += (batch.empty() ? "" : " | ") + problem;
        if (++journalled <= kProblemsJournalledAlone ||
            (journalled - kProblemsJournalledAlone) % kProblemsPerLine == 0) {
            writeBatch();
        }
    });
    writeBatch();
    journal.WriteFormatted(
        std::string(words.journal) + ": %d Werte importiert aus %s, %d nicht übernommen",
        {static_cast<long long>(result.changed), path, static_cast<long long>(result.problemCount)},
        JournalEntryKind::Info);
    std::string text =
        std::to_string(result.changed) +
        (result.changed == 1
             ? " value of the file differs from the value read and is now a pending change; "
             : " values of the file differ from the values read and are now pending changes; ") +
        "Review and save writes them. A value that " + std::string(words.rows) + " share (" +
        std::string(words.shared) +
        ") counts once.\n\rSeparator: " + std::string(separatorName(result.separator)) + ".";
    if (result.problemCount > 0) {
        text += "\n\rThese were left alone:";
        for (const std::string& problem : result.problems) {
            text += "\n\r" + fromCp1252(problem);
        }
        if (result.problemCount > result.problems.size()) {
            text += "\n\r... and " + std::to_string(result.problemCount - result.problems.size()) +
                    " more problems (all in the journal)";
        }
    }
    return text;
}

} // namespace skarvel
