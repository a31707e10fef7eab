#include "gui/EngineFieldsWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <vector>

namespace skarvel {
namespace {

using EngineKeys = test::EngineFieldsWindow;

void type(QLineEdit& field, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&field, key, modifiers);
}

TEST_F(EngineKeys, TypingTheSpeedRecomputesTheOtherFieldsAtOnce) {
    setTexts({{"edEngineLinearDrag", "100"}, {"edReverseFraction", "0,2"}});
    type(field("edEngineSpeed"), Qt::Key_8);
    EXPECT_EQ(text("edEngineMaxForce"), "800");
    EXPECT_EQ(text("edReverseSpeed"), "2");
    type(field("edEngineSpeed"), Qt::Key_0);
    EXPECT_EQ(text("edEngineSpeed"), "80");
    EXPECT_EQ(text("edEngineMaxForce"), "8000");
    EXPECT_EQ(text("edReverseSpeed"), "16");
    EXPECT_TRUE(marked());

    // With the caret in front, the digit lands there but counts as appended: 805.
    field("edEngineSpeed").setCursorPosition(0);
    type(field("edEngineSpeed"), Qt::Key_5);
    EXPECT_EQ(text("edEngineSpeed"), "580");
    EXPECT_EQ(text("edEngineMaxForce"), "80500");
    EXPECT_EQ(text("edReverseSpeed"), "161");
}

TEST_F(EngineKeys, KeypadDigitsAreSwallowedAndOnlyTheGenericHandlerMarks) {
    setTexts({{"edEngineLinearDrag", "100"},
              {"edReverseFraction", "0,2"},
              {"edEngineSpeed", "8"},
              {"edEngineMaxForce", "800"},
              {"edMaxSpeed", "300"}});
    for (Qt::Key digit : {Qt::Key_0, Qt::Key_5, Qt::Key_9}) {
        type(field("edEngineSpeed"), digit, Qt::KeypadModifier);
        type(field("edReverseFraction"), digit, Qt::KeypadModifier);
    }
    EXPECT_EQ(text("edEngineSpeed"), "8");
    EXPECT_EQ(text("edEngineMaxForce"), "800");
    EXPECT_EQ(text("edReverseFraction"), "0,2");
    EXPECT_FALSE(marked()); // an engine field stops before marking

    type(field("edMaxSpeed"), Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(text("edMaxSpeed"), "300");
    EXPECT_TRUE(marked()); // the generic handler marks even a swallowed key
    type(field("edMaxSpeed"), Qt::Key_5);
    type(field("edMaxSpeed"), Qt::Key_A);
    EXPECT_EQ(text("edMaxSpeed"), "3005");
}

TEST_F(EngineKeys, SignsCommaAndBackspaceReachTheFieldWithoutRecomputing) {
    setTexts({{"edEngineLinearDrag", "100"},
              {"edEngineMaxForce", "8000"},
              {"edEngineSpeed", "80"},
              {"edReverseFraction", "0,2"},
              {"edReverseSpeed", ""}});
    type(field("edReverseSpeed"), Qt::Key_Minus);
    EXPECT_EQ(text("edReverseSpeed"), "-");
    type(field("edReverseSpeed"), Qt::Key_Backspace);
    type(field("edReverseSpeed"), Qt::Key_Plus, Qt::KeypadModifier);
    type(field("edReverseSpeed"), Qt::Key_Comma); // no comma in a reverse speed
    EXPECT_EQ(text("edReverseSpeed"), "+");
    type(field("edReverseSpeed"), Qt::Key_Backspace);
    type(field("edReverseSpeed"), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(text("edReverseSpeed"), "-");
    EXPECT_EQ(text("edReverseFraction"), "0,2");

    type(field("edReverseFraction"), Qt::Key_Backspace);
    type(field("edReverseFraction"), Qt::Key_Backspace);
    type(field("edReverseFraction"), Qt::Key_Comma);
    type(field("edReverseFraction"), Qt::Key_Period);
    type(field("edReverseFraction"), Qt::Key_Comma, Qt::KeypadModifier);
    EXPECT_EQ(text("edReverseFraction"), "0,.,");
    type(field("edReverseFraction"), Qt::Key_Backspace);
    type(field("edReverseFraction"), Qt::Key_Backspace);
    EXPECT_EQ(text("edReverseFraction"), "0,");
    EXPECT_EQ(text("edReverseSpeed"), "-");

    type(field("edEngineSpeed"), Qt::Key_Comma); // swallowed
    type(field("edEngineSpeed"), Qt::Key_Minus); // swallowed
    EXPECT_EQ(text("edEngineSpeed"), "80");
    type(field("edEngineSpeed"), Qt::Key_Backspace);
    EXPECT_EQ(text("edEngineSpeed"), "8");
    EXPECT_EQ(text("edEngineMaxForce"), "8000");
    EXPECT_FALSE(marked());

    // The first digit after them recomputes from what the field shows.
    field("edEngineSpeed").setText("80");
    type(field("edReverseFraction"), Qt::Key_5);
    EXPECT_EQ(text("edReverseSpeed"), "40");
    EXPECT_TRUE(marked());
    field("edReverseSpeed").setText("-");
    type(field("edReverseSpeed"), Qt::Key_8);
    EXPECT_EQ(text("edReverseFraction"), "-0,1");
}

// Fractions typed with either separator, from the main keyboard or the keypad.
TEST_F(EngineKeys, FractionFieldsTakeAPointOrAComma) {
    struct Case {
        const char* field;
        Qt::Key separator;
        Qt::KeyboardModifiers modifiers;
        const char* typed;
    };
    const Case cases[] = {
        {"edReverseFraction", Qt::Key_Period, Qt::NoModifier, "0.2"},
        {"edReverseFraction", Qt::Key_Comma, Qt::KeypadModifier, "0,2"},
        {"edMasse", Qt::Key_Period, Qt::NoModifier, "0.2"},
        {"edCruiseChargeTime", Qt::Key_Comma, Qt::NoModifier, "0,2"},
        {"edCameraAngularAccel", Qt::Key_Period, Qt::KeypadModifier, "0.2"},
    };
    for (const Case& c : cases) {
        setTexts({{"edEngineSpeed", "80"},
                  {"edReverseFraction", "0,5"},
                  {"edReverseSpeed", ""},
                  {c.field, ""}});
        type(field(c.field), Qt::Key_0);
        type(field(c.field), c.separator, c.modifiers);
        type(field(c.field), Qt::Key_2);
        EXPECT_EQ(text(c.field), c.typed) << c.field;
        EXPECT_EQ(text("edReverseSpeed"), c.field == std::string("edReverseFraction") ? "16" : "")
            << c.field;
    }
    EXPECT_TRUE(marked());
}

// The keys that move, select, copy and delete work in a number field as in any other; a
// paste keeps the characters the field's keys would type.
TEST_F(EngineKeys, NumberFieldsTakeTheEditingKeys) {
    struct Press {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    };
    struct Case {
        const char* field;
        std::vector<Press> presses;
        const char* after;
        const char* clipboard = nullptr; // after the presses
    };
    const auto ctrl = Qt::ControlModifier;
    const auto shift = Qt::ShiftModifier;
    const Case cases[] = {
        {"edMaxSpeed", {{Qt::Key_Home}, {Qt::Key_9}}, "91234"},
        {"edMaxSpeed", {{Qt::Key_Home}, {Qt::Key_End}, {Qt::Key_5}}, "12345"},
        {"edMaxSpeed", {{Qt::Key_Left}, {Qt::Key_Left}, {Qt::Key_7}}, "12734"},
        {"edMaxSpeed", {{Qt::Key_Home}, {Qt::Key_Right}, {Qt::Key_Delete}}, "134"},
        {"edMaxSpeed", {{Qt::Key_Left}, {Qt::Key_Backspace}}, "124"},
        {"edMaxSpeed", {{Qt::Key_Up}, {Qt::Key_Down}, {Qt::Key_8}}, "12348"},
        {"edMaxSpeed", {{Qt::Key_Home, shift}, {Qt::Key_Delete}}, ""},
        {"edMaxSpeed", {{Qt::Key_A, ctrl}, {Qt::Key_5}}, "5"},
        {"edMaxSpeed",
         {{Qt::Key_A, ctrl}, {Qt::Key_C, ctrl}, {Qt::Key_End}, {Qt::Key_V, ctrl}},
         "12341234",
         "1234"},
        {"edMaxSpeed", {{Qt::Key_Left, shift}, {Qt::Key_X, ctrl}}, "123", "4"},
        {"edMaxSpeed", {{Qt::Key_Left, shift}, {Qt::Key_Delete, shift}}, "123", "4"},
        {"edReverseFraction", {{Qt::Key_Home}, {Qt::Key_Right}, {Qt::Key_Delete}}, "134"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after);
        setTexts({{c.field, "1234"}});
        field(c.field).setFocus();
        for (const Press& press : c.presses) {
            type(field(c.field), press.key, press.modifiers);
        }
        EXPECT_EQ(text(c.field), c.after) << c.field;
        if (c.clipboard) {
            EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), c.clipboard);
        }
    }

    const std::pair<const char*, const char*> pastes[] = {
        {"edMaxSpeed", "125"},         {"edEngineSpeed", "125"},   {"edReverseSpeed", "125"},
        {"edReverseFraction", "12,5"}, {"edCameraOffset", "12,5"}, {"edMasse", "12,5"},
    };
    for (const auto& [name, kept] : pastes) {
        for (const Press& paste : {Press{Qt::Key_V, ctrl}, Press{Qt::Key_Insert, shift}}) {
            QGuiApplication::clipboard()->setText(QStringLiteral("12a,5"));
            setTexts({{name, ""}});
            type(field(name), paste.key, paste.modifiers);
            EXPECT_EQ(text(name), kept) << name;
        }
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("-1.5x"));
    setTexts({{"edReverseSpeed", ""}, {"edReverseFraction", ""}});
    type(field("edReverseSpeed"), Qt::Key_V, ctrl);
    type(field("edReverseFraction"), Qt::Key_V, ctrl);
    EXPECT_EQ(text("edReverseSpeed"), "-15");
    EXPECT_EQ(text("edReverseFraction"), "-1.5");
}

TEST_F(EngineKeys, OnlyAForceBeyond32BitsIsJournaled) {
    setTexts({{"edEngineLinearDrag", "100"}, {"edReverseFraction", "0,2"}});
    QTest::keyClicks(&field("edEngineSpeed"), "2147483");
    EXPECT_EQ(text("edEngineMaxForce"), "214748300");
    EXPECT_EQ(text("edReverseSpeed"), "429497");
    std::size_t from = env.journal().size();
    type(field("edEngineSpeed"), Qt::Key_9);
    EXPECT_EQ(linesSince(from),
              std::vector<std::string>{"[Error  ] EXCEPTION OCCURED  - Integer overflow"});
    EXPECT_EQ(text("edEngineSpeed"), "21474839");
    EXPECT_EQ(text("edEngineMaxForce"), "214748300");
    EXPECT_EQ(text("edReverseSpeed"), "429497");

    // Speeds that cannot be worked out go empty without a word: an empty fraction, a drag of
    // 00 past the guards.
    setTexts({{"edEngineSpeed", ""}, {"edReverseFraction", ""}});
    from = env.journal().size();
    type(field("edEngineSpeed"), Qt::Key_5);
    EXPECT_EQ(text("edEngineMaxForce"), "500");
    EXPECT_EQ(text("edReverseSpeed"), "");
    setTexts({{"edEngineLinearDrag", "00"}, {"edEngineMaxForce", ""}, {"edEngineSpeed", "7"}});
    type(field("edEngineMaxForce"), Qt::Key_4);
    EXPECT_EQ(text("edEngineMaxForce"), "4");
    EXPECT_EQ(text("edEngineSpeed"), "");
    EXPECT_TRUE(linesSince(from).empty());

    // A drag typed with a point or a comma.
    setTexts(
        {{"edEngineMaxForce", "27120"}, {"edEngineLinearDrag", ""}, {"edReverseFraction", "0,2"}});
    QTest::keyClicks(&field("edEngineLinearDrag"), "135.6");
    EXPECT_EQ(text("edEngineLinearDrag"), "135.6");
    EXPECT_EQ(text("edEngineSpeed"), "200");
    EXPECT_EQ(text("edReverseSpeed"), "40");
    setTexts({{"edEngineLinearDrag", ""}});
    QTest::keyClicks(&field("edEngineLinearDrag"), "271,2");
    EXPECT_EQ(text("edEngineSpeed"), "100");
    EXPECT_TRUE(hand.shown.empty());
}

} // namespace
} // namespace skarvel
