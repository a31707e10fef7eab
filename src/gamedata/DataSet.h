#pragma once

#include "gamedata/DataFileSet.h"
#include "gamedata/FileCheck.h"
#include "gamedata/GameBackups.h"
#include "gamedata/GameNames.h"
#include "gamedata/SectionNumbering.h"
#include "gamedata/UserIniFile.h"
#include "platform/DataFolderLock.h"
#include "platform/FileStamp.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
class Dialogs;
struct SectionRef;

// The numbered section names of the four files with repeated sections, in file order.
struct SectionLists {
    std::vector<std::string> ships;   // FShipSections
    std::vector<std::string> goods;   // FGoodSections
    std::vector<std::string> powers;  // FPowerSections
    std::vector<std::string> engines; // FEngineSections
};

// Why an open did not happen. The caller shows it.
struct OpenRefusal {
    std::string message; // for the user; empty when the file check has told the user already
    std::optional<GameFolder> wrongFolder; // the folder the user has to correct
};

struct CloseOutcome {
    // "<file> - <cause>" for every file left numbered; empty when the close is whole.
    std::vector<std::string> failures;
    std::optional<GameFolder> wrongFolder; // the folder the user has to correct
};

// The settings files the open set holds, in the order the open creates them (each creation
// is journaled): the program's resource.ini, then the game's six data files.
enum class SettingsFile {
    Resource,
    ShipArch,
    Goods,
    NewCharacter,
    Constants,
    MiscEquip,
    EngineEquip,
    // Not one of the set's files: made only when the Commodity page writes a multiplier.
    MarketCommodities,
    // Any other file of the mod (an equipment file freelancer.ini names): SectionRef::path.
    ModFile
};
inline constexpr std::size_t kSettingsFileCount =
    static_cast<std::size_t>(SettingsFile::EngineEquip) + 1;

// The open data set: paths and checks, unpacking, section numbering, the seven
// settings-file objects and the section lists. The caller names the folders and shows the
// refusals; questions on the way go through the dialogs.
class DataSet {
public:
    DataSet(TJournal& journal, Dialogs& dialogs, std::string programFolder);
    ~DataSet();

    // alreadyBackedUp: the caller made the backup of these files (a save or a restore that
    // opens the set again), so the open makes none.
    std::optional<OpenRefusal> OpenIniFiles(const GameFolders& folders,
                                            bool alreadyBackedUp = false);
    // The folders are checked before anything is written.
    CloseOutcome CloseIniFiles(const GameFolders& folders);
    // After a close that left files numbered: the set is open again as before the close.
    void reopenAfterFailedClose();
    // The program is being ended: from now on neither an open nor a reopen happens.
    void refuseOpening() { openingRefused_ = true; }

    bool isOpen() const { return open_; } // FInisOpen

    // The files as the program last left them: what it wrote itself is no outside change.
    void takeSnapshot();
    // Only the files given (those a save wrote, stamped right after the write): a change
    // another program made to any other file stays an outside change.
    void takeSnapshotOf(const std::vector<std::string>& written);
    // The files of the open set another program changed since the last snapshot.
    std::vector<DataFileIndex> changedSinceSnapshot() const;
    // Numbers the sections another program added to those files, builds the section lists
    // and the ship list again and takes a new snapshot. Each file is journaled. While a file
    // of the set cannot be read (missing, a FIFO, damaged) nothing is taken up and no
    // snapshot is taken: the problems come back, journaled once.
    std::vector<DataFileProblem> adoptOutsideChanges(const std::vector<DataFileIndex>& changed);

    // Asked at every open: true keeps the game's files plain while they are open (the
    // numbering is held in memory), so the game can read them at any moment.
    void setKeepFilesPlain(std::function<bool()> keep) { keepFilesPlain_ = std::move(keep); }
    // The set open now keeps its files plain.
    bool keepsFilesPlain() const { return keptPlain_; }

    // Run by the open after the section lists were built (FillShipList).
    void setShipListFiller(std::function<void()> filler) { fillShipList_ = std::move(filler); }

    // Valid while the set is open (and after a failed close, which keeps it open).
    TUserIniFile& ini(SettingsFile which) const;
    // The file a section reference names: one of the set's, or a further file of the mod
    // (SettingsFile::ModFile), which must lie in the data folder and is backed up with the
    // set's files from then on.
    TUserIniFile& iniOf(const SectionRef& ref) const;
    // Syncs to disk what was written to any of the settings files.
    void FlushIniFiles() const;
    TUserIniFile& resourceIni() const;
    TUserIniFile& shipArchIni() const;
    TUserIniFile& goodsIni() const;
    TUserIniFile& newCharacterIni() const;
    TUserIniFile& constantsIni() const;
    TUserIniFile& miscEquipIni() const;
    TUserIniFile& engineEquipIni() const;
    const SectionLists& sections() const { return sections_; }
    // The game's own display names, read for the folder of the last open; files unchanged
    // since an earlier open are not read again.
    const GameNames& loadGameNames();
    // Those names as last read, without reading or warning again.
    const GameNames& gameNames() const { return gameNames_; }

    const DataFileSet& files() const { return files_; } // FDataDir, FIniFileNames
    const std::string& gameDirectory() const { return gameDirectory_; }

    // Where backups go and how long they are kept; read at every backup.
    BackupSettings& backupSettings() { return backupSettings_; }
    // The backups of the game last opened, or of the game in the folder given.
    GameBackups backups() const;
    GameBackups backupsOf(const std::string& gameDirectory) const;
    const std::string& programFolder() const { return programFolder_; }

private:
    struct Objects;

    // Fills the four lists from the settings-file objects, then runs the ship-list filler.
    void BuildSectionLists();
    Objects& objects() const;
    void writeEnd(std::string_view text);
    void writeOpenState();
    void finishOpen();
    OpenRefusal refuseOpen(std::string message);
    // A save cut short before this open: the user may restore the backup made for it. The
    // message for the user when that restore failed (the marker then stays).
    std::optional<std::string> offerInterruptedSave(GameBackups& backups);

    TJournal& journal_;
    Dialogs& dialogs_;
    std::string programFolder_;
    DataFileSet files_;
    std::string gameDirectory_; // the game folder of the last open
    GameNames gameNames_;       // kept from open to open as the cache of the DLLs
    SectionLists sections_;
    // The parse each list was built from (its layout stamp): a file that did not change
    // keeps its list. Ships, goods, powers, engines.
    std::array<std::uint64_t, 4> listStamps_{};
    std::unique_ptr<Objects> objects_;
    // The further files of the mod a section reference reached since the game was opened.
    mutable std::vector<std::string> modFiles_;
    std::function<void()> fillShipList_;
    std::function<bool()> keepFilesPlain_;
    bool keptPlain_ = false;
    BackupSettings backupSettings_ = defaultBackupSettings();
    bool open_ = false;
    std::array<std::optional<FileStamp>, kDataFileNames.size()> stamps_{};
    std::vector<DataFileProblem> reportedProblems_; // by the last adoptOutsideChanges
    bool openingRefused_ = false;
    bool unlockedWarned_ = false; // the user was told that the data folder cannot be locked
    DataFolderLock folderLock_;   // held while open, so no other copy opens this game
};

} // namespace skarvel
