#include "gamedata/DataSet.h"

#include "Version.h"
#include "gamedata/DataSetObjects.h"
#include "gamedata/FileCheck.h"
#include "gamedata/IniEngine.h"
#include "gamedata/SectionFinder.h"
#include "gamedata/SectionNumbering.h"
#include "gamedata/Unpack.h"
#include "journal/Format.h"
#include "journal/Journal.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"
#include "ports/Dialogs.h"

#include <algorithm>
#include <stdexcept>

namespace skarvel {

namespace {

constexpr std::string_view kOpenElsewhereMessage =
    "This data set is already open in another Skarvel window. The data files were not opened.";

constexpr std::string_view kNotLockedWarning =
    "The data folder cannot be locked, as on some network file systems. Another copy of "
    "Skarvel on another machine could open the same game at the same time and overwrite your "
    "changes: open it on one machine only.\n\r";

constexpr std::string_view kNoBackupMessage =
    "No backup of the data files could be made, so they were not opened and nothing was "
    "changed:\n\r";
constexpr std::string_view kInterruptedSaveQuestion =
    "The last save of these data files was interrupted, so they may not belong together.\n\r"
    "Restore the backup made just before that save (%s)?\n\r\n\r"
    "Yes restores it, No keeps the files as they are.";
constexpr std::string_view kRestoreFailedMessage =
    "The backup made before the interrupted save could not be restored, so the data files "
    "were not opened; the next open offers it again.\n\r";

std::string numberingErrorMessage(const std::string& journalFile) {
    // A build without a contact address names none.
    const std::string_view contact = SKARVEL_CONTACT_ADDRESS;
    return "An unhandled error occured. Please try to open the inifiles again.\n\r"
           "If this error stays please " +
           (contact.empty() ? std::string("report it") : "contact me at " + std::string(contact)) +
           ". Please attach\n\rthe file \"" + journalFile +
           "\" which is located in the tools directory !!";
}

std::string unpackErrorMessage(const UnpackFailure& failure) {
    if (failure.converterMissing) {
        return "The file " + failure.file +
               " is compressed and the converter bini was not found in the folder set on the "
               "Options page.\n\rThe data files were not opened.";
    }
    return "The file " + failure.file + " could not be unpacked. The data files were not opened.";
}

} // namespace

DataSet::DataSet(TJournal& journal, Dialogs& dialogs, std::string programFolder)
    : journal_(journal), dialogs_(dialogs), programFolder_(std::move(programFolder)) {}

DataSet::~DataSet() = default;

void DataSet::writeEnd(std::string_view text) {
    // The numbering's error report closes the open's timers early; the open's later End
    // lines must not fail on an empty timer stack.
    journal_.Write(text,
                   journal_.openTimers() > 0 ? JournalEntryKind::End : JournalEntryKind::Info);
}

void DataSet::writeOpenState() {
    journal_.WriteFormatted("INIS OPEN = %s", {boolText(open_)}, JournalEntryKind::Info);
}

void DataSet::finishOpen() {
    if (!open_) {
        folderLock_.release();
    }
    writeOpenState();
    writeEnd("OPEN_INI_FILES");
    writeOpenState();
}

OpenRefusal DataSet::refuseOpen(std::string message) {
    finishOpen();
    return {std::move(message), std::nullopt};
}

std::optional<OpenRefusal> DataSet::OpenIniFiles(const GameFolders& folders, bool alreadyBackedUp) {
    if (openingRefused_) {
        journal_.Write("Programm wird beendet - Daten werden nicht geöffnet",
                       JournalEntryKind::Warning);
        return OpenRefusal{};
    }
    journal_.Write("OPEN_INI_FILES", JournalEntryKind::Begin);
    if (folders.game != gameDirectory_) {
        modFiles_.clear(); // another game's
    }
    gameDirectory_ = folders.game;
    files_ = makeDataFileSet(gameDirectory_);
    // Before the check, whose clearing of read-only flags is already a write.
    const auto lock = folderLock_.take(files_.dataDir);
    if (lock == DataFolderLock::Outcome::HeldElsewhere) {
        journal_.WriteFormatted("Data folder %s is open in another Skarvel window",
                                {files_.dataDir}, JournalEntryKind::Error);
        return refuseOpen(std::string(kOpenElsewhereMessage));
    }
    if (lock == DataFolderLock::Outcome::Unavailable) {
        journal_.Write("Data folder not locked: " + folderLock_.problem(),
                       JournalEntryKind::Warning);
        // Once a run: the open goes on, but the user has to know what no lock means.
        if (!unlockedWarned_) {
            unlockedWarned_ = true;
            dialogs_.warningOk(std::string(kNotLockedWarning) + folderLock_.problem());
        }
    }
    // A file another program made unreadable (a FIFO, a folder, a truncated or damaged file)
    // stops the open before anything is written; a missing one is the file check's.
    if (const auto problems = dataFileProblems(files_, /*compressedAllowed=*/true, false);
        !problems.empty()) {
        std::string message;
        for (const DataFileProblem& problem : problems) {
            journal_.WriteFormatted("Data file cannot be read as it is now: %s", {problem.text()},
                                    JournalEntryKind::Error);
            message += problem.text() + ".\n\r";
        }
        return refuseOpen(message + "The data files were not opened.");
    }
    if (const FileCheckResult check = CheckFilesAndDirs(journal_, dialogs_, folders, files_);
        !check.passed) {
        finishOpen();
        return OpenRefusal{{}, check.wrongFolder};
    }
    journal_.Write("Files and Dirs exist", JournalEntryKind::Info);
    for (const std::string& file : files_.files) {
        for (const std::string& leftover : removeLeftoverTemporaries(file)) {
            journal_.WriteFormatted("Temporäre Datei eines abgebrochenen Schreibens entfernt [%s]",
                                    {leftover}, JournalEntryKind::Warning);
        }
    }

    // Nothing of the game's is written before a verified backup of it exists.
    GameBackups backups = this->backups();
    if (auto failure = offerInterruptedSave(backups)) {
        return refuseOpen(std::move(*failure));
    }
    try {
        if (!alreadyBackedUp) {
            backups.ensure("open");
        }
    } catch (const BackupError& error) {
        journal_.Write("Sicherung fehlgeschlagen - " + std::string(error.what()),
                       JournalEntryKind::Error);
        return refuseOpen(std::string(kNoBackupMessage) + error.what());
    }

    if (const auto failure = UnpackCompressedFiles(journal_, folders.converter, files_)) {
        return refuseOpen(unpackErrorMessage(*failure));
    }

    // The lists themselves are made new with the objects below, so that a refused open
    // leaves an open set as it was.
    journal_.Write("Create Sec_Lists", JournalEntryKind::Info);

    keptPlain_ = keepFilesPlain_ && keepFilesPlain_();
    try {
        if (keptPlain_) {
            // The numbering lives in memory; numbers left by a run cut short go.
            journal_.Write("Nummerierung nur im Speicher - Dateien bleiben spielbar",
                           JournalEntryKind::Info);
            if (const auto failures = RemoveSectionNumbers(journal_, files_); !failures.empty()) {
                throw std::runtime_error(failures.front());
            }
        } else {
            NumberSections(journal_, files_);
        }
    } catch (const NotTextFileError& error) {
        return refuseOpen("The file " + error.path() +
                          " is not a text file. The data files were not opened.");
    } catch (const NumberingError& error) {
        // Nothing half-numbered is ever opened: the numbering undid itself, as far as it could.
        std::string message = "The section numbers could not be written to " + error.path() +
                              ":\n\r" + error.cause() + "\n\rThe data files were not opened";
        if (error.unrestored().empty()) {
            return refuseOpen(message + " and were left as they were.");
        }
        message += ". These files could not be restored and are still numbered:";
        for (const std::string& file : error.unrestored()) {
            message += "\n\r" + file;
        }
        return refuseOpen(message);
    } catch (const std::exception& error) {
        journal_.Write(error.what(), JournalEntryKind::Error);
        return refuseOpen(numberingErrorMessage(journal_.fileName()));
    }

    journal_.Write("Ini_files Objekte erzeugen", JournalEntryKind::Begin);
    // A reload whose close failed still holds the old objects and lists: release them first.
    objects_.reset();
    sections_ = SectionLists{};
    listStamps_ = {};
    objects_ = std::make_unique<Objects>(journal_, programFolder_, files_);
    journal_.Write("Ini_files Objekte erzeugen", JournalEntryKind::End);

    BuildSectionLists();
    open_ = true;
    takeSnapshot();
    finishOpen();
    return std::nullopt;
}

void DataSet::BuildSectionLists() {
    journal_.Write("SektionsListen erstellen", JournalEntryKind::Begin);
    const ini::ReadOnlyPhase readOnly; // the ship list reads a name from every ship
    // The numbered headers in file order: right after the open entry k is kind + k; after
    // another program added or removed sections the numbers may have gaps or run out of order.
    // With the numbering held in memory the plain headers answer to kind + k.
    const auto names = [this](std::string_view kind, DataFileIndex file, std::size_t slot,
                              std::vector<std::string>& list) {
        const auto parsed = ini::currentIni(files_.files[static_cast<std::size_t>(file)]);
        if (parsed && parsed->layoutStamp() == listStamps_[slot]) {
            return;
        }
        list.clear();
        listStamps_[slot] = parsed ? parsed->layoutStamp() : 0;
        if (parsed) {
            list = kindSectionNames(*parsed, kind);
        }
    };
    names("Ship", kShipArch, 0, sections_.ships);
    journal_.Write("SHIP SektionsListe erstellt", JournalEntryKind::Info);
    names("Good", kGoods, 1, sections_.goods);
    journal_.Write("GOOD SektionsListe erstellt", JournalEntryKind::Info);
    names("Power", kMiscEquip, 2, sections_.powers);
    journal_.Write("POWER SektionsListe erstellt", JournalEntryKind::Info);
    names("Engine", kEngineEquip, 3, sections_.engines);
    journal_.Write("ENGINE SektionsListe erstellt", JournalEntryKind::Info);
    if (fillShipList_) {
        fillShipList_();
    }
    journal_.Write("SektionsListen erstellen", JournalEntryKind::End);
}

CloseOutcome DataSet::CloseIniFiles(const GameFolders& folders) {
    journal_.Write("CLOSE_INI_FILES", JournalEntryKind::Begin);
    if (!open_) {
        journal_.Write("Inis arent open", JournalEntryKind::Error);
        journal_.Write("CLOSE_INI_FILES", JournalEntryKind::End);
        return {};
    }
    journal_.Write("Inis are open", JournalEntryKind::Info);
    const FileCheckResult check = CheckFilesAndDirs(journal_, dialogs_, folders, files_);
    // A missing folder or file does not keep the others numbered: every numbered file that
    // can be written loses its numbers, and each one that cannot is named with its cause.
    journal_.Write(check.passed ? "Files and Dirs exist" : "FILES AND DIRS DONT EXIST",
                   check.passed ? JournalEntryKind::Info : JournalEntryKind::Error);
    open_ = false;

    FlushIniFiles();
    journal_.Write("Inis updated", JournalEntryKind::Info);
    objects_.reset();
    journal_.Write("Inis freed", JournalEntryKind::Info);
    sections_ = SectionLists{};
    listStamps_ = {};
    journal_.Write("SecLists freed", JournalEntryKind::Info);

    CloseOutcome outcome{RemoveSectionNumbers(journal_, files_), check.wrongFolder};
    if (outcome.failures.empty()) {
        folderLock_.release(); // kept while numbered files may still be opened again
    }
    journal_.Write("CLOSE_INI_FILES", JournalEntryKind::End);
    return outcome;
}

void DataSet::takeSnapshot() {
    reportedProblems_.clear();
    for (std::size_t i = 0; i < files_.files.size(); ++i) {
        stamps_[i] = FileStamp::of(files_.files[i]);
    }
}

void DataSet::takeSnapshotOf(const std::vector<std::string>& written) {
    for (std::size_t i = 0; i < files_.files.size(); ++i) {
        if (std::find(written.begin(), written.end(), files_.files[i]) != written.end()) {
            stamps_[i] = FileStamp::of(files_.files[i]);
        }
    }
}

std::vector<DataFileIndex> DataSet::changedSinceSnapshot() const {
    std::vector<DataFileIndex> changed;
    if (!open_) {
        return changed;
    }
    for (std::size_t i = 0; i < files_.files.size(); ++i) {
        if (FileStamp::of(files_.files[i]) != stamps_[i]) {
            changed.push_back(static_cast<DataFileIndex>(i));
        }
    }
    return changed;
}

std::vector<DataFileProblem>
DataSet::adoptOutsideChanges(const std::vector<DataFileIndex>& changed) {
    // Nothing is taken up while a file cannot be read: the lists would lose its sections.
    // No snapshot either, so that the changes are taken up whole once it can be read again.
    std::vector<DataFileProblem> problems = dataFileProblems(files_, false, /*withMissing=*/true);
    if (!problems.empty() && problems == reportedProblems_) {
        return problems; // told already
    }
    reportedProblems_ = problems;
    for (const DataFileIndex file : changed) {
        journal_.WriteFormatted("Datei außerhalb von Skarvel geändert [%s]",
                                {files_.files[static_cast<std::size_t>(file)]},
                                JournalEntryKind::Warning);
    }
    if (!problems.empty()) {
        for (const DataFileProblem& problem : problems) {
            journal_.WriteFormatted("Data file cannot be read as it is now: %s", {problem.text()},
                                    JournalEntryKind::Error);
        }
        return problems;
    }
    try {
        if (!keptPlain_) {
            NumberNewSections(journal_, files_, changed);
        }
    } catch (const std::exception& error) {
        // The sections keep the names they have; the plain ones are not listed.
        journal_.Write("Neue Sektionen nicht nummeriert - " + std::string(error.what()),
                       JournalEntryKind::Error);
    }
    BuildSectionLists();
    takeSnapshot();
    return problems;
}

void DataSet::reopenAfterFailedClose() {
    if (open_ || openingRefused_) {
        return; // the close never got as far as the numbers, or the program is ending
    }
    journal_.Write("Daten bleiben geöffnet", JournalEntryKind::Info);
    try {
        // The files made plain get their numbers back; the others kept them.
        if (!keptPlain_) {
            NumberSections(journal_, files_);
        }
    } catch (const std::exception& error) {
        journal_.Write(error.what(), JournalEntryKind::Error);
        return;
    }
    objects_ = std::make_unique<Objects>(journal_, programFolder_, files_);
    BuildSectionLists();
    open_ = true;
    takeSnapshot();
}

GameBackups DataSet::backups() const {
    DataFileSet files = files_;
    files.modFiles = modFiles_;
    return GameBackups(journal_, backupSettings_, gameDirectory_, std::move(files));
}

GameBackups DataSet::backupsOf(const std::string& gameDirectory) const {
    return GameBackups(journal_, backupSettings_, gameDirectory, makeDataFileSet(gameDirectory));
}

std::optional<std::string> DataSet::offerInterruptedSave(GameBackups& backups) {
    const std::optional<std::string> name = backups.marker().backupName();
    if (!name) {
        return std::nullopt;
    }
    journal_.Write("Letztes Speichern wurde unterbrochen - Sicherung " + *name,
                   JournalEntryKind::Warning);
    const std::optional<Backup> backup = backups.find(*name);
    const std::string question = formatText(kInterruptedSaveQuestion, {*name});
    if (!backup) {
        dialogs_.message(MessageKind::Error,
                         "The last save of these data files was interrupted, and the backup "
                         "made before it is missing. The files are kept as they are.");
    } else if (isYes(dialogs_.message(MessageKind::Warning, question))) {
        journal_.Write("JA - Sicherung wird wiederhergestellt", JournalEntryKind::System);
        try {
            backups.restore(*backup);
        } catch (const std::exception& error) {
            // The files may not belong together: no open on them, and the next open asks
            // again.
            journal_.Write(error.what(), JournalEntryKind::Error);
            return std::string(kRestoreFailedMessage) + error.what();
        }
    } else {
        journal_.Write("NEIN - Dateien bleiben wie sie sind", JournalEntryKind::System);
    }
    backups.marker().remove();
    return std::nullopt;
}

const GameNames& DataSet::loadGameNames() {
    gameNames_.load(journal_, gameDirectory_);
    return gameNames_;
}

} // namespace skarvel
