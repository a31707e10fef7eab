#include "gamedata/FileCheck.h"

#include "gamedata/GameFolderPaths.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "ports/Dialogs.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace skarvel {

namespace {

constexpr std::string_view kGameDirMessage =
    "The dierctory you specified as the path to the freelancer game directory is not valid or "
    "does not exist - please reenter it";
constexpr std::string_view kConverterDirMessage =
    "The dierctory you specified as the path for the bini.exe is not valid or does not exist - "
    "please reenter it";
constexpr std::string_view kReadOnlyMessage =
    "One or more ini files were READ_ONLY and could not be set back to WRITE_ABLE\n\r"
    "Sometimes the use of FLMM can have such affects. The most simple solution for this\n\r"
    "problem is to set the file attributes of the inifiles manualy. Only set Readonly to False\n\r"
    "After that trick you should be able to open the inis with this tool";

struct FolderField {
    std::string_view folder;
    std::string_view existsFormat;
    std::string_view missingFormat;
    std::string_view message;
};

bool checkFolder(TJournal& journal, Dialogs& dialogs, const FolderField& field) {
    const std::string folder(field.folder);
    if (directoryExists(folder)) {
        journal.WriteFormatted(field.existsFormat, {folder, boolText(true)},
                               JournalEntryKind::Info);
        return true;
    }
    journal.WriteFormatted(field.missingFormat, {folder, boolText(false)}, JournalEntryKind::Error);
    dialogs.message(MessageKind::Error, field.message);
    return false;
}

// True when the file is writable now, clearing its read-only flag if need be.
bool makeWritable(TJournal& journal, const std::string& path) {
    if (isReadOnly(path)) {
        journal.WriteFormatted("Inidatei %s  ist READ_ONLY", {path}, JournalEntryKind::Error);
        if (clearReadOnly(path)) {
            journal.WriteFormatted("WRITE_ABLE wurde gesetzt für [%s]", {path},
                                   JournalEntryKind::Action);
        } else {
            journal.WriteFormatted("WRITE_ABLE wurde NICHT gesetzt für [%s]", {path},
                                   JournalEntryKind::Error);
        }
    } else {
        journal.WriteFormatted("Inidatei %s  ist nicht READ_ONLY", {path}, JournalEntryKind::Info);
    }
    return !isReadOnly(path);
}

} // namespace

FileCheckResult CheckFilesAndDirs(TJournal& journal, Dialogs& dialogs, const GameFolders& folders,
                                  const DataFileSet& files) {
    journal.Write("CHECK_FILES_AND_DIRS", JournalEntryKind::Begin);
    FileCheckResult check;
    bool result = true;
    bool readOnlyLeft = false;

    // Both folders are tested whatever the first one gave.
    const bool gameDirOk = checkFolder(
        journal, dialogs,
        {folders.game, "FL Dir Exists %s = %s", "FL Dir Not Exists %s = %s", kGameDirMessage});
    const bool converterDirOk = checkFolder(journal, dialogs,
                                            {folders.converter, "Bini Dir Exists %s = %s",
                                             "Bini Dir Not Exists %s = %s", kConverterDirMessage});
    if (!converterDirOk) {
        check.wrongFolder = GameFolder::Converter;
    } else if (!gameDirOk) {
        check.wrongFolder = GameFolder::Game;
    }
    result = gameDirOk && converterDirOk;

    for (int i = 0; i < files.count; ++i) {
        const std::string& path = files.files[static_cast<std::size_t>(i)];
        const bool exists = fileExists(path);
        if (exists) {
            journal.WriteFormatted("File Exists %s = %s", {path, boolText(true)},
                                   JournalEntryKind::Info);
            if (!makeWritable(journal, path)) {
                readOnlyLeft = true;
            }
        } else {
            journal.WriteFormatted("File NOT Exists %s = %s", {path, boolText(false)},
                                   JournalEntryKind::Error);
        }
        result = result && exists && !readOnlyLeft;
    }

    if (readOnlyLeft) {
        dialogs.message(MessageKind::Error, kReadOnlyMessage);
    }
    journal.Write("CHECK_FILES_AND_DIRS", JournalEntryKind::End);
    check.passed = result;
    return check;
}

bool isCompressedForm(std::string_view bytes) {
    return bytes.starts_with("BINI");
}

std::string dataFileProblem(const std::string& path, bool compressedAllowed) {
    std::string bytes;
    struct stat info {};
    switch (tryReadRegularFile(path, kDataFileSizeCap, bytes, &info)) {
    case RegularRead::Read:
        break;
    case RegularRead::NotRegular:
        return "is " + std::string(fileKindText(info.st_mode)) + ", not a regular file";
    case RegularRead::TooLarge:
        return "is larger than the 64 MB cap";
    case RegularRead::Failed:
        return errno == ENOENT ? std::string(kFileMissing)
                               : std::string("cannot be read: ") + std::strerror(errno);
    }
    if (isCompressedForm(bytes)) {
        return compressedAllowed ? std::string()
                                 : "is a compressed file now; open the data files again to "
                                   "unpack it";
    }
    if (bytes.empty()) {
        return "is damaged: it is empty";
    }
    if (bytes.find('\0') != std::string::npos) {
        return "is damaged: it holds a NUL byte, so it is not a text file";
    }
    return {};
}

std::vector<DataFileProblem> dataFileProblems(const DataFileSet& files, bool compressedAllowed,
                                              bool withMissing) {
    std::vector<DataFileProblem> problems;
    for (std::size_t i = 0; i < files.files.size(); ++i) {
        const std::string& path = files.files[i];
        std::string problem = dataFileProblem(path, compressedAllowed);
        if (!problem.empty() && (withMissing || problem != kFileMissing)) {
            problems.push_back({static_cast<DataFileIndex>(i), path, std::move(problem)});
        }
    }
    return problems;
}

} // namespace skarvel
