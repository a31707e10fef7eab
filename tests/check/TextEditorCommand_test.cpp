#include "check/TextEditorCommand.h"

#include <gtest/gtest.h>

namespace skarvel::test {
namespace {

TEST(TextEditorCommand, VisualThenEditorWithTheLineForEditorsThatTakeIt) {
    struct Case {
        std::string visual;
        std::string editor;
        std::vector<std::string> command;
    };
    const std::string file = "/games/fl/DATA/SHIPS/shiparch.ini";
    for (const Case& c : {
             Case{"", "vim", {"vim", "+12", file}},
             Case{"/usr/bin/nvim", "nano", {"/usr/bin/nvim", "+12", file}},
             Case{"", "  emacsclient -n ", {"emacsclient", "-n", "+12", file}},
             Case{"kate", "", {"kate", "+12", file}},
             Case{"", "code --wait", {"code", "--wait", file}}, // takes no +LINE
             Case{" ", "", {}},                                 // the desktop's default
         }) {
        SCOPED_TRACE(c.visual + "|" + c.editor);
        EXPECT_EQ(check::textEditorCommand(c.visual, c.editor, file, 12), c.command);
    }
}

} // namespace
} // namespace skarvel::test
