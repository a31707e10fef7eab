#pragma once

#include "journal/Format.h"
#include "platform/Clock.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

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
// A journal that cannot be written (folder not writable, file held, disk full) never stops
// the program: the failure is reported once through the failure handler and every later
// line is dropped.
class TJournal {
public:
    TJournal(std::string_view folder, std::string_view name,
             JournalIdentity identity = currentIdentity(), const Clock& clock = systemClock());
    ~TJournal();
    TJournal(const TJournal&) = delete;
    TJournal& operator=(const TJournal&) = delete;

    // Texts in the program's source are UTF-8; they are written as Windows-1252. A failed
    // write is not thrown to the caller; only an End without its Begin throws.
    void Write(std::string_view text, JournalEntryKind kind);
    // Arguments are inserted as they are (bytes of the game's files pass unchanged).
    void WriteFormatted(std::string_view format, std::initializer_list<FormatArg> args,
                        JournalEntryKind kind);

    // Closing lines: one "Freeing internal timer leak" End per open Begin, then the exit
    // code. Called once; later entries are dropped.
    void Release(int exitCode);

    // Called once with the file and the reason the first time the journal cannot be
    // written; at once when that happened before it was installed.
    void setFailureHandler(std::function<void(const std::string& problem)> handler);
    bool failed() const { return failed_; }

    // Test seam: points the open file at another one (such as /dev/full), so that later
    // writes meet that file's errors.
    void redirectForTesting(const std::string& path);

    // Full path of the journal file; empty when there is no file output.
    const std::string& fileName() const { return fileName_; }
    std::size_t openTimers() const { return timers_.size(); }

    // "DebugOut" for "C:\x\DebugOut.mjf " and the like: folder, extension and blanks removed.
    static std::string baseName(std::string_view name);

private:
    void open();
    void writeLine(std::string_view encodedText, JournalEntryKind kind);
    void fail(const std::string& problem);
    void reportFailure();

    std::string fileName_;
    int fd_ = -1;
    JournalIdentity identity_;
    const Clock& clock_;
    std::vector<std::int64_t> timers_;
    bool released_ = false;
    bool failed_ = false;
    bool reported_ = false;
    std::string problem_;
    std::function<void(const std::string&)> failureHandler_;
};

// Whole seconds of an elapsed time, an exact half going to the even second.
std::int64_t roundMsToSeconds(std::int64_t ms);
// "hh:mm:ss" of a number of seconds.
std::string elapsedText(std::int64_t seconds);

} // namespace skarvel
