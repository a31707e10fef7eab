// The equipment tables' changes: made over filtered rows, shared by the guns that fire one
// munition, reviewed and saved through the one write path into files the set does not hold.
#include "document/ChangeReviewText.h"
#include "gamedata/BackupStore.h"
#include "gamedata/TextLines.h"
#include "platform/AsciiText.h"
#include "ships/EditorSession.h"
#include "support/TestFiles.h"
#include "tables/EquipmentCommands.h"

#include <algorithm>

namespace skarvel::test {
namespace {

using Op = TableOperation;

class EquipmentEditing : public EditorSession {
protected:
    EquipmentEditing() : EditorSession("equipment-mod") {}

    void SetUp() override {
        editor->btRelloadClick();
        ASSERT_TRUE(editor->dataSet().isOpen());
        equipment.refresh();
        ASSERT_FALSE(equipment.tables().kinds().empty());
    }

    std::size_t kind(std::string_view name) const {
        const auto& kinds = equipment.tables().kinds();
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            if (kinds[i].kind == name) {
                return i;
            }
        }
        ADD_FAILURE() << "no kind " << name;
        return 0;
    }
    std::size_t column(std::string_view kindName, std::string_view key) const {
        const EquipmentKind& table = equipment.tables().kinds()[kind(kindName)];
        const std::size_t found = table.columnOf(key);
        EXPECT_LT(found, table.columns.size()) << key;
        return found;
    }
    std::size_t row(std::string_view kindName, std::string_view nickname) const {
        const auto& rows = equipment.tables().kinds()[kind(kindName)].rows;
        const auto found = std::find_if(rows.begin(), rows.end(), [&](const EquipmentRow& r) {
            return r.nickname == nickname;
        });
        EXPECT_NE(found, rows.end()) << nickname;
        return static_cast<std::size_t>(found - rows.begin());
    }
    std::string cell(std::string_view kindName, std::string_view nickname, std::string_view key) {
        return equipment.shown(kind(kindName), row(kindName, nickname), column(kindName, key));
    }
    // The rows the filter "li_" keeps: every Liberty gun.
    std::vector<std::size_t> libertyGuns() const {
        std::vector<std::size_t> rows;
        const auto& guns = equipment.tables().kinds()[kind("Gun")].rows;
        for (std::size_t i = 0; i < guns.size(); ++i) {
            if (lowerAsciiCopy(guns[i].nickname).starts_with("li_")) {
                rows.push_back(i);
            }
        }
        return rows;
    }
    // The lines of the file that differ from before, as they are now.
    std::vector<std::string> changedLines(const std::string& before, const std::string& path) {
        const auto was = splitLines(before);
        const auto now = splitLines(gameText(path));
        EXPECT_EQ(was.size(), now.size()) << path;
        std::vector<std::string> changed;
        for (std::size_t i = 0; i < std::min(was.size(), now.size()); ++i) {
            if (was[i] != now[i]) {
                changed.push_back(now[i]);
            }
        }
        return changed;
    }

    EquipmentCommands equipment{*journal, dialogs, *editor};
};

TEST_F(EquipmentEditing, OneFilteredBulkChangeIsOneReviewAndOneSaveOfExactlyThoseLines) {
    const std::string weapons = gameText("Equipment/weapon_equip.ini");
    const std::string shields = gameText("Equipment/st_equip.ini");
    const std::vector<std::size_t> guns = libertyGuns();
    ASSERT_EQ(guns.size(), 3u);
    const BulkChange change =
        equipment.apply(kind("Gun"), guns, column("Gun", "refire_rate"), Op::Set, "4");
    EXPECT_EQ(bulkChangeMessage(change),
              "The change leaves these cells as they were:\n\rLI_Gun01_Mark02: stays 4");
    ASSERT_EQ(equipment.edits().changes().size(), 2u);

    ChangeSet changes;
    equipment.addTo(changes);
    const std::string review = reviewTextOf(editor->dataSet(), changes);
    EXPECT_NE(review.find("refire_rate = 4"), std::string::npos) << review;
    EXPECT_NE(review.find("weapon_equip.ini"), std::string::npos) << review;

    const std::size_t backups = editor->dataSet().backups().rows().size();
    ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
    EXPECT_EQ(changedLines(weapons, "Equipment/weapon_equip.ini"),
              (std::vector<std::string>{"refire_rate = 4", "refire_rate = 4"}));
    EXPECT_EQ(gameText("Equipment/st_equip.ini"), shields);
    // The file was backed up as it was before its first write.
    const auto rows = editor->dataSet().backups().rows();
    ASSERT_EQ(rows.size(), backups + 1);
    const auto& files = rows.front().backup.manifest.files;
    const auto backedUp = std::find_if(files.begin(), files.end(), [](const BackupFile& file) {
        return equalsIgnoringCase(file.path, "Equipment/weapon_equip.ini");
    });
    ASSERT_NE(backedUp, files.end());
    EXPECT_EQ(editor->dataSet().backups().store().read(rows.front().backup, *backedUp), weapons);
    // The table reads the saved values again.
    EXPECT_TRUE(equipment.edits().empty());
    EXPECT_EQ(cell("Gun", "li_gun01_mark01", "refire_rate"), "4");
}

TEST_F(EquipmentEditing, AMunitionChangedFromAGunsRowIsOneChangeSharedByItsGuns) {
    const std::size_t guns = kind("Gun");
    const std::size_t hull = column("Gun", "munition.hull_damage");
    EXPECT_EQ(equipment.sharing(guns, {row("Gun", "li_gun01_mark01")}, hull),
              (std::vector<std::string>{"Gun LI_Gun01_Mark02"}));
    EXPECT_EQ(equipment.set(guns, row("Gun", "li_gun01_mark01"), hull, "45"), "");
    ASSERT_EQ(equipment.edits().changes().size(), 1u);
    EXPECT_EQ(cell("Gun", "LI_Gun01_Mark02", "munition.hull_damage"), "45");
    EXPECT_EQ(cell("Munition", "li_gun01_mark01_ammo", "hull_damage"), "45");
    // The derived values are worked out from the values as they would be saved.
    EXPECT_EQ(cell("Gun", "LI_Gun01_Mark02", "derived.hull_dps"), "180"); // 45 × 4
    // Both guns selected: still one change of the munition.
    const BulkChange both = equipment.apply(
        guns, {row("Gun", "li_gun01_mark01"), row("Gun", "LI_Gun01_Mark02")}, hull, Op::Add, "5");
    EXPECT_TRUE(both.applied());
    EXPECT_EQ(cell("Munition", "li_gun01_mark01_ammo", "hull_damage"), "50");
    EXPECT_EQ(equipment.edits().changes().size(), 1u);

    const std::string weapons = gameText("Equipment/weapon_equip.ini");
    ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
    EXPECT_EQ(changedLines(weapons, "Equipment/weapon_equip.ini"),
              (std::vector<std::string>{"hull_damage = 50"}));
}

TEST_F(EquipmentEditing, CellsTakeWhatTheirKeyHoldsAndNothingElse) {
    struct Case {
        std::string_view kind, nickname, key, typed, refusal, shown;
    };
    const Case cases[] = {
        // The file's decimal comma stays.
        {"Gun", "LI_Gun01_Mark02", "power_usage", "3.5", "", "3,5"},
        {"Gun", "li_gun01_mark01", "good.price", "1300", "", "1300"},
        {"Gun", "li_gun01_mark01", "refire_rate", "fast", "'fast' is not a number", "3.33"},
        {"Gun", "li_gun01_mark01", "derived.hull_dps", "200", "This value cannot be changed here.",
         "133.2"},
        {"Gun", "li_gun01_mark01", "name", "Law", "This value cannot be changed here.", ""},
        {"ShieldGenerator", "li_shield01", "hp_type", "hp_x", "This value cannot be changed here.",
         "hp_fighter_shield_special_1 | hp_freighter_shield_special_1"},
        {"Gun", "li_gun01_mark01", "hp_gun_type", "hp_gun_special_2", "", "hp_gun_special_2"},
        {"Gun", "li_gun01_mark01", "explosion.radius", "5", "This value cannot be changed here.",
         ""},
        // A typed decimal comma takes the file's point.
        {"Engine", "li_engine01", "linear_drag", "0,5", "", "0.5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            equipment.set(kind(c.kind), row(c.kind, c.nickname), column(c.kind, c.key), c.typed),
            c.refusal)
            << c.key;
        EXPECT_EQ(cell(c.kind, c.nickname, c.key), c.shown) << c.key;
    }
    // The price lives in the set's goods file, the engine in its engine file: every file the
    // save writes differs in exactly the lines typed.
    const std::string goods = gameText("Equipment/goods.ini");
    const std::string engines = gameText("Equipment/engine_equip.ini");
    const std::string weapons = gameText("Equipment/weapon_equip.ini");
    ASSERT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::Saved);
    EXPECT_EQ(changedLines(goods, "Equipment/goods.ini"),
              (std::vector<std::string>{"price = 1300"}));
    EXPECT_EQ(changedLines(engines, "Equipment/engine_equip.ini"),
              (std::vector<std::string>{"linear_drag = 0.5"}));
    EXPECT_EQ(changedLines(weapons, "Equipment/weapon_equip.ini"),
              (std::vector<std::string>{"hp_gun_type = hp_gun_special_2", "power_usage = 3,5"}));
}

// Exported, edited in a spreadsheet and imported: the munition two guns share changes once
// when both rows give it, and is a conflict when they differ.
TEST_F(EquipmentEditing, ACsvRoundTripChangesWhatTheFileChangedOnce) {
    const std::size_t guns = kind("Gun");
    std::vector<std::size_t> rows(equipment.tables().kinds()[guns].rows.size());
    std::vector<std::size_t> columns(equipment.tables().kinds()[guns].columns.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = i;
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        columns[i] = i;
    }
    const std::string path = (tmp.path() / "guns.csv").string();
    ASSERT_TRUE(equipment.exportCsv(path, guns, rows, columns));
    const std::string exported = readBytes(path);
    const auto import = [&](const std::string& text) {
        writeBytes(path, text);
        equipment.edits().clear();
        return equipment.importCsv(path, guns).value_or("refused");
    };
    EXPECT_NE(import(exported).find("0 values of the file differ"), std::string::npos);

    // The hull damage of the shared munition, 40, made 44 in both rows that fire it.
    std::string both = exported;
    for (int i = 0; i < 2; ++i) {
        both.replace(both.find(",40,"), 4, ",44,");
    }
    EXPECT_NE(import(both).find("1 value of the file differs"), std::string::npos);
    EXPECT_EQ(cell("Munition", "li_gun01_mark01_ammo", "hull_damage"), "44");

    std::string one = exported;
    one.replace(one.find(",40,"), 4, ",44,");
    const std::string message = import(one);
    EXPECT_NE(message.find("the rows sharing this value give different ones"), std::string::npos)
        << message;
    EXPECT_TRUE(equipment.edits().empty());
}

} // namespace
} // namespace skarvel::test
