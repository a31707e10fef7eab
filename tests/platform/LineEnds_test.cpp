#include "platform/LineEnds.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace skarvel {
namespace {

// Each line as text + "|" + ending, so that the endings show in a failure.
std::vector<std::string> marked(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string joined;
    forEachLine(bytes, [&](LineWithEnd line) {
        lines.push_back(std::string(line.text) + "|" + std::string(line.ending));
        joined.append(line.text).append(line.ending);
    });
    EXPECT_EQ(joined, bytes); // every byte comes back, in order
    return lines;
}

TEST(LineEnds, SplitsAtEachKindOfLineEndKeepingTheBytes) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"a", {"a|"}},
        {"a\r\nb\nc\rd", {"a|\r\n", "b|\n", "c|\r", "d|"}},
        {"\xEF\xBB\xBF[Ship]\r\n", {"\xEF\xBB\xBF[Ship]|\r\n"}},
        {"a\n\r", {"a|\n", "|\r"}}, // LF then CR: two line ends, not one
        {"\r\r\n", {"|\r", "|\r\n"}},
        {std::string("a\0b\n", 4), {std::string("a\0b|\n", 5)}},
    };
    for (const auto& [bytes, lines] : cases) {
        EXPECT_EQ(marked(bytes), lines) << bytes;
    }
}

TEST(LineEnds, LineAtAnyStartAndFirstLine) {
    EXPECT_EQ(lineAt("ab\r\ncd", 4).text, "cd");
    EXPECT_EQ(lineAt("ab\r\ncd", 3).ending, "\n"); // in the middle of CR LF: the LF alone
    EXPECT_EQ(lineAt("ab", 2).size(), 0u);
    EXPECT_EQ(lineBreakFrom("ab\ncd\r", 3), 5u);
    EXPECT_EQ(lineBreakFrom("ab", 0), std::string_view::npos);
    EXPECT_EQ(firstLine("220 ready\r\n230"), "220 ready");
    EXPECT_EQ(firstLine(""), "");
}

// Line numbers count every kind of line end, as the splitting does; a line longer than the
// search window of lineBreakFrom is one line too.
TEST(LineEnds, LineNumbersCountEveryKindOfLineEnd) {
    const std::string longLine(70000, 'x');
    const struct {
        std::string bytes;
        std::vector<std::size_t> starts;
    } cases[] = {
        {"", {0}},
        {"a", {0}},
        {"a\rb\rc", {0, 2, 4}},
        {"a\r\nb\nc\r", {0, 3, 5, 7}},
        {longLine + "\r" + longLine, {0, 70001}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lineStartsOf(c.bytes), c.starts) << c.bytes.size();
        for (std::size_t line = 0; line < c.starts.size(); ++line) {
            EXPECT_EQ(lineNumberAt(c.bytes, c.starts[line]), line + 1);
        }
    }
    EXPECT_EQ(lineNumberAt("a\r\nb", 2), 1u); // the LF of a CR LF is on its line
    EXPECT_EQ(lineBreakFrom(longLine + "\n", 0), 70000u);
}

} // namespace
} // namespace skarvel
