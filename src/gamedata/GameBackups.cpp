#include "gamedata/GameBackups.h"

#include "gamedata/SectionNumbering.h"
#include "journal/Journal.h"
#include "journal/VersionInfo.h"
#include "platform/AsciiText.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"
#include "platform/OwnFolders.h"
#include "platform/Sha256.h"
#include "platform/SystemFacts.h"

#include <algorithm>
#include <cctype>

namespace skarvel {

namespace {

// The path below the data folder as the game spells it on disk.
std::string pathBelowData(const DataFileSet& files, std::size_t index) {
    const std::string& full = files.files[index];
    if (full.size() > files.dataDir.size() && startsWithIgnoringCase(full, files.dataDir)) {
        return full.substr(files.dataDir.size());
    }
    return std::string(kDataFileNames[index]);
}

} // namespace

BackupSettings defaultBackupSettings() {
    return {userBackupsFolder(), userStateFolder(), 20, VersionString(executablePath())};
}

GameBackups::GameBackups(TJournal& journal, BackupSettings settings, const std::string& gameFolder,
                         DataFileSet files)
    : journal_(journal), settings_(std::move(settings)), store_(settings_.root, gameFolder),
      marker_(settings_.state, BackupStore::gameKey(store_.game())), files_(std::move(files)) {}

std::vector<FileContent> GameBackups::closedForm() const {
    std::vector<FileContent> contents;
    for (std::size_t i = 0; i < files_.files.size(); ++i) {
        std::string bytes;
        try {
            bytes = readFile(files_.files[i]);
        } catch (const std::exception& error) {
            throw BackupError(error.what());
        }
        contents.push_back(
            {pathBelowData(files_, i), closedFormOf(static_cast<DataFileIndex>(i), bytes)});
    }
    return contents;
}

Backup GameBackups::ensure(std::string_view cause) {
    const std::vector<FileContent> contents = closedForm();
    const std::vector<Backup> backups = store_.list();
    if (!backups.empty() && backups.front().manifest.files == describe(contents)) {
        try {
            store_.verify(backups.front());
            journal_.Write("Sicherung unverändert [" + backups.front().folder + "]",
                           JournalEntryKind::Info);
            return backups.front();
        } catch (const BackupError& error) {
            journal_.Write(error.what(), JournalEntryKind::Warning);
        }
    }
    Backup made = store_.add(contents, cause, settings_.version);
    journal_.Write("Sicherung erstellt [" + made.folder + "] - Anlass " + std::string(cause),
                   JournalEntryKind::Info);
    try {
        for (const std::string& removed : store_.prune(settings_.kept)) {
            journal_.Write("Alte Sicherung gelöscht [" + removed + "]", JournalEntryKind::Info);
        }
    } catch (const BackupError& error) {
        // The new backup is whole; an old one that stays is no reason to stop.
        journal_.Write(error.what(), JournalEntryKind::Warning);
    }
    return made;
}

std::vector<BackupFile> GameBackups::currentFiles() const {
    try {
        return describe(closedForm());
    } catch (const BackupError&) {
        // A file that cannot be read is missing here, so it differs from every backup.
        return {};
    }
}

std::vector<FileComparison> GameBackups::compare(const Backup& backup) const {
    return compareWith(backup, currentFiles());
}

std::vector<FileComparison> GameBackups::compareWith(const Backup& backup,
                                                     const std::vector<BackupFile>& current) {
    std::vector<FileComparison> comparisons;
    for (const BackupFile& file : backup.manifest.files) {
        const bool same = std::find(current.begin(), current.end(), file) != current.end();
        comparisons.push_back({file, same});
    }
    return comparisons;
}

std::vector<BackupRow> GameBackups::rows() const {
    std::vector<BackupRow> rows;
    const std::vector<Backup> backups = store_.list();
    const std::vector<BackupFile> current = currentFiles(); // hashed once for every row
    for (const Backup& backup : backups) {
        BackupRow row{backup, backup.name, false, 0, compareWith(backup, current)};
        // "2026-12-08_10-31-05" reads as "2026-12-08 10:31:05".
        if (row.shownTime.size() >= 19) {
            row.shownTime[10] = ' ';
            row.shownTime[13] = ':';
            row.shownTime[16] = ':';
        }
        for (const BackupFile& file : backup.manifest.files) {
            row.totalSize += file.size;
        }
        rows.push_back(std::move(row));
    }
    if (!rows.empty()) {
        rows.back().original = true;
    }
    return rows;
}

std::optional<Backup> GameBackups::find(const std::string& name) const {
    for (Backup& backup : store_.list()) {
        if (backup.name == name) {
            return std::move(backup);
        }
    }
    return std::nullopt;
}

std::string GameBackups::pathInGame(const std::string& relative) const {
    return resolveCaseInsensitive(files_.dataDir + relative);
}

void GameBackups::restore(const Backup& backup) {
    store_.verify(backup);
    ensure("restore");
    for (const BackupFile& file : backup.manifest.files) {
        const std::string target = pathInGame(file.path);
        const std::string bytes = store_.read(backup, file);
        if (fileExists(target) && readFile(target) == bytes) {
            continue;
        }
        writeFileAtomically(target, bytes);
        journal_.Write("Aus Sicherung " + backup.name + " wiederhergestellt [" + target + "]",
                       JournalEntryKind::Info);
    }
}

} // namespace skarvel
