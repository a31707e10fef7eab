#include "update/UpdateSite.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace skarvel {
namespace {

TEST(UpdateSite, ThePreferenceWinsOverTheBuildAndBlankMeansNoSite) {
    struct Case {
        std::optional<std::string> preference;
        std::string builtIn;
        std::string chosen;
    };
    for (const Case& c : {
             Case{std::nullopt, "", ""},
             Case{std::nullopt, "  ", ""},
             Case{std::nullopt, "ftp://build.example.org/", "ftp://build.example.org/"},
             Case{"", "ftp://build.example.org/", "ftp://build.example.org/"},
             Case{" \t", "", ""},
             Case{"ftp://mine.example.org:2121/", "", "ftp://mine.example.org:2121/"},
             Case{"ftp://mine.example.org/", "ftp://build.example.org/", "ftp://mine.example.org/"},
         }) {
        SCOPED_TRACE(c.preference.value_or("(none)") + " | " + c.builtIn);
        EXPECT_EQ(chooseUpdateSite(c.preference, c.builtIn), c.chosen);
    }
}

TEST(UpdateSite, TheTestSeamReplacesTheBuiltInSiteForItsLifeOnly) {
    const std::string configured = builtInUpdateSite();
    {
        const BuiltInUpdateSiteForTesting none("");
        EXPECT_EQ(builtInUpdateSite(), "");
        {
            const BuiltInUpdateSiteForTesting site("ftp://127.0.0.1:9/");
            EXPECT_EQ(builtInUpdateSite(), "ftp://127.0.0.1:9/");
        }
        EXPECT_EQ(builtInUpdateSite(), "");
    }
    EXPECT_EQ(builtInUpdateSite(), configured);
}

} // namespace
} // namespace skarvel
