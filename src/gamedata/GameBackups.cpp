#include "gamedata/GameBackups.h"

#include "BiniFormat.h"
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
#include <ctime>

namespace skarvel {

namespace {

constexpr std::string_view kBiniMagic = "BINI";

// The path below the data folder as the game spells it on disk.
std::string pathBelowData(const DataFileSet& files, std::size_t index) {
    const std::string& full = files.files[index];
    if (full.size() > files.dataDir.size() && startsWithIgnoringCase(full, files.dataDir)) {
        return full.substr(files.dataDir.size());
    }
    return std::string(kDataFileNames[index]);
}

// "2026-12-08 10:31:05" in the local time of now, whatever zone the backup was made in.
std::string localTimeText(std::int64_t micros) {
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// Files beside the six that the Commodity page reads and its price edits may write: backed up
// and restored with them, as they are (they are never numbered); one that is missing is left
// out.
constexpr auto kTradeFileNames = std::to_array<std::string_view>(
    {"Equipment/market_commodities.ini", "Equipment/select_equip.ini"});

// The trade files and the further files of the mod the pages write, each once.
void appendTradeFiles(const DataFileSet& files, std::vector<FileContent>& contents) {
    const auto append = [&](const std::string& path, std::string below) {
        const bool known = std::any_of(contents.begin(), contents.end(), [&](const FileContent& c) {
            return equalsIgnoringCase(c.path, below);
        });
        if (!known && fileExists(path)) {
            contents.push_back({std::move(below), readFile(path)});
        }
    };
    for (const std::string_view name : kTradeFileNames) {
        const std::string path = resolveCaseInsensitive(files.dataDir + std::string(name));
        append(path, startsWithIgnoringCase(path, files.dataDir) ? path.substr(files.dataDir.size())
                                                                 : std::string(name));
    }
    for (const std::string& path : files.modFiles) {
        if (path.size() > files.dataDir.size() && startsWithIgnoringCase(path, files.dataDir)) {
            append(path, path.substr(files.dataDir.size()));
        }
    }
}

const FileContent* contentAt(const std::vector<FileContent>& contents, const std::string& path) {
    const auto found = std::find_if(contents.begin(), contents.end(),
                                    [&](const FileContent& file) { return file.path == path; });
    return found == contents.end() ? nullptr : &*found;
}

std::string restoreText(const std::string& cause, const std::vector<std::string>& restored,
                        const std::vector<std::string>& notRestored) {
    if (restored.empty()) {
        return cause;
    }
    std::string text = cause + "\n\rThese files were restored:";
    for (const std::string& path : restored) {
        text += "\n\r" + path;
    }
    text += "\n\rThese files were not restored:";
    for (const std::string& path : notRestored) {
        text += "\n\r" + path;
    }
    return text;
}

} // namespace

RestoreError::RestoreError(const std::string& cause, std::vector<std::string> restored,
                           std::vector<std::string> notRestored)
    : BackupError(restoreText(cause, restored, notRestored)), restored_(std::move(restored)),
      notRestored_(std::move(notRestored)) {}

BackupSettings defaultBackupSettings() {
    return {userBackupsFolder(), userStateFolder(), 30, VersionString(executablePath()), {}};
}

GameBackups::GameBackups(TJournal& journal, BackupSettings settings, const std::string& gameFolder,
                         DataFileSet files)
    : journal_(journal), settings_(std::move(settings)),
      store_(settings_.root, gameFolder, settings_.clock),
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
        const auto index = static_cast<DataFileIndex>(i);
        contents.push_back(
            {pathBelowData(files_, i),
             closedForms_.formOf(files_.files[i], bytes, [index](const std::string& raw) {
                 return closedFormOf(index, raw);
             })});
    }
    try {
        appendTradeFiles(files_, contents);
    } catch (const std::exception& error) {
        throw BackupError(error.what());
    }
    return contents;
}

std::vector<FileContent> GameBackups::currentContents(const std::vector<Backup>& compared) const {
    std::vector<FileContent> contents;
    for (std::size_t i = 0; i < files_.files.size(); ++i) {
        try {
            contents.push_back(
                {pathBelowData(files_, i),
                 closedFormOf(static_cast<DataFileIndex>(i), readFile(files_.files[i]))});
        } catch (const std::exception&) {
            // Missing here, so it differs from every backup.
        }
    }
    try {
        appendTradeFiles(files_, contents);
    } catch (const std::exception&) {
        // As above.
    }
    // A further file of the mod an earlier session backed up is compared with the game's too.
    for (const Backup& backup : compared) {
        for (const BackupFile& file : backup.manifest.files) {
            if (contentAt(contents, file.path) || file.path.find("..") != std::string::npos) {
                continue;
            }
            try {
                if (const std::string path = pathInGame(file.path); fileExists(path)) {
                    contents.push_back({file.path, readFile(path)});
                }
            } catch (const std::exception&) {
                // Missing here, as above.
            }
        }
    }
    return contents;
}

std::vector<BackupFile> GameBackups::describeKnown(const std::vector<FileContent>& contents) {
    std::vector<BackupFile> described;
    for (const FileContent& file : contents) {
        described.push_back({file.path, file.bytes.size(),
                             hashes_.formOf(file.path, file.bytes, [](const std::string& bytes) {
                                 return sha256Hex(bytes);
                             })});
    }
    return described;
}

Backup GameBackups::ensureKept(std::string_view cause) {
    const std::vector<FileContent> contents = closedForm();
    std::vector<BackupFile> described = describeKnown(contents);
    const std::vector<Backup> backups = store_.list();
    if (!backups.empty() && backups.front().manifest.files == described) {
        try {
            store_.verify(backups.front());
            journal_.Write("Sicherung unverändert [" + backups.front().folder + "]",
                           JournalEntryKind::Info);
            return backups.front();
        } catch (const BackupError& error) {
            journal_.Write(error.what(), JournalEntryKind::Warning);
        }
    }
    Backup made = store_.add(contents, cause, settings_.version, std::move(described));
    journal_.Write("Sicherung erstellt [" + made.folder + "] - Anlass " + std::string(cause),
                   JournalEntryKind::Info);
    return made;
}

void GameBackups::prune(const std::string& restored) {
    std::vector<std::string> kept{restored};
    if (const auto marked = marker_.backupName()) {
        kept.push_back(*marked);
    }
    try {
        for (const std::string& removed : store_.prune(settings_.days, kept)) {
            journal_.Write("Alte Sicherung gelöscht [" + removed + "]", JournalEntryKind::Info);
        }
    } catch (const BackupError& error) {
        // The new backup is whole; an old one that stays is no reason to stop.
        journal_.Write(error.what(), JournalEntryKind::Warning);
    }
}

Backup GameBackups::ensure(std::string_view cause) {
    Backup made = ensureKept(cause);
    prune(made.name);
    return made;
}

bool GameBackups::sameWhenUnpacked(const Backup& backup, const BackupFile& file,
                                   const std::string& current,
                                   std::map<std::string, bool>& known) const {
    const auto [at, isNew] = known.try_emplace(file.sha256 + "\n" + file.path, false);
    if (!isNew) {
        return at->second;
    }
    try {
        at->second = store_.peek(backup, file, kBiniMagic.size()) == kBiniMagic &&
                     bini::toText(store_.read(backup, file)) == current;
    } catch (const std::exception&) {
        at->second = false; // not readable as BINI: not the same
    }
    return at->second;
}

std::vector<FileComparison> GameBackups::compareWith(const Backup& backup,
                                                     const std::vector<FileContent>& current,
                                                     const std::vector<BackupFile>& described,
                                                     std::map<std::string, bool>& known) const {
    std::vector<FileComparison> comparisons;
    for (const BackupFile& file : backup.manifest.files) {
        FileComparison comparison{file, false, false};
        comparison.same = std::find(described.begin(), described.end(), file) != described.end();
        const FileContent* now = contentAt(current, file.path);
        if (!comparison.same && now) {
            comparison.sameUnpacked = sameWhenUnpacked(backup, file, now->bytes, known);
        }
        comparisons.push_back(std::move(comparison));
    }
    return comparisons;
}

std::vector<FileComparison> GameBackups::compare(const Backup& backup) const {
    const std::vector<FileContent> current = currentContents({backup});
    std::map<std::string, bool> known;
    return compareWith(backup, current, describe(current), known);
}

std::vector<FileDifference> GameBackups::differences(const Backup& backup) const {
    const std::vector<FileContent> current = currentContents({backup});
    std::map<std::string, bool> known;
    std::vector<FileDifference> differences;
    for (const FileComparison& file : compareWith(backup, current, describe(current), known)) {
        FileDifference difference{file.file.path, "same", {}};
        const FileContent* now = contentAt(current, file.file.path);
        if (file.sameUnpacked) {
            difference.state = "same (unpacked)";
        } else if (!now) {
            difference.state = "missing in the game";
        } else if (!file.same) {
            difference.state = "differs";
            std::string bytes;
            try {
                bytes = store_.read(backup, file.file);
            } catch (const std::exception& error) {
                difference.lines.push_back({'@', error.what()});
                differences.push_back(std::move(difference));
                continue;
            }
            if (bytes.starts_with(kBiniMagic)) {
                try {
                    bytes = bini::toText(bytes);
                } catch (const std::exception&) {
                    // Shown as the bytes it is.
                }
            }
            difference.lines = lineDiff(now->bytes, bytes);
            if (difference.lines.empty()) {
                difference.lines.push_back({'@', "the lines are the same; line ends or other "
                                                 "bytes differ"});
            }
        }
        differences.push_back(std::move(difference));
    }
    return differences;
}

std::vector<BackupRow> GameBackups::rows() const {
    std::vector<BackupRow> rows;
    const std::vector<Backup> backups = store_.list();
    // Read and hashed once for every row.
    const std::vector<FileContent> current = currentContents(backups);
    const std::vector<BackupFile> described = describe(current);
    std::map<std::string, bool> known;
    for (const Backup& backup : backups) {
        BackupRow row{backup, localTimeText(backup.instant), false, 0,
                      compareWith(backup, current, described, known)};
        if (backup.instant == 0) {
            row.shownTime = backup.name; // no time in the manifest: the folder's name
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
    // Every new file is on disk before the first one replaces the game's: a failure up to
    // there leaves the game as it was, and the temporaries go with `staged`.
    StagedFiles staged;
    try {
        store_.verify(backup);
        ensureKept("restore");
        for (const BackupFile& file : backup.manifest.files) {
            const std::string target = pathInGame(file.path);
            const std::string bytes = store_.read(backup, file);
            if (sha256Hex(bytes) != file.sha256) {
                throw BackupError("The backup " + backup.name + " is damaged: " + file.path +
                                  " is not the file that was backed up");
            }
            if (fileExists(target) && readFile(target) == bytes) {
                continue;
            }
            staged.add(target, bytes);
        }
    } catch (const std::exception& error) {
        throw RestoreError(error.what(), {}, {});
    }
    const std::vector<std::string> targets = staged.paths();
    const StagedFiles::Commit done = staged.commit();
    for (std::size_t i = 0; i < done.renamed; ++i) {
        journal_.Write("Aus Sicherung " + backup.name + " wiederhergestellt [" + targets[i] + "]",
                       JournalEntryKind::Info);
    }
    if (!done.problem.empty()) {
        const auto split = targets.begin() + static_cast<std::ptrdiff_t>(done.renamed);
        throw RestoreError(done.problem, {targets.begin(), split}, {split, targets.end()});
    }
    prune(backup.name);
}

} // namespace skarvel
