#include "ships/EngineValues.h"
#include "ships/Numbers.h"
#include "support/MemoryForm.h"

#include <gtest/gtest.h>
#include <map>

namespace skarvel {
namespace {

using Handler = void (EngineValues::*)(int&);

Handler handlerOf(const std::string& field) {
    static const std::map<std::string, Handler> handlers{
        {"edEngineSpeed", &EngineValues::edEngineSpeedKeyDown},
        {"edEngineMaxForce", &EngineValues::edEngineMaxForceKeyDown},
        {"edEngineLinearDrag", &EngineValues::edEngineLinearDragKeyDown},
        {"edReverseFraction", &EngineValues::edReverseFractionKeyDown},
        {"edReverseSpeed", &EngineValues::edReverseSpeedKeyDown}};
    return handlers.at(field);
}

class EngineValuesTest : public ::testing::Test {
protected:
    // Presses a key in a field as the window would: the handler first, then the field takes
    // the key unless the handler cleared it. Returns the key after the handler.
    int press(Handler handler, const std::string& field, int key) {
        int code = key;
        (values.*handler)(code);
        std::string text = form.text(field);
        if (code == vk::kBack) {
            if (!text.empty()) {
                text.pop_back();
            }
        } else if (code >= vk::k0 && code <= vk::k9) {
            text += static_cast<char>(code);
        } else if (code == vk::kOemComma) {
            text += ',';
        } else if (code == vk::kOemPeriod) {
            text += '.';
        } else if (code == vk::kAdd || code == vk::kOemPlus) {
            text += '+';
        } else if (code == vk::kSubtract || code == vk::kOemMinus) {
            text += '-';
        }
        form.setText(field, text);
        return code;
    }
    // The same through the handler of the field's name.
    int press(const std::string& field, int key) { return press(handlerOf(field), field, key); }
    void typeDigits(const std::string& field, const std::string& digits) {
        for (const char digit : digits) {
            press(field, digit);
        }
    }
    void setFields(const std::string& speed, const std::string& force, const std::string& drag,
                   const std::string& fraction, const std::string& reverse) {
        form.setText("edEngineSpeed", speed);
        form.setText("edEngineMaxForce", force);
        form.setText("edEngineLinearDrag", drag);
        form.setText("edReverseFraction", fraction);
        form.setText("edReverseSpeed", reverse);
    }
    std::string text(const char* field) const { return form.text(field); }

    test::MemoryForm form;
    int changes = 0;
    EngineValues values{form, [this] { ++changes; }};
};

TEST_F(EngineValuesTest, TypingTheSpeedSetsForceAndReverseSpeed) {
    setFields("", "", "100", "0,2", "");
    press("edEngineSpeed", '0');
    EXPECT_EQ(text("edEngineMaxForce"), ""); // the predicted text is exactly "0"
    EXPECT_EQ(changes, 1);
    press("edEngineSpeed", '5');
    EXPECT_EQ(text("edEngineMaxForce"), "500");
    EXPECT_EQ(text("edReverseSpeed"), "1");

    setFields("", "", "100", "0,2", "");
    press("edEngineSpeed", '8');
    EXPECT_EQ(text("edEngineMaxForce"), "800");
    EXPECT_EQ(text("edReverseSpeed"), "2");
    press("edEngineSpeed", '0');
    EXPECT_EQ(text("edEngineMaxForce"), "8000");
    EXPECT_EQ(text("edReverseSpeed"), "16");
    EXPECT_EQ(text("edEngineSpeed"), "80");
}

TEST_F(EngineValuesTest, TypingForceOrDragSetsTheSpeed) {
    setFields("", "8000", "", "0,2", "");
    std::vector<std::string> speeds;
    for (const char digit : std::string("100")) {
        press("edEngineLinearDrag", digit);
        speeds.push_back(text("edEngineSpeed"));
    }
    EXPECT_EQ(speeds, (std::vector<std::string>{"8000", "800", "80"}));
    EXPECT_EQ(text("edReverseSpeed"), "16");

    setFields("", "", "100", "0,5", "");
    typeDigits("edEngineMaxForce", "2550");
    EXPECT_EQ(text("edEngineSpeed"), "26"); // 25.5 rounds to the even 26
    EXPECT_EQ(text("edReverseSpeed"), "13");
    EXPECT_EQ(changes, 7);
}

TEST_F(EngineValuesTest, TypingTheReverseValuesSetsTheOtherOne) {
    setFields("80", "8000", "100", "0,2", "2");
    press("edReverseSpeed", '3');
    EXPECT_EQ(text("edReverseFraction"), "0,3"); // 23 / 80 = 0.2875

    setFields("80", "8000", "100", "0,2", "");
    press("edReverseSpeed", '3');
    EXPECT_EQ(text("edReverseFraction"), "0"); // 3 / 80 lies below 0.05
    press("edReverseSpeed", '0');
    EXPECT_EQ(text("edReverseFraction"), "0"); // blocked by the fraction "0"
    EXPECT_EQ(text("edReverseSpeed"), "30");

    setFields("25", "", "", "0,", "");
    press("edReverseFraction", '5');
    EXPECT_EQ(text("edReverseSpeed"), "12");
    setFields("35", "", "", "0,", "");
    press("edReverseFraction", '5');
    EXPECT_EQ(text("edReverseSpeed"), "18");
    setFields("35", "", "", "0.", ""); // a point read from the file parses as well
    press("edReverseFraction", '5');
    EXPECT_EQ(text("edReverseSpeed"), "18");
    setFields("80", "", "", "", ""); // and so does a typed one
    for (const int key : {int{'0'}, vk::kOemPeriod, int{'2'}}) {
        press("edReverseFraction", key);
    }
    EXPECT_EQ(text("edReverseFraction"), "0.2");
    EXPECT_EQ(text("edReverseSpeed"), "16");
}

TEST_F(EngineValuesTest, SignCommaAndBackspaceReachTheFieldWithoutRecomputing) {
    setFields("80", "8000", "100", "0,2", "16");
    EXPECT_EQ(press("edReverseSpeed", vk::kSubtract), vk::kSubtract);
    EXPECT_EQ(press("edReverseSpeed", vk::kOemPlus), vk::kOemPlus);
    EXPECT_EQ(press("edReverseSpeed", vk::kOemComma), 0);
    EXPECT_EQ(press("edReverseFraction", vk::kOemComma), vk::kOemComma);
    EXPECT_EQ(press("edReverseFraction", vk::kOemMinus), vk::kOemMinus);
    EXPECT_EQ(press("edReverseFraction", vk::kAdd), vk::kAdd);
    EXPECT_EQ(press("edEngineSpeed", vk::kOemComma), 0);
    EXPECT_EQ(press("edEngineSpeed", vk::kSubtract), 0);
    EXPECT_EQ(text("edReverseSpeed"), "16-+");
    EXPECT_EQ(text("edReverseFraction"), "0,2,-+");
    EXPECT_EQ(text("edEngineMaxForce"), "8000");

    const std::string fields[] = {"edEngineSpeed", "edEngineMaxForce", "edEngineLinearDrag",
                                  "edReverseFraction", "edReverseSpeed"};
    setFields("80", "8000", "100", "0,2", "16");
    for (const std::string& field : fields) {
        EXPECT_EQ(press(field, vk::kBack), vk::kBack) << field;
        for (const int swallowed : {vk::kNumpad0, vk::kNumpad9, int{'A'}, 37}) {
            EXPECT_EQ(press(field, swallowed), 0) << field << " " << swallowed;
        }
    }
    EXPECT_EQ(text("edEngineSpeed"), "8");
    EXPECT_EQ(text("edEngineMaxForce"), "800");
    EXPECT_EQ(text("edEngineLinearDrag"), "10");
    EXPECT_EQ(text("edReverseFraction"), "0,");
    EXPECT_EQ(text("edReverseSpeed"), "1");

    // Force, drag and fraction take a point or a comma; the speeds swallow the point.
    for (const std::string& field : fields) {
        const bool whole = field == "edEngineSpeed" || field == "edReverseSpeed";
        EXPECT_EQ(press(field, vk::kOemPeriod), whole ? 0 : vk::kOemPeriod) << field;
        EXPECT_EQ(press(field, vk::kDecimal), whole ? 0 : vk::kDecimal) << field;
    }
    EXPECT_EQ(press("edEngineLinearDrag", vk::kOemComma), vk::kOemComma);
    EXPECT_EQ(text("edEngineSpeed"), "8");
    EXPECT_EQ(changes, 0);
}

// Force and drag as real engines write them: with a fraction, either separator, or none.
TEST_F(EngineValuesTest, FractionalForceAndDragGiveWholeSpeedsAndForces) {
    struct Case {
        std::string force, drag, field;
        char digit;
        std::string speed, maxForce, reverse;
    };
    const Case cases[] = {
        {"", "135.6", "edEngineSpeed", '3', "3", "407", "1"}, // 406.8
        {"", "135,6", "edEngineSpeed", '3', "3", "407", "1"},
        {"", "0.5", "edEngineSpeed", '5', "5", "2", "2"}, // 2.5 to the even 2
        {"6780.", "", "edEngineLinearDrag", '5', "1356", "6780.", "407"},
        {"6780,", "135,", "edEngineLinearDrag", '6', "50", "6780,", "15"},
        {"8000.", "135.6", "edEngineMaxForce", '5', "59", "8000.5", "18"}, // 59.0
    };
    for (const Case& c : cases) {
        setFields("", c.force, c.drag, "0.3", "");
        press(c.field, c.digit);
        EXPECT_EQ(text("edEngineSpeed"), c.speed) << c.drag << " " << c.field;
        EXPECT_EQ(text("edEngineMaxForce"), c.maxForce) << c.drag << " " << c.field;
        EXPECT_EQ(text("edReverseSpeed"), c.reverse) << c.drag << " " << c.field;
    }
}

TEST_F(EngineValuesTest, GenericHandlersMarkEveryKeyAsAChange) {
    int key = 'A';
    values.KeyDown(key);
    EXPECT_EQ(key, 0);
    for (const int kept : {vk::kBack, int{'0'}, int{'9'}}) {
        key = kept;
        values.KeyDown(key);
        EXPECT_EQ(key, kept);
    }
    for (const int swallowed : {vk::kNumpad0 + 5, vk::kOemComma, vk::kSubtract, 37}) {
        key = swallowed;
        values.KeyDown(key);
        EXPECT_EQ(key, 0) << swallowed;
    }
    for (const int kept : {vk::kOemComma, vk::kOemPeriod, vk::kDecimal, vk::kAdd, vk::kSubtract,
                           vk::kOemPlus, vk::kOemMinus, int{'7'}, vk::kBack}) {
        key = kept;
        values.KeyDownFracted(key);
        EXPECT_EQ(key, kept);
    }
    for (const int swallowed : {vk::kNumpad0, int{'x'}}) {
        key = swallowed;
        values.KeyDownFracted(key);
        EXPECT_EQ(key, 0) << swallowed;
    }
    for (const int kept : {vk::kOemComma, vk::kOemPeriod, vk::kDecimal, int{'0'}, vk::kBack}) {
        key = kept;
        values.KeyDownDecimal(key);
        EXPECT_EQ(key, kept);
    }
    for (const int swallowed : {vk::kSubtract, vk::kOemMinus, vk::kNumpad0 + 5, int{'A'}}) {
        key = swallowed;
        values.KeyDownDecimal(key);
        EXPECT_EQ(key, 0) << swallowed;
    }
    EXPECT_EQ(changes, 28);
}

TEST_F(EngineValuesTest, ZeroDragBlocksSilentlyAndSpeedsThatCannotBeWorkedOutGoEmpty) {
    setFields("", "8000", "0", "0,2", "");
    press("edEngineSpeed", '5');
    press("edEngineMaxForce", '1');
    EXPECT_EQ(text("edEngineSpeed"), "5");
    EXPECT_EQ(text("edEngineMaxForce"), "80001");

    // Past the guards: a zero that is not the text "0", or a text that is no number.
    struct Case {
        const char* force;
        const char* drag;
        const char* field;
    };
    const Case cases[] = {
        {"8000", "00", "edEngineMaxForce"}, {"8000", "0.0", "edEngineMaxForce"},
        {"8000", "x", "edEngineMaxForce"},  {"8000", "0,", "edEngineLinearDrag"},
        {"8x", "10", "edEngineLinearDrag"},
    };
    for (const Case& c : cases) {
        setFields("7", c.force, c.drag, "0,2", "1");
        int key = '0';
        EXPECT_NO_THROW((values.*handlerOf(c.field))(key)) << c.drag;
        EXPECT_EQ(key, '0') << c.drag; // the digit still enters the field
        EXPECT_EQ(text("edEngineSpeed"), "") << c.force << " " << c.drag;
        EXPECT_EQ(text("edReverseSpeed"), "") << c.force << " " << c.drag;
    }

    // A reverse speed without a usable fraction goes empty; a fraction that cannot be worked
    // out stays as it is.
    setFields("80", "8000", "100", "", "5");
    press("edEngineMaxForce", '0');
    EXPECT_EQ(text("edEngineSpeed"), "800");
    EXPECT_EQ(text("edReverseSpeed"), "");
    setFields("0", "", "", "0,2", "");
    int key = '1';
    EXPECT_NO_THROW(values.edReverseSpeedKeyDown(key)); // speed "0" blocks
    setFields("00", "", "", "0,2", "-+");
    EXPECT_NO_THROW(values.edReverseSpeedKeyDown(key));
    EXPECT_NO_THROW(press("edReverseSpeed", '1'));
    EXPECT_EQ(text("edReverseFraction"), "0,2");
}

TEST_F(EngineValuesTest, AForceBeyond32BitsIsTheOneFault) {
    setFields("2147", "8000", "100000", "0,2", "3");
    int key = '5';
    try {
        values.edEngineSpeedKeyDown(key);
        ADD_FAILURE() << "no overflow";
    } catch (const std::overflow_error& error) {
        EXPECT_STREQ(error.what(), "Integer overflow");
    }
    EXPECT_EQ(text("edEngineMaxForce"), "8000");
    EXPECT_EQ(text("edReverseSpeed"), "3");
    EXPECT_EQ(changes, 1);
}

// A paste keeps what the handler's keys let through: the two must never drift apart.
TEST_F(EngineValuesTest, APasteKeepsTheCharactersTheHandlersKeysType) {
    const std::pair<const char*, Handler> handlers[] = {
        {"KeyDown", &EngineValues::KeyDown},
        {"KeyDownFracted", &EngineValues::KeyDownFracted},
        {"KeyDownDecimal", &EngineValues::KeyDownDecimal},
        {"edEngineSpeedKeyDown", &EngineValues::edEngineSpeedKeyDown},
        {"edEngineMaxForceKeyDown", &EngineValues::edEngineMaxForceKeyDown},
        {"edEngineLinearDragKeyDown", &EngineValues::edEngineLinearDragKeyDown},
        {"edReverseFractionKeyDown", &EngineValues::edReverseFractionKeyDown},
        {"edReverseSpeedKeyDown", &EngineValues::edReverseSpeedKeyDown}};
    const std::pair<char, int> keys[] = {{'0', vk::k0},        {'7', '7'},
                                         {'+', vk::kOemPlus},  {'-', vk::kOemMinus},
                                         {',', vk::kOemComma}, {'.', vk::kOemPeriod}};
    for (const auto& [name, handler] : handlers) {
        for (const auto& [character, key] : keys) {
            setFields("", "", "", "", "");
            int code = key;
            (values.*handler)(code);
            EXPECT_EQ(handlerTakes(name, character), code != 0) << name << " " << character;
        }
        EXPECT_FALSE(handlerTakes(name, 'a'));
        EXPECT_FALSE(handlerTakes(name, ' '));
    }
    EXPECT_FALSE(handlerTakes("NoSuchHandler", '1'));
}

} // namespace
} // namespace skarvel
