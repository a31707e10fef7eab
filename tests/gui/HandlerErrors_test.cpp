#include "gui/EngineFieldsWindow.h"

#include <QTest>

namespace skarvel {
namespace {

using HandlerErrors = test::EngineFieldsWindow;
using test::control;

TEST_F(HandlerErrors, AnErrorInAHandlerIsOneJournalLineAndTheWindowGoesOn) {
    // A pasted drag so large that the force would not fit into 32 bits.
    setTexts({{"edEngineLinearDrag", "1000000000"}, {"edReverseFraction", "0,2"}});
    std::size_t from = env.journal().size();
    QTest::keyClick(&field("edEngineSpeed"), Qt::Key_8);

    EXPECT_EQ(linesSince(from),
              std::vector<std::string>{"[Error  ] EXCEPTION OCCURED  - Integer overflow"});
    EXPECT_TRUE(hand.shown.empty());       // no message box
    EXPECT_EQ(text("edEngineSpeed"), "8"); // the digit still reaches the field
    EXPECT_EQ(text("edEngineMaxForce"), "");
    EXPECT_TRUE(marked());

    // The window goes on: a click works, and so does the next key once the drag is valid.
    from = env.journal().size();
    hand.dismiss();
    control<QToolButton>(*window, "btInfo").click();
    EXPECT_EQ(linesSince(from), std::vector<std::string>{"[System ] Info Dialog wurde angezeigt"});
    field("edEngineLinearDrag").setText("100");
    from = env.journal().size();
    QTest::keyClick(&field("edEngineSpeed"), Qt::Key_0);
    EXPECT_EQ(text("edEngineMaxForce"), "8000");
    EXPECT_EQ(text("edReverseSpeed"), "16");
    EXPECT_TRUE(linesSince(from).empty());
    EXPECT_TRUE(window->isVisible());
}

} // namespace
} // namespace skarvel
