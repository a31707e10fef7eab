#include "gamedata/DataSet.h"

#include "gamedata/FileCheck.h"
#include "gamedata/IniEngine.h"
#include "gamedata/SectionNumbering.h"
#include "gamedata/Unpack.h"
#include "journal/Journal.h"
#include "platform/CaseInsensitivePath.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"

#include <stdexcept>

namespace skarvel {

namespace {

constexpr std::string_view kContactAddress = "skarvel@example.org";

std::string numberingErrorMessage(const std::string& journalFile) {
    return "An unhandled error occured. Please try to open the inifiles again.\n\r"
           "If this error stays please contact me at " +
           std::string(kContactAddress) + ". Please attach\n\rthe file \"" + journalFile +
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

std::string inFolder(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return resolveCaseInsensitive(path + std::string(name));
}

} // namespace

// Made in this order by the open; each journals its creation.
struct DataSet::Objects {
    Objects(TJournal& journal, const std::string& programFolder, const DataFileSet& files)
        : resource(inFolder(programFolder, "resource.ini"), journal),
          shipArch(files.files[kShipArch], journal),
          goods(resolveCaseInsensitive(files.dataDir + "Equipment/Goods.ini"), journal),
          newCharacter(files.files[kNewCharacter], journal),
          constants(files.files[kConstants], journal), miscEquip(files.files[kMiscEquip], journal),
          engineEquip(files.files[kEngineEquip], journal) {}

    TUserIniFile resource;
    TUserIniFile shipArch;
    TUserIniFile goods;
    TUserIniFile newCharacter;
    TUserIniFile constants;
    TUserIniFile miscEquip;
    TUserIniFile engineEquip;
};

DataSet::DataSet(TJournal& journal, Form& form, Dialogs& dialogs, std::string programFolder)
    : journal_(journal), form_(form), dialogs_(dialogs), programFolder_(std::move(programFolder)) {}

DataSet::~DataSet() = default;

bool DataSet::CheckFilesAndDirs() {
    return skarvel::CheckFilesAndDirs(journal_, form_, dialogs_, files_);
}

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
    writeOpenState();
    writeEnd("OPEN_INI_FILES");
    writeOpenState();
}

void DataSet::refuseOpen(std::string_view message) {
    dialogs_.message(MessageKind::Error, message);
    finishOpen();
}

void DataSet::OpenIniFiles() {
    journal_.Write("OPEN_INI_FILES", JournalEntryKind::Begin);
    files_ = makeDataFileSet(form_.text("edPfad"));
    if (!CheckFilesAndDirs()) {
        finishOpen();
        return;
    }
    journal_.Write("Files and Dirs exist", JournalEntryKind::Info);

    if (const auto failure = UnpackCompressedFiles(journal_, form_.text("edFliniDir"), files_)) {
        refuseOpen(unpackErrorMessage(*failure));
        return;
    }

    // The lists themselves are made new with the objects below, so that a refused open
    // leaves an open set as it was.
    journal_.Write("Create Sec_Lists", JournalEntryKind::Info);

    try {
        NumberSections(journal_, files_);
    } catch (const NotTextFileError& error) {
        refuseOpen("The file " + error.path() +
                   " is not a text file. The data files were not opened.");
        return;
    } catch (const std::exception& error) {
        journal_.Write("Exception occured", JournalEntryKind::Error);
        writeEnd("Nummerierung erstellt");
        journal_.Write("Exception occured", JournalEntryKind::Error);
        writeOpenState();
        writeEnd("OPEN_INI_FILES");
        writeOpenState();
        journal_.Write(error.what(), JournalEntryKind::Error);
        dialogs_.message(MessageKind::Error, numberingErrorMessage(journal_.fileName()));
        writeEnd("Nummerierung erstellt");
    }

    journal_.Write("Ini_files Objekte erzeugen", JournalEntryKind::Begin);
    // A reload whose close failed still holds the old objects and lists: release them first.
    objects_.reset();
    sections_ = SectionLists{};
    objects_ = std::make_unique<Objects>(journal_, programFolder_, files_);
    journal_.Write("Ini_files Objekte erzeugen", JournalEntryKind::End);

    BuildSectionLists();
    open_ = true;
    finishOpen();
}

void DataSet::BuildSectionLists() {
    journal_.Write("SektionsListen erstellen", JournalEntryKind::Begin);
    const ini::ReadOnlyPhase readOnly; // the ship list reads a name from every ship
    sections_.ships = sectionsContaining(objects_->shipArch, "Ship");
    journal_.Write("SHIP SektionsListe erstellt", JournalEntryKind::Info);
    sections_.goods = sectionsContaining(objects_->goods, "Good");
    journal_.Write("GOOD SektionsListe erstellt", JournalEntryKind::Info);
    sections_.powers = sectionsContaining(objects_->miscEquip, "Power");
    journal_.Write("POWER SektionsListe erstellt", JournalEntryKind::Info);
    sections_.engines = sectionsContaining(objects_->engineEquip, "Engine");
    journal_.Write("ENGINE SektionsListe erstellt", JournalEntryKind::Info);
    if (fillShipList_) {
        fillShipList_();
    }
    journal_.Write("SektionsListen erstellen", JournalEntryKind::End);
}

void DataSet::CloseIniFiles() {
    journal_.Write("CLOSE_INI_FILES", JournalEntryKind::Begin);
    if (!open_) {
        journal_.Write("Inis arent open", JournalEntryKind::Error);
        journal_.Write("CLOSE_INI_FILES", JournalEntryKind::End);
        return;
    }
    form_.setEnabled("btSave", false);
    journal_.Write("Inis are open", JournalEntryKind::Info);
    if (!CheckFilesAndDirs()) {
        // The set stays open and numbered until a later close succeeds.
        journal_.Write("FILES AND DIRS DONT EXIST", JournalEntryKind::Error);
        journal_.Write("CLOSE_INI_FILES", JournalEntryKind::End);
        return;
    }
    journal_.Write("Files and Dirs exist", JournalEntryKind::Info);
    open_ = false;

    objects_->shipArch.Flush();
    objects_->miscEquip.Flush();
    objects_->constants.Flush();
    objects_->engineEquip.Flush();
    objects_->goods.Flush();
    objects_->newCharacter.Flush();
    journal_.Write("Inis updated", JournalEntryKind::Info);
    objects_.reset();
    journal_.Write("Inis freed", JournalEntryKind::Info);
    sections_ = SectionLists{};
    journal_.Write("SecLists freed", JournalEntryKind::Info);

    RemoveSectionNumbers(journal_, files_);
    journal_.Write("CLOSE_INI_FILES", JournalEntryKind::End);
}

DataSet::Objects& DataSet::objects() const {
    if (!objects_) {
        throw std::runtime_error("The data files are not open");
    }
    return *objects_;
}

TUserIniFile& DataSet::resourceIni() const {
    return objects().resource;
}
TUserIniFile& DataSet::shipArchIni() const {
    return objects().shipArch;
}
TUserIniFile& DataSet::goodsIni() const {
    return objects().goods;
}
TUserIniFile& DataSet::newCharacterIni() const {
    return objects().newCharacter;
}
TUserIniFile& DataSet::constantsIni() const {
    return objects().constants;
}
TUserIniFile& DataSet::miscEquipIni() const {
    return objects().miscEquip;
}
TUserIniFile& DataSet::engineEquipIni() const {
    return objects().engineEquip;
}

} // namespace skarvel
