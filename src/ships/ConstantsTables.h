#pragma once

#include "gamedata/PendingChanges.h"

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class TJournal;
class Form;
class TUserIniFile;

// One key/value table of the Constants page: a section of constants.ini and the keys the
// page always lists for it.
struct ConstantsTable {
    std::string_view control;
    std::string_view section;
    std::initializer_list<std::string_view> keys;
};

const std::array<ConstantsTable, 7>& constantsTables();

// Why typed cannot replace fileValue (the value the file held at the load); empty when it
// can. A number must stay a number and a list of numbers keeps its length; any other value
// is free text that a settings file can hold on one line.
std::string refusalOf(std::string_view key, std::string_view fileValue, std::string_view typed);

// The values of the Constants page. The texts live in the tables of the form; this keeps
// what the file held at the load, which the check of an edit compares against.
class ConstantsTables {
public:
    explicit ConstantsTables(Form& form);

    // Every table shows its keys with the file's values, then the section's keys that it
    // does not list, in file order. The values of a section the file lacks are read-only.
    void load(const TUserIniFile& constants);
    // The set is closed: the listed keys stay, with empty values.
    void clear();

    // An edit of a value cell. Refused values (and read-only cells) leave the cell as it was
    // and return why; a value taken is trimmed, shown, and copied to the General page's field
    // of that key.
    std::string edit(std::string_view control, int row, std::string_view typed);
    // The General page's field changed: its table row shows the same text.
    void fieldEdited(std::string_view field);

    // The values the user changed since the load, table by table, row by row.
    std::vector<PendingChange> changes() const;
    // After a save: the values shown are what the file holds now.
    void rememberSaved();
    // The user kept the file's value of a key another program changed: the table shows it,
    // and it is the loaded value, so no change is left that the user never typed.
    void keepFileValue(std::string_view control, std::string_view key, const std::string& value);

private:
    Form& form_;
    // Per table, per row: the value the file held at the load (empty when it had none).
    std::array<std::vector<std::string>, 7> fileValues_;
};

} // namespace skarvel
