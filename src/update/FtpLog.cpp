#include "update/FtpLog.h"

#include "platform/LineEnds.h"

namespace skarvel {

std::optional<std::string> ftpLogText(std::string_view prefix, std::string_view chunk) {
    // A line feed ends the text as well: libcurl's own status texts end with one, and a
    // journal entry is one line.
    const std::string_view text = firstLine(chunk);
    if (text.empty()) {
        return std::nullopt;
    }
    std::string entry(prefix);
    entry += text;
    return entry;
}

bool ReplyLineLimit::admit() {
    if (seen_ < limit_) {
        ++seen_;
        return true;
    }
    ++leftOut_;
    return false;
}

std::optional<std::string> ReplyLineLimit::endOfReplies() {
    const std::int64_t leftOut = leftOut_;
    seen_ = 0;
    leftOut_ = 0;
    if (leftOut == 0) {
        return std::nullopt;
    }
    return "<<- (" + std::to_string(leftOut) + " more reply lines left out)";
}

} // namespace skarvel
