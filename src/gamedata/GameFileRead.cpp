#include "gamedata/GameFileRead.h"

#include "BiniFormat.h"
#include "platform/Files.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace skarvel {

namespace {

std::string cannotRead(int error) {
    return std::string("cannot be read: ") + std::strerror(error);
}

// Why the file at path may not be read, or empty. Opened without blocking, so that a FIFO
// put where a data file belongs is told apart instead of waited on.
std::string refusalOfKind(const std::string& path) {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.valid()) {
        return cannotRead(errno);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return cannotRead(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return "is not a regular file";
    }
    if (static_cast<std::uint64_t>(info.st_size) > kDataFileSizeCap) {
        return "is larger than the 64 MB cap";
    }
    return {};
}

} // namespace

GameFileRead readGameFile(const GameFolderPaths& folder, std::string_view base,
                          std::string_view named) {
    const GameFolderPaths::Resolved where = folder.resolve(base, named);
    GameFileRead read{nullptr, where.path, where.shown, where.refusal};
    if (!where.found()) {
        return read;
    }
    read.refusal = refusalOfKind(where.path);
    if (!read.refusal.empty()) {
        return read;
    }
    // The process-wide cache: a file the editor holds parsed is not parsed again.
    errno = 0;
    auto parsed = ini::currentIni(where.path);
    if (!parsed) {
        read.refusal = cannotRead(errno != 0 ? errno : EIO);
        return read;
    }
    if (parsed->bytes().size() > kDataFileSizeCap) { // grew since the look at its size
        read.refusal = "is larger than the 64 MB cap";
        return read;
    }
    if (parsed->bytes().starts_with("BINI")) {
        try {
            read.ini = std::make_shared<const ini::ParsedIni>(bini::toText(parsed->bytes()));
        } catch (const std::exception& error) {
            read.refusal =
                std::string("cannot be parsed: a damaged compressed file: ") + error.what();
        }
        return read;
    }
    if (!parsed->isText()) {
        read.refusal = "cannot be parsed: it holds a NUL byte, so it is no text";
        return read;
    }
    read.ini = std::move(parsed);
    return read;
}

} // namespace skarvel
