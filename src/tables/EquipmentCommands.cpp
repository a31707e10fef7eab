#include "tables/EquipmentCommands.h"

#include "check/ModFiles.h"
#include "gamedata/DataSet.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "ports/Dialogs.h"
#include "ships/Editor.h"
#include "tables/EquipmentExport.h"

#include <filesystem>

namespace skarvel {

namespace {

// The set's files a page of the mod may write through: their objects see every change.
constexpr SettingsFile kSetFiles[] = {SettingsFile::ShipArch, SettingsFile::Goods,
                                      SettingsFile::MiscEquip, SettingsFile::EngineEquip,
                                      SettingsFile::NewCharacter, SettingsFile::Constants};

} // namespace

EquipmentCommands::EquipmentCommands(TJournal& journal, Dialogs& dialogs, Editor& editor)
    : journal_(journal), dialogs_(dialogs), editor_(editor),
      registration_(editor.document().addSource(*this)) {}

void EquipmentCommands::refresh() {
    edits_.clear();
    tables_ = {};
    mod_.reset();
    DataSet& dataSet = editor_.dataSet();
    if (!dataSet.isOpen()) {
        return;
    }
    try {
        auto mod = std::make_shared<check::ModFiles>(check::readModFiles(dataSet.gameDirectory()));
        for (const check::Problem& problem : mod->fileProblems) {
            journal_.Write("Ausrüstung: " + problem.file + " - " + problem.message,
                           JournalEntryKind::Warning);
        }
        tables_ = EquipmentTables::read(*mod, dataSet.gameNames());
        mod_ = std::move(mod);
    } catch (const std::exception& error) {
        journal_.Write("Ausrüstung nicht gelesen - " + std::string(error.what()),
                       JournalEntryKind::Error);
    }
}

EquipmentCells EquipmentCommands::cells(std::size_t kind) const {
    const DataSet& dataSet = editor_.dataSet();
    SetFileOf setFileOf = [&dataSet](const std::string& path) -> std::optional<SettingsFile> {
        for (const SettingsFile file : kSetFiles) {
            std::error_code failed;
            if (std::filesystem::equivalent(path, dataSet.ini(file).path(), failed)) {
                return file;
            }
        }
        return std::nullopt;
    };
    return EquipmentCells(tables_.kinds().at(kind), *mod_, std::move(setFileOf));
}

std::string EquipmentCommands::shown(std::size_t kind, std::size_t row, std::size_t column) const {
    if (edits_.empty()) {
        return tables_.kinds().at(kind).rows.at(row).cells.at(column);
    }
    return edits_.shown(cells(kind), row, column);
}

bool EquipmentCommands::edited(std::size_t kind, std::size_t row, std::size_t column) const {
    return !edits_.empty() && edits_.edited(cells(kind), row, column);
}

std::string EquipmentCommands::set(std::size_t kind, std::size_t row, std::size_t column,
                                   std::string_view typed) {
    return edits_.set(cells(kind), row, column, typed);
}

BulkChange EquipmentCommands::apply(std::size_t kind, const std::vector<std::size_t>& rows,
                                    std::size_t column, TableOperation operation,
                                    std::string_view operand) {
    return edits_.apply(cells(kind), rows, column, operation, operand);
}

std::vector<std::string> EquipmentCommands::sharing(std::size_t kind,
                                                    const std::vector<std::size_t>& rows,
                                                    std::size_t column) const {
    const EquipmentCells chosen = cells(kind);
    std::vector<std::string> names;
    for (const std::string& name : edits_.sharing(chosen, rows, column)) {
        names.push_back(chosen.kind().kind + " " + name);
    }
    return names;
}

void EquipmentCommands::discardClick() {
    journal_.WriteFormatted("Ausrüstung: %d Änderungen verworfen",
                            {static_cast<long long>(edits_.changes().size())},
                            JournalEntryKind::Action);
    edits_.clear();
}

void EquipmentCommands::addTo(ChangeSet& changes) {
    if (edits_.empty()) {
        return;
    }
    std::vector<PendingChange>& equipment = changes.group("Equipment").changes;
    equipment.insert(equipment.end(), edits_.changes().begin(), edits_.changes().end());
}

void EquipmentCommands::keepFileValue(const PendingChange& change, const std::string&) {
    edits_.drop(change);
}

bool EquipmentCommands::exportCsv(const std::string& path, std::size_t kind,
                                  const std::vector<std::size_t>& rows,
                                  const std::vector<std::size_t>& columns,
                                  bool byteOrderMark) const {
    const EquipmentKind& table = tables_.kinds().at(kind);
    const std::string text = equipmentCsv(
        table, rows, columns,
        [&](std::size_t row, std::size_t column) { return shown(kind, row, column); },
        byteOrderMark);
    try {
        writeFileAtomically(path, text);
    } catch (const std::exception& error) {
        journal_.Write(error.what(), JournalEntryKind::Error);
        dialogs_.message(MessageKind::Error,
                         std::string("The CSV file was not written: ") + error.what());
        return false;
    }
    journal_.WriteFormatted("Ausrüstung: %d Zeilen %s exportiert nach %s",
                            {static_cast<long long>(rows.size()), table.kind, path},
                            JournalEntryKind::Info);
    return true;
}

} // namespace skarvel
