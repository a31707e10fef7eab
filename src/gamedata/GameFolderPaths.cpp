#include "gamedata/GameFolderPaths.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace skarvel {

namespace {

constexpr std::string_view kOutside = "names a file outside the game folder";
constexpr std::string_view kMissing = "is missing";

std::string cannotRead(int error) {
    return std::string("cannot be read: ") + std::strerror(error);
}

// The target of a path with every link followed, or the errno why there is none.
std::string realPathOf(const std::string& path, int& error) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    if (!real) {
        error = errno;
        return {};
    }
    error = 0;
    return real.get();
}

bool isInside(const std::string& path, const std::string& rootWithSlash) {
    return path + '/' == rootWithSlash || path.starts_with(rootWithSlash);
}

std::vector<std::string_view> componentsOf(std::string_view joined) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        const auto slash = joined.find('/', start);
        const auto end = slash == std::string_view::npos ? joined.size() : slash;
        const auto part = joined.substr(start, end - start);
        if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (slash == std::string_view::npos) {
            break;
        }
        start = slash + 1;
    }
    return parts;
}

bool looksAbsolute(std::string_view path) {
    const bool driveLetter = path.size() >= 2 && path[1] == ':';
    return path.starts_with('/') || driveLetter;
}

} // namespace

GameFolderPaths::GameFolderPaths(std::string root) {
    int error = 0;
    std::string real = realPathOf(root, error);
    root_ = real.empty() ? std::move(root) : std::move(real);
    if (!root_.ends_with('/')) {
        root_ += '/';
    }
}

const GameFolderPaths::Listing& GameFolderPaths::listingOf(const std::string& folder) const {
    if (const auto known = listings_.find(folder); known != listings_.end()) {
        return known->second;
    }
    Listing listing;
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..") {
                names.emplace_back(name);
            }
        }
        ::closedir(dir);
    } else {
        listing.error = errno;
    }
    // Sorted, so that the choice among names that differ only in case is the same every run.
    std::ranges::sort(names);
    for (auto& name : names) {
        listing.byLowerCase.try_emplace(lowerAsciiCopy(name), name);
        listing.exact.insert(std::move(name));
    }
    return listings_.emplace(folder, std::move(listing)).first->second;
}

GameFolderPaths::Resolved GameFolderPaths::resolve(std::string_view base,
                                                   std::string_view named) const {
    std::string joined(base);
    if (!joined.empty() && !named.empty()) {
        joined += '/';
    }
    joined += named;
    std::ranges::replace(joined, '\\', '/');
    if (looksAbsolute(named) || (named.empty() && looksAbsolute(base))) {
        return {std::string(named), std::string(named), std::string(kOutside)};
    }
    if (const auto known = resolved_.find(joined); known != resolved_.end()) {
        return known->second;
    }
    Resolved result = resolveUncached(joined);
    resolved_.emplace(std::move(joined), result);
    return result;
}

GameFolderPaths::Resolved GameFolderPaths::resolveUncached(const std::string& joined) const {
    // real: where the walk stands on disk, links followed (checked to stay inside);
    // shown: the same place as the data's own spelling found it.
    std::string real = root_.substr(0, root_.size() - 1);
    std::string shown;
    const auto parts = componentsOf(joined);
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const std::string_view part = parts[k];
        if (part == "..") {
            if (real + '/' == root_) {
                return {root_ + joined, joined, std::string(kOutside)};
            }
            real.erase(real.rfind('/'));
            const auto cut = shown.rfind('/');
            shown.erase(cut == std::string::npos ? 0 : cut);
            continue;
        }
        const Listing& listing = listingOf(real);
        std::string name(part);
        if (!listing.exact.contains(name)) {
            const auto other = listing.byLowerCase.find(lowerAsciiCopy(part));
            if (other == listing.byLowerCase.end()) {
                // Nothing below a missing component exists: the rest stays as given.
                std::string rest = name;
                for (std::size_t j = k + 1; j < parts.size(); ++j) {
                    rest += '/';
                    rest += parts[j];
                }
                const std::string below = shown.empty() ? rest : shown + '/' + rest;
                const std::string why =
                    listing.error != 0 && listing.error != ENOENT && listing.error != ENOTDIR
                        ? cannotRead(listing.error)
                        : std::string(kMissing);
                return {root_ + below, below, why};
            }
            name = other->second;
        }
        shown = shown.empty() ? name : shown + '/' + name;
        const std::string next = real + '/' + name;
        struct stat info {};
        if (::lstat(next.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
            int error = 0;
            std::string target = realPathOf(next, error);
            if (target.empty()) {
                const std::string why = error == ENOENT ? std::string(kMissing) : cannotRead(error);
                return {next, shown, why};
            }
            if (!isInside(target, root_)) {
                return {next, shown, std::string(kOutside)};
            }
            real = std::move(target);
        } else {
            real = next;
        }
        if (real.size() >= PATH_MAX) {
            return {real, shown, cannotRead(ENAMETOOLONG)};
        }
    }
    return {real, shown, {}};
}

} // namespace skarvel
