#include "tables/EquipmentCommands.h"

#include "check/ModFiles.h"
#include "gamedata/DataSet.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "ports/Dialogs.h"
#include "ships/Editor.h"
#include "ships/Numbers.h"
#include "tables/CsvImportFile.h"
#include "tables/EquipmentDerived.h"
#include "tables/EquipmentExport.h"

#include <filesystem>

namespace skarvel {

namespace {

// The set's files a page of the mod may write through: their objects see every change.
constexpr SettingsFile kSetFiles[] = {SettingsFile::ShipArch,     SettingsFile::Goods,
                                      SettingsFile::MiscEquip,    SettingsFile::EngineEquip,
                                      SettingsFile::NewCharacter, SettingsFile::Constants};

} // namespace

EquipmentCommands::EquipmentCommands(TJournal& journal, Dialogs& dialogs, Editor& editor)
    : journal_(journal), dialogs_(dialogs), editor_(editor),
      registration_(editor.document().addSource(*this)) {}

void EquipmentCommands::refresh() {
    read();
    if (onRefresh_) {
        onRefresh_();
    }
}

void EquipmentCommands::read() {
    edits_.clear();
    tables_ = {};
    mod_.reset();
    usage_.reset();
    setFiles_.clear();
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
        // Which of the set's files each file of the mod is, once: a cell is placed at every
        // paint while a change is pending.
        for (const check::SourceFile& file : mod->files) {
            const std::string path = mod->gameFolder + file.shown;
            for (const SettingsFile set : kSetFiles) {
                std::error_code failed;
                if (std::filesystem::equivalent(path, dataSet.ini(set).path(), failed)) {
                    setFiles_.emplace(path, set);
                }
            }
        }
        mod_ = std::move(mod);
    } catch (const std::exception& error) {
        journal_.Write("Ausrüstung nicht gelesen - " + std::string(error.what()),
                       JournalEntryKind::Error);
    }
}

EquipmentCells EquipmentCommands::cells(std::size_t kind) const {
    SetFileOf setFileOf = [this](const std::string& path) -> std::optional<SettingsFile> {
        const auto found = setFiles_.find(path);
        return found == setFiles_.end() ? std::nullopt : std::optional(found->second);
    };
    return EquipmentCells(tables_.kinds().at(kind), *mod_, std::move(setFileOf));
}

std::string EquipmentCommands::shown(std::size_t kind, std::size_t row, std::size_t column) const {
    const EquipmentKind& table = tables_.kinds().at(kind);
    if (edits_.empty()) {
        return table.rows.at(row).cells.at(column);
    }
    if (table.columns.at(column).source != EquipmentSource::Derived) {
        return edits_.shown(cells(kind), row, column);
    }
    // Worked out again from the values as they would be saved.
    const auto derived = derivedValuesOf(table.kind);
    const std::size_t at = column - (table.columns.size() - derived.size());
    const EquipmentValue value = [&](EquipmentLink link, std::string_view key) {
        const std::size_t input = table.columnOf(linkPrefix(link) + std::string(key));
        return input < table.columns.size() ? readNumber(shown(kind, row, input))
                                            : std::optional<double>();
    };
    const std::optional<double> number = derived[at].work(value);
    return number ? derivedText(*number) : std::string();
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

std::vector<usage::Use> EquipmentCommands::whereUsed(std::string_view nickname) {
    if (!mod_) {
        return {};
    }
    if (!usage_) {
        usage_ = std::make_unique<usage::UsageIndex>(usage::UsageIndex::build(*mod_));
    }
    return usage_->uses(nickname);
}

std::string EquipmentCommands::gameFolder() const {
    return mod_ ? mod_->gameFolder : std::string();
}

namespace {

// One kind's table as an import reads it.
class EquipmentImportTarget final : public CsvImportTarget {
public:
    EquipmentImportTarget(EquipmentCommands& equipment, std::size_t kind)
        : equipment_(equipment), kind_(kind), cells_(equipment.cells(kind)), table_(cells_.kind()) {
    }

    std::size_t columnCount() const override { return table_.columns.size(); }
    std::string columnKey(std::size_t column) const override { return table_.columns[column].key; }
    std::size_t columnOfKey(std::string_view key) const override { return table_.columnOf(key); }
    bool numeric(std::size_t column) const override { return table_.columns[column].numeric; }
    bool utf8(std::size_t column) const override {
        return table_.columns[column].source == EquipmentSource::Name;
    }
    std::size_t rowCount() const override { return table_.rows.size(); }
    std::string rowNickname(std::size_t row) const override { return table_.rows[row].nickname; }
    std::string asRead(std::size_t row, std::size_t column) const override {
        return table_.rows[row].cells[column];
    }
    std::string target(std::size_t row, std::size_t column) const override {
        const auto place = cells_.place(row, column);
        return place ? TableEdits::targetKey(*place) : std::string();
    }
    std::string sectionOf(std::size_t row, std::size_t column) const override {
        const auto place = cells_.place(row, column);
        return place ? "[" + place->section.kind + "] " + place->section.nickname : std::string();
    }
    std::string shown(std::size_t row, std::size_t column) const override {
        return equipment_.shown(kind_, row, column);
    }
    std::string set(std::size_t row, std::size_t column, const std::string& value) override {
        return equipment_.set(kind_, row, column, value);
    }

private:
    EquipmentCommands& equipment_;
    std::size_t kind_;
    EquipmentCells cells_;
    const EquipmentKind& table_;
};

} // namespace

std::optional<std::string> EquipmentCommands::importCsv(const std::string& path, std::size_t kind) {
    EquipmentImportTarget target(*this, kind);
    return importCsvFile(journal_, dialogs_, path, {"Ausrüstung", "rows", "a munition, a motor"},
                         [&target](std::string_view bytes, const CsvProblemSink& onProblem) {
                             return importTableCsv(target, bytes, onProblem);
                         });
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
    if (!writeCsvFile(journal_, dialogs_, path, text)) {
        return false;
    }
    journal_.WriteFormatted("Ausrüstung: %d Zeilen %s exportiert nach %s",
                            {static_cast<long long>(rows.size()), table.kind, path},
                            JournalEntryKind::Info);
    return true;
}

} // namespace skarvel
