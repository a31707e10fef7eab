#include "EditorSession.h"
#include "ships/ConstantsTables.h"

namespace skarvel::test {
namespace {

TEST(ConstantsCheck, NumbersStayNumbersListsKeepTheirLengthTextStaysOnOneLine) {
    struct Case {
        const char* file;
        const char* typed;
        bool taken;
    };
    const Case cases[] = {
        {"350", "400", true},
        {"350", " -0.5 ", true},
        {"1e-05", "2.5E+3", true},
        {"350", "+7", true},
        {"350", "fast", false},
        {"350", "1.", false},
        {"350", ".5", false},
        {"350", "1e", false},
        {"350", "--1", false},
        {"350", "1,2", false},
        {"350", "", false},
        {"0.1, 0.2, 0.3", "1,2,3", true},
        {"0.1, 0.2, 0.3", "1, 2", false},
        {"0.1, 0.2, 0.3", "1, 2, x", false},
        {"0.1, 0.2, 0.3", "1, 2, 3, 4", false},
        {"sfx_engine", "my sound, loud", true},
        {"sfx_engine", "", false},
        {"sfx_engine", "a;b", false},
        {"sfx_engine", "a[b", false},
        {"sfx_engine", "a\nb", false},
        {"sfx_engine", "a\rb", false},
        {"", "anything", true}, // the file does not hold the key
        {"", "", true},
    };
    for (const Case& c : cases) {
        const std::string refusal = refusalOf("KEY", c.file, c.typed);
        EXPECT_EQ(refusal.empty(), c.taken) << c.file << " <- " << c.typed << ": " << refusal;
        if (!c.taken) {
            EXPECT_EQ(refusal.rfind("KEY", 0), 0u) << refusal; // names the key
        }
    }
}

// A constants.ini as mods write them: odd case, comments, a repeated key and section, keys
// the page does not list, keys the page lists but the file lacks.
constexpr std::string_view kConstants = "; game constants\n"
                                        "[commconsts]\n"
                                        "walla_max_dist = 1500 ; far\n"
                                        "MOD_EXTRA = 7\n"
                                        "mod_extra = 8\n"
                                        "ANOTHER_EXTRA = a, b\n"
                                        "\n"
                                        "[PhySysConsts]\n"
                                        "GOLEM_MAX_TORQUE = 1\n"
                                        "golem_max_torque = 2\n"
                                        "MATERIAL_ELASTICITY = 0.1, 0.2, 0.3\n"
                                        "ANOM_LIMITS_MAX_VELOCITY = 350 ; top\n"
                                        "\n"
                                        "[ThrusterEquipConsts]\n"
                                        "EXTERIOR_SOUND_NAME = sfx_thruster\n"
                                        "\n"
                                        "[EngineEquipConsts]\n"
                                        "CRUISING_SPEED = 300\n"
                                        "CRUISE_DISRUPT_TIME = 5\n"
                                        "\n"
                                        "[AsteroidConsts]\n"
                                        "MAX_LOOT_PER_ASTEROID = 3\n"
                                        "\n"
                                        "[PhySysConsts]\n"
                                        "PHYSICAL_SIM_RATE = 99\n";

constexpr std::string_view kNoShieldSection =
    "constants.ini has no [ShieldEquipConsts] section, so this value cannot be saved.";

class ConstantsTablesTest : public EditorSession {
protected:
    void SetUp() override {
        writeBytes(gameFile("constants.ini"), std::string(kConstants));
        editor->btRelloadClick();
    }
    KeyValueRow row(const char* table, const char* key) const {
        for (const KeyValueRow& each : form.rows(table)) {
            if (each.key == key) {
                return each;
            }
        }
        ADD_FAILURE() << key << " not in " << table;
        return {};
    }
    int indexOf(const char* table, const char* key) const {
        const auto rows = form.rows(table);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].key == key) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    std::vector<std::string> keys(const char* table) const {
        std::vector<std::string> result;
        for (const KeyValueRow& each : form.rows(table)) {
            result.push_back(each.key);
        }
        return result;
    }
};

TEST_F(ConstantsTablesTest, LoadShowsTheFilesValuesAndItsOwnKeysAndCloseEmptiesThem) {
    const struct {
        const char* table;
        const char* key;
        KeyValueRow expected;
    } cases[] = {
        {"ValueListEditor1", "WALLA_MAX_DIST", {"WALLA_MAX_DIST", "1500", false, ""}},
        {"ValueListEditor1", "WALLA_START_ATTEN", {"WALLA_START_ATTEN", "", true, ""}},
        {"ValueListEditor2", "GOLEM_MAX_TORQUE", {"GOLEM_MAX_TORQUE", "1", false, ""}},
        {"ValueListEditor2",
         "ANOM_LIMITS_MAX_VELOCITY",
         {"ANOM_LIMITS_MAX_VELOCITY", "350", false, ""}},
        // Only the first section of a name counts.
        {"ValueListEditor2", "PHYSICAL_SIM_RATE", {"PHYSICAL_SIM_RATE", "", true, ""}},
        // The save adds no section: what the user typed there would be lost.
        {"ValueListEditor4",
         "HULL_DAMAGE_FACTOR",
         {"HULL_DAMAGE_FACTOR", "", true, std::string(kNoShieldSection)}},
        {"ValueListEditor1", "MOD_EXTRA", {"MOD_EXTRA", "7", false, ""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(row(c.table, c.key), c.expected) << c.key;
    }
    const auto comm = keys("ValueListEditor1");
    ASSERT_EQ(comm.size(), 12u);
    EXPECT_EQ(comm[10], "MOD_EXTRA");
    EXPECT_EQ(comm[11], "ANOTHER_EXTRA");
    EXPECT_EQ(keys("ValueListEditor2").size(), 32u);
    EXPECT_EQ(form.text("edMaxSpeed"), "350");
    EXPECT_FALSE(editor->valuesChanged());

    // The file's own rows follow the file at every load.
    std::string changed(kConstants);
    changed.replace(changed.find("ANOTHER_EXTRA = a, b\n"), 21, "");
    writeBytes(gameFile("constants.ini"), changed);
    editor->btRelloadClick();
    EXPECT_EQ(keys("ValueListEditor1").size(), 11u);

    editor->CloseIniFiles();
    for (const ConstantsTable& table : constantsTables()) {
        const auto rows = form.rows(table.control);
        ASSERT_EQ(rows.size(), table.keys.size()) << table.section;
        for (const KeyValueRow& each : rows) {
            EXPECT_EQ(each, (KeyValueRow{each.key, "", false, ""})) << each.key;
        }
    }
}

TEST_F(ConstantsTablesTest, EditsShowOnBothPagesAndRefusedValuesLeaveTheCell) {
    const int velocity = indexOf("ValueListEditor2", "ANOM_LIMITS_MAX_VELOCITY");
    EXPECT_EQ(editor->constantsEdit("ValueListEditor2", velocity, "350"), "");
    EXPECT_FALSE(editor->valuesChanged()); // the same value is no change

    EXPECT_EQ(editor->constantsEdit("ValueListEditor2", velocity, " 400 "), "");
    EXPECT_EQ(row("ValueListEditor2", "ANOM_LIMITS_MAX_VELOCITY").value, "400");
    EXPECT_EQ(form.text("edMaxSpeed"), "400");
    EXPECT_TRUE(editor->valuesChanged());
    EXPECT_TRUE(form.isEnabled("btSave"));

    form.setText("edCruiseSpeed", "333");
    editor->generalFieldEdited("edCruiseSpeed");
    EXPECT_EQ(row("ValueListEditor5", "CRUISING_SPEED").value, "333");

    const struct {
        const char* table;
        const char* key;
        const char* typed;
        const char* kept;
    } refused[] = {
        {"ValueListEditor2", "ANOM_LIMITS_MAX_VELOCITY", "fast", "400"},
        {"ValueListEditor2", "MATERIAL_ELASTICITY", "1, 2", "0.1, 0.2, 0.3"},
        {"ValueListEditor3", "EXTERIOR_SOUND_NAME", "x ; y", "sfx_thruster"},
    };
    for (const auto& r : refused) {
        EXPECT_NE(editor->constantsEdit(r.table, indexOf(r.table, r.key), r.typed), "") << r.key;
        EXPECT_EQ(row(r.table, r.key).value, r.kept) << r.key;
    }
    EXPECT_EQ(form.text("edMaxSpeed"), "400");
}

TEST_F(ConstantsTablesTest, AnsweringNoAtTheShipChangeKeepsTheEditShownAndUnmarked) {
    click(0);
    editor->constantsEdit("ValueListEditor1", indexOf("ValueListEditor1", "WALLA_MAX_DIST"), "9");
    dialogs.answers.push_back(Answer::No);
    click(1);
    EXPECT_EQ(row("ValueListEditor1", "WALLA_MAX_DIST").value, "9");
    EXPECT_FALSE(editor->valuesChanged());
}

TEST_F(ConstantsTablesTest, SaveWritesExactlyTheChangedLines) {
    const std::string before = gameText("constants.ini");
    EXPECT_EQ(editor->SAVE_INI_VALUES(), SaveOutcome::NothingChanged);
    EXPECT_EQ(gameText("constants.ini"), before);

    editor->constantsEdit("ValueListEditor1", indexOf("ValueListEditor1", "WALLA_MAX_DIST"),
                          "2500");
    editor->SAVE_INI_VALUES();
    std::string expected = before;
    expected.replace(expected.find("walla_max_dist = 1500 ; far"), 27,
                     "walla_max_dist = 2500 ; far");
    EXPECT_EQ(gameText("constants.ini"), expected);
    EXPECT_TRUE(contains(lines(), "[Info   ] Werte für CONSTANTS"));

    // A key the section lacks is added to it; a section the file lacks takes no value.
    editor->constantsEdit("ValueListEditor7",
                          indexOf("ValueListEditor7", "MAX_ASTEROID_LOOT_DAMAGE"), "12");
    EXPECT_EQ(editor->constantsEdit("ValueListEditor4", 0, "0.5"), kNoShieldSection);
    EXPECT_EQ(row("ValueListEditor4", "HULL_DAMAGE_FACTOR").value, "");
    editor->SAVE_INI_VALUES();
    const std::string after = gameText("constants.ini");
    EXPECT_NE(after.find("MAX_LOOT_PER_ASTEROID = 3\nMAX_ASTEROID_LOOT_DAMAGE = 12\n"),
              std::string::npos);
    EXPECT_EQ(after.find("ShieldEquipConsts"), std::string::npos);
}

} // namespace
} // namespace skarvel::test
