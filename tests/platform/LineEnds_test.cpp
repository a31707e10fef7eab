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

} // namespace
} // namespace skarvel
