#include "journal/JournaledPath.h"

#include "journal/Journal.h"
#include "platform/CorrectPath.h"

namespace skarvel {

std::string makeCorrectPath(std::string_view path, TJournal& journal) {
    std::string result = makeCorrectPath(path);
    journal.WriteFormatted("makeCorrectPath - %s => %S", {std::string(path), result},
                           JournalEntryKind::Data);
    return result;
}

} // namespace skarvel
