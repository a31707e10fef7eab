#include "platform/CorrectPath.h"

#include "journal/Journal.h"

namespace skarvel {

std::string makeCorrectPath(std::string_view path, TJournal& journal) {
    std::string result(path);
    if (result.empty() || result.back() != '/') {
        result += '/';
    }
    journal.WriteFormatted("makeCorrectPath - %s => %S", {std::string(path), result},
                           JournalEntryKind::Data);
    return result;
}

} // namespace skarvel
