// The Ship, General, Character and Constants pages' part of the document: their changes
// derived from the fields, and the save of the whole document.
#include "document/ChangeReviewText.h"
#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "platform/AsciiText.h"
#include "ports/Controls.h"
#include "ports/Form.h"
#include "ships/Editor.h"
#include "ships/HardpointLines.h"
#include "ships/ShipFields.h"
#include "ships/ShipPlaces.h"

namespace skarvel {

namespace {

// A table cell shows the file's value again.
void showFileValueInTable(Form& form, const PendingChange& change, const std::string& value) {
    std::vector<KeyValueRow> rows = form.rows(change.field);
    for (KeyValueRow& row : rows) {
        if (equalsIgnoringCase(row.key, change.key)) {
            row.value = value;
        }
    }
    form.setRows(change.field, rows);
}

} // namespace

std::string Editor::shownShipName() const {
    const std::string name = form_.text(controls::edShipRealName);
    return name.empty() ? ship_.shipNickname : name;
}

bool Editor::hasChanges() const {
    return dataSet_.isOpen() && !pendingSave().empty();
}

void Editor::addTo(ChangeSet& changes) {
    const PendingSave pending = pendingSave();
    for (const PendingSave::Group& group : pending.groups) {
        std::vector<PendingChange>& target = changes.group(group.name).changes;
        target.insert(target.end(), group.changes.begin(), group.changes.end());
    }
    if (pending.hardpoints) {
        changes.lineEdits.push_back(hardpointEdit());
    }
}

LineEdit Editor::hardpointEdit() {
    const std::string nickname = ship_.shipNickname;
    LineEdit edit;
    edit.section = sectionRefOf(ShipGroup::Ship, ship_);
    edit.owner = nickname;
    edit.apply = [this, nickname](const std::string& bytes) {
        return hardpoints_.previewHardpointValues(bytes, nickname);
    };
    edit.linesIn = [nickname](const ini::ParsedIni& file) {
        return specialLinesOf(file, nickname);
    };
    edit.loadedLines = ship_.specialLines;
    edit.write = [this, nickname] {
        // The levels are edited after the values, in the bytes the values left.
        hardpoints_.SaveHardpointValues(dataSet_.files().files[kShipArch], nickname);
    };
    return edit;
}

void Editor::keepFileValue(const PendingChange& change, const std::string& fileValue) {
    const Control* control = controls::find(change.field);
    if (control == nullptr) {
        return; // another page's change
    }
    if (auto loaded = ship_.loadedTexts.find(change.field); loaded != ship_.loadedTexts.end()) {
        loaded->second = fileValue;
        form_.setText(change.field, fileValue);
    } else if (auto general = general_.texts.find(change.field); general != general_.texts.end()) {
        general->second = fileValue;
        form_.setText(change.field, fileValue);
    } else if (control->kind == ControlKind::ComboBox) {
        startingBasePicked_ = false; // the save leaves the file's base
    } else if (control->kind == ControlKind::Table) {
        constants_.keepFileValue(change.field, change.key, fileValue);
        showFileValueInTable(form_, change, fileValue);
    }
    if (pendingSave().empty()) {
        valuesChanged_ = false;
    }
}

void Editor::saved() {
    valuesChanged_ = false;
    general_ = readGeneralValues(dataSet_);
    startingBasePicked_ = false;
    constants_.rememberSaved();
    if (ship_.loaded) {
        for (const ShipField& field : shipFields()) {
            std::string& loaded = ship_.loadedTexts[std::string(field.field)];
            const std::string written = textForFile(field, form_.text(field.field), loaded);
            if (!written.empty()) { // an emptied field wrote nothing
                loaded = written;
            }
        }
        if (const auto parsed = ini::currentIni(dataSet_.files().files[kShipArch])) {
            ship_.specialLines = specialLinesOf(*parsed, ship_.shipNickname);
        }
    }
}

void Editor::discard() {
    // The fields are read again by whoever drops the document (a reload, a close).
    valuesChanged_ = false;
}

TransactionSteps Editor::saveSteps() {
    TransactionSteps steps;
    // Changes of another program not yet noticed: their new sections are numbered and the
    // lists follow them, so the save and the rows after it see the files as they are.
    steps.takeUpOutsideChanges = [this] {
        if (const auto changed = dataSet_.changedSinceSnapshot(); !changed.empty()) {
            dataSet_.adoptOutsideChanges(changed);
            followShownShip();
        }
    };
    steps.review = [this](const ChangeSet& changes) { return saver_.reviewed(changes); };
    steps.afterWrite = [this](const std::vector<std::string>& written) {
        if (ship_.loaded && !ship_.hardpointsLoaded) {
            // Levels of an earlier ship must not end up in this one.
            journal_.Write("Hardpoints nicht geladen - Hardpoints werden nicht gespeichert",
                           JournalEntryKind::Warning);
        }
        saver_.saveCopies(written);
    };
    steps.keepFileLines = [this](const LineEdit&) {
        // The levels the file holds now are shown, and are what a later save compares with.
        hardpoints_.LoadHardpointValues(dataSet_.files().files[kShipArch],
                                        std::string_view(dataSet_.sections().ships.at(
                                            static_cast<std::size_t>(ship_.shipIndex))));
        if (const auto parsed = ini::currentIni(dataSet_.files().files[kShipArch])) {
            ship_.specialLines = specialLinesOf(*parsed, ship_.shipNickname);
        }
    };
    return steps;
}

SaveOutcome Editor::SAVE_INI_VALUES() {
    if (dataSet_.isOpen() && !ship_.loaded && document_.hasChanges()) {
        journal_.Write("Kein Schiff geladen - Schiffswerte werden nicht gespeichert",
                       JournalEntryKind::Warning);
    }
    const TransactionOutcome outcome =
        document_.save(journal_, dialogs_, "SAVE_INI_VALUES", "save", saveSteps());
    switch (outcome) {
    case TransactionOutcome::NotOpen:
        return SaveOutcome::NotOpen;
    case TransactionOutcome::NothingChanged:
        return SaveOutcome::NothingChanged;
    case TransactionOutcome::Cancelled:
        return SaveOutcome::Cancelled;
    case TransactionOutcome::Saved:
        break;
    }
    endHistory();
    return SaveOutcome::Saved;
}

} // namespace skarvel
