#include "check/UncheckedReferences.h"

#include "platform/AsciiText.h"

namespace skarvel::check {

UncheckedReferences::UncheckedReferences(const ModFiles& mod)
    : mod_(mod), counts_(mod.unread.size(), 0) {}

bool UncheckedReferences::skip(FileRole role, std::string_view system) {
    for (std::size_t i = 0; i < mod_.unread.size(); ++i) {
        const UnreadFile& file = mod_.unread[i];
        if (file.role == role &&
            (role != FileRole::System || equalsIgnoringCase(file.system, system))) {
            ++counts_[i];
            return true;
        }
    }
    return false;
}

Problems UncheckedReferences::countLines() const {
    Problems lines;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        if (counts_[i] == 0) {
            continue;
        }
        const UnreadFile& file = mod_.unread[i];
        lines.push_back({Severity::Warning,
                         "file",
                         file.namedIn,
                         file.line,
                         {},
                         std::to_string(counts_[i]) +
                             (counts_[i] == 1 ? " reference" : " references") + " into " +
                             file.shown + " could not be checked"});
    }
    return lines;
}

} // namespace skarvel::check
