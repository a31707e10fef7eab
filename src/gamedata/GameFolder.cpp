// Stand-in for the shared reader until it lands; replaced at the merge.
#include "gamedata/GameFolder.h"

#include "BiniFormat.h"
#include "gamedata/GameFileRead.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace skarvel {

namespace {

std::string realPath(const std::string& path, int& error) {
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) == nullptr) {
        error = errno;
        return {};
    }
    error = 0;
    return buffer;
}

} // namespace

GameFolder::GameFolder(std::string root) : root_(resolveCaseInsensitive(std::move(root))) {
    if (!root_.ends_with('/')) {
        root_ += '/';
    }
    int error = 0;
    realRoot_ = realPath(root_, error) + "/";
}

GameFolder::Resolved GameFolder::resolve(std::string_view base, std::string_view named) const {
    Resolved resolved;
    std::string joined = std::string(base) + "/" + std::string(named);
    for (char& c : joined) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (named.starts_with('/') || named.starts_with('\\') ||
        (named.size() > 1 && named[1] == ':')) {
        resolved.refusal = "names a file outside the game folder";
        return resolved;
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        const std::size_t slash = std::min(joined.find('/', start), joined.size());
        const std::string part = joined.substr(start, slash - start);
        if (part == "..") {
            if (parts.empty()) {
                resolved.refusal = "names a file outside the game folder";
                return resolved;
            }
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string relative;
    for (const std::string& part : parts) {
        relative += (relative.empty() ? "" : "/") + part;
    }
    resolved.path = resolveCaseInsensitive(root_ + relative);
    resolved.shown = resolved.path.substr(std::min(root_.size(), resolved.path.size()));
    struct stat info {};
    if (::lstat(resolved.path.c_str(), &info) != 0) {
        resolved.refusal =
            errno == ENOENT ? "is missing" : std::string("cannot be read: ") + std::strerror(errno);
        return resolved;
    }
    int error = 0;
    const std::string real = realPath(resolved.path, error);
    if (error == ENOENT) {
        resolved.refusal = "is missing";
    } else if (error != 0) {
        resolved.refusal = std::string("cannot be read: ") + std::strerror(error);
    } else if (!(real + "/").starts_with(realRoot_)) {
        resolved.refusal = "names a file outside the game folder";
    }
    return resolved;
}

GameFileRead readGameFile(const GameFolder& folder, std::string_view base, std::string_view named) {
    const GameFolder::Resolved resolved = folder.resolve(base, named);
    GameFileRead read{nullptr, resolved.path, resolved.shown, resolved.refusal};
    if (!resolved.found()) {
        return read;
    }
    std::string bytes;
    try {
        bytes = readRegularFile(resolved.path, kDataFileSizeCap);
    } catch (const std::exception& error) {
        read.refusal = std::string(error.what()).substr(resolved.path.size() + 1);
        if (read.refusal.starts_with("is larger")) {
            read.refusal = "is larger than the 64 MB cap";
        }
        return read;
    }
    if (bytes.starts_with("BINI")) {
        try {
            bytes = bini::toText(bytes);
        } catch (const std::exception& error) {
            read.refusal = std::string("cannot be parsed: ") + error.what();
            return read;
        }
    }
    auto parsed = std::make_shared<const ini::ParsedIni>(std::move(bytes));
    if (!parsed->isText()) {
        read.refusal = "cannot be parsed: it holds a NUL byte";
        return read;
    }
    read.ini = std::move(parsed);
    return read;
}

} // namespace skarvel
