#include "ships/EngineValues.h"
#include "ships/Numbers.h"
#include "support/MemoryForm.h"

#include <gtest/gtest.h>

namespace skarvel {
namespace {

using Handler = void (EngineValues::*)(int&);

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
        } else if (code == vk::kAdd || code == vk::kOemPlus) {
            text += '+';
        } else if (code == vk::kSubtract || code == vk::kOemMinus) {
            text += '-';
        }
        form.setText(field, text);
        return code;
    }
    void typeDigits(Handler handler, const std::string& field, const std::string& digits) {
        for (const char digit : digits) {
            press(handler, field, digit);
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
    press(&EngineValues::edEngineSpeedKeyDown, "edEngineSpeed", '0');
    EXPECT_EQ(text("edEngineMaxForce"), ""); // the predicted text is exactly "0"
    EXPECT_EQ(changes, 1);
    press(&EngineValues::edEngineSpeedKeyDown, "edEngineSpeed", '5');
    EXPECT_EQ(text("edEngineMaxForce"), "500");
    EXPECT_EQ(text("edReverseSpeed"), "1");

    setFields("", "", "100", "0,2", "");
    press(&EngineValues::edEngineSpeedKeyDown, "edEngineSpeed", '8');
    EXPECT_EQ(text("edEngineMaxForce"), "800");
    EXPECT_EQ(text("edReverseSpeed"), "2");
    press(&EngineValues::edEngineSpeedKeyDown, "edEngineSpeed", '0');
    EXPECT_EQ(text("edEngineMaxForce"), "8000");
    EXPECT_EQ(text("edReverseSpeed"), "16");
    EXPECT_EQ(text("edEngineSpeed"), "80");
}

TEST_F(EngineValuesTest, TypingForceOrDragSetsTheSpeed) {
    setFields("", "8000", "", "0,2", "");
    std::vector<std::string> speeds;
    for (const char digit : std::string("100")) {
        press(&EngineValues::edEngineLinearDragKeyDown, "edEngineLinearDrag", digit);
        speeds.push_back(text("edEngineSpeed"));
    }
    EXPECT_EQ(speeds, (std::vector<std::string>{"8000", "800", "80"}));
    EXPECT_EQ(text("edReverseSpeed"), "16");

    setFields("", "", "100", "0,5", "");
    typeDigits(&EngineValues::edEngineMaxForceKeyDown, "edEngineMaxForce", "2550");
    EXPECT_EQ(text("edEngineSpeed"), "26"); // 25.5 rounds to the even 26
    EXPECT_EQ(text("edReverseSpeed"), "13");
    EXPECT_EQ(changes, 7);
}

TEST_F(EngineValuesTest, TypingTheReverseValuesSetsTheOtherOne) {
    setFields("80", "8000", "100", "0,2", "2");
    press(&EngineValues::edReverseSpeedKeyDown, "edReverseSpeed", '3');
    EXPECT_EQ(text("edReverseFraction"), "0,3"); // 23 / 80 = 0.2875

    setFields("80", "8000", "100", "0,2", "");
    press(&EngineValues::edReverseSpeedKeyDown, "edReverseSpeed", '3');
    EXPECT_EQ(text("edReverseFraction"), "0"); // 3 / 80 lies below 0.05
    press(&EngineValues::edReverseSpeedKeyDown, "edReverseSpeed", '0');
    EXPECT_EQ(text("edReverseFraction"), "0"); // blocked by the fraction "0"
    EXPECT_EQ(text("edReverseSpeed"), "30");

    setFields("25", "", "", "0,", "");
    press(&EngineValues::edReverseFractionKeyDown, "edReverseFraction", '5');
    EXPECT_EQ(text("edReverseSpeed"), "12");
    setFields("35", "", "", "0,", "");
    press(&EngineValues::edReverseFractionKeyDown, "edReverseFraction", '5');
    EXPECT_EQ(text("edReverseSpeed"), "18");
    setFields("35", "", "", "0.", ""); // a point read from the file parses as well
    press(&EngineValues::edReverseFractionKeyDown, "edReverseFraction", '5');
    EXPECT_EQ(text("edReverseSpeed"), "18");
}

TEST_F(EngineValuesTest, SignCommaAndBackspaceReachTheFieldWithoutRecomputing) {
    setFields("80", "8000", "100", "0,2", "16");
    EXPECT_EQ(press(&EngineValues::edReverseSpeedKeyDown, "edReverseSpeed", vk::kSubtract),
              vk::kSubtract);
    EXPECT_EQ(press(&EngineValues::edReverseSpeedKeyDown, "edReverseSpeed", vk::kOemPlus),
              vk::kOemPlus);
    EXPECT_EQ(press(&EngineValues::edReverseSpeedKeyDown, "edReverseSpeed", vk::kOemComma), 0);
    EXPECT_EQ(press(&EngineValues::edReverseFractionKeyDown, "edReverseFraction", vk::kOemComma),
              vk::kOemComma);
    EXPECT_EQ(press(&EngineValues::edReverseFractionKeyDown, "edReverseFraction", vk::kOemMinus),
              vk::kOemMinus);
    EXPECT_EQ(press(&EngineValues::edReverseFractionKeyDown, "edReverseFraction", vk::kAdd),
              vk::kAdd);
    EXPECT_EQ(press(&EngineValues::edEngineSpeedKeyDown, "edEngineSpeed", vk::kOemComma), 0);
    EXPECT_EQ(press(&EngineValues::edEngineSpeedKeyDown, "edEngineSpeed", vk::kSubtract), 0);
    EXPECT_EQ(text("edReverseSpeed"), "16-+");
    EXPECT_EQ(text("edReverseFraction"), "0,2,-+");
    EXPECT_EQ(text("edEngineMaxForce"), "8000");

    const std::vector<std::pair<Handler, std::string>> fields{
        {&EngineValues::edEngineSpeedKeyDown, "edEngineSpeed"},
        {&EngineValues::edEngineMaxForceKeyDown, "edEngineMaxForce"},
        {&EngineValues::edEngineLinearDragKeyDown, "edEngineLinearDrag"},
        {&EngineValues::edReverseFractionKeyDown, "edReverseFraction"},
        {&EngineValues::edReverseSpeedKeyDown, "edReverseSpeed"}};
    setFields("80", "8000", "100", "0,2", "16");
    for (const auto& [handler, field] : fields) {
        EXPECT_EQ(press(handler, field, vk::kBack), vk::kBack) << field;
        for (const int swallowed : {vk::kNumpad0, vk::kNumpad9, vk::kOemPeriod, int{'A'}, 37}) {
            EXPECT_EQ(press(handler, field, swallowed), 0) << field << " " << swallowed;
        }
    }
    EXPECT_EQ(text("edEngineSpeed"), "8");
    EXPECT_EQ(text("edEngineMaxForce"), "800");
    EXPECT_EQ(text("edEngineLinearDrag"), "10");
    EXPECT_EQ(text("edReverseFraction"), "0,");
    EXPECT_EQ(text("edReverseSpeed"), "1");
    EXPECT_EQ(changes, 0);
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
    for (const int kept : {vk::kOemComma, vk::kAdd, vk::kSubtract, vk::kOemPlus, vk::kOemMinus,
                           int{'7'}, vk::kBack}) {
        key = kept;
        values.KeyDownFracted(key);
        EXPECT_EQ(key, kept);
    }
    for (const int swallowed : {vk::kOemPeriod, vk::kNumpad0, int{'x'}}) {
        key = swallowed;
        values.KeyDownFracted(key);
        EXPECT_EQ(key, 0) << swallowed;
    }
    EXPECT_EQ(changes, 18);
}

TEST_F(EngineValuesTest, ZeroDragBlocksSilentlyButAZeroValueFails) {
    setFields("", "8000", "0", "0,2", "");
    press(&EngineValues::edEngineSpeedKeyDown, "edEngineSpeed", '5');
    press(&EngineValues::edEngineMaxForceKeyDown, "edEngineMaxForce", '1');
    EXPECT_EQ(text("edEngineSpeed"), "5");
    EXPECT_EQ(text("edEngineMaxForce"), "80001");

    setFields("", "8000", "00", "0,2", "");
    int key = '1';
    EXPECT_THROW(values.edEngineMaxForceKeyDown(key), std::domain_error);
    EXPECT_EQ(key, '1'); // the digit still enters the field
    EXPECT_EQ(text("edEngineSpeed"), "");

    setFields("0", "", "", "0,2", "");
    key = '1';
    EXPECT_NO_THROW(values.edReverseSpeedKeyDown(key)); // speed "0" blocks
    setFields("00", "", "", "0,2", "");
    EXPECT_THROW(values.edReverseSpeedKeyDown(key), std::domain_error);
    EXPECT_EQ(text("edReverseFraction"), "0,2");
    EXPECT_EQ(changes, 5);
}

TEST_F(EngineValuesTest, FaultsEndTheHandlerAtTheFailingStep) {
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

    setFields("", "8000", "1,5", "0,2", "");
    key = '5';
    try {
        values.edEngineSpeedKeyDown(key);
        ADD_FAILURE() << "no conversion error";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'1,5' is not a valid integer value");
    }

    // The speed is written before the empty fraction fails.
    setFields("", "", "100", "", "7");
    key = '8';
    try {
        values.edEngineMaxForceKeyDown(key);
        ADD_FAILURE() << "no conversion error";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'' is not a valid floating point value");
    }
    EXPECT_EQ(text("edEngineSpeed"), "0");
    EXPECT_EQ(text("edReverseSpeed"), "7");
}

} // namespace
} // namespace skarvel
