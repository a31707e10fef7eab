#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "journal/Format.h"
#include "platform/Clock.h"

namespace skarvel {

enum class JournalEntryKind { Start, System, Begin, End, Info, Warning, Error, Data, Action };

// The seven-character label of a kind as it stands in the file.
const char* journalLabel(JournalEntryKind kind);

// Who is writing, for the header line.
struct JournalIdentity {
    std::string executable;
    std::string version;
    std::string computer;
    std::string user;
};

JournalIdentity currentIdentity();

// The daily journal file: one line per entry, flushed to disk at once, Begin/End timing.
// The day's file is held with an exclusive lock while the program runs, so a second copy
// writes nothing and leaves the first copy's file intact.
class TJournal {
public:
    TJournal(std::string_view folder, std::string_view name,
             JournalIdentity identity = currentIdentity(), const Clock& clock = systemClock());
    ~TJournal();
    TJournal(const TJournal&) = delete;
    TJournal& operator=(const TJournal&) = delete;

    // Texts in the program's source are UTF-8; they are written as Windows-1252.
    void Write(std::string_view text, JournalEntryKind kind);
    // Arguments are inserted as they are (bytes of the game's files pass unchanged).
    void WriteFormatted(std::string_view format, std::initializer_list<FormatArg> args,
                        JournalEntryKind kind);

    // Closing lines: one "Freeing internal timer leak" End per open Begin, then the exit
    // code. Called once; later entries are dropped.
    void Release(int exitCode);

    // Full path of the journal file; empty when there is no file output.
    const std::string& fileName() const { return fileName_; }
    std::size_t openTimers() const { return timers_.size(); }

    // "DebugOut" for "C:\x\DebugOut.mjf " and the like: folder, extension and blanks removed.
    static std::string baseName(std::string_view name);

private:
    void open();
    void writeLine(std::string_view encodedText, JournalEntryKind kind);

    std::string fileName_;
    int fd_ = -1;
    JournalIdentity identity_;
    const Clock& clock_;
    std::vector<std::int64_t> timers_;
    bool released_ = false;
};

// Whole seconds of an elapsed time, an exact half going to the even second.
std::int64_t roundMsToSeconds(std::int64_t ms);
// "hh:mm:ss" of a number of seconds.
std::string elapsedText(std::int64_t seconds);

} // namespace skarvel
