#include "app/MainWindow.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "update/UpdateSite.h"

#include <QCheckBox>
#include <QLabel>
#include <algorithm>
#include <optional>

namespace skarvel {
namespace {

using test::control;
using test::ModalHand;
using test::ShellEnvironment;

const std::string kNoSiteLine =
    "[Info   ] Keine Update-Seite eingestellt - Suche nach neuen Versionen wird nicht angeboten";

// The update check is offered exactly when the build or the UpdateSite preference names a
// site; the check box stays as the user set it either way.
TEST(NoUpdateSite, WithoutASiteTheCheckIsNotOfferedAndTheOptionsPageSaysWhy) {
    struct Case {
        std::string builtIn;
        std::optional<std::string> preference;
        bool offered;
    };
    for (const Case& c : {
             Case{"", std::nullopt, false},
             Case{"  ", std::string(""), false},
             Case{"", std::string("ftp://127.0.0.1:9/"), true},
             Case{"ftp://127.0.0.1:9/", std::nullopt, true},
         }) {
        SCOPED_TRACE(c.builtIn + " | " + c.preference.value_or("(none)"));
        const BuiltInUpdateSiteForTesting site(c.builtIn);
        ShellEnvironment env;
        env.installGame();
        if (c.preference) {
            env.storePreference("UpdateSite", *c.preference);
        }
        ModalHand hand;
        if (c.offered) {
            hand.press(QMessageBox::No); // the update question
        }
        hand.press(QMessageBox::No); // the backup prompt
        {
            TJournal journal(env.program.string(), "DebugOut");
            TformSkarvel window(journal, env.program.string());

            EXPECT_TRUE(hand.allAnswered());
            EXPECT_TRUE(hand.unexpected.empty());
            EXPECT_EQ(!hand.shown.empty() && hand.shown[0].text == test::kUpdateQuestion,
                      c.offered);
            auto& box = control<QCheckBox>(window, "cbCheckNewVersion");
            EXPECT_TRUE(box.isChecked());
            EXPECT_EQ(box.isEnabled(), c.offered);
            auto& why = control<QLabel>(window, "labNoUpdateSite");
            EXPECT_EQ(why.isHidden(), c.offered);
            EXPECT_EQ(why.text(), "No update site is set.");
        }
        const auto lines = env.journal();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kNoSiteLine), c.offered ? 0 : 1);
        if (!c.offered) {
            // In the place of the question: after the switches, before the game's folder.
            const auto at = std::find(lines.begin(), lines.end(), kNoSiteLine);
            ASSERT_NE(at, lines.begin());
            EXPECT_EQ(*(at - 1), "[Data   ] FCheckNewVersion = 1");
        }
    }
}

} // namespace
} // namespace skarvel
