#include "journal/Journal.h"

#include "journal/Encoding.h"
#include "journal/VersionInfo.h"
#include "platform/Files.h"
#include "platform/SystemFacts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace skarvel {

const char* journalLabel(JournalEntryKind kind) {
    switch (kind) {
    case JournalEntryKind::Start:
        return "Start  ";
    case JournalEntryKind::System:
        return "System ";
    case JournalEntryKind::Begin:
        return "Begin  ";
    case JournalEntryKind::End:
        return "End    ";
    case JournalEntryKind::Info:
        return "Info   ";
    case JournalEntryKind::Warning:
        return "Warning";
    case JournalEntryKind::Error:
        return "Error  ";
    case JournalEntryKind::Data:
        return "Data   ";
    case JournalEntryKind::Action:
        return "Action ";
    }
    return "       ";
}

JournalIdentity currentIdentity() {
    JournalIdentity identity;
    identity.executable = executablePath();
    TVersionInfo info;
    if (ReadVersionInfo(identity.executable, info)) {
        identity.version = info.fileVersion;
    }
    identity.computer = computerName();
    identity.user = userName();
    return identity;
}

namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

std::string trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string dateText(const std::tm& t) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday);
    return buffer;
}

std::string timeStamp(const std::tm& t) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return buffer;
}

} // namespace

std::int64_t roundMsToSeconds(std::int64_t ms) {
    std::int64_t seconds = ms / 1000;
    const std::int64_t rest = ms % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 != 0)) {
        ++seconds;
    }
    return seconds;
}

std::string elapsedText(std::int64_t seconds) {
    return formatText("%2.2d:%2.2d:%2.2d", {seconds / 3600, (seconds / 60) % 60, seconds % 60});
}

std::string TJournal::baseName(std::string_view name) {
    std::string_view base = name;
    const auto slash = base.find_last_of("/\\");
    if (slash != std::string_view::npos) {
        base.remove_prefix(slash + 1);
    }
    std::string trimmed = trimBlanks(base);
    const auto dot = trimmed.find_last_of('.');
    if (dot != std::string::npos) {
        trimmed.erase(dot);
    }
    return trimBlanks(trimmed);
}

TJournal::TJournal(std::string_view folder, std::string_view name, JournalIdentity identity,
                   const Clock& clock)
    : identity_(std::move(identity)), clock_(clock) {
    const std::string base = baseName(name);
    fileName_ = std::string(folder);
    if (!fileName_.empty() && fileName_.back() != '/') {
        fileName_ += '/';
    }
    fileName_ += base + (base.empty() ? "" : "_") + dateText(clock_.localNow()) + ".mjf";
    open();
}

TJournal::~TJournal() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void TJournal::open() {
    // Lock before emptying: a second copy must not truncate the file the first one holds.
    const int fd = ::open(fileName_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
        const int error = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        fail(fileName_ + ": " +
             (error == EWOULDBLOCK ? "in use by another running copy of Skarvel"
                                   : std::strerror(error)));
        fileName_.clear();
        return;
    }
    fd_ = fd;
    WriteFormatted("Process \"%s\" version \"%s\" running on \"%s\\%s\"",
                   {identity_.executable, identity_.version, identity_.computer, identity_.user},
                   JournalEntryKind::Start);
}

void TJournal::setFailureHandler(std::function<void(const std::string& problem)> handler) {
    failureHandler_ = std::move(handler);
    if (failed_) {
        reportFailure();
    }
}

void TJournal::redirectForTesting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("Unable to open " + path);
    }
    if (fd_ < 0) {
        fd_ = fd;
        return;
    }
    ::dup3(fd, fd_, O_CLOEXEC);
    ::close(fd);
}

void TJournal::fail(const std::string& problem) {
    if (failed_) {
        return;
    }
    failed_ = true;
    problem_ = problem;
    reportFailure();
}

void TJournal::reportFailure() {
    if (reported_ || !failureHandler_) {
        return;
    }
    reported_ = true;
    // The writer that met the failure is in the middle of its work (a save, the closing
    // lines): nothing of the report may reach it.
    try {
        failureHandler_(problem_);
    } catch (...) {
    }
}

void TJournal::Write(std::string_view text, JournalEntryKind kind) {
    writeLine(toCp1252(text), kind);
}

void TJournal::WriteFormatted(std::string_view format, std::initializer_list<FormatArg> args,
                              JournalEntryKind kind) {
    writeLine(formatText(toCp1252(format), args), kind);
}

void TJournal::writeLine(std::string_view encodedText, JournalEntryKind kind) {
    if (released_) {
        return; // the closing lines are written; an End now must not fail on the empty stack
    }
    std::string text(encodedText);
    replaceAll(text, "\n\r", " ");
    replaceAll(text, "\r\n", " ");
    replaceAll(text, "\n", " ");
    replaceAll(text, "\r", " ");

    if (kind == JournalEntryKind::Begin) {
        timers_.push_back(clock_.tickMs());
    } else if (kind == JournalEntryKind::End) {
        if (timers_.empty()) {
            throw std::out_of_range("Range check error");
        }
        const std::int64_t started = timers_.back();
        timers_.pop_back();
        const std::string elapsed = elapsedText(roundMsToSeconds(clock_.tickMs() - started));
        text = text.empty() ? "Elapsed time: " + elapsed : text + " - Elapsed time: " + elapsed;
    }

    if (fd_ < 0 || failed_) {
        return;
    }
    const std::string line =
        "[" + timeStamp(clock_.localNow()) + "][" + journalLabel(kind) + "] " + text + "\r\n";
    if (!writeAll(fd_, line)) {
        fail(fileName_ + ": " + std::strerror(errno));
        return;
    }
    // A file system without the flush says EINVAL; only a lost line counts as a failure.
    if (::fdatasync(fd_) != 0) {
        const int error = errno;
        if (error == EIO || error == ENOSPC || error == EDQUOT) {
            fail(fileName_ + ": " + std::strerror(error));
        }
    }
}

void TJournal::Release(int exitCode) {
    if (released_) {
        return;
    }
    while (!timers_.empty()) {
        Write("Freeing internal timer leak", JournalEntryKind::End);
    }
    WriteFormatted("Process terminated with exit code %d", {exitCode}, JournalEntryKind::System);
    released_ = true;
    if (fd_ >= 0) {
        ::fsync(fd_);
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace skarvel
